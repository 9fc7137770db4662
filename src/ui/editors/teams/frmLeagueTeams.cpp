#include "editors/teams/frmLeagueTeams.h"

#include "data/cLeague.h"
#include "data/cLeagueTeams.h"
#include "data/cTeam.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
// The league number of a league the team does not belong to yet; none on a stored membership.
constexpr int NewLeagueRole = Qt::UserRole;
} // namespace

frmLeagueTeams::frmLeagueTeams(QWidget* parent) : QDialog(parent) {
    setModal(true);
    auto* label = new QLabel(QStringLiteral("Check the League(s) this team belongs to."), this);
    label->setObjectName(QStringLiteral("Label1"));
    lvwLeagues = new QTreeWidget(this);
    lvwLeagues->setObjectName(QStringLiteral("lvwLeagues"));
    lvwLeagues->setColumnCount(2);
    lvwLeagues->setHeaderLabels({QString(), QStringLiteral("League Name")});
    lvwLeagues->setRootIsDecorated(false);
    lvwLeagues->setColumnWidth(0, 28);

    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(lvwLeagues);
    layout->addLayout(buttons);

    connect(lvwLeagues, &QTreeWidget::itemChanged, this, &frmLeagueTeams::lvwLeagues_ItemCheck);
    connect(cmdOK, &QPushButton::clicked, this, &frmLeagueTeams::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmLeagueTeams::showWith(cTeam& team) {
    fillWith(team);
    exec();
    m_team = nullptr;
}

void frmLeagueTeams::fillWith(cTeam& team) {
    m_team = &team;
    setWindowTitle(QStringLiteral("League Teams - ") + team.teamName());
    loadLeaguesForTeam();
}

void frmLeagueTeams::loadLeaguesForTeam() {
    cLeagueCollection leagues;
    leagues.load(m_team->raceTypeNmbr(), m_team->carTypeNmbr());
    cLeagueTeamsCollection memberships;
    memberships.load(std::nullopt, m_team->teamNmbr());
    if (leagues.Count() == 0)
        return;
    m_checking = true;
    lvwLeagues->clear();
    for (const cLeague& league : leagues) {
        auto* item = new QTreeWidgetItem(lvwLeagues);
        item->setText(1, league.leagueName());
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        if (memberships.leagueExists(m_team->teamNmbr(), league.leagueNmbr())) {
            item->setCheckState(0, Qt::Checked);
        } else {
            item->setCheckState(0, Qt::Unchecked);
            item->setData(0, NewLeagueRole, league.leagueNmbr());
        }
    }
    m_checking = false;
}

void frmLeagueTeams::lvwLeagues_ItemCheck(QTreeWidgetItem* item, int column) {
    if (m_checking || column != 0 || item->checkState(0) != Qt::Unchecked)
        return;
    m_checking = true;
    item->setCheckState(0, Qt::Checked);
    m_checking = false;
}

bool frmLeagueTeams::saveNewLeagueTeams() {
    cLeagueTeamsCollection memberships;
    for (int i = 0; i < lvwLeagues->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = lvwLeagues->topLevelItem(i);
        const QVariant league = item->data(0, NewLeagueRole);
        if (item->checkState(0) == Qt::Checked && league.isValid())
            memberships.Add(league.toInt(), m_team->teamNmbr());
    }
    return memberships.insertNew();
}

void frmLeagueTeams::cmdOK_Click() {
    // A failed insert has shown its own box; the window closes all the same.
    saveNewLeagueTeams();
    accept();
}
