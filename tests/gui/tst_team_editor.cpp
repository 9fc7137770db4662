#include "ModalHelpers.h"
#include "TeamTestHelpers.h"
#include "data/cTeam.h"
#include "editors/teams/frmLeagueTeams.h"
#include "editors/teams/frmTeam.h"
#include "editors/teams/frmTeamCar.h"
#include "platform/Clock.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

// The team editor driven through its fields, tabs and buttons. Team 500 plays race type 1 by cars.
class TeamEditorTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void salaryTotalCountsOpenAndLaterEndingPicks();
    void teamWithoutPicksShowsAnEmptyList();
    void holdingsSortByNumberDateAndAmount();
    void newTeamIsStoredWhenItsHoldingsAreShown();
    void requiredFieldsInOrder_data();
    void requiredFieldsInOrder();
    void storedTeamTypeChanges_data();
    void storedTeamTypeChanges();
    void activeMarkStoredByOkDroppedByCancel_data();
    void activeMarkStoredByOkDroppedByCancel();
    void pickEditorStoresOnlyItsOwnChanges_data();
    void pickEditorStoresOnlyItsOwnChanges();
    void nameAndMarkStoredByOneApply();
    void reloadShowsStoredMarks();
    void terminateTakesEffectOnlyWhenThePickEditorStores_data();
    void terminateTakesEffectOnlyWhenThePickEditorStores();
    void terminateAllEndsOnlyOpenPicks();
    void deleteRefusesScoredPick();
    void cancelQuestion_data();
    void cancelQuestion();
    void duplicateTeamIsReported();
    void accessKeysPressWhatTheyShow();
    void cancelYesStaysOpenWhenTheSaveIsRefused();
    void picksOfATeamNotStoredYet();
    void terminatingNeverEndsAPickBeforeItBegins();
    void teamInNoLeagueIsOfferedTheChecklist();
    void screenshots();

private:
    QLineEdit* box(const char* name) { return m_window->findChild<QLineEdit*>(QLatin1String(name)); }
    QComboBox* combo(const char* name) { return m_window->findChild<QComboBox*>(QLatin1String(name)); }
    QPushButton* button(const char* name) { return m_window->findChild<QPushButton*>(QLatin1String(name)); }
    QTreeWidget* holdingsList() { return m_window->findChild<QTreeWidget*>(QStringLiteral("lvwTeamCars")); }
    void open(int teamNmbr);
    void showHoldings() { m_window->findChild<QTabWidget*>(QStringLiteral("SSTab1"))->setCurrentIndex(1); }
    // The holdings row showing the car number text.
    QTreeWidgetItem* row(const QString& carTxt);
    static void choose(QComboBox* c, int nmbr) {
        const int i = c->findData(nmbr);
        c->setCurrentIndex(i);
        emit c->activated(i);
    }
    static QString stored(const QString& sql) { return TestDataFile::scalar(sql).toString(); }
    RecordingUi& ui() { return m_data->ui(); }

    std::unique_ptr<TestDataFile> m_data;
    std::unique_ptr<cTeam> m_team;
    std::unique_ptr<frmTeam> m_window;
    // Closes the membership checklist whenever the editor offers it, and counts the offers.
    QTimer m_checklistCloser;
    int m_checklists = 0;
    const QDate today = ::today();
};

void TeamEditorTest::init() {
    m_checklists = 0;
    if (!m_checklistCloser.isActive()) {
        connect(&m_checklistCloser, &QTimer::timeout, this, [this] {
            if (auto* w = qobject_cast<frmLeagueTeams*>(QApplication::activeModalWidget())) {
                ++m_checklists;
                w->reject();
            }
        });
        m_checklistCloser.start(10);
    }
    m_data = std::make_unique<TestDataFile>();
    QVERIFY(m_data->ok());
    addTeam({.nmbr = 500, .name = "Racers", .owner = "Owner"});
    addTeam({.nmbr = 501, .name = "Copycats", .owner = "Owner"});
    addCar({.nmbr = 600, .txt = "11", .driver = "Ann", .salary = 1000});
    addCar({.nmbr = 601, .txt = "22", .driver = "Bo", .salary = 500});
    addCar({.nmbr = 602, .txt = "33", .driver = "Cy", .salary = 300});
    addCar({.nmbr = 603, .carType = 3, .txt = "Top Bonus", .driver = "Bonus"});
    addLeague({.nmbr = 700, .name = "Capped", .shortName = "L700", .salaryCap = 2000});
}

void TeamEditorTest::cleanup() {
    m_window.reset();
    m_team.reset();
    m_data.reset();
}

void TeamEditorTest::open(int teamNmbr) {
    m_team = std::make_unique<cTeam>();
    if (teamNmbr > 0)
        m_team->load(teamNmbr);
    m_window = std::make_unique<frmTeam>();
    m_window->fillWith(*m_team);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get(), kWindowWait));
    ui().clear();
}

QTreeWidgetItem* TeamEditorTest::row(const QString& carTxt) {
    const auto found = holdingsList()->findItems(carTxt, Qt::MatchExactly, 1);
    return found.isEmpty() ? nullptr : found.first();
}

void TeamEditorTest::salaryTotalCountsOpenAndLaterEndingPicks() {
    addHolding({.team = 500, .car = 600, .from = "2026-01-01", .lockedSalary = 1000});
    addHolding({.team = 500, .car = 601, .from = "2026-01-01", .to = isoDate(today), .lockedSalary = 500});
    addHolding({.team = 500, .car = 602, .from = "2026-01-01", .to = isoDate(today.addDays(1)), .lockedSalary = 300});
    addHolding({.team = 500, .car = 603, .from = "2026-01-01", .lockedSalary = 77});
    open(500);
    showHoldings();
    QCOMPARE(holdingsList()->topLevelItemCount(), 3); // the bonus pick is never listed
    QCOMPARE(m_window->teamSalary(), Currency::fromDouble(1300));
    QCOMPARE(box("txtTotalSalary")->text(), QStringLiteral("$1,300.00"));
    QCOMPARE(row(QStringLiteral("11"))->text(4), QStringLiteral(" "));
    QCOMPARE(row(QStringLiteral("22"))->text(4), shortDate(today)); // ended today: listed, not counted
    QCOMPARE(holdingsList()->topLevelItem(0)->text(1), QStringLiteral("11"));
}

void TeamEditorTest::holdingsSortByNumberDateAndAmount() {
    addCar({.nmbr = 604, .txt = "2", .driver = "Di"});
    addHolding({.team = 500, .car = 600, .from = "2026-12-13", .lockedSalary = 1000});
    addHolding({.team = 500, .car = 601, .from = "2027-01-10", .lockedSalary = 500});
    addHolding({.team = 500, .car = 602, .from = "2026-03-01", .lockedSalary = 12000});
    addHolding({.team = 500, .car = 604, .from = "2026-11-02", .lockedSalary = 90});
    open(500);
    showHoldings();
    auto column = [this](int col) {
        QStringList texts;
        for (int i = 0; i < holdingsList()->topLevelItemCount(); ++i)
            texts << holdingsList()->topLevelItem(i)->text(col);
        return texts;
    };
    QCOMPARE(column(1), QStringList({"2", "11", "22", "33"}));
    auto clickHeader = [this](int section) {
        QHeaderView* header = holdingsList()->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
    };
    clickHeader(3);
    QCOMPARE(column(1), QStringList({"33", "2", "11", "22"}));
    clickHeader(5);
    QCOMPARE(column(1), QStringList({"2", "22", "11", "33"}));
}

void TeamEditorTest::teamWithoutPicksShowsAnEmptyList() {
    open(500);
    showHoldings();
    QCOMPARE(holdingsList()->topLevelItemCount(), 0);
    QVERIFY(!holdingsList()->currentItem());
    QCOMPARE(box("txtTotalSalary")->text(), QStringLiteral("$0.00"));
    QTest::mouseClick(button("cmdDelete"), Qt::LeftButton);
    QTest::mouseClick(button("cmdTerm"), Qt::LeftButton); // no pick: no pick editor either
    QVERIFY(ui().boxes.isEmpty());
    QCOMPARE(holdingsList()->topLevelItemCount(), 0);
}

void TeamEditorTest::newTeamIsStoredWhenItsHoldingsAreShown() {
    open(0);
    QCOMPARE(combo("cmbRaceType")->currentIndex(), -1);
    QCOMPARE(combo("cmbCarType")->currentIndex(), -1);
    QCOMPARE(combo("cmbCarType")->count(), 2); // the bonus type is never offered
    box("TxtTeamName")->setText(QStringLiteral("Fresh"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Team - Fresh"));
    choose(combo("cmbRaceType"), 6);
    choose(combo("cmbCarType"), 2);
    QVERIFY(ui().boxes.isEmpty());
    QVERIFY(button("cmdApply")->isEnabled());
    showHoldings();
    QCOMPARE(m_team->teamNmbr(), 502);
    QCOMPARE(
        stored(QStringLiteral("SELECT team_name || race_type_nmbr || car_type_nmbr FROM teams WHERE team_nmbr = 502")),
        QStringLiteral("Fresh62"));
    QVERIFY(!button("cmdApply")->isEnabled());
    QCOMPARE(holdingsList()->topLevelItemCount(), 0);
}

void TeamEditorTest::requiredFieldsInOrder_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("raceType");
    QTest::addColumn<int>("carType");
    QTest::addColumn<QString>("message");
    QTest::newRow("blank name first") << "  " << -1 << -1 << "Team Name is a required field";
    QTest::newRow("then race type") << "A" << -1 << 1 << "Race Type is a required field";
    QTest::newRow("then score by") << "A" << 1 << -1 << "Score By is a required field";
}

void TeamEditorTest::requiredFieldsInOrder() {
    QFETCH(QString, name);
    QFETCH(int, raceType);
    QFETCH(int, carType);
    QFETCH(QString, message);
    open(0);
    box("TxtTeamName")->setText(name);
    if (raceType > 0)
        choose(combo("cmbRaceType"), raceType);
    if (carType > 0)
        choose(combo("cmbCarType"), carType);
    QTest::mouseClick(button("cmdOK"), Qt::LeftButton);
    QCOMPARE(ui().lastBoxText(), message);
    QCOMPARE(ui().boxes.last().title, QStringLiteral("Quorvanti"));
    QVERIFY(m_window->isVisible());
    QVERIFY(button("cmdApply")->isEnabled());
    QCOMPARE(TestDataFile::count(QStringLiteral("SELECT count(*) FROM teams")), 2);

    // Add to League stores nothing either and does not go on.
    ui().clear();
    QTest::mouseClick(button("cmdAddLeague"), Qt::LeftButton);
    QCOMPARE(ui().lastBoxText(), message);
}

void TeamEditorTest::storedTeamTypeChanges_data() {
    QTest::addColumn<bool>("member");
    QTest::addColumn<bool>("holdsCar");
    QTest::addColumn<QString>("raceMessage");
    QTest::addColumn<QString>("scoreMessage");
    QTest::newRow("free team") << false << false << QString() << QString();
    QTest::newRow("league member without picks")
        << true << false
        << "Can not change Race Type.\r\nThis Team is a member of at least one League for the current Race Type."
        << "Can not change Score By.\r\nThis Team is a member of at least one League for the Score By Type.";
    QTest::newRow("ended pick comes before the league test")
        << true << true << "Can not change Race Type while Team Cars exist for the Race Type."
        << "Can not change Score By while Team Cars exist for the Score By type.";
}

void TeamEditorTest::storedTeamTypeChanges() {
    QFETCH(bool, member);
    QFETCH(bool, holdsCar);
    QFETCH(QString, raceMessage);
    QFETCH(QString, scoreMessage);
    if (member)
        addMember({.league = 700, .team = 500});
    if (holdsCar)
        addHolding({.team = 500, .car = 600, .from = "2025-01-01", .to = "2025-06-01"});
    open(500);

    // Choosing what the team already has is no edit.
    choose(combo("cmbRaceType"), 1);
    choose(combo("cmbCarType"), 1);
    QVERIFY(!button("cmdApply")->isEnabled());

    choose(combo("cmbRaceType"), 2);
    choose(combo("cmbCarType"), 2);
    if (raceMessage.isEmpty()) {
        QVERIFY(ui().boxes.isEmpty());
        QCOMPARE(m_team->raceTypeNmbr(), 2);
        QCOMPARE(m_team->carTypeNmbr(), 2);
        QVERIFY(button("cmdApply")->isEnabled());
    } else {
        QCOMPARE(ui().boxes.size(), 2);
        QCOMPARE(ui().boxes[0].text, raceMessage);
        QCOMPARE(ui().boxes[1].text, scoreMessage);
        QCOMPARE(ui().boxes[0].icon, MsgIcon::Critical);
        QCOMPARE(combo("cmbRaceType")->currentData().toInt(), 1);
        QCOMPARE(combo("cmbCarType")->currentData().toInt(), 1);
        QCOMPARE(m_team->raceTypeNmbr(), 1);
        QVERIFY(!button("cmdApply")->isEnabled());
    }
}

void TeamEditorTest::activeMarkStoredByOkDroppedByCancel_data() {
    QTest::addColumn<QString>("buttonName");
    QTest::addColumn<int>("storedActive");
    QTest::newRow("OK stores the mark") << "cmdOK" << 0;
    QTest::newRow("Cancel drops it without a question") << "cmdCancel" << 1;
}

void TeamEditorTest::activeMarkStoredByOkDroppedByCancel() {
    QFETCH(QString, buttonName);
    QFETCH(int, storedActive);
    addHolding({.team = 500, .car = 600, .from = "2026-01-01", .lockedSalary = 1000});
    open(500);
    showHoldings();
    row(QStringLiteral("11"))->setCheckState(0, Qt::Unchecked);
    QVERIFY(button("cmdApply")->isEnabled());
    QTest::mouseClick(button(qPrintable(buttonName)), Qt::LeftButton);
    QVERIFY(!m_window->isVisible());
    QVERIFY(ui().boxes.isEmpty());
    QCOMPARE(TestDataFile::count(QStringLiteral("SELECT active FROM team_car")), storedActive);
}

void TeamEditorTest::pickEditorStoresOnlyItsOwnChanges_data() {
    QTest::addColumn<QString>("buttonName");
    QTest::addColumn<int>("storedActive");
    QTest::newRow("team editor OK") << "cmdOK" << 0;
    QTest::newRow("team editor Cancel") << "cmdCancel" << 1;
}

// An Active mark not yet applied is the team editor's to store or drop, also when the pick it
// belongs to is stored by the pick editor meanwhile.
void TeamEditorTest::pickEditorStoresOnlyItsOwnChanges() {
    QFETCH(QString, buttonName);
    QFETCH(int, storedActive);
    addHolding({.team = 500, .car = 600, .from = "2026-01-01", .lockedSalary = 1000});
    addHolding({.team = 500, .car = 601, .from = "2026-01-01", .lockedSalary = 500});
    open(500);
    showHoldings();
    row(QStringLiteral("11"))->setCheckState(0, Qt::Unchecked);
    holdingsList()->setCurrentItem(row(QStringLiteral("11")));
    bool pickStored = false;
    whenModal<frmTeamCar>([&](frmTeamCar* editor) {
        QVERIFY(QTest::qWaitForWindowActive(editor, kWindowWait));
        // A termination date is the pick editor's own change.
        auto* term = editor->findChild<QLineEdit*>(QStringLiteral("txtTermDt"));
        QTest::mouseClick(term, Qt::LeftButton);
        settle();
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), term, kWindowWait);
        QTest::keyClicks(QApplication::focusWidget(), shortDate(today));
        QCOMPARE(term->text(), shortDate(today));
        QTest::mouseClick(editor->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        pickStored = !editor->isVisible();
    });
    QTest::mouseClick(button("cmdUpdate"), Qt::LeftButton);
    QVERIFY2(pickStored && ui().boxes.isEmpty(), qPrintable(ui().lastBoxText()));
    const QString pick600 = QStringLiteral("FROM team_car WHERE team_nmbr = 500 AND car_nmbr = 600");
    QCOMPARE(stored(QStringLiteral("SELECT term_dt ") + pick600), isoDate(today));
    QCOMPARE(TestDataFile::count(QStringLiteral("SELECT active ") + pick600), 1);
    QCOMPARE(row(QStringLiteral("11"))->checkState(0), Qt::Unchecked);
    QCOMPARE(row(QStringLiteral("11"))->text(4), shortDate(today));

    QTest::mouseClick(button(qPrintable(buttonName)), Qt::LeftButton);
    QVERIFY(!m_window->isVisible());
    QCOMPARE(TestDataFile::count(QStringLiteral("SELECT active ") + pick600), storedActive);
    QCOMPARE(stored(QStringLiteral("SELECT term_dt ") + pick600), isoDate(today));
    QCOMPARE(TestDataFile::count(QStringLiteral("SELECT active FROM team_car WHERE car_nmbr = 601")), 1);
}

void TeamEditorTest::nameAndMarkStoredByOneApply() {
    addHolding({.team = 500, .car = 600, .from = "2026-01-01", .lockedSalary = 1000});
    addMember({.league = 700, .team = 500});
    open(500);
    showHoldings();
    row(QStringLiteral("11"))->setCheckState(0, Qt::Unchecked);
    box("txtCity")->setText(QStringLiteral("O'Fallon"));
    QTest::mouseClick(button("cmdApply"), Qt::LeftButton);
    QVERIFY(!button("cmdApply")->isEnabled());
    QCOMPARE(stored(QStringLiteral("SELECT city FROM teams WHERE team_nmbr = 500")), QStringLiteral("O'Fallon"));
    QCOMPARE(TestDataFile::count(QStringLiteral("SELECT active FROM team_car")), 0);
}

void TeamEditorTest::reloadShowsStoredMarks() {
    addHolding({.team = 500, .car = 600, .from = "2026-01-01", .lockedSalary = 1000});
    addHolding({.team = 500, .car = 601, .from = "2026-01-01", .lockedSalary = 500});
    addHolding({.team = 501, .car = 600, .from = "2026-01-01"});
    open(500);
    showHoldings();
    row(QStringLiteral("11"))->setCheckState(0, Qt::Unchecked);
    // The list is read again after Terminate All; the mark not yet applied is carried over.
    QTest::mouseClick(button("cmdTermAll"), Qt::LeftButton);
    QCOMPARE(row(QStringLiteral("11"))->text(4), shortDate(today));
    QCOMPARE(row(QStringLiteral("11"))->checkState(0), Qt::Unchecked);
    QCOMPARE(row(QStringLiteral("22"))->checkState(0), Qt::Checked);
    QVERIFY(button("cmdApply")->isEnabled());
    // And after the pick editor, closed without storing.
    holdingsList()->setCurrentItem(row(QStringLiteral("22")));
    whenModal<frmTeamCar>(
        [](frmTeamCar* editor) { editor->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click(); });
    QTest::mouseClick(button("cmdUpdate"), Qt::LeftButton);
    QCOMPARE(row(QStringLiteral("11"))->checkState(0), Qt::Unchecked);
    QTest::mouseClick(button("cmdOK"), Qt::LeftButton);
    QVERIFY(!m_window->isVisible());
    QCOMPARE(
        TestDataFile::count(QStringLiteral("SELECT active FROM team_car WHERE team_nmbr = 500 AND car_nmbr = 600")), 0);
    QCOMPARE(
        TestDataFile::count(QStringLiteral("SELECT active FROM team_car WHERE team_nmbr = 500 AND car_nmbr = 601")), 1);
    QCOMPARE(TestDataFile::count(QStringLiteral("SELECT active FROM team_car WHERE team_nmbr = 501")), 1);
}

void TeamEditorTest::terminateTakesEffectOnlyWhenThePickEditorStores_data() {
    QTest::addColumn<bool>("save");
    QTest::newRow("pick editor cancelled") << false;
    QTest::newRow("pick editor OK") << true;
}

void TeamEditorTest::terminateTakesEffectOnlyWhenThePickEditorStores() {
    QFETCH(bool, save);
    addHolding({.team = 500, .car = 600, .from = "2026-01-01", .lockedSalary = 1000});
    open(500);
    showHoldings();
    holdingsList()->setCurrentItem(row(QStringLiteral("11")));
    QString shownTerm;
    whenModal<frmTeamCar>([&](frmTeamCar* editor) {
        shownTerm = editor->findChild<QLineEdit*>(QStringLiteral("txtTermDt"))->text();
        editor->findChild<QPushButton*>(QLatin1String(save ? "cmdOK" : "cmdCancel"))->click();
    });
    QTest::mouseClick(button("cmdTerm"), Qt::LeftButton);
    QCOMPARE(shownTerm, shortDate(today));
    const QVariant term = TestDataFile::scalar(QStringLiteral("SELECT term_dt FROM team_car"));
    if (save) {
        QCOMPARE(term.toString(), isoDate(today));
        QCOMPARE(box("txtTotalSalary")->text(), QStringLiteral("$0.00"));
    } else {
        QVERIFY(term.isNull());
        QCOMPARE(row(QStringLiteral("11"))->text(4), QStringLiteral(" "));
        QCOMPARE(box("txtTotalSalary")->text(), QStringLiteral("$1,000.00"));
    }
}

void TeamEditorTest::terminateAllEndsOnlyOpenPicks() {
    addHolding({.team = 500, .car = 600, .from = "2026-01-01", .lockedSalary = 1000});
    addHolding({.team = 500, .car = 601, .from = "2026-01-01", .to = "2026-02-01", .lockedSalary = 500});
    addHolding({.team = 501, .car = 602, .from = "2026-01-01"});
    open(500);
    showHoldings();
    QTest::mouseClick(button("cmdTermAll"), Qt::LeftButton);
    QVERIFY(ui().boxes.isEmpty());
    QCOMPARE(stored(QStringLiteral("SELECT term_dt FROM team_car WHERE car_nmbr = 600")), isoDate(today));
    QCOMPARE(stored(QStringLiteral("SELECT term_dt FROM team_car WHERE car_nmbr = 601")), QStringLiteral("2026-02-01"));
    QVERIFY(TestDataFile::scalar(QStringLiteral("SELECT term_dt FROM team_car WHERE team_nmbr = 501")).isNull());
    QCOMPARE(box("txtTotalSalary")->text(), QStringLiteral("$0.00"));
}

void TeamEditorTest::deleteRefusesScoredPick() {
    addHolding({.team = 500, .car = 600, .from = "2026-03-01", .lockedSalary = 1000});
    addHolding({.team = 500, .car = 601, .from = "2026-03-01", .lockedSalary = 500});
    addRace({.nmbr = 800, .name = "Opener", .track = "Track 800", .date = "2026-03-08", .status = 1});
    addTeamResult({.race = 800, .car = 600, .team = 500, .league = 700});
    open(500);
    showHoldings();
    holdingsList()->setCurrentItem(row(QStringLiteral("11")));
    QTest::mouseClick(button("cmdDelete"), Qt::LeftButton);
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Car/Driver has been scored for this Team and can not be deleted until "
                                                "all Scoring for this Team Car/Driver is deleted."));
    holdingsList()->setCurrentItem(row(QStringLiteral("22")));
    QTest::mouseClick(button("cmdDelete"), Qt::LeftButton);
    QCOMPARE(TestDataFile::count(QStringLiteral("SELECT count(*) FROM team_car")), 1);
    QCOMPARE(holdingsList()->topLevelItemCount(), 1);
    QCOMPARE(box("txtTotalSalary")->text(), QStringLiteral("$1,000.00"));
}

void TeamEditorTest::cancelQuestion_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("staysOpen");
    QTest::addColumn<QString>("storedName");
    QTest::newRow("Cancel stays") << int(AnswerCancel) << true << "Racers";
    QTest::newRow("No drops") << int(AnswerNo) << false << "Racers";
    QTest::newRow("Yes stores") << int(AnswerYes) << false << "Renamed";
}

void TeamEditorTest::cancelQuestion() {
    QFETCH(int, answer);
    QFETCH(bool, staysOpen);
    QFETCH(QString, storedName);
    addMember({.league = 700, .team = 500});
    open(500);
    box("TxtTeamName")->setText(QStringLiteral("Renamed"));
    ui().answers = {answer};
    QTest::mouseClick(button("cmdCancel"), Qt::LeftButton);
    QCOMPARE(ui().boxes.size(), 1);
    QCOMPARE(ui().boxes[0].text, QStringLiteral("Do you want to save changes"));
    QCOMPARE(ui().boxes[0].title, QStringLiteral("Renamed"));
    QCOMPARE(ui().boxes[0].buttons, MsgButtons::YesNoCancel);
    QCOMPARE(m_window->isVisible(), staysOpen);
    QCOMPARE(stored(QStringLiteral("SELECT team_name FROM teams WHERE team_nmbr = 500")), storedName);
}

void TeamEditorTest::cancelYesStaysOpenWhenTheSaveIsRefused() {
    addMember({.league = 700, .team = 500});
    open(500);
    QTest::mouseClick(box("TxtTeamName"), Qt::LeftButton);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    QTest::mouseClick(box("txtCity"), Qt::LeftButton);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Leeds"));
    ui().answers = {AnswerYes};
    QTest::mouseClick(button("cmdCancel"), Qt::LeftButton);
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Team Name is a required field"));
    QVERIFY(m_window->isVisible());
    QCOMPARE(box("txtCity")->text(), QStringLiteral("Leeds"));
    QCOMPARE(QApplication::focusWidget(), box("TxtTeamName"));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Renamed"));
    ui().answers = {AnswerYes};
    QTest::mouseClick(button("cmdCancel"), Qt::LeftButton);
    QVERIFY(!m_window->isVisible());
    QCOMPARE(stored(QStringLiteral("SELECT team_name || city FROM teams WHERE team_nmbr = 500")),
             QStringLiteral("RenamedLeeds"));
}

void TeamEditorTest::picksOfATeamNotStoredYet() {
    open(0);
    QTest::mouseClick(box("TxtTeamName"), Qt::LeftButton);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Fresh"));
    // The holdings tab is shown although the team could not be stored without a race type.
    showHoldings();
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Race Type is a required field"));
    ui().clear();
    QTest::mouseClick(button("cmdAdd"), Qt::LeftButton);
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Race Type is a required field"));
    ui().clear();
    QTest::mouseClick(button("CmdAddMultiple"), Qt::LeftButton);
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Race Type is a required field"));
    QCOMPARE(TestDataFile::count(QStringLiteral("SELECT count(*) FROM teams")), 2);

    // With its types chosen, Add stores the team (offering the leagues) and opens the pick editor for it.
    m_window->findChild<QTabWidget*>(QStringLiteral("SSTab1"))->setCurrentIndex(0);
    choose(combo("cmbRaceType"), 1);
    choose(combo("cmbCarType"), 1);
    ui().clear();
    // The league checklist comes first (closed by the test's closer), then the pick editor.
    QString title;
    QTimer pickEditorCloser;
    connect(&pickEditorCloser, &QTimer::timeout, this, [&title] {
        if (auto* editor = qobject_cast<frmTeamCar*>(QApplication::activeModalWidget())) {
            title = editor->windowTitle();
            editor->reject();
        }
    });
    pickEditorCloser.start(10);
    QTest::mouseClick(button("cmdAdd"), Qt::LeftButton);
    pickEditorCloser.stop();
    QCOMPARE(m_checklists, 1);
    QCOMPARE(title, QStringLiteral("Add Car/Driver for Fresh"));
    QCOMPARE(m_team->teamNmbr(), 502);
    QCOMPARE(stored(QStringLiteral("SELECT team_name FROM teams WHERE team_nmbr = 502")), QStringLiteral("Fresh"));
}

void TeamEditorTest::terminatingNeverEndsAPickBeforeItBegins() {
    addMember({.league = 700, .team = 500});
    addHolding({.team = 500, .car = 600, .from = isoDate(today.addDays(7)), .lockedSalary = 1000});
    addHolding({.team = 500, .car = 601, .from = "2026-01-01", .lockedSalary = 500});
    open(500);
    showHoldings();
    holdingsList()->setCurrentItem(row(QStringLiteral("11")));
    QString refusal;
    bool stayedOpen = false;
    whenModal<frmTeamCar>([&](frmTeamCar* editor) {
        editor->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        refusal = ui().lastBoxText();
        stayedOpen = editor->isVisible();
        editor->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
    });
    QTest::mouseClick(button("cmdTerm"), Qt::LeftButton);
    QCOMPARE(refusal, QStringLiteral("Termination Date must be greater then Effective Date"));
    QVERIFY(stayedOpen);
    QVERIFY(TestDataFile::scalar(QStringLiteral("SELECT term_dt FROM team_car WHERE car_nmbr = 600")).isNull());

    // Terminate All ends the pick in force and leaves the one to come open.
    QTest::mouseClick(button("cmdTermAll"), Qt::LeftButton);
    QVERIFY(TestDataFile::scalar(QStringLiteral("SELECT term_dt FROM team_car WHERE car_nmbr = 600")).isNull());
    QCOMPARE(stored(QStringLiteral("SELECT term_dt FROM team_car WHERE car_nmbr = 601")), isoDate(today));
}

void TeamEditorTest::duplicateTeamIsReported() {
    addHolding({.team = 500, .car = 600, .from = "2026-01-01"});
    addHolding({.team = 501, .car = 600, .from = "2026-01-01"});
    addHolding({.team = 501, .car = 601, .from = "2026-01-01"});
    open(500);
    showHoldings();
    QTest::mouseClick(button("cmdCheckDuplicate"), Qt::LeftButton);
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Duplicate team with Copycats"));
    QCOMPARE(ui().boxes.last().icon, MsgIcon::Information);
    TestDataFile::exec(
        QStringLiteral("UPDATE team_car SET term_dt = '2026-02-01' WHERE team_nmbr = 501 AND car_nmbr = 600"));
    QTest::mouseClick(button("cmdCheckDuplicate"), Qt::LeftButton);
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Team not Duplicated."));
}

// Alt and the underlined letter press that button, Add too once Apply is enabled beside it.
void TeamEditorTest::accessKeysPressWhatTheyShow() {
    addHolding({.team = 500, .car = 600, .from = "2026-01-01", .lockedSalary = 1000});
    addMember({.league = 700, .team = 500});
    open(500);
    const auto press = [](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        QCoreApplication::processEvents();
    };
    press(Qt::Key_Tab, Qt::ControlModifier);
    QTRY_COMPARE(QApplication::focusWidget(), holdingsList());
    press(Qt::Key_Down);
    press(Qt::Key_Space);
    QCOMPARE(row(QStringLiteral("11"))->checkState(0), Qt::Unchecked);
    QVERIFY(button("cmdApply")->isEnabled());

    // A key presses its button as a click does, a moment later; the pick editor is closed once up.
    QStringList opened;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&opened] {
        if (auto* editor = qobject_cast<frmTeamCar*>(QApplication::activeModalWidget())) {
            opened << editor->windowTitle();
            editor->done(0);
        }
    });
    closer.start(10);
    const auto pickEditorOpens = [&opened](Qt::Key key) {
        const qsizetype before = opened.size();
        QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier);
        QTRY_COMPARE(opened.size(), before + 1);
    };
    pickEditorOpens(Qt::Key_A);
    holdingsList()->setCurrentItem(row(QStringLiteral("11")));
    pickEditorOpens(Qt::Key_E);
    QCOMPARE(opened, QStringList({"Add Car/Driver for Racers", "Update Car 11 for Racers"}));
    press(Qt::Key_U, Qt::AltModifier);
    QTRY_COMPARE(ui().lastBoxText(), QStringLiteral("Team not Duplicated."));
    QCOMPARE(TestDataFile::count(QStringLiteral("SELECT active FROM team_car")), 1);

    press(Qt::Key_P, Qt::AltModifier);
    QTRY_VERIFY(!button("cmdApply")->isEnabled());
    QCOMPARE(TestDataFile::count(QStringLiteral("SELECT active FROM team_car")), 0);
}

void TeamEditorTest::teamInNoLeagueIsOfferedTheChecklist() {
    open(500);
    box("txtCity")->setText(QStringLiteral("Leeds"));
    QTest::mouseClick(button("cmdApply"), Qt::LeftButton);
    QTRY_COMPARE(m_checklists, 1);
    QCOMPARE(stored(QStringLiteral("SELECT city FROM teams WHERE team_nmbr = 500")), QStringLiteral("Leeds"));

    // A member of a league is not asked again.
    addMember({.league = 700, .team = 500});
    box("txtCity")->setText(QStringLiteral("York"));
    QTest::mouseClick(button("cmdApply"), Qt::LeftButton);
    QCOMPARE(m_checklists, 1);
}

void TeamEditorTest::screenshots() {
    const QString dir = qEnvironmentVariable("QV_SCREENSHOT_DIR");
    if (dir.isEmpty())
        QSKIP("QV_SCREENSHOT_DIR not set");
    addMember({.league = 700, .team = 500});
    addHolding({.team = 500, .car = 600, .from = "2026-01-01", .lockedSalary = 1000});
    addHolding({.team = 500, .car = 601, .from = "2026-01-01", .to = "2026-02-01", .lockedSalary = 500, .active = 0});
    open(500);
    QVERIFY(m_window->grab().save(QDir(dir).filePath(QStringLiteral("frmTeam.png"))));
    showHoldings();
    QVERIFY(m_window->grab().save(QDir(dir).filePath(QStringLiteral("frmTeam-holdings.png"))));
    holdingsList()->setCurrentItem(row(QStringLiteral("11")));
    whenModal<frmTeamCar>([&](frmTeamCar* editor) {
        QVERIFY(editor->grab().save(QDir(dir).filePath(QStringLiteral("frmTeamCar.png"))));
        editor->reject();
    });
    QTest::mouseClick(button("cmdUpdate"), Qt::LeftButton);
}

QTEST_MAIN(TeamEditorTest)
#include "tst_team_editor.moc"
