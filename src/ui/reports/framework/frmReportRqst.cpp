#include "reports/framework/frmReportRqst.h"

#include "data/Feedback.h"
#include "data/Paths.h"
#include "data/Regional.h"
#include "data/cLeague.h"
#include "data/cLeagueTeams.h"
#include "data/cTeam.h"
#include "posting/cRacesCollection.h"
#include "reports/framework/CommonReportCode.h"
#include "reports/framework/frmBrowser.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QString raceItemText(const cRaces& race) {
    return shortDate(race.raceDate()) + QStringLiteral(" - ") + race.raceName();
}

int selectedNumber(const QComboBox* box) {
    return box->currentIndex() >= 0 ? box->currentData().toInt() : -1;
}

} // namespace

frmReportRqst::frmReportRqst(QWidget* parent)
    : QDialog(parent), m_cmbLeague(new QComboBox), m_cmbRace(new QComboBox), m_cmbTeam(new QComboBox),
      m_chkTeamAll(new QCheckBox(QStringLiteral("All"))), m_chkSeparate(new QCheckBox(QStringLiteral("Separate"))),
      m_txtReportFolder(new QLineEdit), m_cmdChangeFolder(new QPushButton(QStringLiteral("&Browse. . ."))),
      m_chkClear(new QCheckBox(QStringLiteral("Clear reports folder"))),
      m_cmdOK(new QPushButton(QStringLiteral("&OK"))), m_cmdCancel(new QPushButton(QStringLiteral("&Cancel"))) {
    setObjectName(QStringLiteral("frmReportRqst"));
    setWindowTitle(QStringLiteral("Request Report"));
    setModal(true);
    m_cmbLeague->setObjectName(QStringLiteral("cmbLeague"));
    m_cmbRace->setObjectName(QStringLiteral("cmbRace"));
    m_cmbTeam->setObjectName(QStringLiteral("cmbTeam"));
    m_chkTeamAll->setObjectName(QStringLiteral("chkTeamAll"));
    m_chkSeparate->setObjectName(QStringLiteral("chkSeparate"));
    m_txtReportFolder->setObjectName(QStringLiteral("txtReportFolder"));
    m_chkClear->setObjectName(QStringLiteral("chkClear"));
    for (QComboBox* box : {m_cmbLeague, m_cmbRace, m_cmbTeam})
        box->setMinimumContentsLength(28);

    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    auto* lblLeague = new QLabel(QStringLiteral("League:"));
    auto* lblRace = new QLabel(QStringLiteral("Race:"));
    auto* lblTeam = new QLabel(QStringLiteral("Team:"));
    auto* lblDirectory = new QLabel(QStringLiteral("Report Folder:"));
    grid->addWidget(lblLeague, 0, 0);
    grid->addWidget(m_cmbLeague, 0, 1, 1, 3);
    grid->addWidget(lblRace, 1, 0);
    grid->addWidget(m_cmbRace, 1, 1, 1, 3);
    grid->addWidget(lblTeam, 2, 0);
    grid->addWidget(m_cmbTeam, 2, 1, 1, 3);
    grid->addWidget(m_chkTeamAll, 3, 1);
    grid->addWidget(m_chkSeparate, 3, 2);
    grid->addWidget(lblDirectory, 4, 0);
    grid->addWidget(m_txtReportFolder, 4, 1, 1, 2);
    grid->addWidget(m_cmdChangeFolder, 4, 3);
    grid->addWidget(m_chkClear, 5, 1, 1, 2);
    auto* tabs = new QTabWidget;
    tabs->addTab(page, QStringLiteral("Request"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdOK);
    buttons->addWidget(m_cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addLayout(buttons);
    m_cmdOK->setDefault(true);

    connect(m_cmbLeague, &QComboBox::currentIndexChanged, this, [this] { leagueChosen(); });
    connect(m_cmbRace, &QComboBox::currentIndexChanged, this, [this] { raceChosen(); });
    connect(m_cmbTeam, &QComboBox::currentIndexChanged, this, [this] { teamChosen(); });
    connect(m_chkTeamAll, &QCheckBox::toggled, this, [this] { teamAllClicked(); });
    connect(m_chkSeparate, &QCheckBox::toggled, this, [this](bool on) { m_separate = on; });
    // Blanks around a typed folder are no part of its name (the folder picker trims them too), or a
    // trailing blank would send the reports to a new folder beside the one meant.
    connect(m_txtReportFolder, &QLineEdit::textChanged, this,
            [](const QString& text) { setReportsDir(text.trimmed()); });
    connect(m_cmdChangeFolder, &QPushButton::clicked, this, [this] {
        frmBrowser picker(this);
        picker.showWith(1);
        m_txtReportFolder->setText(reportsDir());
    });
    connect(m_cmdOK, &QPushButton::clicked, this, [this] { okClicked(); });
    connect(m_cmdCancel, &QPushButton::clicked, this, [this] {
        m_ok = false;
        reject();
    });
}

void frmReportRqst::showWith(const QString& caption) {
    loadDialog(caption);
    if (m_teamRequired) {
        m_allTeams = true;
        m_chkTeamAll->setChecked(true);
        m_separate = false;
    }
    exec();
}

void frmReportRqst::loadDialog(const QString& caption) {
    setWindowTitle(caption);
    if (m_loaded)
        return;
    m_loaded = true;
    fillLeagues();
    m_txtReportFolder->setText(reportsDir());
    const int league = selectedNumber(m_cmbLeague);
    if (m_raceRequired) {
        if (league >= 0) {
            fillRaces(league);
            preselectLatestRace(league);
        }
    } else {
        m_cmbRace->setEnabled(false);
    }
    if (m_teamRequired) {
        if (league >= 0)
            fillTeams(league);
    } else {
        m_cmbTeam->setEnabled(false);
        m_chkTeamAll->setEnabled(false);
        m_chkSeparate->setEnabled(false);
    }
    if (m_cmbLeague->currentIndex() >= 0)
        m_leagueNmbr = selectedNumber(m_cmbLeague);
    if (m_cmbTeam->currentIndex() >= 0)
        m_teamNmbr = selectedNumber(m_cmbTeam);
    if (m_cmbRace->currentIndex() >= 0)
        m_raceNmbr = selectedNumber(m_cmbRace);
}

void frmReportRqst::fillLeagues() {
    const QSignalBlocker block(m_cmbLeague);
    cLeagueCollection leagues;
    leagues.load();
    for (const cLeague& league : leagues)
        m_cmbLeague->addItem(league.leagueName(), league.leagueNmbr());
    m_cmbLeague->setCurrentIndex(m_cmbLeague->count() > 0 ? 0 : -1);
}

void frmReportRqst::fillRaces(int leagueNmbr) {
    cLeague league;
    league.load(leagueNmbr);
    cRacesCollection races;
    races.load(league.raceTypeNmbr(), league.carTypeNmbr());
    {
        const QSignalBlocker block(m_cmbRace);
        m_cmbRace->clear();
        for (const cRaces& race : races)
            m_cmbRace->addItem(raceItemText(race), race.raceNmbr());
        m_cmbRace->setCurrentIndex(-1);
    }
    raceChosen();
}

void frmReportRqst::fillTeams(int leagueNmbr) {
    cLeagueTeamsCollection members;
    members.load(leagueNmbr);
    const QSignalBlocker block(m_cmbTeam);
    m_cmbTeam->clear();
    for (const cLeagueTeams& member : members) {
        cTeam team;
        team.load(member.teamNmbr());
        m_cmbTeam->addItem(team.teamName(), member.teamNmbr());
    }
    m_cmbTeam->setCurrentIndex(-1);
}

void frmReportRqst::preselectLatestRace(int leagueNmbr) {
    cLeague league;
    league.load(leagueNmbr);
    cRacesCollection latest;
    if (latest.loadMostCurrentRaceWithResults(league.raceTypeNmbr(), league.carTypeNmbr()) < 1 ||
        m_cmbRace->count() < 1)
        return;
    const int index = m_cmbRace->findText(raceItemText(*latest.Item(1)), Qt::MatchExactly);
    if (index >= 0)
        m_cmbRace->setCurrentIndex(index);
}

void frmReportRqst::leagueChosen() {
    if (!isVisible())
        return;
    if (m_cmbLeague->currentIndex() < 0) {
        m_leagueNmbr = -1;
        return;
    }
    m_leagueNmbr = selectedNumber(m_cmbLeague);
    // The race and team of the league left behind must not pass for picks in the new one.
    m_raceNmbr = -1;
    m_teamNmbr = -1;
    fillRaces(m_leagueNmbr);
    fillTeams(m_leagueNmbr);
    if (m_raceRequired)
        preselectLatestRace(m_leagueNmbr);
}

void frmReportRqst::raceChosen() {
    if (!isVisible())
        return;
    m_raceNmbr = selectedNumber(m_cmbRace);
}

void frmReportRqst::teamChosen() {
    if (!isVisible())
        return;
    if (m_cmbTeam->currentIndex() < 0) {
        m_teamNmbr = -1;
        return;
    }
    m_teamNmbr = selectedNumber(m_cmbTeam);
    m_chkTeamAll->setChecked(false);
}

void frmReportRqst::teamAllClicked() {
    if (m_chkTeamAll->isChecked()) {
        // Clearing the team box keeps teamNmbr: with every team chosen it is not read.
        fillTeams(m_leagueNmbr);
        m_chkSeparate->setEnabled(m_chkTeamAll->isEnabled());
        m_allTeams = true;
    } else {
        m_chkSeparate->setEnabled(false);
        m_chkSeparate->setChecked(false);
        m_allTeams = false;
    }
}

void frmReportRqst::validateRequest() {
    m_ok = false;
    if (m_raceRequired && m_raceNmbr < 1) {
        showValidation(QStringLiteral("A Race is required for this Report"));
        return;
    }
    if (m_leagueRequired && m_leagueNmbr < 1) {
        showValidation(QStringLiteral("A League is required for this Report"));
        return;
    }
    if (m_teamRequired && !m_chkTeamAll->isChecked() && m_teamNmbr < 1) {
        showValidation(QStringLiteral("A Team is required for this Report"));
        return;
    }
    m_ok = true;
}

void frmReportRqst::okClicked() {
    validateRequest();
    if (!m_ok)
        return;
    if (m_chkClear->isChecked())
        clearReportsFolder();
    accept();
}

void frmReportRqst::clearReportsFolder() {
    const QString path = m_txtReportFolder->text().trimmed();
    const QDir folder(path);
    if (path.isEmpty() || !folder.exists())
        return;
    for (const QString& name : folder.entryList({QStringLiteral("*.html")}, QDir::Files))
        QFile::remove(folder.filePath(name));
    removeReportLeftovers(path);
}
