// The race window driven through its controls: saving race data and results, posting with the
// later races of the type, clearing postings and results, pairings per league, save and cancel.
//
// Cars 1..4 ("Car 1".."Car 4") of race type 1; teams Alpha (501) and Bravo (502) in league 501,
// Charlie (503) and Delta (504) in league 502, both of race type 1 scored by cars with the shipped
// scoring method 1. Races 1..4 of type 1 on 3/1, 3/8, 3/15 and 3/22/2024; races 1..3 have results.

#include "ModalHelpers.h"
#include "ScopedLocale.h"
#include "SeasonBuilder.h"
#include "TestDataFile.h"
#include "data/Feedback.h"
#include "data/Paths.h"
#include "editors/races/frmRace.h"
#include "kit/EditorGrid.h"
#include "platform/Clock.h"
#include "posting/Scoring.h"
#include "posting/SqlScript.h"
#include "posting/cRaces.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>
#include <memory>

namespace {

int count(const QString& sql) {
    return TestDataFile::scalar(sql).toInt();
}
int postedRows(int race) {
    return count(QStringLiteral("SELECT count(*) FROM team_results WHERE race_nmbr = %1").arg(race));
}
int resultRows(int race) {
    return count(QStringLiteral("SELECT count(*) FROM results WHERE race_nmbr = %1").arg(race));
}

} // namespace

class tst_RaceWindow : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestDataFile> m_data;
    std::unique_ptr<cRaces> m_race;
    std::unique_ptr<frmRace> m_w;

    RecordingUi& ui() { return m_data->ui(); }
    template <class T> T* child(const char* name) {
        T* w = m_w->findChild<T*>(QLatin1String(name));
        if (!w)
            qFatal("no child %s", name);
        return w;
    }
    QTabWidget* tabs() { return child<QTabWidget>("SSTab1"); }
    EditorGrid* grid() { return child<EditorGrid>("resultsGrid"); }
    EditorGrid* pairs() { return child<EditorGrid>("headToHeadGrid"); }
    QLineEdit* cell(EditorGrid* g, int row, int col) { return qobject_cast<QLineEdit*>(g->cell(row, col)); }

    // Opens the window on a stored race (0: a new race), shown and active.
    void open(int raceNmbr) {
        m_race = std::make_unique<cRaces>();
        if (raceNmbr > 0)
            QVERIFY(m_race->load(raceNmbr));
        m_w = std::make_unique<frmRace>();
        m_w->loadWith(*m_race);
        m_w->show();
        m_w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_w.get(), kWindowWait));
        ui().clear();
    }
    void choose(QComboBox* box, int number) {
        const int index = box->findData(number);
        QVERIFY(index >= 0);
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    // Picks an item from the floating list of a List cell, as the user does.
    void pick(EditorGrid* g, int row, int col, const QString& text) {
        g->focusCell(row, col);
        QTRY_VERIFY(g->floatingList()->isVisible() && g->floatingRow() == row);
        const int index = g->floatingList()->findText(text);
        QVERIFY(index >= 0);
        g->floatingList()->setCurrentIndex(index);
        g->floatingList()->clearFocus(); // the list copies its choice back as it loses the focus
        QTRY_VERIFY(!g->floatingList()->isVisible());
    }
    void type(QLineEdit* box, const QString& text) {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
    }

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void init() {
        m_data = std::make_unique<TestDataFile>();
        QVERIFY(m_data->ok());
        for (int c = 1; c <= 4; ++c)
            addCar({.nmbr = c, .txt = QStringLiteral("Car %1").arg(c)});
        addTeam({.nmbr = 501, .name = "Alpha"});
        addTeam({.nmbr = 502, .name = "Bravo"});
        addTeam({.nmbr = 503, .name = "Charlie"});
        addTeam({.nmbr = 504, .name = "Delta"});
        SeasonBuilder::league({.nmbr = 501, .name = "League A", .shortName = "LA"}, {501, 502});
        SeasonBuilder::league({.nmbr = 502, .name = "League B", .shortName = "LB"}, {503, 504});
        SeasonBuilder::hold(501, {1, 2});
        SeasonBuilder::hold(502, {3});
        SeasonBuilder::hold(503, {4});
        // Races 1 to 3 have the same results; race 4 has none.
        const auto withResults = [](const RaceRow& race) {
            SeasonBuilder::race(race, {{.car = 1, .place = 1, .qualified = 1, .lapsLed = 10},
                                       {.car = 2, .place = 2, .qualified = 2},
                                       {.car = 3, .place = 3, .qualified = 3, .fastQual = 1},
                                       {.car = 4, .place = 4, .qualified = 4}});
        };
        withResults({.nmbr = 1, .name = "Race One", .track = "T", .date = "2024-03-01"});
        withResults({.nmbr = 2, .name = "Race Two", .track = "T", .date = "2024-03-08"});
        withResults({.nmbr = 3, .name = "Race Three", .track = "T", .date = "2024-03-15"});
        SeasonBuilder::race({.nmbr = 4, .name = "Race Four", .track = "T", .date = "2024-03-22", .status = 1});
    }

    void cleanup() {
        m_w.reset();
        m_race.reset();
        m_data.reset();
    }

    void newRaceNeedsNameAndAFreeDate() {
        open(0);
        tabs()->setCurrentIndex(frmRace::TabResults);
        QCOMPARE(tabs()->currentIndex(), int(frmRace::TabRace));
        QCOMPARE(ui().lastBoxText(), QStringLiteral("Race Name is a required field"));
        QCOMPARE(ui().boxes.size(), 1);

        type(child<QLineEdit>("txtRaceName"), QStringLiteral("Race Five"));
        choose(child<QComboBox>("cmbRaceType"), 1);
        choose(child<QComboBox>("cmbCarType"), 1);
        child<QLineEdit>("txtRaceDate")->setText(QStringLiteral("3/8/2024"));
        ui().clear();
        tabs()->setCurrentIndex(frmRace::TabResults);
        QCOMPARE(tabs()->currentIndex(), int(frmRace::TabRace));
        QCOMPARE(ui().lastBoxText(), QStringLiteral("A Race already exists for this Date.\r\n"
                                                    "Only one Race can exist per date per Race Type and Scoring By."));
        QCOMPARE(count("SELECT count(*) FROM races"), 4);

        child<QLineEdit>("txtRaceDate")->setText(QStringLiteral("2024-04-05"));
        tabs()->setCurrentIndex(frmRace::TabResults);
        QCOMPARE(tabs()->currentIndex(), int(frmRace::TabResults));
        QVERIFY(m_race->raceNmbr() >= 500);
        QCOMPARE(
            TestDataFile::scalar(QStringLiteral("SELECT race_dt FROM races WHERE race_name = 'Race Five'")).toString(),
            QStringLiteral("2024-04-05"));
        QVERIFY(!m_w->raceChanged());
        QVERIFY(!child<QPushButton>("cmdApply")->isEnabled());
        // A race without results shows one row from place 1.
        QCOMPARE(grid()->rowCount(), 1);
        QCOMPARE(grid()->text(0, 0), QStringLiteral("1"));
        QCOMPARE(grid()->text(0, 1), QString());

        // A stored race may move onto a date another race of its type has.
        child<QLineEdit>("txtRaceDate")->setText(QStringLiteral("3/1/2024"));
        QVERIFY(m_w->raceChanged());
        child<QPushButton>("cmdApply")->click();
        QVERIFY(!m_w->raceChanged());
        QCOMPARE(count("SELECT count(*) FROM races WHERE race_dt = '2024-03-01'"), 2);
    }

    void resultsAreSavedOnlyWithoutDuplicates() {
        open(4);
        tabs()->setCurrentIndex(frmRace::TabResults);
        pick(grid(), 0, 1, QStringLiteral("Car 1"));
        QVERIFY(m_w->resultsChanged());
        QTest::keyClick(cell(grid(), 0, 2), Qt::Key_Return);
        QCOMPARE(grid()->rowCount(), 2);
        QCOMPARE(grid()->rowTexts(1), (QStringList{"2", "", "0", "0", "0", "0"}));

        ui().clear();
        pick(grid(), 1, 1, QStringLiteral("Car 1"));
        QCOMPARE(ui().boxes.size(), 1);
        QCOMPARE(ui().lastBoxText(), QStringLiteral("Car Car 1 has already been used"));
        QCOMPARE(grid()->text(1, 1), QStringLiteral("Car 1")); // the refused car stays in its row

        // Leaving the tab refuses both duplicates in one box and stores nothing.
        type(cell(grid(), 1, 0), QStringLiteral("1"));
        ui().clear();
        tabs()->setCurrentIndex(frmRace::TabRace);
        QCOMPARE(tabs()->currentIndex(), int(frmRace::TabResults));
        QCOMPARE(ui().boxes.size(), 1);
        QCOMPARE(ui().boxes[0].title, QStringLiteral("Errors while save results for Race Four"));
        QCOMPARE(ui().boxes[0].text,
                 QStringLiteral("Car Number Car 1 exists more than once.\r\n Place 1 exists more than once.\r\n"));
        QCOMPARE(resultRows(4), 0);

        pick(grid(), 1, 1, QStringLiteral("Car 2"));
        type(cell(grid(), 1, 0), QStringLiteral("2"));
        type(cell(grid(), 1, 2), QStringLiteral("15"));
        // A row without a car is no result.
        QTest::keyClick(cell(grid(), 1, 2), Qt::Key_Return);
        QCOMPARE(grid()->rowCount(), 3);
        ui().clear();
        tabs()->setCurrentIndex(frmRace::TabRace);
        QCOMPARE(tabs()->currentIndex(), int(frmRace::TabRace));
        QCOMPARE(ui().boxes.size(), 0);
        QCOMPARE(resultRows(4), 2);
        QCOMPARE(count("SELECT laps_led FROM results WHERE race_nmbr = 4 AND car_nmbr = 2 AND place = 2"), 15);
        QVERIFY(!m_w->resultsChanged());
    }

    void aCellStillBeingTypedIsCheckedBeforeSaving() {
        open(1);
        tabs()->setCurrentIndex(frmRace::TabResults);
        QCOMPARE(grid()->rowCount(), 4);
        QCOMPARE(grid()->text(2, 1), QStringLiteral("Car 3"));
        QCOMPARE(grid()->text(2, 5), QStringLiteral("1"));
        // Too large for the column it is stored in, and typed without leaving the cell.
        cell(grid(), 0, 2)->setFocus();
        cell(grid(), 0, 2)->setText(QStringLiteral("40000"));
        ui().clear();
        child<QPushButton>("cmdApply")->click(); // as its shortcut does, without taking the focus
        QCOMPARE(ui().lastBoxText(), QStringLiteral("Invalid Entry"));
        QCOMPARE(count("SELECT laps_led FROM results WHERE race_nmbr = 1 AND car_nmbr = 1"), 10);
        QVERIFY(m_w->resultsChanged());
    }

    // Keys go where the focus is: Enter on the top row of a short grid keeps every row in view, and
    // a car typed by its name into the floating list, blanks included, is the car the row takes.
    void resultsGridTakesKeysAsTyped() {
        open(1);
        QTabBar* bar = tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(frmRace::TabResults).center());
        QCOMPARE(tabs()->currentIndex(), int(frmRace::TabResults));
        // The results are typed from the first cell on.
        QCOMPARE(QApplication::focusWidget(), cell(grid(), 0, 0));

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        settle();
        QVERIFY(grid()->isRowShown(0));
        QCOMPARE(grid()->firstShownRow(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), grid()->floatingList(), kWindowWait);
        QCOMPARE(grid()->floatingRow(), 1);

        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Car 4"));
        QVERIFY(!grid()->floatingList()->view()->isVisible());
        QCOMPARE(grid()->floatingList()->currentText(), QStringLiteral("Car 4"));
        // A blank typed once the search has lapsed neither opens the list nor loses the car.
        QTest::qWait(QApplication::keyboardInputInterval() + 100);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QVERIFY(!grid()->floatingList()->view()->isVisible());
        QCOMPARE(grid()->floatingList()->currentText(), QStringLiteral("Car 4"));

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTRY_VERIFY(!grid()->floatingList()->isVisible());
        QCOMPARE(grid()->text(1, 1), QStringLiteral("Car 4"));
        QCOMPARE(grid()->number(1, 1), 4);
        QVERIFY(m_w->resultsChanged());
    }

    // A click on Post Results while a refused entry is being typed: the refusal shows once, the
    // cell keeps the focus, and nothing is posted.
    void postClickedFromARefusedCellPostsNothing() {
        open(1);
        tabs()->setCurrentIndex(frmRace::TabResults);
        QTest::mouseClick(cell(grid(), 0, 0), Qt::LeftButton);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("-3"));
        ui().clear();
        QTest::mouseClick(child<QPushButton>("cmdPostResults"), Qt::LeftButton);
        settle();
        QCOMPARE(ui().boxes.size(), 1);
        QCOMPARE(ui().lastBoxText(), QStringLiteral("Invalid Entry"));
        QCOMPARE(postedRows(1), 0);
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), cell(grid(), 0, 0), kWindowWait);
    }

    void raceTypeStaysWhileResultsExist() {
        open(1);
        auto* types = child<QComboBox>("cmbRaceType");
        choose(types, 2);
        QCOMPARE(ui().lastBoxText(), QStringLiteral("Can not change Race Type while Results exist for the Race"));
        QCOMPARE(m_race->raceTypeNmbr(), 1);
        QCOMPARE(types->currentData().toInt(), 1);
        QVERIFY(!m_w->raceChanged());
    }

    void aStoredResultKeepsACarOutsideTheList() {
        // Car 4 has since moved to another series, and a driver of the race's series came in.
        TestDataFile::exec("UPDATE cars SET race_type_nmbr = 2 WHERE car_nmbr = 4");
        open(1);
        tabs()->setCurrentIndex(frmRace::TabResults);
        QCOMPARE(grid()->rowCount(), 4);
        QCOMPARE(grid()->text(3, 1), QStringLiteral("Car 4"));
        QCOMPARE(grid()->number(3, 1), 4);
        // Another row edited and the tab left: every stored result is written back with its car.
        grid()->focusCell(0, 2);
        QTRY_COMPARE(cell(grid(), 0, 2)->selectedText(), QStringLiteral("10"));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("7"));
        QVERIFY(m_w->resultsChanged());
        tabs()->setCurrentIndex(frmRace::TabRace);
        QCOMPARE(tabs()->currentIndex(), int(frmRace::TabRace));
        QCOMPARE(resultRows(1), 4);
        QCOMPARE(count("SELECT count(*) FROM results WHERE race_nmbr = 1 AND car_nmbr = 4 AND place = 4"), 1);
        QCOMPARE(count("SELECT laps_led FROM results WHERE race_nmbr = 1 AND car_nmbr = 1"), 7);
    }

    void anAcceptedSeriesOrScoreByChangeOffersThatListOnly() {
        addCar({.nmbr = 11, .raceType = 2, .txt = "Other 11", .driver = ""});
        addCar({.nmbr = 12, .raceType = 2, .carType = 2, .txt = "12", .driver = "Pat Driver"});
        open(4);
        choose(child<QComboBox>("cmbRaceType"), 2);
        QVERIFY(ui().boxes.isEmpty());
        tabs()->setCurrentIndex(frmRace::TabResults);
        QCOMPARE(tabs()->currentIndex(), int(frmRace::TabResults));
        QComboBox* list = grid()->floatingList();
        QCOMPARE(list->findText(QStringLiteral("Car 1")), -1);
        QVERIFY(list->findText(QStringLiteral("Other 11")) >= 0);
        QCOMPARE(list->findText(QStringLiteral("Pat Driver")), -1);

        tabs()->setCurrentIndex(frmRace::TabRace);
        choose(child<QComboBox>("cmbCarType"), 2);
        QVERIFY(ui().boxes.isEmpty());
        tabs()->setCurrentIndex(frmRace::TabResults);
        QCOMPARE(list->findText(QStringLiteral("Other 11")), -1);
        pick(grid(), 0, 1, QStringLiteral("Pat Driver"));
        tabs()->setCurrentIndex(frmRace::TabRace);
        QCOMPARE(tabs()->currentIndex(), int(frmRace::TabRace));
        QCOMPARE(count("SELECT car_nmbr FROM results WHERE race_nmbr = 4"), 12);
        QCOMPARE(count("SELECT race_type_nmbr * 10 + car_type_nmbr FROM races WHERE race_nmbr = 4"), 22);
    }

    void postingOffersLaterRacesUntilDeclined_data() {
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<int>("questions");
        QTest::addColumn<bool>("race2Posted");
        QTest::newRow("yes, no") << QList<int>{AnswerYes, AnswerNo} << 2 << true;
        QTest::newRow("no") << QList<int>{AnswerNo} << 1 << false;
    }

    void postingOffersLaterRacesUntilDeclined() {
        QFETCH(QList<int>, answers);
        QFETCH(int, questions);
        QFETCH(bool, race2Posted);
        SeasonBuilder::post(2);
        SeasonBuilder::post(3);
        addTeamResult({.race = 4, .car = 1, .team = 501, .league = 501});
        QVERIFY(postedRows(3) > 0);
        open(1);
        tabs()->setCurrentIndex(frmRace::TabResults);
        type(cell(grid(), 0, 2), QStringLiteral("12"));
        ui().answers = answers;
        child<QPushButton>("cmdPostResults")->click();

        // Saved first, then posted.
        QCOMPARE(count("SELECT laps_led FROM results WHERE race_nmbr = 1 AND car_nmbr = 1"), 12);
        QVERIFY(postedRows(1) > 0);
        QCOMPARE(ui().boxes.size(), questions);
        QCOMPARE(ui().boxes[0].text, QStringLiteral("Do you want to post results for Race Two now?\r\n"
                                                    "No leaves Race Two and the Races after it unposted."));
        QCOMPARE(ui().boxes[0].title, QStringLiteral("Quorvanti"));
        QCOMPARE(postedRows(2) > 0, race2Posted);
        QCOMPARE(postedRows(3), 0);
        QCOMPARE(postedRows(4), 0); // no results: never asked about, its posting removed
        QCOMPARE(ui().statusTexts.last(),
                 race2Posted ? QStringLiteral("Results Posted Race One and Race Two") : "Results Posted Race One");
        QVERIFY(!child<QProgressBar>("pbStatus")->isVisible());
        // The posting's steps were shown on this window's bar.
        QCOMPARE(ui().progressTarget, static_cast<QObject*>(child<QProgressBar>("pbStatus")));
        QVERIFY(ui().progressSteps > 0);
        QCOMPARE(ui().pointer(), int(PointerDefault));
        QVERIFY(!m_w->resultsChanged());
    }

    void laterRacesAreOfferedOnlyWhenALeagueCarriesThroughTheRace_data() {
        QTest::addColumn<bool>("driverLeague");
        QTest::newRow("car leagues only") << false;
        QTest::newRow("and a driver league") << true;
    }

    // A driver race of the type on 3/5, between races 1 and 2. The car leagues carry nothing from
    // it, so unless a league scores drivers its posting leaves the later races alone.
    void laterRacesAreOfferedOnlyWhenALeagueCarriesThroughTheRace() {
        QFETCH(bool, driverLeague);
        addRace({.nmbr = 5, .name = "Driver Race", .track = "T", .date = "2024-03-05", .carType = 2});
        addCar({.nmbr = 9, .carType = 2, .txt = "Driver 9"});
        addResult({.car = 9, .race = 5, .place = 1, .qualified = 1});
        if (driverLeague)
            addLeague({.nmbr = 503, .name = "League C", .shortName = "LC", .carType = 2});
        SeasonBuilder::post(2);
        SeasonBuilder::post(3);
        const int race2 = postedRows(2);
        const int race3 = postedRows(3);
        open(5);
        tabs()->setCurrentIndex(frmRace::TabResults);
        ui().answers = {AnswerYes, AnswerYes};
        child<QPushButton>("cmdPostResults")->click();

        QVERIFY(postedRows(5) > 0); // the car leagues' holdings did not run there
        if (driverLeague) {
            QCOMPARE(ui().boxes.size(), 2);
            QCOMPARE(ui().boxes[0].text, QStringLiteral("Do you want to post results for Race Two now?\r\n"
                                                        "No leaves Race Two and the Races after it unposted."));
            QCOMPARE(ui().boxes[1].text, QStringLiteral("Do you want to post results for Race Three now?\r\n"
                                                        "No leaves Race Three unposted."));
        } else {
            QCOMPARE(ui().boxes.size(), 0);
        }
        QCOMPARE(postedRows(2), race2);
        QCOMPARE(postedRows(3), race3);
        QCOMPARE(ui().pointer(), int(PointerDefault));
    }

    // A site script that never ends runs until the user stops it: after about a second a window says
    // so, Escape stops it, and one box and the status bar say that the race keeps its earlier posting; the
    // later races keep theirs, and the race window is free again.
    void postingWithAScriptWithoutEndRunsUntilEscapeStopsIt() {
        ScopedLocale german(QLocale(QLocale::German, QLocale::Germany));
        for (int race : {1, 2, 3})
            SeasonBuilder::post(race);
        const QString before = TestDataFile::scalar("SELECT group_concat(rowid || ':' || points || ':' || "
                                                    "total_points) FROM team_results")
                                   .toString();
        QFile script(QDir(programFolder()).filePath(QStringLiteral("scoring.qv")));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("UPDATE team_results SET adjustment = 1 WHERE league_nmbr = %league_nmbr% AND race_nmbr = "
                     "%race_nmbr%;\r\nWITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) "
                     "SELECT count(*) FROM c;\r\n");
        script.close();
        open(1);
        tabs()->setCurrentIndex(frmRace::TabResults);
        AnsweredBoxes boxes({QMessageBox::Ok});
        QLabel status;
        ::ui().setStatusTarget(&status);
        QString said;
        QTimer escape;
        connect(&escape, &QTimer::timeout, this, [&] {
            QWidget* w = QApplication::activeModalWidget();
            if (!w || w->objectName() != QLatin1String("frmStopScript") || !activeNow(w) ||
                !QTest::qWaitFor([w] { return QApplication::activeWindow() == w; }, kWindowWait))
                return;
            escape.stop();
            said = w->findChild<QLabel*>()->text();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        });
        escape.start(20);
        child<QPushButton>("cmdPostResults")->click();
        QCOMPARE(said, QStringLiteral("Running the site script for Race One...\r\nStop leaves Race One as it was."));
        QCOMPARE(boxes.texts.size(), 1);
        const QString kept = QStringLiteral("the earlier posting of the race stays as it was");
        QVERIFY2(boxes.texts[0].contains(QStringLiteral("it was stopped before its end; ") + kept + ": WITH"),
                 qPrintable(boxes.texts[0]));
        QCOMPARE(status.text(), QStringLiteral("Results Not Posted Race One; ") + kept);
        QCOMPARE(TestDataFile::scalar("SELECT group_concat(rowid || ':' || points || ':' || total_points) FROM "
                                      "team_results")
                     .toString(),
                 before);
        QVERIFY(!child<QProgressBar>("pbStatus")->isVisible());
        QCOMPARE(::ui().pointer(), int(PointerDefault));
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(child<QPushButton>("cmdPostResults")->isEnabled());
    }

    void postingStopsWhenTheSaveIsRefused() {
        open(1);
        tabs()->setCurrentIndex(frmRace::TabResults);
        pick(grid(), 1, 1, QStringLiteral("Car 1"));
        ui().clear();
        child<QPushButton>("cmdPostResults")->click();
        QCOMPARE(ui().boxes.size(), 1);
        QVERIFY(ui().boxes[0].title.startsWith(QStringLiteral("Errors while save results for")));
        QCOMPARE(postedRows(1), 0);
        QCOMPARE(resultRows(1), 4);
    }

    // Race 2 carried its totals from race 1's posting, race 3 from race 2's.
    void clearPostingOffersTheRacesThatCarriedFromIt() {
        SeasonBuilder::post(1);
        SeasonBuilder::post(2);
        SeasonBuilder::post(3);
        const QString carried =
            QStringLiteral("SELECT sum(total_points - points) FROM team_results WHERE race_nmbr = 2");
        QVERIFY(count(carried) > 0);
        open(1);
        tabs()->setCurrentIndex(frmRace::TabResults);
        ui().answers = {AnswerCancel};
        child<QPushButton>("cmdClearPosting")->click();
        QVERIFY(postedRows(1) > 0);
        QCOMPARE(ui().boxes.size(), 1);

        ui().clear();
        ui().answers = {AnswerOk, AnswerYes, AnswerNo};
        child<QPushButton>("cmdClearPosting")->click();
        QCOMPARE(ui().boxes.size(), 3);
        QCOMPARE(ui().boxes[0].text, QStringLiteral("Are you sure you want to delete the posting for Race One?"));
        QCOMPARE(ui().boxes[1].text, QStringLiteral("The posting for Race Two was removed with the posting for Race "
                                                    "One.\r\nDo you want to post results for Race Two now?\r\n"
                                                    "No leaves Race Two and the Races after it unposted."));
        QCOMPARE(ui().boxes[2].text, QStringLiteral("The posting for Race Three was removed with the posting for Race "
                                                    "One.\r\nDo you want to post results for Race Three now?\r\n"
                                                    "No leaves Race Three unposted."));
        QCOMPARE(postedRows(1), 0);
        QVERIFY(postedRows(2) > 0);
        QCOMPARE(count(carried), 0);
        QCOMPARE(postedRows(3), 0); // declined: a posting that can no longer be right goes
        QCOMPARE(ui().statusTexts.last(), QStringLiteral("Posting Cleared Race One; Results Posted Race Two"));
        QCOMPARE(resultRows(1), 4);
        QVERIFY(!child<QProgressBar>("pbStatus")->isVisible());
        QCOMPARE(ui().pointer(), int(PointerDefault));

        // Without a posting to clear nothing later changes, and nothing is asked.
        ui().clear();
        child<QPushButton>("cmdClearPosting")->click();
        QCOMPARE(ui().boxes.size(), 1);
        QVERIFY(postedRows(2) > 0);
    }

    // On the Results tab of a posted race, Alt+O is OK and closes the window; Clear Posting has a key
    // of its own, and Ctrl+Tab and Ctrl+PgUp bring the tabs up from wherever the focus is.
    void eachKeyPressesWhatItShows() {
        SeasonBuilder::post(1);
        const int posted = postedRows(1);
        open(1);
        const auto press = [](int key, Qt::KeyboardModifiers modifiers) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
            QCoreApplication::processEvents();
        };
        press(Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(tabs()->currentIndex(), int(frmRace::TabResults));
        QTRY_VERIFY(tabs()->currentWidget()->isAncestorOf(QApplication::focusWidget()));
        // Head to Head is switched off, so the tab after Results is the first again.
        press(Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(tabs()->currentIndex(), int(frmRace::TabRace));
        press(Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(tabs()->currentIndex(), int(frmRace::TabResults));
        QCOMPARE(child<QPushButton>("cmdClearPosting")->text(), QStringLiteral("Clear Po&sting"));

        // A key presses its button as a click does, a moment later. Post Results says when it is done.
        ui().answers = {AnswerNo, AnswerNo, AnswerNo};
        press(Qt::Key_P, Qt::AltModifier);
        QTRY_COMPARE(ui().statusTexts.value(ui().statusTexts.size() - 1), QStringLiteral("Results Posted Race One"));
        QCOMPARE(postedRows(1), posted);
        ui().clear();
        ui().answers = {AnswerCancel};
        press(Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(ui().lastBoxText(), QStringLiteral("Are you sure you want to delete the posting for Race One?"));
        QVERIFY(m_w->isVisible());
        ui().clear();
        press(Qt::Key_O, Qt::AltModifier);
        QTRY_VERIFY(!m_w->isVisible());
        QCOMPARE(m_w->result(), int(QDialog::Accepted));
        QVERIFY(ui().boxes.isEmpty());
        QCOMPARE(postedRows(1), posted);
    }

    // Each caption of the grids shows whole in the window, in the font it is shown in: a header
    // ("Adjustment", "Fastest Qualifier?") in its place, clear of the next one, and the hint beside
    // the rows ("Hit Enter to Add Row.") within the tab.
    void theGridsShowTheirCaptionsWhole() {
        open(1);
        for (EditorGrid* g : {grid(), pairs()}) {
            QWidget* page = g->parentWidget();
            // The headers and the hint wrap their words; the captions of the rows ("VS") do not.
            QList<QLabel*> captions;
            for (QLabel* label : g->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
                if (!label->text().isEmpty() && label->wordWrap())
                    captions << label;
            QVERIFY(!captions.isEmpty());
            for (QLabel* label : captions) {
                const QFontMetrics metrics = label->fontMetrics();
                const QString text = label->text();
                const QRect wrapped = metrics.boundingRect(QRect(0, 0, label->width(), 100000), Qt::TextWordWrap, text);
                QVERIFY2(wrapped.width() <= label->width() && wrapped.height() <= label->height(), qPrintable(text));
                const QRect inPage(label->mapTo(page, QPoint()), label->size());
                QVERIFY2(page->rect().contains(inPage), qPrintable(text));
                for (QLabel* other : captions)
                    if (other != label && other->x() > label->x())
                        QVERIFY2(label->geometry().right() < other->x() || other->y() > label->geometry().bottom(),
                                 qPrintable(text + QLatin1String(" / ") + other->text()));
            }
        }
        QVERIFY(child<QTabWidget>("SSTab1")->geometry().right() < m_w->width());
    }

    void clearResultsEmptiesTheRaceAndRestartsTheGrid() {
        SeasonBuilder::post(1);
        SeasonBuilder::post(2);
        QVERIFY(count("SELECT sum(total_points - points) FROM team_results WHERE race_nmbr = 2") > 0);
        open(1);
        tabs()->setCurrentIndex(frmRace::TabResults);
        // Race 2 carried from race 1: it is offered for posting again, then race 3.
        ui().answers = {AnswerOk, AnswerYes, AnswerNo};
        child<QPushButton>("cmdClearResults")->click();
        QCOMPARE(ui().boxes.size(), 3);
        QCOMPARE(ui().boxes[0].text, QStringLiteral("Are you sure you want to delete results for Race One?"));
        QCOMPARE(ui().boxes[1].text, QStringLiteral("The posting for Race Two was removed with the results for Race "
                                                    "One.\r\nDo you want to post results for Race Two now?\r\n"
                                                    "No leaves Race Two and the Races after it unposted."));
        // Race Three had no posting to lose: only the question and what No leaves.
        QCOMPARE(ui().boxes[2].text, QStringLiteral("Do you want to post results for Race Three now?\r\n"
                                                    "No leaves Race Three unposted."));
        QCOMPARE(resultRows(1), 0);
        QCOMPARE(postedRows(1), 0);
        QVERIFY(postedRows(2) > 0);
        // What the command did stays in the status bar once the grid is built again.
        QVERIFY2(ui().statusTexts.last().startsWith("Results Cleared Race One; Results Posted Race Two"),
                 qPrintable(ui().statusTexts.last()));
        QCOMPARE(count("SELECT sum(total_points - points) FROM team_results WHERE race_nmbr = 2"), 0);
        QCOMPARE(grid()->rowCount(), 1);
        QCOMPARE(grid()->rowTexts(0).mid(0, 5), (QStringList{"0", "", "0", "0", "0"}));
        QVERIFY(!m_w->resultsChanged());
        QVERIFY(!child<QPushButton>("cmdApply")->isEnabled());
        // The row has no car, so leaving the tab stores nothing.
        tabs()->setCurrentIndex(frmRace::TabRace);
        QCOMPARE(tabs()->currentIndex(), int(frmRace::TabRace));
        QCOMPARE(resultRows(1), 0);
        child<QPushButton>("cmdCancel")->click();
        QCOMPARE(ui().boxes.size(), 3);
        QVERIFY(!m_w->isVisible());
    }

    // The boxes as the user meets them, each with its own event loop. The later postings are gone
    // before the first of them is asked about, and each question says so and what No leaves.
    void clearingTellsWhichPostingsWentWithIt() {
        SeasonBuilder::post(1);
        SeasonBuilder::post(2);
        SeasonBuilder::post(3);
        open(1);
        QTabBar* bar = tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(frmRace::TabResults).center());
        QList<int> race2, race3; // their posted rows while each box was up
        const auto watch = [&](QMessageBox*) {
            race2 << postedRows(2);
            race3 << postedRows(3);
        };
        {
            AnsweredBoxes boxes({QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No});
            boxes.whileOpen = watch;
            QTest::mouseClick(child<QPushButton>("cmdClearPosting"), Qt::LeftButton);
            QCOMPARE(boxes.texts.size(), 3);
            QCOMPARE(boxes.texts[1], QStringLiteral("The posting for Race Two was removed with the posting for Race "
                                                    "One.\r\nDo you want to post results for Race Two now?\r\n"
                                                    "No leaves Race Two and the Races after it unposted."));
            QCOMPARE(boxes.texts[2], QStringLiteral("The posting for Race Three was removed with the posting for Race "
                                                    "One.\r\nDo you want to post results for Race Three now?\r\n"
                                                    "No leaves Race Three unposted."));
            QCOMPARE(boxes.titles[2], QStringLiteral("Quorvanti"));
        }
        QVERIFY(race2[0] > 0 && race3[0] > 0); // nothing goes before the user said OK
        QCOMPARE(race2[1], 0);
        QCOMPARE(race3[1], 0);
        QVERIFY(race2[2] > 0); // posted again on Yes
        QCOMPARE(race3[2], 0);
        QCOMPARE(postedRows(1), 0);
        QVERIFY(postedRows(2) > 0);
        QCOMPARE(postedRows(3), 0);

        // Clear Results, No at once: that race and every later one stay unposted, nothing more asked.
        {
            AnsweredBoxes boxes({QMessageBox::Ok, QMessageBox::No});
            QTest::mouseClick(child<QPushButton>("cmdClearResults"), Qt::LeftButton);
            QCOMPARE(boxes.texts, (QStringList{"Are you sure you want to delete results for Race One?",
                                               "The posting for Race Two was removed with the results for Race One.\r\n"
                                               "Do you want to post results for Race Two now?\r\n"
                                               "No leaves Race Two and the Races after it unposted."}));
            QCOMPARE(mousePointer(), int(PointerDefault));
        }
        QCOMPARE(resultRows(1), 0);
        QCOMPARE(postedRows(2), 0);
        QCOMPARE(postedRows(3), 0);
        QVERIFY(!child<QProgressBar>("pbStatus")->isVisible());
    }

    // Saving changed results takes the race's posting away: one box says so. Post Results, which
    // posts the race right after its save, says nothing of it.
    void savingChangedResultsSaysThePostingIsGone() {
        SeasonBuilder::post(1);
        open(1);
        tabs()->setCurrentIndex(frmRace::TabResults);
        type(cell(grid(), 0, 2), QStringLiteral("12"));
        child<QPushButton>("cmdOK")->click();
        QCOMPARE(ui().boxes.size(), 1);
        QCOMPARE(ui().boxes[0].text, QStringLiteral("The posting for Race One was removed because its results "
                                                    "changed.\r\nThe Race must be posted again."));
        QCOMPARE(ui().boxes[0].title, QStringLiteral("Quorvanti"));
        QCOMPARE(count("SELECT laps_led FROM results WHERE race_nmbr = 1 AND car_nmbr = 1"), 12);
        QCOMPARE(postedRows(1), 0);

        // A race without a posting is saved without a word.
        open(2);
        tabs()->setCurrentIndex(frmRace::TabResults);
        type(cell(grid(), 0, 2), QStringLiteral("7"));
        child<QPushButton>("cmdApply")->click();
        QCOMPARE(count("SELECT laps_led FROM results WHERE race_nmbr = 2 AND car_nmbr = 1"), 7);
        QVERIFY(ui().boxes.isEmpty());
    }

    void pairingsAreSavedPerLeague() {
        addPairing({.race = 1, .league = 502, .team1 = 503, .team2 = 504});
        addPairing({.race = 2, .league = 502, .team1 = 504, .team2 = 503});
        open(1);
        // The tab is switched off in the window; the pairings grid still keeps its rules.
        QVERIFY(!tabs()->isTabEnabled(frmRace::TabHeadToHead));
        tabs()->setTabEnabled(frmRace::TabHeadToHead, true);
        tabs()->setCurrentIndex(frmRace::TabHeadToHead);
        auto* leagues = child<QComboBox>("cmbLeague");
        QCOMPARE(leagues->count(), 2);
        QCOMPARE(leagues->currentIndex(), -1);

        choose(leagues, 501);
        QCOMPARE(pairs()->rowCount(), 1);
        QCOMPARE(pairs()->text(0, 0), QStringLiteral("BYE"));
        pick(pairs(), 0, 0, QStringLiteral("Alpha"));
        pick(pairs(), 0, 2, QStringLiteral("Bravo"));
        QTest::keyClick(pairs()->floatingList(), Qt::Key_Return); // appends a BYE row, not stored
        QVERIFY(m_w->headToHeadChanged());

        choose(leagues, 502);
        QCOMPARE(count("SELECT count(*) FROM race_head_head WHERE league_nmbr = 501"), 1);
        QCOMPARE(count("SELECT team_nmbr2 FROM race_head_head WHERE league_nmbr = 501 AND race_nmbr = 1 "
                       "AND team_nmbr1 = 501"),
                 502);
        QCOMPARE(pairs()->rowCount(), 1); // only this race's pairing of the league
        QCOMPARE(pairs()->text(0, 0), QStringLiteral("Charlie"));
        QCOMPARE(pairs()->number(0, 2), 504);
        QVERIFY(!m_w->headToHeadChanged());

        // Every row BYE against BYE clears the league's pairings for the race, and no other.
        pick(pairs(), 0, 0, QStringLiteral("BYE"));
        pick(pairs(), 0, 2, QStringLiteral("BYE"));
        choose(leagues, 501);
        QCOMPARE(count("SELECT count(*) FROM race_head_head WHERE league_nmbr = 502 AND race_nmbr = 1"), 0);
        QCOMPARE(count("SELECT count(*) FROM race_head_head WHERE league_nmbr = 502 AND race_nmbr = 2"), 1);
        QCOMPARE(pairs()->text(0, 0), QStringLiteral("Alpha"));
    }

    void cancelAsksAndKeepsTheWindowWhenTheSaveFails() {
        open(1);
        type(child<QLineEdit>("txtTrackName"), QStringLiteral("New Track"));
        ui().answers = {AnswerCancel};
        child<QPushButton>("cmdCancel")->click();
        QVERIFY(m_w->isVisible());
        QCOMPARE(ui().boxes.last().title, QStringLiteral("Race One"));
        QCOMPARE(ui().boxes.last().text, QStringLiteral("Do you want to save changes"));

        // Yes with a date that will not save: the message is shown and the window stays.
        child<QLineEdit>("txtRaceDate")->setText(QString());
        ui().answers = {AnswerYes};
        child<QPushButton>("cmdCancel")->click();
        QCOMPARE(ui().lastBoxText(), QStringLiteral("Race Date is a required field"));
        QVERIFY(m_w->isVisible());
        QCOMPARE(TestDataFile::scalar("SELECT track_name FROM races WHERE race_nmbr = 1").toString(),
                 QStringLiteral("T"));

        child<QLineEdit>("txtRaceDate")->setText(QStringLiteral("3/2/2024"));
        ui().answers = {AnswerYes};
        child<QPushButton>("cmdCancel")->click();
        QVERIFY(!m_w->isVisible());
        QCOMPARE(TestDataFile::scalar("SELECT track_name FROM races WHERE race_nmbr = 1").toString(),
                 QStringLiteral("New Track"));
    }

    void cancelNoDropsAndOkSaves() {
        open(1);
        type(child<QLineEdit>("txtTrackName"), QStringLiteral("Dropped"));
        ui().answers = {AnswerNo};
        child<QPushButton>("cmdCancel")->click();
        QVERIFY(!m_w->isVisible());
        QCOMPARE(TestDataFile::scalar("SELECT track_name FROM races WHERE race_nmbr = 1").toString(),
                 QStringLiteral("T"));

        open(1);
        tabs()->setCurrentIndex(frmRace::TabResults);
        choose(child<QComboBox>("cmbRaceStatus"), 3);
        QVERIFY(child<QPushButton>("cmdApply")->isEnabled());
        child<QPushButton>("cmdOK")->click();
        QVERIFY(!m_w->isVisible());
        QCOMPARE(count("SELECT race_status_nmbr FROM races WHERE race_nmbr = 1"), 3);
    }

    // A new race is "Scheduled" until another status is chosen, also when it is stored without a
    // visit to the tab "Results"; its pages carry no status line until then.
    void newRaceIsScheduledUntilAnotherStatusIsChosen() {
        open(0);
        type(child<QLineEdit>("txtRaceName"), QStringLiteral("Race Five"));
        choose(child<QComboBox>("cmbRaceType"), 1);
        choose(child<QComboBox>("cmbCarType"), 1);
        type(child<QLineEdit>("txtRaceDate"), QStringLiteral("2024-04-05"));
        QTest::mouseClick(child<QPushButton>("cmdOK"), Qt::LeftButton);
        QVERIFY2(!m_w->isVisible(), qPrintable(ui().lastBoxText()));
        QCOMPARE(count("SELECT race_status_nmbr FROM races WHERE race_name = 'Race Five'"), 0);
        QCOMPARE(
            TestDataFile::scalar("SELECT race_status_name FROM race_status_dm WHERE race_status_nmbr = 0").toString(),
            QStringLiteral("Scheduled"));

        open(0);
        type(child<QLineEdit>("txtRaceName"), QStringLiteral("Race Six"));
        choose(child<QComboBox>("cmbRaceType"), 1);
        choose(child<QComboBox>("cmbCarType"), 1);
        type(child<QLineEdit>("txtRaceDate"), QStringLiteral("2024-04-12"));
        QTabBar* bar = tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(frmRace::TabResults).center());
        QCOMPARE(tabs()->currentIndex(), int(frmRace::TabResults));
        auto* statuses = child<QComboBox>("cmbRaceStatus");
        QCOMPARE(statuses->currentText(), QStringLiteral("Scheduled"));
        // The names the pages print for their statuses.
        QCOMPARE(statuses->itemText(statuses->findData(1)), QStringLiteral("Unofficial"));
        QCOMPARE(statuses->itemText(statuses->findData(3)), QStringLiteral("Qualifying"));
        QVERIFY(!m_w->raceChanged()); // the window's own choice is no edit
        choose(statuses, 2);
        QTest::mouseClick(child<QPushButton>("cmdOK"), Qt::LeftButton);
        QVERIFY(!m_w->isVisible());
        QCOMPARE(count("SELECT race_status_nmbr FROM races WHERE race_name = 'Race Six'"), 2);
    }

    // The wheel over the results scrolls them as the scroll bar does; the car list offers the cars
    // in the order of their numbers, not of their texts.
    void resultsGridScrollsWithTheWheelAndListsCarsByNumber() {
        const QStringList numbers{QStringLiteral("31"), QStringLiteral("12"), QStringLiteral("3"),
                                  QStringLiteral("11")};
        for (int i = 0; i < numbers.size(); ++i)
            addCar({.nmbr = 10 + i, .txt = numbers[i]});
        for (int car = 10; car <= 13; ++car)
            addResult({.car = car, .race = 1, .place = car - 5, .qualified = car - 5});
        open(1);
        QTabBar* bar = tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(frmRace::TabResults).center());
        QCOMPARE(tabs()->currentIndex(), int(frmRace::TabResults));

        QStringList offered;
        for (const auto& item : grid()->listItems())
            offered << item.first.trimmed();
        QCOMPARE(offered, (QStringList{"", "3", "11", "12", "31", "Car 1", "Car 2", "Car 3", "Car 4"}));
        grid()->focusCell(0, 1);
        QTRY_VERIFY(grid()->floatingList()->isVisible());
        QCOMPARE(grid()->floatingList()->itemText(1), QStringLiteral("3"));
        QCOMPARE(grid()->floatingList()->itemText(2), QStringLiteral("11"));

        QCOMPARE(grid()->rowCount(), 8);
        QCOMPARE(grid()->firstShownRow(), 0);
        auto wheel = [](QWidget* over, int notches) {
            const QPoint at = over->rect().center();
            QWheelEvent event(at, over->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(over, &event);
        };
        // Over the open car list too: the rows move, the row's car stays.
        const QString firstCar = grid()->text(0, 1);
        wheel(grid()->floatingList(), -1);
        QCOMPARE(grid()->firstShownRow(), 1);
        QCOMPARE(grid()->text(0, 1), firstCar);
        wheel(cell(grid(), 3, 2), -1);
        QCOMPARE(grid()->firstShownRow(), 2);
        QVERIFY(grid()->isRowShown(7));
        QVERIFY(!grid()->isRowShown(0));
        wheel(cell(grid(), 7, 0), 1);
        wheel(cell(grid(), 7, 0), 1);
        QCOMPARE(grid()->firstShownRow(), 0);
        QVERIFY(grid()->isRowShown(0));
        QCOMPARE(resultRows(1), 8);

        // Tab and Shift+Tab pass into the rows out of view, which scroll in.
        grid()->focusCell(6, 4); // adjustment, before the fastest qualifier
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), grid()->cell(7, 0));
        QCOMPARE(grid()->firstShownRow(), 1);
        grid()->focusCell(1, 0);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), grid()->cell(0, 5));
        QVERIFY(grid()->isRowShown(0));
    }

    void raceDateInTheUsersForm_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("wrongOrder");
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("lastDay");
        QTest::newRow("en_US") << ScopedLocale::american() << "3/22/2024"
                               << "12/25/2026"
                               << "25/12/2026"
                               << "M/D/YYYY"
                               << "12/31/";
        QTest::newRow("en_GB") << ScopedLocale::british() << "22/03/2024"
                               << "25/12/2026"
                               << "12/25/2026"
                               << "DD/MM/YYYY"
                               << "31/12/";
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << "22.03.2024"
                               << "25.12.2026"
                               << "12/25/2026"
                               << "DD.MM.YYYY"
                               << "31.12.";
    }
    void raceDateInTheUsersForm() {
        QFETCH(QLocale, locale);
        QFETCH(QString, shown);
        QFETCH(QString, typed);
        QFETCH(QString, wrongOrder);
        QFETCH(QString, form);
        QFETCH(QString, lastDay);
        ScopedLocale scoped(locale);
        open(4);
        auto* box = child<QLineEdit>("txtRaceDate");
        QCOMPARE(box->text(), shown);
        box->setFocus();
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), box, kWindowWait);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(!m_w->raceChanged());
        auto typeDate = [box](const QString& text) {
            QTest::mouseClick(box, Qt::LeftButton);
            QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), box, kWindowWait);
            QTRY_COMPARE(box->selectedText(), box->text());
            QTest::keyClicks(QApplication::focusWidget(), text);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        };
        // The other country's order is no date here: refused, nothing stored, and the box says how
        // a date is typed here.
        typeDate(wrongOrder);
        QCOMPARE(ui().lastBoxText(), QStringLiteral("Invalid Entry\r\nType the date in the form ") + form +
                                         QStringLiteral(", for example ") + lastDay + QString::number(today().year()) +
                                         QLatin1Char('.'));
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), box, kWindowWait);
        QCOMPARE(TestDataFile::scalar("SELECT race_dt FROM races WHERE race_nmbr = 4").toString(),
                 QStringLiteral("2024-03-22"));
        // The refused text is selected in the box, so the next keys replace it.
        QTRY_COMPARE(box->selectedText(), box->text());
        ui().clear();
        QTest::keyClicks(QApplication::focusWidget(), typed);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        child<QPushButton>("cmdApply")->click();
        QVERIFY(ui().boxes.isEmpty());
        QCOMPARE(TestDataFile::scalar("SELECT race_dt FROM races WHERE race_nmbr = 4").toString(),
                 QStringLiteral("2026-12-25"));
        QCOMPARE(box->text(), typed);
    }

    // Cancel, "Do you want to save changes", No, answered in a real box: the window the race window
    // was opened from has the keys again, its menus included, without a click.
    void cancelThenNoGivesTheKeysBackToTheWindowBelow() {
        QMainWindow below;
        QMenu* file = below.menuBar()->addMenu(QStringLiteral("&File"));
        file->addAction(QStringLiteral("&Import..."));
        auto* list = new QLineEdit(&below);
        below.setCentralWidget(list);
        below.show();
        below.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&below, kWindowWait));
        list->setFocus();
        cRaces race;
        QString asked;
        bool ran = false;
        whileModal<frmRace>([this, &asked, &ran](frmRace* w) {
            ran = true;
            QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(),
                                      w->findChild<QLineEdit*>(QStringLiteral("txtRaceName")), kWindowWait);
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Spring 200"));
            RealMessageBoxes boxes(&ui());
            answerNextBox(QMessageBox::No, &asked);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::AltModifier);
            QTRY_VERIFY(!w->isVisible());
        });
        {
            frmRace w(&below);
            w.showWith(race);
        }
        QVERIFY(ran);
        QCOMPARE(asked, QStringLiteral("Do you want to save changes"));
        QCOMPARE(count("SELECT count(*) FROM races"), 4);
        QTRY_COMPARE(QApplication::activeWindow(), &below);
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), list, kWindowWait);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::AltModifier);
        QTRY_COMPARE(QApplication::activePopupWidget(), file);
        file->close();
    }

    void screenshot() {
        const QString dir = qEnvironmentVariable("QV_SCREENSHOT_DIR");
        if (dir.isEmpty())
            QSKIP("QV_SCREENSHOT_DIR not set");
        open(1);
        tabs()->setCurrentIndex(frmRace::TabResults);
        QVERIFY(m_w->grab().save(dir + QStringLiteral("/frmRace.png")));
    }
};

QTEST_MAIN(tst_RaceWindow)
#include "tst_race_window.moc"
