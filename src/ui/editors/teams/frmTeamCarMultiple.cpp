#include "editors/teams/frmTeamCarMultiple.h"

#include "data/Feedback.h"
#include "data/cGroup.h"
#include "data/cLeague.h"
#include "data/cTeamCar.h"
#include "editors/teams/LeagueSalaryList.h"
#include "kit/EditorGrid.h"
#include "kit/SortByValue.h"
#include "rules/PickRules.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <map>

frmTeamCarMultiple::frmTeamCarMultiple(QWidget* parent) : EditorDialog(parent) {
    setObjectName(QStringLiteral("frmTeamCarMultiple"));
    setWindowTitle(QStringLiteral("Add Team Cars/Drivers"));

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    auto* page = new QWidget(SSTab1);
    SSTab1->addTab(page, QStringLiteral("Team Cars/Drivers"));

    using Kind = EditorGrid::Kind;
    QList<EditorGrid::Column> columns = {
        {QStringLiteral("Car/Driver"), Kind::RowList, 120, 1455},
        {QStringLiteral("Effective Date"), Kind::Text, 1680, 1335, QString(),
         [this](EditorGrid&, int row, int) { return checkEfctvDt(row); }},
        {QStringLiteral("Termination Date"), Kind::Text, 3120, 1335, QString(),
         [this](EditorGrid&, int row, int) { return checkTermDt(row); }},
        {QStringLiteral("Salary"), Kind::Display, 4560, 1335},
        {QStringLiteral("Group"), Kind::Display, 6000, 1335},
    };
    columns[SalaryColumn].alignment = Qt::AlignRight;
    m_grid = new EditorGrid(columns, page);
    m_grid->setObjectName(QStringLiteral("grdTeamCars"));
    m_grid->setGeometryTwips(360, 380, 60);
    m_grid->setHint(QStringLiteral("Hit enter to add row"), true);
    for (int row = 1; row < 7; ++row)
        m_grid->appendRow();

    lvwLeagues = new QTreeWidget(page);
    lvwLeagues->setObjectName(QStringLiteral("lvwLeagues"));
    setUpLeagueSalaryList(lvwLeagues);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(m_grid);
    pageLayout->addWidget(lvwLeagues);

    // Enter moves between rows, so OK is not the default button.
    setNoDefaultButton();
    keepFocusOnButtonClicks();
    disconnect(applyButton(), &QPushButton::clicked, this, nullptr);
    connect(applyButton(), &QPushButton::clicked, this, [this] {
        if (checkFocusedCell())
            addTeamCars();
    });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SSTab1);
    layout->addLayout(buttonRow());

    connect(m_grid, &EditorGrid::cellChanged, this, [this](int row, int col) {
        if (col == CarColumn) {
            carChosen(row);
            showPendingSalaries();
        } else if (col == EfctvDtColumn || col == TermDtColumn)
            applyButton()->setEnabled(true);
    });
}

void frmTeamCarMultiple::showWith(cTeam& team, Currency teamSalary) {
    fillWith(team, teamSalary);
    exec();
}

void frmTeamCarMultiple::fillWith(cTeam& team, Currency teamSalary) {
    m_team = team;
    m_teamSalary = teamSalary;
    m_cars.clear();
    m_cars.load(team.raceTypeNmbr(), team.carTypeNmbr());
    QList<QPair<QString, int>> items;
    for (const cCar& car : m_cars)
        items.append({carDisplay(car), car.carNmbr()});
    sortChoices(items);
    m_grid->setListItems(items);
    setWindowTitle(QStringLiteral("Add Car/Driver for ") + team.teamName());
    loadLeagueSalaries(lvwLeagues, team.teamNmbr(), teamSalary);
}

QLineEdit* frmTeamCarMultiple::box(int row, int col) const {
    return qobject_cast<QLineEdit*>(m_grid->cell(row, col));
}

void frmTeamCarMultiple::carChosen(int row) {
    const int carNmbr = m_grid->number(row, CarColumn);
    if (carNmbr < 1)
        return;
    m_grid->setText(row, GroupColumn, m_cars.getCarGroupDisplay(carNmbr));
    m_grid->setText(row, SalaryColumn, moneyText(m_cars.getCarSalary(carNmbr)));
    applyButton()->setEnabled(true);
}

void frmTeamCarMultiple::showPendingSalaries() {
    Currency pending;
    for (int row = 0; row < m_grid->rowCount(); ++row)
        if (const int carNmbr = m_grid->number(row, CarColumn); carNmbr >= 1)
            pending += m_cars.getCarSalary(carNmbr);
    for (int i = 0; i < lvwLeagues->topLevelItemCount(); ++i)
        showLeagueRowPending(lvwLeagues, i, pending);
}

bool frmTeamCarMultiple::checkEfctvDt(int row) {
    QDate date;
    if (!checkDateText(box(row, EfctvDtColumn), &date))
        return false;
    if (!date.isValid())
        return true;
    const QString refusal = efctvDtRefusal(m_team.raceTypeNmbr(), date);
    if (refusal.isEmpty())
        return true;
    showValidation(refusal);
    return false;
}

bool frmTeamCarMultiple::checkTermDt(int row) {
    QDate date;
    if (!checkDateText(box(row, TermDtColumn), &date))
        return false;
    if (!date.isValid())
        return true;
    // A row without a car has no scoring to look up (car 0 finds none).
    const QString refusal = termDtRefusal(m_team.teamNmbr(), m_grid->number(row, CarColumn), date,
                                          parseDate(m_grid->text(row, EfctvDtColumn)));
    if (refusal.isEmpty())
        return true;
    showValidation(refusal);
    return false;
}

bool frmTeamCarMultiple::checkFocusedCell() {
    QWidget* focused = QApplication::focusWidget();
    for (int row = 0; row < m_grid->rowCount(); ++row) {
        bool ok = true;
        if (focused == m_grid->cell(row, EfctvDtColumn))
            ok = checkEfctvDt(row);
        else if (focused == m_grid->cell(row, TermDtColumn))
            ok = checkTermDt(row);
        else
            continue;
        if (!ok)
            static_cast<QLineEdit*>(focused)->selectAll();
        return ok;
    }
    return true;
}

bool frmTeamCarMultiple::addTeamCars() {
    Currency total;
    for (int row = 0; row < m_grid->rowCount(); ++row) {
        const int carNmbr = m_grid->number(row, CarColumn);
        if (carNmbr < 1)
            continue;
        if (!parseDate(m_grid->text(row, EfctvDtColumn)).isValid()) {
            showPlainBox(QStringLiteral("Effective date is required"));
            m_grid->focusCell(row, EfctvDtColumn);
            box(row, EfctvDtColumn)->selectAll();
            return false;
        }
        total += m_cars.getCarSalary(carNmbr);
    }
    if (!checkRowsOnStore())
        return false;
    for (int i = 0; i < lvwLeagues->topLevelItemCount(); ++i) {
        if (total > leagueRowAvailable(lvwLeagues, i)) {
            cLeague league;
            league.load(leagueRowNmbr(lvwLeagues, i));
            if (league.salaryCap() > Currency()) {
                showPlainBox(QStringLiteral("Adding these cars/drivers will exceed at least one leagues salary cap."));
                return false;
            }
        }
    }
    Currency stored;
    bool allStored = true;
    for (int row = 0; row < m_grid->rowCount() && allStored; ++row) {
        const int carNmbr = m_grid->number(row, CarColumn);
        if (carNmbr < 1)
            continue;
        cTeamCar pick;
        pick.setCarNmbr(carNmbr);
        pick.setEfctvDt(parseDate(m_grid->text(row, EfctvDtColumn)));
        pick.setLockedSalary(m_cars.getCarSalary(carNmbr).toDouble());
        pick.setTeamNmbr(m_team.teamNmbr());
        pick.setTermDt(parseDate(m_grid->text(row, TermDtColumn)));
        allStored = pick.insertRow();
        if (allStored) {
            // Emptied once stored, so a later Apply or OK cannot store the row a second time.
            stored += m_cars.getCarSalary(carNmbr);
            clearRow(row);
        }
    }
    // What was stored now counts against the capped leagues for the rows still to come.
    for (int i = 0; i < lvwLeagues->topLevelItemCount() && stored > Currency(); ++i) {
        cLeague league;
        league.load(leagueRowNmbr(lvwLeagues, i));
        if (league.salaryCap() > Currency()) {
            const Currency left = leagueRowAvailable(lvwLeagues, i) - stored;
            setLeagueRowAvailable(lvwLeagues, i, left);
        }
    }
    showPendingSalaries();
    return allStored;
}

// The rules of the single pick editor over the whole batch, before any row is stored: each row's
// dates (cells can be filled in any order), no car held twice on a day, whether by two rows or by a
// row and a stored holding, and the group limits over the batch's open rows plus the team's open
// picks.
bool frmTeamCarMultiple::checkRowsOnStore() {
    const auto refuseCell = [this](int row, int col) {
        m_grid->focusCell(row, col);
        box(row, col)->selectAll();
        return false;
    };
    const auto refuse = [&refuseCell](const QString& text, int row, int col) {
        showValidation(text);
        return refuseCell(row, col);
    };
    QList<int> rows;
    for (int row = 0; row < m_grid->rowCount(); ++row)
        if (m_grid->number(row, CarColumn) >= 1)
            rows.append(row);

    for (int row : rows) {
        const int carNmbr = m_grid->number(row, CarColumn);
        const QDate efctvDt = parseDate(m_grid->text(row, EfctvDtColumn));
        if (const QString refusal = efctvDtRefusal(m_team.raceTypeNmbr(), efctvDt); !refusal.isEmpty())
            return refuse(refusal, row, EfctvDtColumn);
        QDate termDt;
        if (!m_grid->text(row, TermDtColumn).trimmed().isEmpty()) {
            termDt = parseDate(m_grid->text(row, TermDtColumn));
            if (!termDt.isValid())
                return refuse(dateRefusal(QStringLiteral("Invalid Entry")), row, TermDtColumn);
            if (const QString refusal = termDtRefusal(m_team.teamNmbr(), carNmbr, termDt, efctvDt); !refusal.isEmpty())
                return refuse(refusal, row, TermDtColumn);
        }
        for (int other : rows) {
            if (other < row && m_grid->number(other, CarColumn) == carNmbr) {
                showPlainBox(QStringLiteral("Car/Driver ") + m_grid->text(row, CarColumn) +
                             QStringLiteral(" has been chosen more than once."));
                return refuseCell(row, EfctvDtColumn);
            }
        }
        if (const QString refusal = holdingOverlapRefusal(m_team.teamNmbr(), carNmbr, efctvDt, termDt);
            !refusal.isEmpty())
            return refuse(refusal, row, EfctvDtColumn);
    }

    // As in the single pick editor, the limits hold for a team that plays in a league.
    if (lvwLeagues->topLevelItemCount() == 0)
        return true;
    std::map<int, int> openRowsOfGroup;
    for (int row : rows) {
        if (!m_grid->text(row, TermDtColumn).trimmed().isEmpty())
            continue; // only open picks count toward a group's limit
        const int carNmbr = m_grid->number(row, CarColumn);
        int groupNmbr = -1;
        for (const cCar& car : m_cars)
            if (car.carNmbr() == carNmbr)
                groupNmbr = car.groupNmbr();
        const int count = ++openRowsOfGroup[groupNmbr];
        cGroup group;
        group.load(groupNmbr);
        if (group.maxNmbr() < 0)
            continue;
        cTeamCarCollection inGroup;
        if (inGroup.loadGroup(m_team.teamNmbr(), groupNmbr) + count > group.maxNmbr()) {
            showValidation(groupLimitRefusal(group.groupName()));
            return refuseCell(row, EfctvDtColumn);
        }
    }
    return true;
}

void frmTeamCarMultiple::clearRow(int row) {
    for (int col = CarColumn; col <= GroupColumn; ++col)
        m_grid->setText(row, col, QString());
}

void frmTeamCarMultiple::okClicked() {
    if (checkFocusedCell() && addTeamCars())
        accept();
}
