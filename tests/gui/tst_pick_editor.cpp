#include "ScopedLocale.h"
#include "TeamTestHelpers.h"
#include "data/cTeamCar.h"
#include "editors/teams/frmTeamCar.h"
#include "editors/teams/frmTeamCarMultiple.h"
#include "kit/EditorGrid.h"
#include "platform/Clock.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

// The single and multiple pick editors, driven through their boxes and buttons. Team 500 plays
// race type 1 by cars in league 700 (cap given per test) and in league 701 (no cap).
class PickEditorTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void salaryCapAtItsEdge_data();
    void salaryCapAtItsEdge();
    void teamInNoLeagueHasNoLimits();
    void groupLimitCountsOnlyOpenPicks_data();
    void groupLimitCountsOnlyOpenPicks();
    void terminatedPickSkipsLimitsButLowersAvailable();
    void changingAStoredPickDoesNotCountItTwice();
    void effectiveDateMustFollowLatestPostedRace();
    void terminationDateRules();
    void pickEndingTheDayAnotherBegins();
    void applyEmptiesTheWindowAndLowersTheCaps();
    void afterApplyTheNextPickIsTypedFromTheCar_data();
    void afterApplyTheNextPickIsTypedFromTheCar();
    void movedEffectiveDateReplacesTheRow();
    void refusedStoreKeepsTheFields();
    void multipleSumsRowsAgainstTheCap_data();
    void multipleSumsRowsAgainstTheCap();
    void multipleNeedsEffectiveDatesAndStoresRowsOnce();
    void multipleAvailableSalaryFollowsTheRows();
    void datesTypedInAnyOrderAreJudgedOnStore();
    void oneCarIsNotHeldTwiceOnADay();
    void multipleHoldsTheRulesOverTheWholeBatch();

private:
    template <class W> static QLineEdit* box(W& w, const QString& name) {
        return w.template findChild<QLineEdit*>(name);
    }
    template <class W> static QPushButton* button(W& w, const char* name) {
        return w.template findChild<QPushButton*>(QLatin1String(name));
    }
    static void chooseCar(QComboBox* combo, const QString& text) {
        const int i = combo->findText(text);
        QVERIFY(i >= 0);
        combo->setCurrentIndex(i);
        emit combo->activated(i);
    }
    // Types into a box and leaves it, as the user would with Tab.
    static void typeAndLeave(QLineEdit* box, const QString& text, QWidget* next) {
        box->setFocus();
        box->setText(text);
        next->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents(); // a refused box gets the focus back once the change is done
    }
    static QComboBox* gridCar(frmTeamCarMultiple& w, int row) {
        return qobject_cast<QComboBox*>(w.grid()->cell(row, frmTeamCarMultiple::CarColumn));
    }
    static QLineEdit* gridEfctv(frmTeamCarMultiple& w, int row) {
        return qobject_cast<QLineEdit*>(w.grid()->cell(row, frmTeamCarMultiple::EfctvDtColumn));
    }
    static QLineEdit* gridTerm(frmTeamCarMultiple& w, int row) {
        return qobject_cast<QLineEdit*>(w.grid()->cell(row, frmTeamCarMultiple::TermDtColumn));
    }
    void openSingle(frmTeamCar& w, cTeamCar& pick, Currency teamSalary) {
        w.fillWith(pick, teamSalary);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w, kWindowWait));
        ui().clear();
    }
    static int holdings(const QString& where = QStringLiteral("1=1")) {
        return TestDataFile::count(QStringLiteral("SELECT count(*) FROM team_car WHERE ") + where);
    }
    RecordingUi& ui() { return m_data->ui(); }

    std::unique_ptr<TestDataFile> m_data;
    const QString day1 = QStringLiteral("3/1/2026");
};

void PickEditorTest::init() {
    m_data = std::make_unique<TestDataFile>();
    QVERIFY(m_data->ok());
    addTeam({.nmbr = 500, .name = "Racers", .owner = "Owner"});
    addLeague({.nmbr = 700, .name = "Capped", .shortName = "L700", .salaryCap = 2000});
    addLeague({.nmbr = 701, .name = "Open", .shortName = "L701"});
    addMember({.league = 700, .team = 500});
    addMember({.league = 701, .team = 500});
    addCar({.nmbr = 600, .txt = "11", .driver = "Ann", .salary = 1000});
    addCar({.nmbr = 601, .txt = "22", .driver = "Bo", .group = 1, .salary = 500});
    addCar({.nmbr = 602, .txt = "33", .driver = "Cy", .group = 1, .salary = 300});
    addCar({.nmbr = 603, .carType = 2, .txt = "44", .driver = "Dee", .salary = 10});
}

void PickEditorTest::cleanup() {
    m_data.reset();
}

void PickEditorTest::salaryCapAtItsEdge_data() {
    QTest::addColumn<QString>("cap");
    QTest::addColumn<double>("teamSalary");
    QTest::addColumn<bool>("stored");
    QTest::newRow("salary equals what is left") << "2000" << 1000.0 << true;
    QTest::newRow("one cent more than is left") << "2000" << 1000.01 << false;
    QTest::newRow("already over the cap") << "500" << 600.0 << false;
    QTest::newRow("no cap") << "0" << 99999.0 << true;
}

void PickEditorTest::salaryCapAtItsEdge() {
    QFETCH(QString, cap);
    QFETCH(double, teamSalary);
    QFETCH(bool, stored);
    TestDataFile::exec(QStringLiteral("UPDATE leagues SET salary_cap = ") + cap +
                       QStringLiteral(" WHERE league_nmbr = 700"));
    cTeamCar pick;
    pick.setTeamNmbr(500);
    frmTeamCar w;
    openSingle(w, pick, Currency::fromDouble(teamSalary));
    chooseCar(w.findChild<QComboBox*>(QStringLiteral("cmbCarTxt")), QStringLiteral("11"));
    typeAndLeave(box(w, QStringLiteral("txtEfctvDt")), day1, box(w, QStringLiteral("txtTermDt")));
    QCOMPARE(w.applyChanges(), stored);
    QCOMPARE(holdings(), stored ? 1 : 0);
    if (!stored) {
        QCOMPARE(ui().lastBoxText(),
                 QStringLiteral("Adding this Car/Driver will exceed at least one Leagues salary Cap."));
        QCOMPARE(ui().boxes.last().icon, MsgIcon::Critical);
        QCOMPARE(ui().boxes.last().title, QStringLiteral("Quorvanti"));
    } else {
        // The locked salary is the car's salary at the time of the pick.
        QCOMPARE(TestDataFile::scalar(QStringLiteral("SELECT locked_salary FROM team_car")).toDouble(), 1000.0);
    }
}

void PickEditorTest::teamInNoLeagueHasNoLimits() {
    TestDataFile::exec(QStringLiteral("DELETE FROM league_teams"));
    setGroupLimit(1, 0);
    cTeamCar pick;
    pick.setTeamNmbr(500);
    frmTeamCar w;
    openSingle(w, pick, Currency::fromDouble(1e6));
    QCOMPARE(w.findChild<QTreeWidget*>(QStringLiteral("lvwLeagues"))->topLevelItemCount(), 0);
    chooseCar(w.findChild<QComboBox*>(QStringLiteral("cmbCarTxt")), QStringLiteral("22"));
    typeAndLeave(box(w, QStringLiteral("txtEfctvDt")), day1, box(w, QStringLiteral("txtTermDt")));
    QVERIFY(w.applyChanges());
    QCOMPARE(holdings(), 1);
}

void PickEditorTest::groupLimitCountsOnlyOpenPicks_data() {
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("heldTermIso");
    QTest::addColumn<bool>("stored");
    QTest::newRow("limit reached by an open pick") << 1 << QString() << false;
    QTest::newRow("ended pick does not count") << 1 << QStringLiteral("2026-02-01") << true;
    QTest::newRow("room for one more") << 2 << QString() << true;
    QTest::newRow("limit zero refuses every pick") << 0 << QStringLiteral("2026-02-01") << false;
}

void PickEditorTest::groupLimitCountsOnlyOpenPicks() {
    QFETCH(int, limit);
    QFETCH(QString, heldTermIso);
    QFETCH(bool, stored);
    setGroupLimit(1, limit);
    addHolding({.team = 500,
                .car = 602,
                .from = "2026-01-01",
                .to = heldTermIso.isEmpty() ? std::nullopt : std::optional(heldTermIso),
                .lockedSalary = 300});
    cTeamCar pick;
    pick.setTeamNmbr(500);
    frmTeamCar w;
    openSingle(w, pick, Currency());
    chooseCar(w.findChild<QComboBox*>(QStringLiteral("cmbCarTxt")), QStringLiteral("22"));
    QCOMPARE(box(w, QStringLiteral("txtGroup"))->text(), QStringLiteral("Group A"));
    typeAndLeave(box(w, QStringLiteral("txtEfctvDt")), day1, box(w, QStringLiteral("txtTermDt")));
    QCOMPARE(w.applyChanges(), stored);
    QCOMPARE(holdings(QStringLiteral("car_nmbr = 601")), stored ? 1 : 0);
    if (!stored)
        QCOMPARE(ui().lastBoxText(),
                 QStringLiteral("Adding this Car/Driver will exceed the number of Cars/Drivers for Group Group A."));
}

void PickEditorTest::terminatedPickSkipsLimitsButLowersAvailable() {
    setGroupLimit(1, 0);
    cTeamCar pick;
    pick.setTeamNmbr(500);
    frmTeamCar w;
    openSingle(w, pick, Currency::fromDouble(1900));
    chooseCar(w.findChild<QComboBox*>(QStringLiteral("cmbCarTxt")), QStringLiteral("22"));
    typeAndLeave(box(w, QStringLiteral("txtEfctvDt")), day1, box(w, QStringLiteral("txtTermDt")));
    typeAndLeave(box(w, QStringLiteral("txtTermDt")), QStringLiteral("4/1/2026"), box(w, QStringLiteral("txtEfctvDt")));
    QVERIFY(w.applyChanges());
    QCOMPARE(TestDataFile::scalar(QStringLiteral("SELECT term_dt FROM team_car")).toString(),
             QStringLiteral("2026-04-01"));
    auto* leagues = w.findChild<QTreeWidget*>(QStringLiteral("lvwLeagues"));
    QCOMPARE(leagues->topLevelItem(0)->text(2), QStringLiteral("($400.00)"));
    QCOMPARE(leagues->topLevelItem(1)->text(1), QStringLiteral("Open"));
}

void PickEditorTest::changingAStoredPickDoesNotCountItTwice() {
    // The team is exactly at the cap and at its group's limit through this very pick.
    setGroupLimit(1, 1);
    TestDataFile::exec(QStringLiteral("UPDATE leagues SET salary_cap = 500 WHERE league_nmbr = 700"));
    addHolding({.team = 500, .car = 601, .from = "2026-01-01", .lockedSalary = 500});
    cTeamCarCollection held;
    held.load(500);
    cTeamCar& pick = *held.Item(1);
    frmTeamCar w;
    openSingle(w, pick, Currency::fromDouble(500));
    QVERIFY(!w.findChild<QComboBox*>(QStringLiteral("cmbCarTxt"))->isEnabled());
    QCOMPARE(w.windowTitle(), QStringLiteral("Update Car 22 for Racers"));
    QVERIFY(button(w, "cmdApply")->isEnabled());
    QVERIFY(w.applyChanges());
    QVERIFY(ui().boxes.isEmpty());
    QCOMPARE(holdings(), 1);
}

void PickEditorTest::effectiveDateMustFollowLatestPostedRace() {
    addRace({.nmbr = 800, .name = "Opener", .track = "Track 800", .date = "2026-03-01", .status = 1});
    addRace({.nmbr = 801, .name = "Later", .track = "Track 801", .date = "2026-03-08", .status = 1});
    addRace(
        {.nmbr = 802, .name = "Other series", .track = "Track 802", .date = "2026-05-01", .raceType = 2, .status = 1});
    addTeam({.nmbr = 501, .name = "Rivals", .owner = "Owner"});
    addTeamResult({.race = 800, .car = 600, .team = 501, .league = 700});
    addTeamResult({.race = 802, .car = 600, .team = 501, .league = 700});
    cTeamCar pick;
    pick.setTeamNmbr(500);
    frmTeamCar w;
    openSingle(w, pick, Currency());
    QLineEdit* efctv = box(w, QStringLiteral("txtEfctvDt"));
    QLineEdit* term = box(w, QStringLiteral("txtTermDt"));

    typeAndLeave(efctv, QStringLiteral("2026-03-01"), term);
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Results have been posted for races after this date.\n"
                                                "This Car/Driver must be made effective after 3/1/2026."));
    QCOMPARE(QApplication::focusWidget(), efctv);
    QCOMPARE(efctv->text(), QStringLiteral("3/1/2026"));
    QVERIFY(!pick.efctvDt().isValid());

    ui().clear();
    typeAndLeave(efctv, QStringLiteral("abc"), term);
    QCOMPARE(ui().lastBoxText(),
             QStringLiteral("Invalid Entry\r\nType the date in the form M/D/YYYY, for example 12/31/") +
                 QString::number(today().year()) + QLatin1Char('.'));
    QCOMPARE(QApplication::focusWidget(), efctv);

    ui().clear();
    typeAndLeave(efctv, QStringLiteral("3/2/2026"), term);
    QVERIFY(ui().boxes.isEmpty());
    QCOMPARE(pick.efctvDt(), QDate(2026, 3, 2));
    QCOMPARE(QApplication::focusWidget(), term);

    // A blank box passes on leaving but is still required to store.
    typeAndLeave(efctv, QString(), term);
    QVERIFY(ui().boxes.isEmpty());
    chooseCar(w.findChild<QComboBox*>(QStringLiteral("cmbCarTxt")), QStringLiteral("11"));
    QVERIFY(!w.applyChanges());
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Effective Date is a required field"));
    QCOMPARE(holdings(), 0);
}

void PickEditorTest::terminationDateRules() {
    addRace({.nmbr = 800, .name = "Opener", .track = "Track 800", .date = "2026-03-08", .status = 1});
    addHolding({.team = 500, .car = 600, .from = "2026-03-01", .lockedSalary = 1000});
    addTeamResult({.race = 800, .car = 600, .team = 500, .league = 700});
    cTeamCarCollection held;
    held.load(500);
    cTeamCar& pick = *held.Item(1);
    frmTeamCar w;
    openSingle(w, pick, Currency::fromDouble(1000));
    QLineEdit* efctv = box(w, QStringLiteral("txtEfctvDt"));
    QLineEdit* term = box(w, QStringLiteral("txtTermDt"));

    // The stored effective date precedes the posted race; passing through its box judges nothing.
    efctv->setFocus();
    term->setFocus(Qt::TabFocusReason);
    QVERIFY(ui().boxes.isEmpty());

    typeAndLeave(term, QStringLiteral("3/8/2026"), efctv);
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Car has been scored for this Team beyond this date.\n"
                                                "Termination date must be set beyond latest scored race."));
    QCOMPARE(QApplication::focusWidget(), term);

    // Apply and OK first finish the box that has the focus: a refused date stops them.
    QTest::mouseClick(button(w, "cmdOK"), Qt::LeftButton);
    QVERIFY(w.isVisible());
    QVERIFY(!TestDataFile::scalar(QStringLiteral("SELECT term_dt FROM team_car")).isValid() ||
            TestDataFile::scalar(QStringLiteral("SELECT term_dt FROM team_car")).isNull());

    ui().clear();
    typeAndLeave(efctv, QStringLiteral("3/10/2026"), term);
    typeAndLeave(term, QStringLiteral("3/10/2026"), efctv);
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Termination Date must be greater then Effective Date"));

    ui().clear();
    typeAndLeave(term, QStringLiteral("3/11/2026"), efctv);
    QVERIFY(ui().boxes.isEmpty());
    QCOMPARE(pick.termDt(), QDate(2026, 3, 11));
    typeAndLeave(term, QStringLiteral(" "), efctv);
    QVERIFY(!pick.termDt().isValid());
}

void PickEditorTest::pickEndingTheDayAnotherBegins() {
    // The held pick of car 11 ends on 4/1; the new one of the same car starts that day.
    setGroupLimit(1, 1);
    addHolding({.team = 500, .car = 600, .from = "2026-01-01", .to = "2026-04-01", .lockedSalary = 1000});
    cTeamCar pick;
    pick.setTeamNmbr(500);
    frmTeamCar w;
    openSingle(w, pick, Currency());
    chooseCar(w.findChild<QComboBox*>(QStringLiteral("cmbCarTxt")), QStringLiteral("11"));
    typeAndLeave(box(w, QStringLiteral("txtEfctvDt")), QStringLiteral("4/1/2026"), box(w, QStringLiteral("txtTermDt")));
    QVERIFY(w.applyChanges());
    QCOMPARE(holdings(QStringLiteral("car_nmbr = 600")), 2);
    QCOMPARE(holdings(QStringLiteral("car_nmbr = 600 AND term_dt IS NULL AND efctv_dt = '2026-04-01'")), 1);
}

void PickEditorTest::applyEmptiesTheWindowAndLowersTheCaps() {
    cTeamCar pick;
    pick.setTeamNmbr(500);
    frmTeamCar w;
    openSingle(w, pick, Currency::fromDouble(500));
    auto* combo = w.findChild<QComboBox*>(QStringLiteral("cmbCarTxt"));
    auto* leagues = w.findChild<QTreeWidget*>(QStringLiteral("lvwLeagues"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Add Car/Driver for Racers"));
    QCOMPARE(combo->count(), 3); // cars of the team's series only, no driver
    QVERIFY(!button(w, "cmdApply")->isEnabled());

    chooseCar(combo, QStringLiteral("11"));
    typeAndLeave(box(w, QStringLiteral("txtEfctvDt")), day1, box(w, QStringLiteral("txtTermDt")));
    QTest::mouseClick(button(w, "cmdApply"), Qt::LeftButton);
    QCOMPARE(holdings(), 1);
    QCOMPARE(combo->currentIndex(), -1);
    for (const char* name : {"txtEfctvDt", "txtTermDt", "txtSalary", "txtGroup"})
        QVERIFY(box(w, QLatin1String(name))->text().isEmpty());
    QCOMPARE(leagues->topLevelItem(0)->text(2), QStringLiteral("$500.00"));

    // The next pick is measured against what is left after the first.
    chooseCar(combo, QStringLiteral("22"));
    typeAndLeave(box(w, QStringLiteral("txtEfctvDt")), day1, box(w, QStringLiteral("txtTermDt")));
    QVERIFY(w.applyChanges());
    chooseCar(combo, QStringLiteral("33"));
    typeAndLeave(box(w, QStringLiteral("txtEfctvDt")), day1, box(w, QStringLiteral("txtTermDt")));
    QVERIFY(!w.applyChanges());
    QCOMPARE(holdings(), 2);

    // The refused pick is still in the boxes; with no car chosen, storing asks for one.
    ui().clear();
    combo->setCurrentIndex(-1);
    QTest::mouseClick(button(w, "cmdOK"), Qt::LeftButton);
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Car Number is a required field"));
    QVERIFY(w.isVisible());
    QTest::mouseClick(button(w, "cmdCancel"), Qt::LeftButton);
    QVERIFY(!w.isVisible());
    QVERIFY(ui().boxes.size() == 1);
}

void PickEditorTest::afterApplyTheNextPickIsTypedFromTheCar_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << "$27,999.50"
                           << "$26,499.50";
    QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << QStringLiteral("27.999,50\u00a0€")
                           << QStringLiteral("26.499,50\u00a0€");
}

// Typed as a person does: the car, Tab, the date, Alt+A. The capped league's available salary then
// reads as before, in the user's form, and the focus is back in the car box for the next pick.
void PickEditorTest::afterApplyTheNextPickIsTypedFromTheCar() {
    QFETCH(QLocale, locale);
    QFETCH(QString, before);
    QFETCH(QString, after);
    ScopedLocale scoped(locale);
    TestDataFile::exec(QStringLiteral("UPDATE leagues SET salary_cap = 30000 WHERE league_nmbr = 700"));
    cTeamCar pick;
    pick.setTeamNmbr(500);
    frmTeamCar w;
    openSingle(w, pick, Currency::fromDouble(2000.5));
    auto* combo = w.findChild<QComboBox*>(QStringLiteral("cmbCarTxt"));
    QTreeWidgetItem* capped = w.findChild<QTreeWidget*>(QStringLiteral("lvwLeagues"))->topLevelItem(0);
    QCOMPARE(capped->text(2), before);
    const auto typeIntoFocus = [](const QString& text) { QTest::keyClicks(QApplication::focusWidget(), text); };
    for (const char* car : {"11", "22"}) {
        QTRY_COMPARE(QApplication::focusWidget(), combo);
        // A pause between the two numbers, as a person makes, or the list would look for "1122".
        QTest::qWait(QApplication::keyboardInputInterval() + 50);
        typeIntoFocus(QLatin1String(car));
        QCOMPARE(combo->currentText(), QLatin1String(car));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), box(w, QStringLiteral("txtEfctvDt")));
        typeIntoFocus(shortDate(QDate(2026, 3, 1)));
        const int held = holdings();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::AltModifier);
        QTRY_COMPARE(holdings(), held + 1);
        QVERIFY2(ui().boxes.isEmpty(), qPrintable(ui().lastBoxText()));
    }
    QCOMPARE(capped->text(2), after);
    QTRY_COMPARE(QApplication::focusWidget(), combo);
    QCOMPARE(holdings(QStringLiteral("car_nmbr IN (600, 601) AND efctv_dt = '2026-03-01'")), 2);
}

void PickEditorTest::movedEffectiveDateReplacesTheRow() {
    addHolding({.team = 500, .car = 600, .from = "2026-03-01", .lockedSalary = 1000});
    cTeamCarCollection held;
    held.load(500);
    frmTeamCar w;
    openSingle(w, *held.Item(1), Currency::fromDouble(1000));
    typeAndLeave(box(w, QStringLiteral("txtEfctvDt")), QStringLiteral("3/5/2026"), box(w, QStringLiteral("txtTermDt")));
    QVERIFY(w.applyChanges());
    QCOMPARE(holdings(), 1);
    QCOMPARE(TestDataFile::scalar(QStringLiteral("SELECT efctv_dt FROM team_car")).toString(),
             QStringLiteral("2026-03-05"));
}

void PickEditorTest::refusedStoreKeepsTheFields() {
    TestDataFile::exec(QStringLiteral(
        "CREATE TRIGGER no_picks BEFORE INSERT ON team_car BEGIN SELECT RAISE(ABORT, 'picks are locked'); END"));
    cTeamCar pick;
    pick.setTeamNmbr(500);
    frmTeamCar w;
    openSingle(w, pick, Currency());
    chooseCar(w.findChild<QComboBox*>(QStringLiteral("cmbCarTxt")), QStringLiteral("11"));
    typeAndLeave(box(w, QStringLiteral("txtEfctvDt")), day1, box(w, QStringLiteral("txtTermDt")));
    QVERIFY(!w.applyChanges());
    QVERIFY(ui().lastBoxText().contains(QStringLiteral("picks are locked")));
    QCOMPARE(box(w, QStringLiteral("txtEfctvDt"))->text(), day1);
    QCOMPARE(w.findChild<QComboBox*>(QStringLiteral("cmbCarTxt"))->currentText(), QStringLiteral("11"));
    QCOMPARE(w.findChild<QTreeWidget*>(QStringLiteral("lvwLeagues"))->topLevelItem(0)->text(2),
             QStringLiteral("$2,000.00"));
}

void PickEditorTest::multipleSumsRowsAgainstTheCap_data() {
    QTest::addColumn<double>("teamSalary");
    QTest::addColumn<bool>("stored");
    QTest::newRow("rows use exactly what is left") << 500.0 << true; // 1000 + 500 of 1500 left
    QTest::newRow("rows exceed it by one cent") << 500.01 << false;
}

void PickEditorTest::multipleSumsRowsAgainstTheCap() {
    QFETCH(double, teamSalary);
    QFETCH(bool, stored);
    cTeam team;
    team.load(500);
    frmTeamCarMultiple w;
    w.fillWith(team, Currency::fromDouble(teamSalary));
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w, kWindowWait));
    chooseCar(gridCar(w, 0), QStringLiteral("11"));
    typeAndLeave(gridEfctv(w, 0), day1, gridTerm(w, 0));
    chooseCar(gridCar(w, 2), QStringLiteral("22"));
    typeAndLeave(gridEfctv(w, 2), day1, gridTerm(w, 2));
    // A date in a row without a car takes no part.
    typeAndLeave(gridEfctv(w, 1), day1, gridTerm(w, 1));
    ui().clear();
    QCOMPARE(w.addTeamCars(), stored);
    QCOMPARE(holdings(), stored ? 2 : 0);
    if (!stored) {
        QCOMPARE(ui().lastBoxText(),
                 QStringLiteral("Adding these cars/drivers will exceed at least one leagues salary cap."));
        QCOMPARE(ui().boxes.last().icon, MsgIcon::None);
    }
}

void PickEditorTest::multipleNeedsEffectiveDatesAndStoresRowsOnce() {
    cTeam team;
    team.load(500);
    frmTeamCarMultiple w;
    w.fillWith(team, Currency());
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w, kWindowWait));
    chooseCar(gridCar(w, 0), QStringLiteral("11"));
    typeAndLeave(gridEfctv(w, 0), day1, gridTerm(w, 0));
    chooseCar(gridCar(w, 1), QStringLiteral("22"));
    ui().clear();
    QTest::mouseClick(button(w, "cmdOK"), Qt::LeftButton);
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Effective date is required"));
    QVERIFY(w.isVisible());
    QCOMPARE(holdings(), 0);

    // Termination on the effective date is refused in the row as well.
    typeAndLeave(gridEfctv(w, 1), day1, gridTerm(w, 1));
    typeAndLeave(gridTerm(w, 1), day1, gridEfctv(w, 1));
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Termination Date must be greater then Effective Date"));
    typeAndLeave(gridTerm(w, 1), QStringLiteral("3/9/2026"), gridEfctv(w, 1));

    QTest::mouseClick(button(w, "cmdApply"), Qt::LeftButton);
    QCOMPARE(holdings(), 2);
    QCOMPARE(holdings(QStringLiteral("car_nmbr = 601 AND term_dt = '2026-03-09'")), 1);
    // Apply then OK: the rows stored by Apply are not stored again.
    QTest::mouseClick(button(w, "cmdOK"), Qt::LeftButton);
    QVERIFY(!w.isVisible());
    QCOMPARE(holdings(), 2);
    QCOMPARE(gridEfctv(w, 0)->text(), QString());
    QCOMPARE(w.grid()->number(0, frmTeamCarMultiple::CarColumn), 0);
}

// The capped league's available salary shows what would be left with the rows as they stand; a
// league without a cap keeps showing 0.
void PickEditorTest::multipleAvailableSalaryFollowsTheRows() {
    cTeam team;
    team.load(500);
    frmTeamCarMultiple w;
    w.fillWith(team, Currency::fromDouble(500));
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w, kWindowWait));
    auto* leagues = w.findChild<QTreeWidget*>(QStringLiteral("lvwLeagues"));
    const auto available = [leagues] {
        return QStringList{leagues->topLevelItem(0)->text(2), leagues->topLevelItem(1)->text(2)};
    };
    QCOMPARE(available(), QStringList({"$1,500.00", "$0.00"}));

    // Chosen with the keyboard, as a person fills the first row.
    gridCar(w, 0)->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), gridCar(w, 0), kWindowWait);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(gridCar(w, 0)->currentText(), QStringLiteral("11"));
    QCOMPARE(available(), QStringList({"$500.00", "$0.00"}));
    chooseCar(gridCar(w, 2), QStringLiteral("22"));
    QCOMPARE(available(), QStringList({"$0.00", "$0.00"}));
    // Another car in a row replaces its salary in the sum.
    chooseCar(gridCar(w, 0), QStringLiteral("33"));
    QCOMPARE(available(), QStringList({"$700.00", "$0.00"}));

    typeAndLeave(gridEfctv(w, 0), day1, gridTerm(w, 0));
    typeAndLeave(gridEfctv(w, 2), day1, gridTerm(w, 2));
    QTest::mouseClick(button(w, "cmdApply"), Qt::LeftButton);
    QCOMPARE(holdings(), 2);
    // The stored rows are emptied and now count in what is left.
    QCOMPARE(available(), QStringList({"$700.00", "$0.00"}));
    chooseCar(gridCar(w, 1), QStringLiteral("11"));
    QCOMPARE(available(), QStringList({"($300.00)", "$0.00"}));
    ui().clear();
    typeAndLeave(gridEfctv(w, 1), day1, gridTerm(w, 1));
    QTest::mouseClick(button(w, "cmdApply"), Qt::LeftButton);
    QCOMPARE(ui().lastBoxText(),
             QStringLiteral("Adding these cars/drivers will exceed at least one leagues salary cap."));
    QCOMPARE(holdings(), 2);
}

void PickEditorTest::datesTypedInAnyOrderAreJudgedOnStore() {
    cTeamCar pick;
    pick.setTeamNmbr(500);
    frmTeamCar w;
    openSingle(w, pick, Currency());
    chooseCar(w.findChild<QComboBox*>(QStringLiteral("cmbCarTxt")), QStringLiteral("11"));
    // The termination date first, then an effective date after it.
    QTest::mouseClick(box(w, QStringLiteral("txtTermDt")), Qt::LeftButton);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("3/1/2026"));
    QTest::mouseClick(box(w, QStringLiteral("txtEfctvDt")), Qt::LeftButton);
    QCoreApplication::processEvents();
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("4/1/2026"));
    QVERIFY(ui().boxes.isEmpty());
    QTest::mouseClick(button(w, "cmdOK"), Qt::LeftButton);
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Termination Date must be greater then Effective Date"));
    QVERIFY(w.isVisible());
    QCOMPARE(holdings(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), box(w, QStringLiteral("txtTermDt")), kWindowWait);

    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("5/1/2026"));
    QTest::mouseClick(button(w, "cmdOK"), Qt::LeftButton);
    QVERIFY(!w.isVisible());
    QCOMPARE(holdings(QStringLiteral("efctv_dt = '2026-04-01' AND term_dt = '2026-05-01'")), 1);
}

void PickEditorTest::oneCarIsNotHeldTwiceOnADay() {
    addHolding({.team = 500, .car = 600, .from = "2026-01-01", .lockedSalary = 1000});
    addHolding({.team = 500, .car = 601, .from = "2026-01-01", .to = "2026-04-01", .lockedSalary = 500});
    const QString held = QStringLiteral("This Car/Driver is already held by this Team for these dates.");
    cTeamCar pick;
    pick.setTeamNmbr(500);
    frmTeamCar w;
    openSingle(w, pick, Currency::fromDouble(1000));
    auto* combo = w.findChild<QComboBox*>(QStringLiteral("cmbCarTxt"));
    // Car 11 is held and still open.
    chooseCar(combo, QStringLiteral("11"));
    typeAndLeave(box(w, QStringLiteral("txtEfctvDt")), QStringLiteral("6/1/2026"), box(w, QStringLiteral("txtTermDt")));
    QTest::mouseClick(button(w, "cmdApply"), Qt::LeftButton);
    QCOMPARE(ui().lastBoxText(), held);
    QCOMPARE(holdings(QStringLiteral("car_nmbr = 600")), 1);
    // Car 22 was held until 4/1: a pick ending before then overlaps, one from 4/1 on does not.
    chooseCar(combo, QStringLiteral("22"));
    typeAndLeave(box(w, QStringLiteral("txtEfctvDt")), QStringLiteral("12/1/2025"),
                 box(w, QStringLiteral("txtTermDt")));
    typeAndLeave(box(w, QStringLiteral("txtTermDt")), QStringLiteral("1/2/2026"), box(w, QStringLiteral("txtEfctvDt")));
    ui().clear();
    QTest::mouseClick(button(w, "cmdApply"), Qt::LeftButton);
    QCOMPARE(ui().lastBoxText(), held);
    typeAndLeave(box(w, QStringLiteral("txtTermDt")), QStringLiteral("1/1/2026"), box(w, QStringLiteral("txtEfctvDt")));
    ui().clear();
    QTest::mouseClick(button(w, "cmdApply"), Qt::LeftButton);
    QVERIFY(ui().boxes.isEmpty());
    chooseCar(combo, QStringLiteral("22"));
    typeAndLeave(box(w, QStringLiteral("txtEfctvDt")), QStringLiteral("4/1/2026"), box(w, QStringLiteral("txtTermDt")));
    QTest::mouseClick(button(w, "cmdApply"), Qt::LeftButton);
    QVERIFY(ui().boxes.isEmpty());
    QCOMPARE(holdings(QStringLiteral("car_nmbr = 601")), 3);
}

void PickEditorTest::multipleHoldsTheRulesOverTheWholeBatch() {
    addHolding({.team = 500, .car = 600, .from = "2026-01-01", .lockedSalary = 1000});
    setGroupLimit(1, 1);
    cTeam team;
    team.load(500);
    frmTeamCarMultiple w;
    w.fillWith(team, Currency());
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w, kWindowWait));

    // Cars 22 and 33 share group A, whose limit is one open pick.
    chooseCar(gridCar(w, 0), QStringLiteral("22"));
    typeAndLeave(gridEfctv(w, 0), day1, gridTerm(w, 0));
    chooseCar(gridCar(w, 1), QStringLiteral("33"));
    typeAndLeave(gridEfctv(w, 1), day1, gridTerm(w, 1));
    ui().clear();
    QTest::mouseClick(button(w, "cmdApply"), Qt::LeftButton);
    QCOMPARE(ui().lastBoxText(),
             QStringLiteral("Adding this Car/Driver will exceed the number of Cars/Drivers for Group Group A."));
    QCOMPARE(holdings(), 1);

    // Ended in the batch, the second row no longer counts; but 22 twice is refused.
    typeAndLeave(gridTerm(w, 1), QStringLiteral("4/1/2026"), gridEfctv(w, 1));
    chooseCar(gridCar(w, 2), QStringLiteral("22"));
    typeAndLeave(gridEfctv(w, 2), QStringLiteral("6/1/2026"), gridTerm(w, 2));
    ui().clear();
    QTest::mouseClick(button(w, "cmdApply"), Qt::LeftButton);
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Car/Driver 22 has been chosen more than once."));
    QCOMPARE(holdings(), 1);

    // Car 11 is already held and open.
    chooseCar(gridCar(w, 2), QStringLiteral("11"));
    ui().clear();
    QTest::mouseClick(button(w, "cmdApply"), Qt::LeftButton);
    QCOMPARE(ui().lastBoxText(), QStringLiteral("This Car/Driver is already held by this Team for these dates."));
    QCOMPARE(holdings(), 1);

    // An effective date typed after the termination date is judged on store.
    w.grid()->setText(2, frmTeamCarMultiple::CarColumn, QString());
    QCOMPARE(w.grid()->number(2, frmTeamCarMultiple::CarColumn), 0);
    for (auto [cell, text] : {std::pair{gridTerm(w, 1), QStringLiteral("6/1/2026")},
                              std::pair{gridEfctv(w, 1), QStringLiteral("7/1/2026")}}) {
        QTest::mouseClick(cell, Qt::LeftButton);
        QCoreApplication::processEvents();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), text);
    }
    ui().clear();
    QTest::mouseClick(button(w, "cmdOK"), Qt::LeftButton);
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Termination Date must be greater then Effective Date"));
    QVERIFY(w.isVisible());
    QCOMPARE(holdings(), 1);
}

QTEST_MAIN(PickEditorTest)
#include "tst_pick_editor.moc"
