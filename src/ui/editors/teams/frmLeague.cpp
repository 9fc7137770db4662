#include "editors/teams/frmLeague.h"

#include "data/Feedback.h"
#include "data/Paths.h"
#include "data/Regional.h"
#include "data/SqlText.h"
#include "data/cCar.h"
#include "data/cCarTypeCollection.h"
#include "data/cLeague.h"
#include "data/cLeagueTeams.h"
#include "data/cRaceTypeCollection.h"
#include "data/cScoringOptionCollection.h"
#include "data/cScoringTypeCollection.h"
#include "data/cTeam.h"
#include "exchange/FtpTransfer.h"
#include "exchange/Import.h"
#include "posting/cTeamResultsCollection.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cmath>

namespace {

constexpr int TeamNmbrRole = Qt::UserRole;
// Race types whose series files the download server carries.
constexpr int WexfordCupRaceType = 1;
constexpr int F1RaceType = 6;

bool hasDownloads(int raceTypeNmbr) {
    return raceTypeNmbr == WexfordCupRaceType || raceTypeNmbr == F1RaceType;
}
bool scoresByCarsOrDrivers(int carTypeNmbr) {
    return carTypeNmbr == cCar::CarType || carTypeNmbr == cCar::DriverType;
}

// The status bar is repainted once before the transfer blocks the window. Clicks are held back
// meanwhile, so a second click cannot start another transfer inside this one.
void repaintBeforeTransfer() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// A drop-lowest count: any number the money boxes accept, rounded half to even into 16 bits.
bool parseDropLowest(const QString& text, int* count) {
    Currency amount;
    if (!parseMoney(text, &amount))
        return false;
    const double rounded = std::nearbyint(amount.toDouble());
    if (rounded < -32768 || rounded > 32767)
        return false;
    *count = int(rounded);
    return true;
}

} // namespace

frmLeague::frmLeague(QWidget* parent) : EditorDialog(parent) {
    setAfterSaveQuestionYes(AfterSaveQuestionYes::StayOpen);
    setWindowTitle(QStringLiteral("League"));

    auto box = [this](const char* name, int maxLength) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        if (maxLength > 0)
            e->setMaxLength(maxLength);
        selectAllOnFocus(e);
        return e;
    };
    auto combo = [this](const char* name) {
        auto* c = new QComboBox(this);
        c->setObjectName(QLatin1String(name));
        // As wide as its longest entry ("Drop Lowest Finishers"), filled before the window shows.
        c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        return c;
    };
    txtLeagueName = box("txtLeagueName", 50);
    txtShortName = box("txtShortName", 10);
    txtSalaryCap = box("txtSalaryCap", 0);
    txtDropLowest = box("txtDropLowest", 0);
    cmbScoringType = combo("cmbScoringType");
    cmbScoringOption = combo("cmbScoringOption");
    cmbRaceType = combo("cmbRaceType");
    cmbCarType = combo("cmbCarType");
    lblName = new QLabel(QStringLiteral("Name:"), this);
    lblName->setObjectName(QStringLiteral("lblName"));
    makeKeyLabel(lblName, QStringLiteral("League number is "),
                 [this] { return m_league ? m_league->leagueNmbr() : 0; });

    cmdImortRaces = new QPushButton(QStringLiteral("Import Races"), this);
    cmdImortRaces->setObjectName(QStringLiteral("cmdImortRaces"));
    cmdImportCars = new QPushButton(QStringLiteral("Import Cars"), this);
    cmdImportCars->setObjectName(QStringLiteral("cmdImportCars"));
    connect(cmdImortRaces, &QPushButton::clicked, this, &frmLeague::cmdImortRaces_Click);
    connect(cmdImportCars, &QPushButton::clicked, this, &frmLeague::cmdImportCars_Click);

    auto* leaguePage = new QWidget(this);
    auto* form = new QFormLayout;
    form->addRow(lblName, txtLeagueName);
    form->addRow(QStringLiteral("Short Name:"), txtShortName);
    form->addRow(QStringLiteral("Scoring Method:"), cmbScoringType);
    form->addRow(QStringLiteral("Scoring Option:"), cmbScoringOption);
    form->addRow(QStringLiteral("Race Type:"), cmbRaceType);
    form->addRow(QStringLiteral("Salary Cap:"), txtSalaryCap);
    form->addRow(QStringLiteral("Drop Lowest:"), txtDropLowest);
    form->addRow(QStringLiteral("Score By:"), cmbCarType);
    auto* imports = new QHBoxLayout;
    imports->addStretch(1);
    imports->addWidget(cmdImortRaces);
    imports->addWidget(cmdImportCars);
    auto* leagueLayout = new QVBoxLayout(leaguePage);
    leagueLayout->addLayout(form);
    leagueLayout->addStretch(1);
    leagueLayout->addLayout(imports);

    lvwLeagueTeams = new QTreeWidget(this);
    lvwLeagueTeams->setObjectName(QStringLiteral("lvwLeagueTeams"));
    lvwLeagueTeams->setColumnCount(2);
    lvwLeagueTeams->setHeaderLabels({QString(), QStringLiteral("Team")});
    lvwLeagueTeams->setRootIsDecorated(false);
    lvwLeagueTeams->header()->setSectionsClickable(true);
    lvwLeagueTeams->setColumnWidth(0, 28);
    auto* teamsPage = new QWidget(this);
    auto* teamsLayout = new QVBoxLayout(teamsPage);
    teamsLayout->addWidget(lvwLeagueTeams);

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->addTab(leaguePage, QStringLiteral("League"));
    SSTab1->addTab(teamsPage, QStringLiteral("League Teams"));
    setTabChain({SSTab1->tabBar(), txtLeagueName, txtShortName, cmbScoringType, cmbScoringOption, cmbRaceType,
                 txtSalaryCap, txtDropLowest, cmbCarType, cmdImortRaces, cmdImportCars, lvwLeagueTeams});

    keepFocusOnButtonClicks();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SSTab1);
    layout->addLayout(buttonRow());

    installLeaveCheck(txtSalaryCap, [this] { return salaryCapLeft(); });
    installLeaveCheck(txtDropLowest, [this] { return dropLowestLeft(); });

    connect(txtLeagueName, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!live())
            return;
        m_league->setLeagueName(text);
        setWindowTitle(QStringLiteral("League - ") + text);
        markLeagueChanged();
    });
    connect(txtShortName, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!live())
            return;
        m_league->setLeagueShortName(text);
        markLeagueChanged();
    });
    for (QLineEdit* e : {txtSalaryCap, txtDropLowest})
        connect(e, &QLineEdit::textChanged, this, [this] {
            if (live())
                markLeagueChanged();
        });
    connect(cmbScoringType, &QComboBox::activated, this, &frmLeague::cmbScoringType_Click);
    connect(cmbScoringOption, &QComboBox::activated, this, &frmLeague::cmbScoringOption_Click);
    connect(cmbRaceType, &QComboBox::activated, this, &frmLeague::cmbRaceType_Click);
    connect(cmbCarType, &QComboBox::activated, this, &frmLeague::cmbCarType_Click);
    connect(lvwLeagueTeams, &QTreeWidget::itemChanged, this, &frmLeague::lvwLeagueTeams_ItemCheck);
    connect(lvwLeagueTeams->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { lvwLeagueTeams->sortItems(column, Qt::AscendingOrder); });
    connect(SSTab1, &QTabWidget::currentChanged, this, &frmLeague::SSTab1_Click);
}

frmLeague::~frmLeague() = default;

void frmLeague::showWith(cLeague& league) {
    fillWith(league);
    exec();
    m_live = false;
    m_league = nullptr;
}

void frmLeague::fillCombo(QComboBox* combo, const QList<QPair<QString, int>>& items, const QString& selected) {
    combo->clear();
    for (const auto& [name, nmbr] : items)
        combo->addItem(name, nmbr);
    combo->setCurrentIndex(selected.trimmed().isEmpty() ? -1 : combo->findText(selected));
}

void frmLeague::fillWith(cLeague& league) {
    m_live = false;
    m_league = &league;
    leagueChanged = false;
    teamsChanged = false;
    setChanged(false);
    applyButton()->setEnabled(false);

    txtLeagueName->setText(league.leagueName());
    txtShortName->setText(league.leagueShortName());
    showMoney(txtSalaryCap, league.salaryCap());
    txtDropLowest->setText(QString::number(league.dropLowest()));
    txtDropLowest->setEnabled(league.scoringOptionNmbr() != 1);
    setWindowTitle(QStringLiteral("League - ") + league.leagueName());

    cRaceTypeCollection raceTypes;
    raceTypes.load();
    QList<QPair<QString, int>> items;
    for (const cRaceType& t : raceTypes)
        items.append({t.raceTypeName(), t.raceTypeNmbr()});
    fillCombo(cmbRaceType, items, raceTypes.getRaceTypeName(league.raceTypeNmbr()));

    cScoringTypeCollection scoringTypes;
    scoringTypes.load();
    items.clear();
    for (const cScoringType& t : scoringTypes)
        items.append({t.scoringTypeName(), t.scoringTypeNmbr()});
    fillCombo(cmbScoringType, items, scoringTypes.getScoringTypeName(league.scoringTypeNmbr()));

    cScoringOptionCollection options;
    options.load();
    items.clear();
    for (const cScoringOption& o : options)
        items.append({o.scoringOptionName(), o.scoringOptionNmbr()});
    fillCombo(cmbScoringOption, items, options.getScoringOptionName(league.scoringOptionNmbr()));

    cCarTypeCollection carTypes;
    carTypes.loadNoBonus();
    items.clear();
    for (const cCarType& t : carTypes)
        items.append({t.carTypeName(), t.carTypeNmbr()});
    fillCombo(cmbCarType, items, carTypes.getCarTypeName(league.carTypeNmbr()));

    m_checking = true;
    lvwLeagueTeams->clear();
    m_checking = false;
    m_teams.reset();
    m_previousTab = 0;
    SSTab1->setCurrentIndex(0);

    // Filling happens before the window is shown, so none of it counts as an edit.
    m_live = true;
}

bool frmLeague::salaryCapLeft() {
    Currency cap;
    if (!readMoney(txtSalaryCap, &cap)) {
        showValidation(moneyRefusal(QStringLiteral("Invalid Salary Cap amount")));
        return false;
    }
    m_league->setSalaryCap(cap);
    const bool wasLive = m_live;
    m_live = false; // the currency form is no edit of its own
    showMoney(txtSalaryCap, cap);
    m_live = wasLive;
    return true;
}

bool frmLeague::dropLowestLeft() {
    int count = 0;
    if (!parseDropLowest(txtDropLowest->text(), &count)) {
        showValidation(QStringLiteral("Invalid Drop Lowest amount"));
        return false;
    }
    m_league->setDropLowest(count);
    return true;
}

void frmLeague::markLeagueChanged() {
    if (!isVisible())
        return;
    leagueChanged = true;
    markChanged();
}

void frmLeague::markTeamsChanged() {
    if (!isVisible())
        return;
    teamsChanged = true;
    markChanged();
}

bool frmLeague::leagueLocked() const {
    cLeagueTeamsCollection memberships;
    return m_league->leagueNmbr() > 0 && memberships.raceTypeExists(m_league->raceTypeNmbr(), m_league->leagueNmbr());
}

void frmLeague::cmbScoringType_Click(int index) {
    if (!live() || index < 0)
        return;
    m_league->setScoringTypeNmbr(cmbScoringType->itemData(index).toInt());
    markLeagueChanged();
}

void frmLeague::cmbScoringOption_Click(int index) {
    if (!live() || index < 0)
        return;
    m_league->setScoringOptionNmbr(cmbScoringOption->itemData(index).toInt());
    if (m_league->scoringOptionNmbr() == 1) {
        // Option 1 drops nothing.
        txtDropLowest->setText(QStringLiteral("0"));
        txtDropLowest->setEnabled(false);
        m_league->setDropLowest(0);
    } else {
        txtDropLowest->setEnabled(true);
    }
    markLeagueChanged();
}

void frmLeague::cmbRaceType_Click(int index) {
    if (!live() || index < 0)
        return;
    const int chosen = cmbRaceType->itemData(index).toInt();
    if (chosen == m_league->raceTypeNmbr())
        return;
    if (leagueLocked()) {
        showValidation(QStringLiteral("Can not change Race Type while League Teams exist for the League"));
        cRaceTypeCollection raceTypes;
        cmbRaceType->setCurrentIndex(cmbRaceType->findText(raceTypes.getRaceTypeName(m_league->raceTypeNmbr())));
        return;
    }
    m_league->setRaceTypeNmbr(chosen);
    markLeagueChanged();
    dropTeamList();
}

void frmLeague::cmbCarType_Click(int index) {
    if (!live() || index < 0)
        return;
    const int chosen = cmbCarType->itemData(index).toInt();
    if (chosen == m_league->carTypeNmbr())
        return;
    if (leagueLocked()) {
        showValidation(QStringLiteral("Can not change Score By while League Teams exist for the League"));
        cCarTypeCollection carTypes;
        cmbCarType->setCurrentIndex(cmbCarType->findText(carTypes.getCarTypeName(m_league->carTypeNmbr())));
        return;
    }
    m_league->setCarTypeNmbr(chosen);
    markLeagueChanged();
    cmdImportCars->setText(QStringLiteral("Import ") + cmbCarType->currentText());
    dropTeamList();
}

// The member list offers the teams of the league's race type and Score By as they stand; teams
// of the old ones must not be stored as members. It is filled again when its tab is next shown.
void frmLeague::dropTeamList() {
    m_checking = true;
    lvwLeagueTeams->clear();
    m_checking = false;
    m_teams.reset();
    if (SSTab1->currentIndex() == 1)
        loadLeagueTeams();
}

// The download checks run on the league as it stands in the window, unsaved choices included.
bool frmLeague::downloadsAllowed(const QString& scoreByMessage) {
    if (!hasDownloads(m_league->raceTypeNmbr())) {
        showPlainBox(QStringLiteral("Downloads not available for ") + cmbRaceType->currentText());
        return false;
    }
    if (!scoresByCarsOrDrivers(m_league->carTypeNmbr())) {
        showPlainBox(scoreByMessage);
        return false;
    }
    return true;
}

void frmLeague::showDownloadOutcome(bool ok) {
    // A download the program's end stopped is no failure to report.
    if (!ok && transfersStopped())
        return;
    showPlainBox(ok ? QStringLiteral("Download and Import completed successfully.")
                    : QStringLiteral("Download and Import failed."));
}

void frmLeague::cmdImortRaces_Click() {
    if (!m_league || !downloadsAllowed(QStringLiteral("You must choose Score By before you can download Races")))
        return;
    const QString fileName = raceScheduleFileName(m_league->raceTypeNmbr(), m_league->carTypeNmbr());
    setMousePointer(PointerHourglass);
    setStatus(m_league->raceTypeNmbr() == WexfordCupRaceType ? QStringLiteral("Importing Wexford Cup Races.")
                                                             : QStringLiteral("Importing F1 Races."));
    repaintBeforeTransfer();
    bool ok = downloadFile(fileName);
    if (ok)
        ok = importFile(QDir(importsDir()).filePath(fileName));
    setMousePointer(PointerDefault);
    setStatus(QString());
    showDownloadOutcome(ok);
}

void frmLeague::cmdImportCars_Click() {
    if (!m_league || !downloadsAllowed(QStringLiteral("You must choose Score By before you can download Cars/Drivers")))
        return;
    const bool wexford = m_league->raceTypeNmbr() == WexfordCupRaceType;
    const bool drivers = m_league->carTypeNmbr() == cCar::DriverType;
    const QString series = wexford ? QStringLiteral("Wexford Cup") : QStringLiteral("F1");
    setMousePointer(PointerHourglass);
    setStatus(QStringLiteral("Importing ") + series +
              (drivers ? QStringLiteral(" Drivers.") : QStringLiteral(" Cars.")));
    repaintBeforeTransfer();
    const bool ok =
        wexford ? (drivers ? importWcDrivers() : importWcCars()) : (drivers ? importF1Drivers() : importF1Cars());
    setStatus(QString());
    setMousePointer(PointerDefault);
    showDownloadOutcome(ok);
}

void frmLeague::loadLeagueTeams() {
    auto teams = std::make_unique<cTeamCollection>();
    teams->load(m_league->raceTypeNmbr(), m_league->carTypeNmbr());
    cLeagueTeamsCollection memberships;
    memberships.load(m_league->leagueNmbr());
    if (teams->Count() == 0)
        return;
    m_checking = true;
    lvwLeagueTeams->clear();
    for (const cTeam& team : *teams) {
        auto* item = new QTreeWidgetItem(lvwLeagueTeams);
        item->setText(1, team.teamName());
        item->setData(0, TeamNmbrRole, team.teamNmbr());
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, memberships.teamExists(team.teamNmbr(), m_league->leagueNmbr()) ? Qt::Checked
                                                                                               : Qt::Unchecked);
    }
    m_checking = false;
    m_teams = std::move(teams);
}

void frmLeague::lvwLeagueTeams_ItemCheck(QTreeWidgetItem* item, int column) {
    if (m_checking || !live() || column != 0)
        return;
    if (item->checkState(0) == Qt::Unchecked) {
        cTeamResultsCollection results;
        if (results.resultsForTeamExists(m_league->leagueNmbr(), item->data(0, TeamNmbrRole).toInt())) {
            showValidation(QStringLiteral("Team has been scored for this League and can not be removed until all "
                                          "Scoring for this Team is deleted."));
            m_checking = true;
            item->setCheckState(0, Qt::Checked);
            m_checking = false;
            return;
        }
    }
    markTeamsChanged();
}

void frmLeague::SSTab1_Click(int tab) {
    const int previous = m_previousTab;
    m_previousTab = tab;
    if (!live())
        return;
    // The result is not looked at: the tab changes even when the save was refused.
    if (tab != previous && applyButton()->isEnabled())
        apply();
    if (tab == 1 && lvwLeagueTeams->topLevelItemCount() == 0)
        loadLeagueTeams();
}

bool frmLeague::refuse(const QString& message, QWidget* field) {
    showValidation(message);
    focusWithoutLeaveChecks(field);
    return false;
}

bool frmLeague::saveLeague() {
    if (txtLeagueName->text().trimmed().isEmpty())
        return refuse(QStringLiteral("League Name is a required field"), txtLeagueName);
    if (txtShortName->text().trimmed().isEmpty())
        return refuse(QStringLiteral("Short Name is a required field"), txtShortName);
    if (cmbCarType->currentText().trimmed().isEmpty())
        return refuse(QStringLiteral("Scoring By is a required field"), cmbCarType);
    if (cmbScoringType->currentText().trimmed().isEmpty())
        return refuse(QStringLiteral("Scoring Method is a required field"), cmbScoringType);
    if (cmbScoringOption->currentText().trimmed().isEmpty())
        return refuse(QStringLiteral("Scoring Option is a required field"), cmbScoringOption);
    if (cmbRaceType->currentText().trimmed().isEmpty())
        return refuse(QStringLiteral("Race Type is a required field"), cmbRaceType);
    Currency cap;
    if (!readMoney(txtSalaryCap, &cap))
        return refuse(moneyRefusal(QStringLiteral("Invalid Salary Cap amount")), txtSalaryCap);
    int dropLowest = 0;
    if (!parseDropLowest(txtDropLowest->text(), &dropLowest))
        return refuse(QStringLiteral("Invalid Drop Lowest amount"), txtDropLowest);
    // OK answers Enter without the boxes losing the focus: store the amounts typed.
    m_league->setSalaryCap(cap);
    m_league->setDropLowest(dropLowest);
    return m_league->CommitChanges();
}

bool frmLeague::saveLeagueTeams() {
    cLeagueTeamsCollection memberships;
    for (int i = 0; i < lvwLeagueTeams->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = lvwLeagueTeams->topLevelItem(i);
        if (item->checkState(0) == Qt::Checked)
            memberships.Add(m_league->leagueNmbr(), item->data(0, TeamNmbrRole).toInt());
    }
    return memberships.insertNew(m_league->leagueNmbr());
}

bool frmLeague::applyLeagueChanges() {
    // The league first, so a new league has its number when its member rows are written.
    if (leagueChanged) {
        if (!saveLeague())
            return false;
        leagueChanged = false;
    }
    if (teamsChanged) {
        if (!saveLeagueTeams())
            return false;
        teamsChanged = false;
    }
    return true;
}

QString frmLeague::saveQuestionTitle() const {
    return m_league ? m_league->leagueName() : QString();
}

void frmLeague::reject() {
    m_live = false; // closing moves the focus; no handler may take that for an edit
    EditorDialog::reject();
}
