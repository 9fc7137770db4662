#include "editors/teams/LeagueSalaryList.h"

#include "data/Regional.h"
#include "data/cLeague.h"
#include "rules/PickRules.h"

#include <QHeaderView>
#include <QTreeWidget>

namespace {
constexpr int LeagueNmbrRole = Qt::UserRole;
constexpr int AvailableRole = Qt::UserRole + 1;
constexpr int CappedRole = Qt::UserRole + 2;
} // namespace

void setUpLeagueSalaryList(QTreeWidget* list) {
    list->setColumnCount(3);
    list->setHeaderLabels({QString(), QStringLiteral("League Name"), QStringLiteral("Available Salary")});
    list->headerItem()->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    list->setRootIsDecorated(false);
    list->setColumnHidden(0, true); // the item's own text, never shown
    list->setColumnWidth(1, 180);
}

void loadLeagueSalaries(QTreeWidget* list, int teamNmbr, Currency teamSalary) {
    cLeagueCollection leagues;
    if (leagues.loadForTeam(teamNmbr) < 1)
        return;
    list->clear();
    for (const cLeague& league : leagues) {
        auto* item = new QTreeWidgetItem(list);
        item->setData(0, LeagueNmbrRole, league.leagueNmbr());
        item->setText(1, league.leagueName());
        const Currency available = availableSalary(league, teamSalary);
        item->setText(2, moneyText(available));
        item->setData(2, AvailableRole, QVariant::fromValue<qint64>(available.units()));
        item->setData(2, CappedRole, league.salaryCap() != Currency());
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    }
}

int leagueRowNmbr(const QTreeWidget* list, int row) {
    return list->topLevelItem(row)->data(0, LeagueNmbrRole).toInt();
}

Currency leagueRowAvailable(const QTreeWidget* list, int row) {
    return Currency::fromUnits(list->topLevelItem(row)->data(2, AvailableRole).toLongLong());
}

void setLeagueRowAvailable(QTreeWidget* list, int row, Currency amount) {
    QTreeWidgetItem* item = list->topLevelItem(row);
    item->setData(2, AvailableRole, QVariant::fromValue<qint64>(amount.units()));
    item->setText(2, moneyText(amount));
}

void showLeagueRowPending(QTreeWidget* list, int row, Currency pending) {
    QTreeWidgetItem* item = list->topLevelItem(row);
    if (item->data(2, CappedRole).toBool())
        item->setText(2, moneyText(leagueRowAvailable(list, row) - pending));
}
