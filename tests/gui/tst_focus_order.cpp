// Every editor as the user meets it: the window opens with the focus in its first field, Tab walks
// the fields as they stand on screen and then the buttons, and Enter presses only the default
// button the window has. Keys always go to whatever has the focus.

#include "AccessKeys.h"
#include "DataFileTest.h"
#include "ListTestHelpers.h"
#include "ModalHelpers.h"
#include "data/cCar.h"
#include "data/cGroup.h"
#include "data/cLeague.h"
#include "data/cRaceType.h"
#include "data/cScoringType.h"
#include "data/cTeam.h"
#include "data/cTeamCar.h"
#include "editors/races/frmRace.h"
#include "editors/races/frmRaceType.h"
#include "editors/races/frmRaceTypes.h"
#include "editors/races/frmScoring.h"
#include "editors/teams/frmCar.h"
#include "editors/teams/frmGroup.h"
#include "editors/teams/frmGroups.h"
#include "editors/teams/frmLeague.h"
#include "editors/teams/frmLeagueTeams.h"
#include "editors/teams/frmTeam.h"
#include "editors/teams/frmTeamCar.h"
#include "editors/teams/frmTeamCarMultiple.h"
#include "exchange/frmPublishWeb.h"
#include "kit/EditorGrid.h"
#include "kit/frmDate.h"
#include "posting/cRaces.h"
#include "reports/framework/frmBrowser.h"
#include "reports/framework/frmReportDetails.h"
#include "reports/framework/frmReportRqst.h"
#include "shell/frmAbout.h"
#include "shell/frmSplash.h"
#include "shell/frmWelcome.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QTreeWidget>
#include <QWindow>
#include <QtTest>
#include <memory>

namespace {

// How the walk names a widget: its object name; a tab bar is "tabs"; a grid cell is the grid's
// name and the cell's kind.
QString nameOf(QWidget* w) {
    if (!w)
        return QStringLiteral("(nothing)");
    if (qobject_cast<QTabBar*>(w))
        return QStringLiteral("tabs");
    if (!w->objectName().isEmpty())
        return w->objectName();
    const QString parent = w->parentWidget() ? w->parentWidget()->objectName() : QString();
    return parent + QLatin1Char('.') + QLatin1String(w->metaObject()->className());
}

QWidget* focused() {
    return QApplication::focusWidget();
}

// The focus now, then after each of `steps` presses of Tab.
QStringList tabWalk(int steps) {
    QStringList names{nameOf(focused())};
    for (int i = 0; i < steps && focused(); ++i) {
        QTest::keyClick(focused(), Qt::Key_Tab);
        QCoreApplication::processEvents();
        names << nameOf(focused());
    }
    return names;
}

void type(const QString& text) {
    QTest::keyClicks(focused(), text);
}
void press(Qt::Key key) {
    QTest::keyClick(focused(), key);
    QCoreApplication::processEvents();
}

void showActive(QWidget* w) {
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w, kWindowWait));
    settle();
}

// Opens the editor on the object from a window below it, as the program does, types into its first
// field, leaves by `leave` (empty: the close box) and answers "Do you want to save changes" with No in
// a real box; the window below must then have the activation and its focus back.
template <class Editor, class Object, class... Extra>
void noGivesTheKeysBack(RecordingUi& recorder, QKeySequence leave, Object& object, Extra... extra) {
    QMainWindow below;
    QMenu* file = below.menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("E&xit"));
    auto* field = new QLineEdit(&below);
    below.setCentralWidget(field);
    showActive(&below);
    field->setFocus();
    QString asked;
    bool ran = false;
    whileModal<Editor>([&recorder, &asked, &ran, leave](Editor* w) {
        ran = true;
        // A window owned by an active one counts as active before it has the activation itself.
        QTRY_COMPARE(QApplication::activeWindow(), w);
        QTest::keyClicks(focused(), QStringLiteral("x"));
        RealMessageBoxes boxes(&recorder);
        answerNextBox(QMessageBox::No, &asked);
        if (leave.isEmpty())
            w->windowHandle()->close();
        else
            QTest::keySequence(focused(), leave);
        QTRY_VERIFY(!w->isVisible());
    });
    {
        Editor editor(&below);
        editor.showWith(object, extra...);
    }
    QVERIFY(ran);
    QCOMPARE(asked, QStringLiteral("Do you want to save changes"));
    QTRY_COMPARE(QApplication::activeWindow(), &below);
    QTRY_COMPARE(focused(), field);
    // Its menus answer their keys at once.
    QTest::keyClick(focused(), Qt::Key_F, Qt::AltModifier);
    QTRY_COMPARE(QApplication::activePopupWidget(), file);
    file->close();
}

} // namespace

class FocusOrderTest : public DataFileTest {
    Q_OBJECT

    // Opens the window, walks once round its Tab order and compares.
    void expectWalk(QDialog* w, const QStringList& expected) {
        showActive(w);
        QCOMPARE(tabWalk(int(expected.size()) - 1), expected);
    }

protected:
    void prepare() override {
        addTeam({.nmbr = 500, .name = "Racers", .owner = "Owner"});
        addLeague({.nmbr = 700, .name = "Capped", .shortName = "L700"});
        addMember({.league = 700, .team = 500});
        addCar({.nmbr = 600, .txt = "11", .owner = "Owner", .driver = "Ann", .make = "Make", .sponsor = "Acme"});
        addHolding({.team = 500, .car = 600});
    }

private slots:
    void teamEditor() {
        cTeam team;
        frmTeam w;
        w.fillWith(team);
        expectWalk(&w, {"TxtTeamName", "TxtTeamOwner", "txtEmail", "txtPhone", "txtAddressLine1", "txtAddressLine2",
                        "txtCity", "txtState", "txtZip", "cmbRaceType", "cmbCarType", "lvwLeagues", "cmdAddLeague",
                        "cmdOK", "cmdCancel", "tabs", "TxtTeamName"});
    }
    void leagueEditor() {
        cLeague league;
        frmLeague w;
        w.fillWith(league);
        expectWalk(&w, {"txtLeagueName", "txtShortName", "cmbScoringType", "cmbScoringOption", "cmbRaceType",
                        "txtSalaryCap", "txtDropLowest", "cmbCarType", "cmdImortRaces", "cmdImportCars", "cmdOK",
                        "cmdCancel", "tabs", "txtLeagueName"});
    }
    void carEditor() {
        cCar car;
        frmCar w;
        w.fillWith(car);
        // The option buttons are one stop: Tab enters the group at its checked button.
        expectWalk(&w, {"txtCarNumber", "txtDriver", "txtSponsor", "txtOwner", "txtMake", "cmbRaceType", "txtSalary",
                        "cmbGroup", "optBonus", "cmdOK", "cmdCancel", "tabs", "txtCarNumber"});
        // The type is chosen by its access key and moved with the arrow keys.
        QTest::keyClick(focused(), Qt::Key_D, Qt::AltModifier);
        QCOMPARE(nameOf(focused()), QStringLiteral("OptDriver"));
        QTRY_COMPARE(car.carTypeNmbr(), int(cCar::DriverType));
        press(Qt::Key_Down);
        QCOMPARE(car.carTypeNmbr(), int(cCar::CarType));
    }
    void pickEditor() {
        cTeamCar pick;
        pick.setTeamNmbr(500);
        frmTeamCar w;
        w.fillWith(pick, Currency());
        expectWalk(&w, {"cmbCarTxt", "txtEfctvDt", "cmdEfctvDate", "txtTermDt", "cmdTermDate", "cmdOK", "cmdCancel",
                        "lvwLeagues", "tabs", "cmbCarTxt"});
    }
    void multiplePickEditor() {
        cTeam team;
        team.load(500);
        frmTeamCarMultiple w;
        w.fillWith(team, Currency());
        showActive(&w);
        // Row by row: car, effective date, termination date.
        QCOMPARE(focused(), w.grid()->cell(0, frmTeamCarMultiple::CarColumn));
        for (int row = 0; row < 2; ++row)
            for (int col : {int(frmTeamCarMultiple::CarColumn), int(frmTeamCarMultiple::EfctvDtColumn),
                            int(frmTeamCarMultiple::TermDtColumn)}) {
                QCOMPARE(focused(), w.grid()->cell(row, col));
                press(Qt::Key_Tab);
            }
    }
    void scoringEditor() {
        cScoringType method;
        frmScoring w;
        w.fillFrom(method);
        expectWalk(&w, {"txtScoringTypeName", "txtLapsLedBonus", "txtMostLapsLedBonus", "txtFastQualBonus", "cmdOK",
                        "cmdCancel", "tabs", "txtScoringTypeName"});
        // No default button: Enter in a box neither stores nor closes.
        type(QStringLiteral("Alpha Points"));
        press(Qt::Key_Return);
        QVERIFY(w.isVisible());
        QCOMPARE(TestDataFile::count("SELECT count(*) FROM scoring_type WHERE scoring_type_name = 'Alpha Points'"), 0);
    }
    void raceWindow() {
        cRaces race;
        frmRace w;
        w.loadWith(race);
        expectWalk(&w, {"txtRaceName", "txtTrackName", "cmbRaceType", "cmbCarType", "txtRaceDate", "cmdRaceDate",
                        "cmdOK", "cmdCancel", "tabs", "txtRaceName"});
    }

    // Alt and a letter presses what it shows: no two controls that can be pressed at once (on one tab,
    // or beside the tabs) share the letter.
    void noTwoControlsOfAWindowShareAnAccessKey() {
        QStringList clashes;
        auto walk = [&clashes](QWidget* w) { clashes << accesskeys::clashesIn(w); };
        cTeam team;
        team.load(500);
        frmTeam teamEditor;
        teamEditor.fillWith(team);
        walk(&teamEditor);
        cLeague league;
        frmLeague leagueEditor;
        leagueEditor.fillWith(league);
        walk(&leagueEditor);
        cCar car;
        frmCar carEditor;
        carEditor.fillWith(car);
        walk(&carEditor);
        cTeamCar pick;
        pick.setTeamNmbr(500);
        frmTeamCar pickEditor;
        pickEditor.fillWith(pick, Currency());
        walk(&pickEditor);
        frmTeamCarMultiple multiplePickEditor;
        multiplePickEditor.fillWith(team, Currency());
        walk(&multiplePickEditor);
        frmLeagueTeams memberships;
        memberships.fillWith(team);
        walk(&memberships);
        cScoringType method;
        frmScoring scoringEditor;
        scoringEditor.fillFrom(method);
        walk(&scoringEditor);
        cRaces race;
        frmRace raceWindow;
        raceWindow.loadWith(race);
        walk(&raceWindow);
        frmRaceType raceTypeEditor;
        walk(&raceTypeEditor);
        frmRaceTypes raceTypes;
        raceTypes.loadRaceTypes(QString());
        walk(&raceTypes);
        frmGroup groupEditor;
        walk(&groupEditor);
        frmGroups groups;
        groups.loadGroups(QString());
        walk(&groups);
        frmReportRqst request;
        walk(&request);
        frmReportDetails details;
        walk(&details);
        frmBrowser browser;
        walk(&browser);
        frmPublishWeb publish;
        walk(&publish);
        frmAbout about;
        walk(&about);
        frmWelcome welcome;
        walk(&welcome);
        frmSplash splash;
        walk(&splash);
        frmDate picker;
        walk(&picker);
        QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join(QLatin1Char('\n'))));
    }

    // Ctrl+Tab and Ctrl+PgDn show the next tab, Ctrl+Shift+Tab and Ctrl+PgUp the one before, from
    // the last round to the first and back, whatever has the focus (a drop-down list, a grid cell);
    // the focus goes into the tab shown.
    void theKeyboardSwitchesTheTabs() {
        const auto press = [](Qt::Key key, Qt::KeyboardModifiers modifiers) {
            QTest::keyClick(focused(), key, modifiers);
            QCoreApplication::processEvents();
        };
        const Qt::KeyboardModifiers back = Qt::ControlModifier | Qt::ShiftModifier;

        cLeague league;
        frmLeague leagueEditor;
        leagueEditor.fillWith(league);
        showActive(&leagueEditor);
        auto* tabs = leagueEditor.findChild<QTabWidget*>();
        press(Qt::Key_Tab, Qt::NoModifier);
        press(Qt::Key_Tab, Qt::NoModifier);
        QCOMPARE(nameOf(focused()), QStringLiteral("cmbScoringType"));
        press(Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), 1);
        QTRY_COMPARE(nameOf(focused()), QStringLiteral("lvwLeagueTeams"));
        press(Qt::Key_Backtab, back);
        QCOMPARE(tabs->currentIndex(), 0);
        press(Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), 1);
        press(Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), 0);
        QTRY_VERIFY(tabs->currentWidget()->isAncestorOf(focused()));
        leagueEditor.close();

        cScoringType method;
        frmScoring scoringEditor;
        scoringEditor.fillFrom(method);
        showActive(&scoringEditor);
        tabs = scoringEditor.findChild<QTabWidget*>();
        type(QStringLiteral("Alpha Points"));
        press(Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), 1);
        QTRY_COMPARE(focused(), scoringEditor.pointsGrid()->cell(0, 0));
        press(Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), 2);
        press(Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), 0);
        press(Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), 2);
        scoringEditor.close();

        // The holdings tab comes up with its first row current: Space ticks its Active box off.
        cTeam team;
        team.load(500);
        frmTeam teamEditor;
        teamEditor.fillWith(team);
        showActive(&teamEditor);
        press(Qt::Key_Tab, Qt::ControlModifier);
        QTRY_COMPARE(nameOf(focused()), QStringLiteral("lvwTeamCars"));
        press(Qt::Key_Space, Qt::NoModifier);
        QCOMPARE(static_cast<QTreeWidget*>(focused())->topLevelItem(0)->checkState(0), Qt::Unchecked);
        QVERIFY(teamEditor.findChild<QPushButton*>(QStringLiteral("cmdApply"))->isEnabled());
        teamEditor.close();

        frmReportDetails details;
        details.show();
        QVERIFY(activeNow(&details));
        tabs = details.findChild<QTabWidget*>();
        press(Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), 1);
        press(Qt::Key_Backtab, back);
        QCOMPARE(tabs->currentIndex(), 0);
    }

    // The race-type list opens in its list, and Enter there presses its default button, OK.
    void raceTypeListOpensInItsList() {
        frmRaceTypes w;
        w.loadRaceTypes(QString());
        showActive(&w);
        QCOMPARE(nameOf(focused()), QStringLiteral("lvwRaceTypes"));
        press(Qt::Key_Down);
        press(Qt::Key_Return);
        QVERIFY(!w.isVisible());
        QCOMPARE(w.result(), int(QDialog::Accepted));
    }

    // Typing from the moment the window opens lands in the name; a space presses no button, and
    // Enter presses nothing, as the race-type editor has no default button.
    void newRaceTypeTakesTypingFromTheStart() {
        cRaceType raceType;
        frmRaceType w;
        bool ran = false;
        whileModal<frmRaceType>([&ran](frmRaceType* d) {
            ran = true;
            QCOMPARE(nameOf(focused()), QStringLiteral("txtName"));
            QCOMPARE(tabWalk(3), QStringList({"txtName", "cmdOK", "cmdCancel", "tabs"}));
            press(Qt::Key_Tab);
            type(QStringLiteral("Test Series"));
            press(Qt::Key_Return);
            QVERIFY(d->isVisible());
            QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        });
        w.showWith(raceType);
        QVERIFY(ran);
        QCOMPARE(TestDataFile::count("SELECT count(*) FROM race_type_dm WHERE race_type_name = 'Test Series'"), 1);
    }

    // The group editor's OK is its default button; a maximum typed and then Enter is checked first.
    void groupEditorChecksTheTypedMaximumBeforeEnterStores() {
        cGroup group;
        frmGroup w;
        bool ran = false;
        whileModal<frmGroup>([this, &ran](frmGroup* d) {
            ran = true;
            QCOMPARE(tabWalk(5), QStringList({"txtName", "txtMaxNmbr", "chkNoLimit", "cmdOK", "cmdCancel", "tabs"}));
            press(Qt::Key_Tab);
            type(QStringLiteral("Alpha Group"));
            press(Qt::Key_Tab);
            QCOMPARE(nameOf(focused()), QStringLiteral("txtMaxNmbr"));
            type(QStringLiteral("abc"));
            ui().clear();
            press(Qt::Key_Return);
            QCOMPARE(ui().lastBoxText(), QStringLiteral("Invalid Entry"));
            QVERIFY(d->isVisible());
            QCOMPARE(nameOf(focused()), QStringLiteral("txtMaxNmbr"));
            QCOMPARE(TestDataFile::count("SELECT count(*) FROM group_dm WHERE group_name = 'Alpha Group'"), 0);
            type(QStringLiteral("5"));
            press(Qt::Key_Return);
            QVERIFY(!d->isVisible());
        });
        w.showWith(group);
        QVERIFY(ran);
        QCOMPARE(TestDataFile::count("SELECT max_nmbr FROM group_dm WHERE group_name = 'Alpha Group'"), 5);
    }

    // Every editor that asks "Do you want to save changes": No hands the keys back to the window below.
    void noInTheSaveQuestionGivesTheKeysBackToTheWindowBelow() {
        const QKeySequence escape(Qt::Key_Escape);
        cTeam team;
        noGivesTheKeysBack<frmTeam>(ui(), escape, team);
        cLeague league;
        noGivesTheKeysBack<frmLeague>(ui(), escape, league);
        cCar car;
        noGivesTheKeysBack<frmCar>(ui(), escape, car);
        cScoringType method;
        noGivesTheKeysBack<frmScoring>(ui(), escape, method);
        cRaceType raceType;
        noGivesTheKeysBack<frmRaceType>(ui(), escape, raceType);
        cGroup group;
        noGivesTheKeysBack<frmGroup>(ui(), escape, group);
        cRaces race;
        noGivesTheKeysBack<frmRace>(ui(), escape, race);
        // The close box is each editor's Cancel too.
        const QKeySequence closeBox;
        noGivesTheKeysBack<frmTeam>(ui(), closeBox, team);
        noGivesTheKeysBack<frmLeague>(ui(), closeBox, league);
        noGivesTheKeysBack<frmCar>(ui(), closeBox, car);
        noGivesTheKeysBack<frmScoring>(ui(), closeBox, method);
        noGivesTheKeysBack<frmGroup>(ui(), closeBox, group);
        noGivesTheKeysBack<frmRace>(ui(), closeBox, race);
        QCOMPARE(TestDataFile::count("SELECT count(*) FROM races"), 0);
        QCOMPARE(TestDataFile::count("SELECT count(*) FROM teams"), 1);
    }

    // While "No Limit" is ticked the count box is out of the Tab walk; unticked, it is back in it.
    void groupEditorSkipsTheCountBoxWhileThereIsNoLimit() {
        cGroup group(500, QStringLiteral("Open"), -1);
        frmGroup w;
        bool ran = false;
        whileModal<frmGroup>([&ran](frmGroup* d) {
            ran = true;
            QCOMPARE(tabWalk(4), QStringList({"txtName", "chkNoLimit", "cmdOK", "cmdCancel", "tabs"}));
            press(Qt::Key_Tab);
            press(Qt::Key_Tab);
            QCOMPARE(nameOf(focused()), QStringLiteral("chkNoLimit"));
            press(Qt::Key_Space);
            QVERIFY(!d->noLimitBox()->isChecked());
            press(Qt::Key_Backtab);
            QCOMPARE(nameOf(focused()), QStringLiteral("txtMaxNmbr"));
            QCOMPARE(d->maxBox()->text(), QStringLiteral("1"));
            type(QStringLiteral("4"));
            // Ticked again, the box leaves the walk once more.
            press(Qt::Key_Tab);
            press(Qt::Key_Space);
            QVERIFY(d->noLimitBox()->isChecked());
            press(Qt::Key_Backtab);
            QCOMPARE(nameOf(focused()), QStringLiteral("txtName"));
        });
        w.showWith(group);
        QVERIFY(ran);
    }

    // OK is not the team editor's default button: Enter in its boxes stores nothing and closes nothing.
    void enterInTheTeamEditorStoresNothing() {
        cTeam team;
        frmTeam w;
        w.fillWith(team);
        showActive(&w);
        type(QStringLiteral("Alpha Team"));
        press(Qt::Key_Return);
        press(Qt::Key_Tab);
        type(QStringLiteral("Ann Owner"));
        press(Qt::Key_Enter);
        QVERIFY(w.isVisible());
        QVERIFY(ui().boxes.isEmpty());
        QCOMPARE(TestDataFile::count("SELECT count(*) FROM teams WHERE team_name = 'Alpha Team'"), 0);
        QCOMPARE(w.findChild<QLineEdit*>(QStringLiteral("TxtTeamName"))->text(), QStringLiteral("Alpha Team"));
        QCOMPARE(w.findChild<QLineEdit*>(QStringLiteral("TxtTeamOwner"))->text(), QStringLiteral("Ann Owner"));
        QVERIFY(w.findChild<QPushButton*>(QStringLiteral("cmdApply"))->isEnabled());
    }

    // A box left for Cancel is not checked on leaving; the save that Yes runs checks it first.
    void cancelThenYesChecksTheBoxBeingTyped() {
        addGroup({.nmbr = 600, .maxNmbr = 4, .name = "Old Group"});
        cGroup group;
        group.load(600);
        frmGroup w;
        bool ran = false;
        whileModal<frmGroup>([this, &ran](frmGroup* d) {
            ran = true;
            press(Qt::Key_Tab);
            QCOMPARE(nameOf(focused()), QStringLiteral("txtMaxNmbr"));
            type(QStringLiteral("abc"));
            ui().clear();
            ui().answers = {AnswerYes};
            QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("cmdCancel")), Qt::LeftButton);
            QCOMPARE(ui().boxes.size(), 2);
            QCOMPARE(ui().boxes[0].text, QStringLiteral("Do you want to save changes"));
            QCOMPARE(ui().boxes[1].text, QStringLiteral("Invalid Entry"));
        });
        w.showWith(group);
        QVERIFY(ran);
        QCOMPARE(TestDataFile::count("SELECT max_nmbr FROM group_dm WHERE group_nmbr = 600"), 4);
    }

    // Leaving a tab by a click on another runs the check of the box typed in and stays when refused.
    void tabLeaveChecksTheBoxBeingTyped() {
        cScoringType method;
        frmScoring w;
        w.fillFrom(method);
        showActive(&w);
        type(QStringLiteral("Alpha Points"));
        press(Qt::Key_Tab);
        QCOMPARE(nameOf(focused()), QStringLiteral("txtLapsLedBonus"));
        type(QStringLiteral("x"));
        ui().clear();
        QTabBar* bar = w.findChild<QTabBar*>();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
        settle();
        QCOMPARE(ui().lastBoxText(), QStringLiteral("Invalid Entry"));
        QCOMPARE(bar->currentIndex(), 0);
        QTRY_COMPARE(nameOf(focused()), QStringLiteral("txtLapsLedBonus"));
        QCOMPARE(TestDataFile::count("SELECT count(*) FROM scoring_type WHERE scoring_type_name = 'Alpha Points'"), 0);
    }

    // A click on a tab brings the focus into that tab's first field, so what is typed next lands there.
    void clickOnATabFocusesItsFirstField() {
        cScoringType method;
        frmScoring scoring;
        scoring.fillFrom(method);
        showActive(&scoring);
        type(QStringLiteral("Alpha Points"));
        QTabBar* bar = scoring.findChild<QTabBar*>();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
        QTRY_COMPARE(focused(), scoring.pointsGrid()->cell(0, 0));
        scoring.close();

        cTeam team;
        team.load(500);
        frmTeam editor;
        editor.fillWith(team);
        showActive(&editor);
        bar = editor.findChild<QTabBar*>();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
        QTRY_COMPARE(nameOf(focused()), QStringLiteral("lvwTeamCars"));
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
        QTRY_COMPARE(nameOf(focused()), QStringLiteral("TxtTeamName"));
    }

    void newLeagueTakesTypingFromTheStart() {
        cLeague league;
        frmLeague w;
        w.fillWith(league);
        showActive(&w);
        type(QStringLiteral("Alpha League"));
        QVERIFY(w.isVisible());
        QCOMPARE(w.findChild<QLineEdit*>(QStringLiteral("txtLeagueName"))->text(), QStringLiteral("Alpha League"));
    }
};

QTEST_MAIN(FocusOrderTest)
#include "tst_focus_order.moc"
