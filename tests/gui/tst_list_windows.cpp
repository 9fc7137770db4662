#include "ListTestHelpers.h"
#include "ModalHelpers.h"
#include "ScopedLocale.h"
#include "data/cCar.h"
#include "data/cLeague.h"
#include "data/cTeam.h"
#include "editors/races/frmRace.h"
#include "posting/cRaces.h"
#include "reports/generators/ReportPipeline.h"
#include "shell/Commands.h"
#include "shell/EntityCommands.h"
#include "shell/frmDisplayCars.h"
#include "shell/frmDisplayLeagues.h"
#include "shell/frmDisplayRaces.h"
#include "shell/frmDisplayScoring.h"
#include "shell/frmDisplayTeams.h"

#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>
#include <memory>

// The list windows' pattern: fill, selection by key, sorting, view modes, keys and mouse.
class ListWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void carsSortByNumberAndSelectTheFirstRow();
    void sortColumnSurvivesDisplay();
    void raceDateSortsByTheHiddenColumn();
    void datesSortByDayInEitherLocale_data();
    void datesSortByDayInEitherLocale();
    void leaguesSelectByNumberOnly();
    void openListsShowWhatIsStoredAndKeepTheirRow();
    void aListBroughtUpToDateShowsWhatANewListShows_data();
    void aListBroughtUpToDateShowsWhatANewListShows();
    void aListNotShownCatchesUpWhenShown();
    void moneyInTheUsersFormAsThePagesWriteIt();
    void viewModesFollowListViewMode_data();
    void viewModesFollowListViewMode();
    void keysAndMouseRunTheCommands();
    void aNewRaceIsSelectedOnceAdded();
    void screenshots();

private:
    RecordingUi& ui() { return m_data->ui(); }
    // A click on a column's header, as the user sorts a list.
    void clickHeader(ListWindow* window, int section) {
        QHeaderView* header = window->detailsView()->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
    }
    QStringList column(ListWindow* window, int col) {
        QStringList texts;
        for (int row = 0; row < window->rowCount(); ++row)
            texts << window->displayedText(row, col);
        return texts;
    }
    std::unique_ptr<TestDataFile> m_data;
};

void ListWindowsTest::init() {
    m_data = std::make_unique<TestDataFile>();
    QVERIFY(m_data->ok());
}

void ListWindowsTest::cleanup() {
    delete leaguesWindow();
    delete teamsWindow();
    delete carsWindow();
    delete racesWindow();
    delete scoringWindow();
    commands() = Commands{};
    m_data.reset();
}

void ListWindowsTest::carsSortByNumberAndSelectTheFirstRow() {
    addCar({.nmbr = 500,
            .txt = "9",
            .owner = "Owner",
            .driver = "Nine",
            .make = "Make",
            .sponsor = "Acme",
            .salary = 1500});
    addCar({.nmbr = 501,
            .txt = "24",
            .owner = "Owner",
            .driver = "Twenty-four",
            .make = "Make",
            .sponsor = "Acme",
            .salary = 900});
    addCar({.nmbr = 502,
            .txt = "10",
            .owner = "Owner",
            .driver = "Ten",
            .make = "Make",
            .sponsor = "Acme",
            .salary = 12000});
    addCar({.nmbr = 503,
            .raceType = 2,
            .carType = 3,
            .txt = "Top Bonus",
            .owner = "Owner",
            .driver = "Bonus",
            .make = "Make",
            .sponsor = "Acme"});
    displayCars(-1);
    frmDisplayCars* w = carsWindow();
    QVERIFY(w);
    QCOMPARE(column(w, 0), QStringList({"9", "10", "24", "Top Bonus"}));
    QCOMPARE(w->selectedDisplayRow(), 0);
    QCOMPARE(w->selectedCar()->carNmbr(), 500);
    QCOMPARE(w->displayedText(0, 5), QStringLiteral("$1,500.00"));
    QCOMPARE(w->displayedText(3, 6), QStringLiteral("Lakeshore Series"));
    // Amounts by size, not by their text ("$1,500.00" < "$12,000.00" < "$900.00").
    clickHeader(w, 5);
    QCOMPARE(column(w, 5), QStringList({"$0.00", "$900.00", "$1,500.00", "$12,000.00"}));

    displayCars(501);
    QCOMPARE(w->selectedCar()->carNmbr(), 501);
    QCOMPARE(carsWindow(), w);
}

void ListWindowsTest::sortColumnSurvivesDisplay() {
    addTeam({.nmbr = 500, .name = "charlie", .owner = "Zed"});
    addTeam({.nmbr = 501, .name = "Alpha", .owner = "yves"});
    addTeam({.nmbr = 502, .name = "bravo", .owner = "Xena"});
    displayTeams(QString());
    frmDisplayTeams* w = teamsWindow();
    QCOMPARE(column(w, 0), QStringList({"Alpha", "bravo", "charlie"}));

    QHeaderView* header = w->detailsView()->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
    QCOMPARE(w->sortColumn(), 1);
    QCOMPARE(column(w, 1), QStringList({"Xena", "yves", "Zed"}));

    // A second click does not reverse the order, and a new fill keeps the column.
    w->headerClicked(1);
    addTeam({.nmbr = 503, .name = "delta", .owner = "abe"});
    displayTeams(QStringLiteral("charlie"));
    QCOMPARE(w->sortColumn(), 1);
    QCOMPARE(column(w, 1), QStringList({"abe", "Xena", "yves", "Zed"}));
    QCOMPARE(w->displayedText(w->selectedDisplayRow(), 0), QStringLiteral("charlie"));
}

void ListWindowsTest::raceDateSortsByTheHiddenColumn() {
    addRace({.nmbr = 500, .name = "Winter Classic", .track = "Track 500", .date = "2001-12-15", .status = 1});
    addRace({.nmbr = 501, .name = "New Year Dash", .track = "Track 501", .date = "2002-01-10", .status = 1});
    displayRaces(QStringLiteral("Winter Classic"));
    frmDisplayRaces* w = racesWindow();
    QVERIFY(w->detailsView()->isColumnHidden(0));
    QCOMPARE(column(w, 1), QStringList({"12/15/2001", "1/10/2002"}));
    QCOMPARE(w->displayedText(w->selectedDisplayRow(), 2), QStringLiteral("Winter Classic"));

    w->headerClicked(2);
    QCOMPARE(column(w, 2), QStringList({"New Year Dash", "Winter Classic"}));
    w->headerClicked(1);
    QCOMPARE(w->sortColumn(), 0);
    QCOMPARE(column(w, 2), QStringList({"Winter Classic", "New Year Dash"}));
    QCOMPARE(w->displayedText(0, 4), QStringLiteral("Wexford Cup"));
    QCOMPARE(w->displayedText(0, 5), QStringLiteral("Car"));
}

void ListWindowsTest::datesSortByDayInEitherLocale_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("en_US") << ScopedLocale::american()
                           << QStringList({"3/1/2026", "3/8/2026", "12/13/2026", "1/10/2027", "2/1/2027"});
    QTest::newRow("en_GB") << ScopedLocale::british()
                           << QStringList({"01/03/2026", "08/03/2026", "13/12/2026", "10/01/2027", "01/02/2027"});
}

void ListWindowsTest::datesSortByDayInEitherLocale() {
    QFETCH(QLocale, locale);
    QFETCH(QStringList, shown);
    ScopedLocale scoped(locale);
    // Neither month-first nor day-first text is in date order.
    addRace({.nmbr = 500, .name = "Finale", .track = "Track 500", .date = "2026-12-13", .status = 1});
    addRace({.nmbr = 501, .name = "New Year", .track = "Track 501", .date = "2027-01-10", .status = 1});
    addRace({.nmbr = 502, .name = "Opener", .track = "Track 502", .date = "2026-03-01", .status = 1});
    addRace({.nmbr = 503, .name = "Second", .track = "Track 503", .date = "2026-03-08", .status = 1});
    addRace({.nmbr = 504, .name = "Winter", .track = "Track 504", .date = "2027-02-01", .status = 1});
    displayRaces(QString());
    frmDisplayRaces* w = racesWindow();
    QVERIFY(QTest::qWaitForWindowExposed(w, kWindowWait));
    QCOMPARE(column(w, 1), shown);
    QCOMPARE(w->displayedText(0, 2), QStringLiteral("Opener"));

    clickHeader(w, 2);
    clickHeader(w, 1);
    QCOMPARE(w->sortColumn(), 0);
    QCOMPARE(column(w, 1), shown);
    // The icon views show the date as the user reads it, too.
    QCOMPARE(column(w, 0), shown);
}

void ListWindowsTest::leaguesSelectByNumberOnly() {
    displayLeagues(-1);
    QCOMPARE(leaguesWindow()->detailsView()->header()->count(), 7);
    QCOMPARE(leaguesWindow()->rowCount(), 0);

    addLeague({.nmbr = 500, .name = "Sunday League", .shortName = "L500", .salaryCap = 1500});
    addLeague({.nmbr = 501, .name = "Monday League", .shortName = "L501", .scoringType = 2});
    displayLeagues(-2);
    QCOMPARE(leaguesWindow()->selectedDisplayRow(), -1);
    displayLeagues(500);
    frmDisplayLeagues* w = leaguesWindow();
    QCOMPARE(w->selectedLeague()->leagueNmbr(), 500);
    const int row = w->selectedDisplayRow();
    QCOMPARE(w->displayedText(row, 2), QStringLiteral("Standard Points"));
    QCOMPARE(w->displayedText(row, 3), QStringLiteral("Standard"));
    QCOMPARE(w->displayedText(row, 4), QStringLiteral("$1,500.00"));
    QCOMPARE(w->displayedText(row, 5), QStringLiteral("Wexford Cup"));
    QCOMPARE(w->displayedText(row, 6), QStringLiteral("Car"));
}

// Whatever stores (here a statement through the program's connection, as every store goes), the
// open lists read the data file again; the selected row stays on its entity while it is listed.
void ListWindowsTest::openListsShowWhatIsStoredAndKeepTheirRow() {
    addLeague({.nmbr = 500, .name = "Alpha", .shortName = "L500"});
    addLeague({.nmbr = 501, .name = "Bravo", .shortName = "L501"});
    addLeague({.nmbr = 502, .name = "Charlie", .shortName = "L502"});
    displayScoring(QString());
    displayLeagues(501);
    frmDisplayLeagues* leagues = leaguesWindow();
    frmDisplayScoring* methods = scoringWindow();
    clickHeader(leagues, 0);
    QCOMPARE(leagues->selectedLeague()->leagueNmbr(), 501);

    TestDataFile::exec(QStringLiteral("UPDATE leagues SET league_name = 'Zulu' WHERE league_nmbr = 501"));
    TestDataFile::exec(
        QStringLiteral("UPDATE scoring_type SET scoring_type_name = 'Renamed' WHERE scoring_type_nmbr = 1"));
    addRaceType({.nmbr = 500, .name = "Club Series"});
    TestDataFile::exec(QStringLiteral("UPDATE leagues SET race_type_nmbr = 500 WHERE league_nmbr = 502"));
    QTRY_COMPARE(column(leagues, 0), QStringList({"Alpha", "Charlie", "Zulu"}));
    QCOMPARE(leagues->selectedLeague()->leagueNmbr(), 501);
    QCOMPARE(leagues->selectedLeague()->leagueName(), QStringLiteral("Zulu"));
    QCOMPARE(leagues->selectedDisplayRow(), 2);
    QCOMPARE(leagues->displayedText(2, 2), QStringLiteral("Renamed"));
    QCOMPARE(leagues->displayedText(1, 5), QStringLiteral("Club Series"));
    QVERIFY(column(methods, 0).contains(QStringLiteral("Renamed")));

    // A row that is gone leaves nothing selected, rather than another league.
    TestDataFile::exec(QStringLiteral("DELETE FROM leagues WHERE league_nmbr = 501"));
    QTRY_COMPARE(leagues->rowCount(), 2);
    QVERIFY(!leagues->selectedLeague());
}

void ListWindowsTest::aListBroughtUpToDateShowsWhatANewListShows_data() {
    QTest::addColumn<int>("sortColumn");
    QTest::newRow("car number") << 0;
    QTest::newRow("driver") << 1;
    QTest::newRow("salary") << 5;
    QTest::newRow("race type, ties in number order") << 6;
}

// An open list follows rows added, changed (its sort column too) and removed, and names changed in
// a looked-up table, round after round: each time it shows exactly what a list filled anew shows,
// row by row, and each row stands for its own entity.
void ListWindowsTest::aListBroughtUpToDateShowsWhatANewListShows() {
    QFETCH(int, sortColumn);
    quint32 seed = 20240218;
    auto next = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 16) % quint32(n));
    };
    const QStringList drivers = {"ann", "Bob", "cy", "Dee", "eve", "Flo", "gus"};
    QList<int> stored;
    auto putRandomCar = [&](int nmbr) {
        const QString txt = next(4) == 0 ? QStringLiteral("X%1").arg(next(30)) : QString::number(next(60));
        // Drawn in a fixed order (salary, driver, race type), so that every compiler builds the same cars.
        const int salary = next(5) * 250;
        const QString driver = drivers.at(next(drivers.size()));
        const int raceType = 1 + next(2);
        addCar({.nmbr = nmbr,
                .raceType = raceType,
                .txt = txt,
                .owner = "Owner",
                .driver = driver,
                .make = "Make",
                .sponsor = "Acme",
                .salary = double(salary)});
        stored << nmbr;
    };
    for (int i = 0; i < 12; ++i)
        putRandomCar(600 + next(200));
    displayCars(-1);
    frmDisplayCars* w = carsWindow();
    w->headerClicked(sortColumn);

    for (int round = 0; round < 12; ++round) {
        for (int step = 1 + next(4); step > 0; --step) {
            const int nmbr = stored.isEmpty() ? 0 : stored.at(next(int(stored.size())));
            switch (nmbr == 0 ? 0 : next(6)) {
            case 0:
                putRandomCar(500 + next(400));
                break;
            case 1:
                TestDataFile::exec(QStringLiteral("DELETE FROM cars WHERE car_nmbr = %1").arg(nmbr));
                stored.removeAll(nmbr);
                break;
            case 2:
                TestDataFile::exec(
                    QStringLiteral("UPDATE cars SET salary = %1 WHERE car_nmbr = %2").arg(next(5) * 250).arg(nmbr));
                break;
            case 3:
                TestDataFile::exec(QStringLiteral("UPDATE cars SET driver_name = '%1', car_txt = '%2'"
                                                  " WHERE car_nmbr = %3")
                                       .arg(drivers.at(next(drivers.size())))
                                       .arg(next(60))
                                       .arg(nmbr));
                break;
            case 4:
                TestDataFile::exec(QStringLiteral("UPDATE cars SET race_type_nmbr = 3 - race_type_nmbr"
                                                  " WHERE car_nmbr = %1")
                                       .arg(nmbr));
                break;
            default:
                TestDataFile::exec(QStringLiteral("UPDATE race_type_dm SET race_type_name = 'Series %1'"
                                                  " WHERE race_type_nmbr = 2")
                                       .arg(next(9)));
                break;
            }
        }
        QTRY_VERIFY(!w->isStale());

        frmDisplayCars fresh;
        fresh.display(-1);
        fresh.headerClicked(sortColumn);
        QCOMPARE(w->rowCount(), fresh.rowCount());
        for (int row = 0; row < w->rowCount(); ++row) {
            for (int col = 0; col < 7; ++col)
                QCOMPARE(w->displayedText(row, col), fresh.displayedText(row, col));
            w->detailsView()->selectionModel()->setCurrentIndex(w->detailsView()->model()->index(row, 0),
                                                                QItemSelectionModel::ClearAndSelect |
                                                                    QItemSelectionModel::Rows);
            QVERIFY(w->selectedCar());
            QCOMPARE(w->selectedCar()->carTxt(), w->displayedText(row, 0));
            QCOMPARE(w->selectedCar()->driverName(), w->displayedText(row, 1));
        }
    }
}

// A list window not on screen leaves the change for later and shows it as soon as it is shown; a
// list none of whose tables changed has nothing to catch up on.
void ListWindowsTest::aListNotShownCatchesUpWhenShown() {
    addTeam({.nmbr = 500, .name = "Comets", .owner = "Owner"});
    displayScoring(QString());
    displayTeams(QStringLiteral("Comets"));
    frmDisplayTeams* w = teamsWindow();
    QVERIFY(QTest::qWaitForWindowExposed(w, kWindowWait));
    w->hide();
    addTeam({.nmbr = 501, .name = "Rockets", .owner = "Owner"});
    settle();
    QCOMPARE(w->rowCount(), 1);
    QVERIFY(w->isStale());
    QVERIFY(!scoringWindow()->isStale());
    w->show();
    QCOMPARE(w->rowCount(), 2);
    QVERIFY(!w->isStale());
    QCOMPARE(w->selectedTeam()->teamName(), QStringLiteral("Comets"));
}

void ListWindowsTest::moneyInTheUsersFormAsThePagesWriteIt() {
    ScopedLocale de(QLocale(QLocale::German, QLocale::Germany));
    const QString shown = QString::fromUtf8("1.500,00\u00a0\u20ac");
    QCOMPARE(cellMoney(1500.0), shown);
    addCar({.nmbr = 500,
            .txt = "9",
            .owner = "Owner",
            .driver = "Nine",
            .make = "Make",
            .sponsor = "Acme",
            .salary = 1500});
    displayCars(500);
    QCOMPARE(carsWindow()->displayedText(carsWindow()->selectedDisplayRow(), 5), shown);
    addLeague({.nmbr = 500, .name = "Sunday League", .shortName = "L500", .salaryCap = 1500});
    displayLeagues(500);
    QCOMPARE(leaguesWindow()->displayedText(leaguesWindow()->selectedDisplayRow(), 4), shown);
}

void ListWindowsTest::viewModesFollowListViewMode_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("shown");
    QTest::addColumn<bool>("icons");
    QTest::newRow("0 is details") << 0 << 3 << false;
    QTest::newRow("large icons") << 1 << 1 << true;
    QTest::newRow("list") << 2 << 2 << true;
    QTest::newRow("details") << 3 << 3 << false;
    QTest::newRow("small icons") << 4 << 4 << true;
    QTest::newRow("5 is details") << 5 << 3 << false;
}

void ListWindowsTest::viewModesFollowListViewMode() {
    QFETCH(int, mode);
    QFETCH(int, shown);
    QFETCH(bool, icons);
    commands().listViewMode = [mode] { return mode; };
    addTeam({.nmbr = 500, .name = "Rockets", .owner = "Owner"});
    addTeam({.nmbr = 501, .name = "Comets", .owner = "Owner"});
    displayTeams(QStringLiteral("Rockets"));
    frmDisplayTeams* w = teamsWindow();
    QCOMPARE(w->viewMode(), shown);
    QCOMPARE(w->currentView() == w->iconView(), icons);
    QCOMPARE(w->currentView()->isVisible(), true);
    // Both views show the same selection.
    QCOMPARE(w->iconView()->selectionModel(), w->detailsView()->selectionModel());
    QCOMPARE(w->selectedTeam()->teamName(), QStringLiteral("Rockets"));
}

void ListWindowsTest::keysAndMouseRunTheCommands() {
    QList<EntityKind> popups;
    commands().popupEntityMenu = [&popups](EntityKind kind, const QPoint&) { popups << kind; };
    addRace({.nmbr = 500, .name = "Opener", .track = "Track 500", .date = "2024-02-18", .status = 1});
    addRace({.nmbr = 501, .name = "Midseason", .track = "Track 501", .date = "2024-06-02", .status = 1});
    addRace({.nmbr = 502, .name = "Finale", .track = "Track 502", .date = "2024-11-10", .status = 1});
    displayRaces(QString());
    frmDisplayRaces* w = racesWindow();
    QVERIFY(QTest::qWaitForWindowExposed(w, kWindowWait));
    QTreeView* view = w->detailsView();

    int edited = 0;
    commands().editRace = [&edited](cRaces&) { ++edited; };
    QTest::keyClick(view, Qt::Key_Return);
    QTest::keyClick(view, Qt::Key_Insert);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(0, 2)).center());
    commands().editRace = nullptr;
    QCOMPARE(edited, 3);

    QTest::mouseClick(view->viewport(), Qt::RightButton, {}, view->visualRect(view->model()->index(0, 2)).center());
    QCOMPARE(popups, QList<EntityKind>({EntityKind::Race}));

    // The keys move the highlight itself, in a list view and in the details (first column hidden).
    w->setView(2);
    QString opened;
    commands().editRace = [&opened](cRaces& race) { opened = race.raceName(); };
    for (Qt::Key key : {Qt::Key_Home, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Return})
        QTest::keyClick(w->currentView(), key);
    QCOMPARE(opened, QStringLiteral("Midseason"));
    w->setView(3);
    QTest::keyClick(view, Qt::Key_Down);
    ui().answers = {AnswerNo};
    QTest::keyClick(view, Qt::Key_Delete);
    QCOMPARE(ui().boxes.size(), 1);
    QCOMPARE(ui().boxes[0].text, QStringLiteral("Are you sure you want to delete Race?"));
    QCOMPARE(ui().boxes[0].title, QStringLiteral("Finale"));
    QCOMPARE(TestDataFile::count("SELECT count(*) FROM races"), 3);
}

// A race added through the race window is the row selected afterwards, as a new entry of the
// other lists is; the list keeps its sort column.
void ListWindowsTest::aNewRaceIsSelectedOnceAdded() {
    addRace({.nmbr = 500, .name = "Opener", .track = "Track 500", .date = "2024-02-18", .status = 1});
    addRace({.nmbr = 501, .name = "Finale", .track = "Track 501", .date = "2024-11-10", .status = 1});
    displayRaces(QStringLiteral("Finale"));
    frmDisplayRaces* w = racesWindow();
    QVERIFY(QTest::qWaitForWindowExposed(w, kWindowWait));
    commands().editRace = [](cRaces& race) {
        frmRace editor;
        whileModal<frmRace>([](frmRace* window) {
            auto type = [window](const char* name, const QString& text) {
                auto* box = window->findChild<QLineEdit*>(QLatin1String(name));
                QTest::mouseClick(box, Qt::LeftButton);
                box->selectAll();
                QTest::keyClicks(box, text);
            };
            type("txtRaceName", QStringLiteral("Midsummer 300"));
            type("txtTrackName", QStringLiteral("Bay Oval"));
            for (const char* name : {"cmbRaceType", "cmbCarType"}) {
                auto* list = window->findChild<QComboBox*>(QLatin1String(name));
                list->setCurrentIndex(list->findData(1));
                emit list->activated(list->currentIndex());
            }
            type("txtRaceDate", QStringLiteral("6/21/2024"));
            QTest::mouseClick(window->okButton(), Qt::LeftButton);
        });
        editor.showWith(race);
    };
    QTest::keyClick(w->detailsView(), Qt::Key_Insert);
    commands().editRace = nullptr;
    QCOMPARE(TestDataFile::count("SELECT count(*) FROM races"), 3);
    QCOMPARE(w->displayedText(w->selectedDisplayRow(), 2), QStringLiteral("Midsummer 300"));
    QCOMPARE(column(w, 2), QStringList({"Opener", "Midsummer 300", "Finale"}));
    settle();
    QCOMPARE(w->displayedText(w->selectedDisplayRow(), 2), QStringLiteral("Midsummer 300"));
}

// With QV_SCREENSHOT_DIR set, saves a picture of each list window in details view.
void ListWindowsTest::screenshots() {
    const QString dir = qEnvironmentVariable("QV_SCREENSHOT_DIR");
    if (dir.isEmpty())
        QSKIP("QV_SCREENSHOT_DIR not set");
    addLeague({.nmbr = 500, .name = "Sunday Night League", .shortName = "L500", .salaryCap = 50000});
    addLeague({.nmbr = 501, .name = "Office Pool", .shortName = "L501", .scoringType = 2});
    addLeague({.nmbr = 502, .name = "Open Wheel Friends", .shortName = "L502", .salaryCap = 25000});
    addTeam({.nmbr = 500, .name = "Rockets", .owner = "Ann Baker"});
    addTeam({.nmbr = 501, .name = "Comets", .owner = "Carl Dunn"});
    addTeam({.nmbr = 502, .name = "Lightning", .owner = "Eve Ford"});
    addCar({.nmbr = 500,
            .txt = "24",
            .owner = "Owner",
            .driver = "Red Dalton",
            .make = "Make",
            .sponsor = "Acme",
            .group = 1,
            .salary = 15000});
    addCar({.nmbr = 501,
            .txt = "3",
            .owner = "Owner",
            .driver = "Sam Ortega",
            .make = "Make",
            .sponsor = "Acme",
            .group = 2,
            .salary = 12500});
    addCar({.nmbr = 502,
            .carType = 2,
            .txt = "10",
            .owner = "Owner",
            .driver = "Lee Park",
            .make = "Make",
            .sponsor = "Acme",
            .salary = 9000});
    addCar({.nmbr = 503,
            .raceType = 6,
            .txt = "44",
            .owner = "Owner",
            .driver = "Max Holm",
            .make = "Make",
            .sponsor = "Acme",
            .salary = 30000});
    addRace({.nmbr = 500, .name = "Season Opener", .track = "Track 500", .date = "2024-02-18", .status = 1});
    addRace({.nmbr = 501, .name = "Desert 400", .track = "Track 501", .date = "2024-03-03", .status = 1});
    addRace({.nmbr = 502,
             .name = "Harbour Grand Prix",
             .track = "Track 502",
             .date = "2024-03-24",
             .raceType = 6,
             .status = 1});
    addScoringType({.nmbr = 500, .name = "House Rules"});

    displayLeagues(-1);
    displayTeams(QString());
    displayCars(-1);
    displayRaces(QString());
    displayScoring(QString());
    const QList<QPair<ListWindow*, QString>> shots = {{leaguesWindow(), QStringLiteral("list-leagues.png")},
                                                      {teamsWindow(), QStringLiteral("list-teams.png")},
                                                      {carsWindow(), QStringLiteral("list-cars.png")},
                                                      {racesWindow(), QStringLiteral("list-races.png")},
                                                      {scoringWindow(), QStringLiteral("list-scoring.png")}};
    for (const auto& [window, name] : shots) {
        QVERIFY(QTest::qWaitForWindowExposed(window, kWindowWait));
        // Wide enough to show every column.
        window->resize(std::max(window->width(), window->detailsView()->header()->length() + 8),
                       std::min(window->height(), 360));
        QVERIFY(window->grab().save(QDir(dir).filePath(name)));
    }
}

QTEST_MAIN(ListWindowsTest)
#include "tst_list_windows.moc"
