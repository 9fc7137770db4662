#include "editors/races/frmRace.h"

#include "data/Feedback.h"
#include "data/Paths.h"
#include "data/SqlText.h"
#include "data/cCarCollection.h"
#include "data/cCarTypeCollection.h"
#include "data/cLeague.h"
#include "data/cLeagueTeams.h"
#include "data/cRaceStatusCollection.h"
#include "data/cRaceTypeCollection.h"
#include "data/cTeam.h"
#include "editors/races/RaceWindowParts.h"
#include "exchange/FtpTransfer.h"
#include "exchange/Import.h"
#include "kit/EditorGrid.h"
#include "kit/SortByValue.h"
#include "kit/Twips.h"
#include "kit/frmDate.h"
#include "posting/Scoring.h"
#include "posting/cRaceHeadHeadCollection.h"
#include "posting/cRaces.h"
#include "posting/cRacesCollection.h"
#include "posting/cResultsCollection.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <cmath>

using namespace racewindow;

void frmRace::buildResultsTab(QWidget* tab) {
    Frame1 = new QFrame(tab);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    // Positions on a tab page are measured below the tab headers.
    Frame1->setGeometry(pixelsX(240, this), pixelsY(60, this), pixelsX(7335, this), pixelsY(3735, this));

    auto* status = new QLabel(QStringLiteral("Result Status:"), Frame1);
    status->setObjectName(QStringLiteral("Label9"));
    status->setGeometry(pixelsX(120, this), pixelsY(0, this), pixelsX(1215, this), pixelsY(285, this));
    cmbRaceStatus = new QComboBox(Frame1);
    cmbRaceStatus->setObjectName(QStringLiteral("cmbRaceStatus"));
    cmbRaceStatus->setGeometry(pixelsX(1440, this), pixelsY(0, this), pixelsX(2535, this), pixelsY(315, this));
    connect(cmbRaceStatus, &QComboBox::activated, this, &frmRace::raceStatusChosen);

    // Places may not be negative; every number cell must fit the 16-bit columns it is stored in.
    NumberRule place;
    place.allowNegative = false;
    place.maximum = 32767;
    NumberRule number;
    number.minimum = -32768;
    number.maximum = 32767;
    using Kind = EditorGrid::Kind;
    resultsGrid = new EditorGrid(
        {
            {QStringLiteral("Place"), Kind::Text, 120, 495, QString(), EditorGrid::numberCheck(place)},
            {QStringLiteral("Car/Driver"), Kind::List, 720, 2055, QString(), {}},
            {QStringLiteral("Laps Led"), Kind::Text, 2880, 735, QStringLiteral("0"), EditorGrid::numberCheck(number)},
            {QStringLiteral("Qualified"), Kind::Text, 3720, 735, QStringLiteral("0"), EditorGrid::numberCheck(number)},
            {QStringLiteral("Adjustment"), Kind::Text, 4560, 735, QStringLiteral("0"), EditorGrid::numberCheck(number)},
            {QStringLiteral("Fastest Qualifier?"), Kind::Check, 5400, 495, QStringLiteral("0"), {}},
        },
        Frame1);
    resultsGrid->setObjectName(QStringLiteral("resultsGrid"));
    resultsGrid->setScrollPolicy(EditorGrid::ScrollPolicy::EveryEnter);
    resultsGrid->setEnterFocusColumn(ColCar);
    resultsGrid->setHint(QStringLiteral("Hit Enter to Add Row."));
    // Room for the two-line header; rows a little closer so that seven fit above the buttons.
    resultsGrid->setGeometryTwips(420, 380, 0);
    resultsGrid->setGeometry(0, pixelsY(330, this), Frame1->width(), pixelsY(3000, this));
    resultsGrid->newRowTexts = [](const EditorGrid& grid, int lastRow) {
        // A place that is not a number counts from 0, as the place cell's own check would make it.
        const double above = numberFromText(grid.text(lastRow, ColPlace)).value_or(0);
        return QStringList{QString::number(above + 1), QString(),           QStringLiteral("0"),
                           QStringLiteral("0"),        QStringLiteral("0"), QStringLiteral("0")};
    };
    resultsGrid->floatingList()->setObjectName(QStringLiteral("cmbCarNmbr"));
    connect(resultsGrid, &EditorGrid::cellChanged, this, &frmRace::markResultsChanged);
    connect(resultsGrid, &EditorGrid::listChosen, this, [this](int row, int) { carChosen(row); });

    auto button = [this](QWidget* parent, const char* name, const QString& text, int left, int top) {
        auto* b = new QPushButton(text, parent);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(pixelsX(left, this), pixelsY(top, this), pixelsX(1215, this), pixelsY(375, this));
        b->setAutoDefault(false);
        return b;
    };
    cmdGetResults = button(Frame1, "cmdGetResults", QStringLiteral("&Get Results"), 1800, 3360);
    cmdPostResults = button(Frame1, "cmdPostResults", QStringLiteral("&Post Results"), 3120, 3360);
    // OK keeps the letter it shares with Clear Posting, which removes the race's scores.
    cmdClearPosting = button(Frame1, "cmdClearPosting", QStringLiteral("Clear Po&sting"), 4440, 3360);
    cmdClearResults = button(Frame1, "cmdClearResults", QStringLiteral("Clear &Results"), 5760, 3360);
    cmdAddNewCar = button(tab, "cmdAddNewCar", QStringLiteral("Add &New Car"), 240, 3420);

    connect(cmdGetResults, &QPushButton::clicked, this, &frmRace::getResultsClicked);
    connect(cmdPostResults, &QPushButton::clicked, this, &frmRace::postClicked);
    connect(cmdClearPosting, &QPushButton::clicked, this, &frmRace::clearPostingClicked);
    connect(cmdClearResults, &QPushButton::clicked, this, &frmRace::clearResultsClicked);
    connect(cmdAddNewCar, &QPushButton::clicked, this, &frmRace::addNewCarClicked);
}

void frmRace::buildHeadToHeadTab(QWidget* tab) {
    Frame2 = new QFrame(tab);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setGeometry(pixelsX(240, this), pixelsY(60, this), pixelsX(7335, this), pixelsY(3735, this));
    auto* league = new QLabel(QStringLiteral("League:"), Frame2);
    league->setObjectName(QStringLiteral("Label8"));
    league->setGeometry(pixelsX(120, this), pixelsY(240, this), pixelsX(1000, this), pixelsY(285, this));
    cmbLeague = new QComboBox(Frame2);
    cmbLeague->setObjectName(QStringLiteral("cmbLeague"));
    cmbLeague->setGeometry(pixelsX(1200, this), pixelsY(240, this), pixelsX(4095, this), pixelsY(315, this));
    connect(cmbLeague, &QComboBox::activated, this, &frmRace::leagueChosen);

    using Kind = EditorGrid::Kind;
    headToHeadGrid = new EditorGrid(
        {
            {QString(), Kind::List, 120, 2655, QStringLiteral("BYE"), {}},
            {QString(), Kind::Label, 3120, 375, QStringLiteral("VS"), {}},
            {QString(), Kind::List, 3840, 2535, QStringLiteral("BYE"), {}},
        },
        Frame2);
    headToHeadGrid->setObjectName(QStringLiteral("headToHeadGrid"));
    headToHeadGrid->setScrollPolicy(EditorGrid::ScrollPolicy::EveryEnter);
    headToHeadGrid->setEnterFocusColumn(ColTeam1);
    headToHeadGrid->setHint(QStringLiteral("Hit Enter to Add Row."), true);
    headToHeadGrid->setGeometryTwips(120, 400, 0);
    headToHeadGrid->setGeometry(0, pixelsY(600, this), Frame2->width(), pixelsY(3300, this));
    // The team lists belong to the league shown; without one there is nothing to choose from.
    headToHeadGrid->listAllowed = [this](int, int) { return cmbLeague->currentIndex() >= 0; };
    headToHeadGrid->floatingList()->setObjectName(QStringLiteral("cmbTeam"));
    connect(headToHeadGrid, &EditorGrid::cellChanged, this, [this] {
        if (!isVisible())
            return;
        m_headToHeadChanged = true;
        cmdApply->setEnabled(true);
    });
}

// ---- results grid ----

void frmRace::markResultsChanged() {
    if (!isVisible())
        return;
    m_resultsChanged = true;
    cmdApply->setEnabled(true);
}

void frmRace::loadRaceCarCombo() {
    if (m_cars->isEmpty())
        m_cars->load(m_race->raceTypeNmbr(), m_race->carTypeNmbr());
    QList<QPair<QString, int>> items{{QStringLiteral(" "), 0}};
    for (const cCar& car : *m_cars)
        items.append({car.carTypeNmbr() == 2 ? car.driverName() : car.carTxt(), car.carNmbr()});
    sortChoices(items);
    resultsGrid->setListItems(items);
}

void frmRace::setCarFromText(int row, const QString& text) {
    if (text.trimmed().isEmpty()) {
        resultsGrid->setText(row, ColCar, QString());
        return;
    }
    if (m_cars->isEmpty())
        m_cars->load(m_race->raceTypeNmbr());
    for (const cCar& car : *m_cars)
        if ((car.carTypeNmbr() == 2 ? car.driverName() : car.carTxt()) == text)
            resultsGrid->setListCell(row, ColCar, text.trimmed(), car.carNmbr());
}

void frmRace::loadResultsGrid() {
    cResultsCollection results;
    results.load(m_race->raceNmbr());
    QList<QStringList> rows;
    for (const cResults& r : results)
        rows.append({QString::number(r.place()), QString(), QString::number(r.lapsLead()),
                     QString::number(r.qualified()), QString::number(r.adjustment()),
                     QString::number(r.fastQual() == 1 ? 1 : 0)});
    if (rows.isEmpty()) {
        // Laps led, qualified, adjustment and the mark keep what row 0 held.
        QStringList first = resultsGrid->rowTexts(0);
        first[ColPlace] = QStringLiteral("1");
        first[ColCar] = QString();
        rows.append(first);
    }
    resultsGrid->setRows(rows);
    // A stored result keeps its car even when the car is not in the list of choices (it moved to
    // another series, or the list is of the other Score By); otherwise the next save would drop it.
    cCarCollection allCars;
    if (!results.isEmpty())
        allCars.load();
    int row = 0;
    for (const cResults& r : results) {
        const QString display = allCars.getCarDisplay(r.carNmbr());
        if (display.trimmed().isEmpty())
            setCarFromText(row, display);
        else
            resultsGrid->setListCell(row, ColCar, display.trimmed(), r.carNmbr());
        ++row;
    }
}

void frmRace::carChosen(int row) {
    const QString text = resultsGrid->text(row, ColCar);
    if (text.trimmed().isEmpty())
        return;
    for (int other = 0; other < resultsGrid->rowCount(); ++other) {
        if (other == row || resultsGrid->text(other, ColCar) != text)
            continue;
        showValidation(QStringLiteral("Car ") + text + QStringLiteral(" has already been used"));
        if (SSTab1->currentIndex() != TabResults)
            SSTab1->setCurrentIndex(TabResults);
        // The refused car stays in its row; saving checks the rows again.
        if (row > 0)
            resultsGrid->focusCell(row - 1, ColCar);
        return;
    }
}

bool frmRace::saveResults() {
    cResultsCollection results;
    for (int row = 0; row < resultsGrid->rowCount(); ++row) {
        if (resultsGrid->text(row, ColPlace).trimmed().isEmpty() || resultsGrid->text(row, ColCar).trimmed().isEmpty())
            continue;
        // A cell still being typed in has not had its check yet.
        int values[4] = {};
        const int numberColumns[4] = {ColPlace, ColLapsLed, ColQualified, ColAdjustment};
        for (int i = 0; i < 4; ++i) {
            auto* cell = qobject_cast<QLineEdit*>(resultsGrid->cell(row, numberColumns[i]));
            NumberRule rule;
            rule.allowNegative = numberColumns[i] != ColPlace;
            rule.minimum = numberColumns[i] == ColPlace ? 0 : -32768;
            rule.maximum = 32767;
            if (!checkNumberText(cell, rule)) {
                resultsGrid->focusCell(row, numberColumns[i]);
                return false;
            }
            // Whole numbers as stored; a fraction rounds half to even.
            values[i] = int(std::nearbyint(numberFromText(cell->text()).value_or(0)));
        }
        results.Add(m_race->raceNmbr(), resultsGrid->number(row, ColCar), values[0],
                    resultsGrid->text(row, ColFastQual) == QStringLiteral("1") ? 1 : 0, values[1], values[2],
                    values[3]);
    }
    const QString errors = results.validateData();
    if (!errors.trimmed().isEmpty()) {
        ui().messageBox(errors, QStringLiteral("Errors while save results for ") + m_race->raceName(), MsgIcon::None,
                        MsgButtons::Ok);
        return false;
    }
    const bool wasPosted = !m_postingNext && racePosted(m_race->raceNmbr());
    if (!results.insertResults())
        return false;
    if (wasPosted && !racePosted(m_race->raceNmbr()))
        tellPostingRemoved(m_race->raceName());
    return true;
}

// ---- head-to-head grid ----

void frmRace::enterHeadToHeadTab() {
    cmdOK->setDefault(false);
    cLeagueCollection leagues;
    leagues.load(m_race->raceTypeNmbr(), m_race->carTypeNmbr());
    cmbLeague->clear();
    for (const cLeague& league : leagues)
        cmbLeague->addItem(league.leagueName(), league.leagueNmbr());
    cmbLeague->setCurrentIndex(-1);
    m_shownLeagueNmbr = 0;
    const bool applyWasEnabled = cmdApply->isEnabled();
    clearHeadToHeadRows();
    cmdApply->setEnabled(applyWasEnabled);
    m_headToHeadChanged = false;
}

void frmRace::loadTeamCombo(int leagueNmbr) {
    QList<QPair<QString, int>> items{{QStringLiteral("BYE"), 0}};
    cLeagueTeamsCollection members;
    members.load(leagueNmbr);
    for (const cLeagueTeams& member : members) {
        cTeam team;
        team.load(member.teamNmbr());
        items.append({team.teamName(), team.teamNmbr()});
    }
    headToHeadGrid->setListItems(items);
}

void frmRace::clearHeadToHeadRows() {
    headToHeadGrid->clearRows();
}

void frmRace::leagueChosen(int index) {
    if (index < 0)
        return; // no league: the grid stays as it is
    if (m_headToHeadChanged && saveHeadToHead()) {
        cmdApply->setEnabled(false);
        m_headToHeadChanged = false;
    }
    clearHeadToHeadRows();
    const int leagueNmbr = itemNumber(cmbLeague, index);
    m_shownLeagueNmbr = leagueNmbr;
    loadTeamCombo(leagueNmbr);
    cRaceHeadHeadCollection pairings;
    pairings.load(leagueNmbr, m_race->raceNmbr());
    QList<QStringList> rows;
    QList<QPair<int, int>> numbers;
    for (const cRaceHeadHead& p : pairings) {
        cTeam team1;
        cTeam team2;
        team1.load(p.teamNmbr1());
        team2.load(p.teamnmbr2());
        rows.append({team1.teamName(), QString(), team2.teamName()});
        numbers.append({team1.teamNmbr(), team2.teamNmbr()});
    }
    headToHeadGrid->setRows(rows);
    for (int row = 0; row < numbers.size(); ++row) {
        headToHeadGrid->setListCell(row, ColTeam1, rows[row][ColTeam1], numbers[row].first);
        headToHeadGrid->setListCell(row, ColTeam2, rows[row][ColTeam2], numbers[row].second);
    }
}

bool frmRace::saveHeadToHead() {
    // The pairings belong to the league they were shown for: by the time a new choice in the box is
    // handled, the box already names the new league.
    const int leagueNmbr = m_shownLeagueNmbr;
    if (leagueNmbr == 0)
        return true; // nothing is shown, so nothing is stored
    cRaceHeadHeadCollection pairings;
    for (int row = 0; row < headToHeadGrid->rowCount(); ++row) {
        if (headToHeadGrid->text(row, ColTeam1).trimmed() == QStringLiteral("BYE") &&
            headToHeadGrid->text(row, ColTeam2).trimmed() == QStringLiteral("BYE"))
            continue;
        pairings.Add(m_race->raceNmbr(), leagueNmbr, headToHeadGrid->number(row, ColTeam1),
                     headToHeadGrid->number(row, ColTeam2));
    }
    // With every row "BYE" against "BYE" the league's pairings for the race are cleared.
    return pairings.update(leagueNmbr, m_race->raceNmbr());
}
