#include "ListTestHelpers.h"
#include "ModalHelpers.h"
#include "data/cCar.h"
#include "data/cScoringType.h"
#include "data/cTeam.h"
#include "editors/races/frmRace.h"
#include "editors/teams/frmCar.h"
#include "posting/Scoring.h"
#include "posting/cRaces.h"
#include "shell/Commands.h"
#include "shell/EntityCommands.h"
#include "shell/frmDisplayCars.h"
#include "shell/frmDisplayLeagues.h"
#include "shell/frmDisplayRaces.h"
#include "shell/frmDisplayScoring.h"
#include "shell/frmDisplayTeams.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

// Passes every box on to the recording UI, after running an action while the box is "open".
class ActionUi final : public UiServices {
public:
    explicit ActionUi(RecordingUi& inner) : m_inner(inner) { setUi(this); }
    ~ActionUi() override { setUi(&m_inner); }
    int messageBox(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) override {
        if (whileShown) {
            auto action = std::move(whileShown);
            whileShown = nullptr;
            action();
        }
        return m_inner.messageBox(text, title, icon, buttons);
    }
    void setStatusText(const QString& text) override { m_inner.setStatusText(text); }
    void setPointer(int code) override { m_inner.setPointer(code); }
    int pointer() const override { return m_inner.pointer(); }
    void beep() override {}
    void stepProgress() override {}
    bool playWave(const QString&) override { return false; }

    std::function<void()> whileShown;

private:
    RecordingUi& m_inner;
};

// Selects the row of the list window whose first column shows the text.
bool selectRow(ListWindow* window, int column, const QString& text) {
    for (int row = 0; row < window->rowCount(); ++row) {
        if (window->displayedText(row, column) == text) {
            QAbstractItemView* view = window->currentView();
            view->selectionModel()->setCurrentIndex(view->model()->index(row, 0),
                                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            return true;
        }
    }
    return false;
}

} // namespace

// The delete commands' questions and refusal rules, and the new and update commands around an editor.
class EntityCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void leagueIsDeletedAfterOneQuestion();
    void teamRefusals();
    void carRefusals();
    void carDeleteReadsHoldingsAfterTheQuestion();
    void aDeleteQuestionKeepsTheListItAsksAbout();
    void scoringRefusals();
    void raceWithResultsAsksTwice();
    void deletingAPostedRaceOffersTheRacesThatCarriedFromIt();
    void commandsWithoutAnEditorAreOff();
    void updateRelistsUnderTheOldName();
    void updateRaceEditsTheStoredRace();
    void addNewCarInTheRaceWindowOpensTheCarEditor();

private:
    RecordingUi& ui() { return m_data->ui(); }
    std::unique_ptr<TestDataFile> m_data;
};

void EntityCommandsTest::init() {
    m_data = std::make_unique<TestDataFile>();
    QVERIFY(m_data->ok());
}

void EntityCommandsTest::cleanup() {
    delete leaguesWindow();
    delete teamsWindow();
    delete carsWindow();
    delete racesWindow();
    delete scoringWindow();
    for (EntityKind kind :
         {EntityKind::League, EntityKind::Team, EntityKind::Car, EntityKind::Race, EntityKind::Scoring})
        QVERIFY(!editorAvailable(kind));
    m_data.reset();
}

void EntityCommandsTest::leagueIsDeletedAfterOneQuestion() {
    addLeague({.nmbr = 500, .name = "Sunday League", .shortName = "L500"});
    addTeam({.nmbr = 500, .name = "Rockets", .owner = "Owner"});
    addMember({.league = 500, .team = 500});
    addSummary({.race = 1, .team = 500, .league = 500, .points = 40, .place = 1});
    displayLeagues(-1);
    QVERIFY(selectRow(leaguesWindow(), 0, QStringLiteral("Sunday League")));

    ui().answers = {AnswerNo};
    deleteLeague();
    QCOMPARE(TestDataFile::count("SELECT count(*) FROM leagues"), 1);

    ui().clear();
    deleteLeague();
    QCOMPARE(ui().boxes.size(), 1);
    QCOMPARE(ui().boxes[0].text, QStringLiteral("Are you sure you want to delete League?"));
    QCOMPARE(ui().boxes[0].title, QStringLiteral("Sunday League"));
    QCOMPARE(ui().boxes[0].icon, MsgIcon::None);
    QCOMPARE(ui().boxes[0].buttons, MsgButtons::YesNoCancel);
    QCOMPARE(TestDataFile::count("SELECT count(*) FROM leagues"), 0);
    QCOMPARE(TestDataFile::count("SELECT count(*) FROM league_teams"), 0);
    QCOMPARE(TestDataFile::count("SELECT count(*) FROM teams"), 1);
    QCOMPARE(leaguesWindow()->rowCount(), 0);
}

void EntityCommandsTest::teamRefusals() {
    addLeague({.nmbr = 500, .name = "Sunday League", .shortName = "L500"});
    addTeam({.nmbr = 500, .name = "Posted", .owner = "Owner"});
    addTeam({.nmbr = 501, .name = "Member", .owner = "Owner"});
    addTeam({.nmbr = 502, .name = "Free", .owner = "Owner"});
    addMember({.league = 500, .team = 500});
    addSummary({.race = 1, .team = 500, .league = 500, .points = 40, .place = 1});
    addMember({.league = 500, .team = 501});
    displayTeams(QString());

    QVERIFY(selectRow(teamsWindow(), 0, QStringLiteral("Posted")));
    deleteTeam();
    QCOMPARE(ui().boxes.size(), 2);
    QCOMPARE(ui().boxes[0].text, QStringLiteral("Are you sure you want to delete Team?"));
    QCOMPARE(ui().boxes[1].text, QStringLiteral("Results have been posted for this Team.\r\n"
                                                "You must clear postings for all Races that this Team has been "
                                                "posted too."));
    QCOMPARE(ui().boxes[1].title, QStringLiteral("Quorvanti"));
    QCOMPARE(ui().boxes[1].icon, MsgIcon::Critical);

    ui().clear();
    QVERIFY(selectRow(teamsWindow(), 0, QStringLiteral("Member")));
    deleteTeam();
    QCOMPARE(ui().boxes.size(), 2);
    QCOMPARE(ui().boxes[1].text, QStringLiteral("Team is a member of at least one League.\r\n"
                                                "You must remove Team Member from all Leagues before team can be "
                                                "deleted."));
    QCOMPARE(TestDataFile::count("SELECT count(*) FROM teams"), 3);

    ui().clear();
    addHolding({.team = 502, .car = 1, .from = "2024-01-01"});
    QVERIFY(selectRow(teamsWindow(), 0, QStringLiteral("Free")));
    deleteTeam();
    QCOMPARE(ui().boxes.size(), 1);
    QCOMPARE(TestDataFile::count("SELECT count(*) FROM teams"), 2);
    QCOMPARE(TestDataFile::count("SELECT count(*) FROM team_car WHERE team_nmbr = 502"), 0);
    QCOMPARE(teamsWindow()->rowCount(), 2);
    QCOMPARE(teamsWindow()->selectedDisplayRow(), 0);
}

void EntityCommandsTest::carRefusals() {
    addTeam({.nmbr = 500, .name = "Rockets", .owner = "Owner"});
    addCar({.nmbr = 500, .txt = "24", .owner = "Owner", .driver = "Held and raced", .make = "Make", .sponsor = "Acme"});
    addCar({.nmbr = 501, .txt = " 9 ", .owner = "Owner", .driver = "Raced", .make = "Make", .sponsor = "Acme"});
    addCar({.nmbr = 502, .txt = "3", .owner = "Owner", .driver = "Free", .make = "Make", .sponsor = "Acme"});
    // An ended holding still counts.
    addHolding({.team = 500, .car = 500, .from = "2024-01-01", .to = "2024-03-01"});
    addRace({.nmbr = 500, .name = "Opener", .track = "Track 500", .date = "2024-02-18", .status = 1});
    addResult({.car = 500, .race = 500, .place = 1, .qualified = 1});
    addResult({.car = 501, .race = 500, .place = 2, .qualified = 1});
    displayCars(-1);

    QVERIFY(selectRow(carsWindow(), 1, QStringLiteral("Held and raced")));
    deleteCar();
    QCOMPARE(ui().boxes.size(), 2);
    QCOMPARE(ui().boxes[0].text, QStringLiteral("Are you sure you want to delete Car?"));
    QCOMPARE(ui().boxes[0].title, QStringLiteral("24 - Held and raced"));
    QCOMPARE(ui().boxes[1].text, QStringLiteral("Car is a member of at least one Team.\r\n"
                                                "You must remove Car 24 from all Teams before car can be deleted"));

    ui().clear();
    QVERIFY(selectRow(carsWindow(), 1, QStringLiteral("Raced")));
    deleteCar();
    QCOMPARE(ui().boxes.size(), 2);
    QCOMPARE(ui().boxes[1].text, QStringLiteral("Results have been posted for at least one Race for this Car.\r\n"
                                                "You must clear results for all Races with this Car (9) before Car "
                                                "can be deleted"));
    QCOMPARE(TestDataFile::count("SELECT count(*) FROM cars"), 3);

    ui().clear();
    QVERIFY(selectRow(carsWindow(), 1, QStringLiteral("Free")));
    deleteCar();
    QCOMPARE(ui().boxes.size(), 1);
    QCOMPARE(TestDataFile::count("SELECT count(*) FROM cars"), 2);
    QCOMPARE(carsWindow()->rowCount(), 2);
}

void EntityCommandsTest::carDeleteReadsHoldingsAfterTheQuestion() {
    addTeam({.nmbr = 500, .name = "Rockets", .owner = "Owner"});
    addCar({.nmbr = 500, .txt = "24", .owner = "Owner", .driver = "Red", .make = "Make", .sponsor = "Acme"});
    displayCars(-1);
    QVERIFY(selectRow(carsWindow(), 0, QStringLiteral("24")));

    // Whatever was read before the question is stale once it is answered.
    ActionUi action(ui());
    action.whileShown = [] { addHolding({.team = 500, .car = 500, .from = "2024-01-01"}); };
    deleteCar();
    QCOMPARE(ui().boxes.size(), 2);
    QVERIFY(ui().boxes[1].text.startsWith(QStringLiteral("Car is a member of at least one Team.")));
    QCOMPARE(TestDataFile::count("SELECT count(*) FROM cars"), 1);

    TestDataFile::exec(QStringLiteral("DELETE FROM team_car"));
    ui().clear();
    action.whileShown = [] {
        addRace({.nmbr = 500, .name = "Opener", .track = "Track 500", .date = "2024-02-18", .status = 1});
        addResult({.car = 500, .race = 500, .place = 1, .qualified = 1});
    };
    deleteCar();
    QCOMPARE(ui().boxes.size(), 2);
    QVERIFY(ui().boxes[1].text.startsWith(QStringLiteral("Results have been posted")));
    QCOMPARE(TestDataFile::count("SELECT count(*) FROM cars"), 1);
}

// While the real question box is open a change is stored (a team that sorts first, and the team
// asked about renamed): the list stays as it was asked about until the answer has been acted on,
// Yes deletes the team the question was about, and then the list shows what is stored.
void EntityCommandsTest::aDeleteQuestionKeepsTheListItAsksAbout() {
    addTeam({.nmbr = 500, .name = "Comets", .owner = "Owner"});
    addTeam({.nmbr = 501, .name = "Rockets", .owner = "Owner"});
    displayTeams(QStringLiteral("Rockets"));
    frmDisplayTeams* w = teamsWindow();
    QVERIFY(QTest::qWaitForWindowExposed(w, kWindowWait));
    QStringList namesWhileAsked;
    QString selectedWhileAsked;
    RealBoxes boxes(ui(), {QMessageBox::Yes}, [&] {
        addTeam({.nmbr = 502, .name = "Aardvarks", .owner = "Owner"});
        TestDataFile::exec(QStringLiteral("UPDATE teams SET team_owner = 'New Owner' WHERE team_nmbr = 501"));
        QTest::qWait(50);
        for (int row = 0; row < w->rowCount(); ++row)
            namesWhileAsked << w->displayedText(row, 0);
        selectedWhileAsked = w->selectedTeam() ? w->selectedTeam()->teamName() : QString();
    });
    deleteTeam();

    QCOMPARE(boxes.texts, QStringList{QStringLiteral("Are you sure you want to delete Team?")});
    QCOMPARE(namesWhileAsked, QStringList({"Comets", "Rockets"}));
    QCOMPARE(selectedWhileAsked, QStringLiteral("Rockets"));
    QCOMPARE(TestDataFile::count("SELECT count(*) FROM teams WHERE team_nmbr = 501"), 0);
    QTRY_COMPARE(w->rowCount(), 2);
    QCOMPARE(w->displayedText(0, 0), QStringLiteral("Aardvarks"));
    QCOMPARE(w->displayedText(1, 0), QStringLiteral("Comets"));
}

void EntityCommandsTest::scoringRefusals() {
    addScoringType({.nmbr = 499, .name = "Shipped Late"});
    addScoringType({.nmbr = 500, .name = "House Rules"});
    addScoringType({.nmbr = 501, .name = "Unused"});
    addLeague({.nmbr = 500, .name = "Sunday League", .shortName = "L500", .scoringType = 500});
    displayScoring(QString());

    QVERIFY(selectRow(scoringWindow(), 0, QStringLiteral("Shipped Late")));
    deleteScoring();
    QCOMPARE(ui().boxes.size(), 1);
    QCOMPARE(ui().boxes[0].text, QStringLiteral("Can't delete system Scoring Method Shipped Late."));
    QCOMPARE(ui().boxes[0].icon, MsgIcon::Critical);

    ui().clear();
    QVERIFY(selectRow(scoringWindow(), 0, QStringLiteral("House Rules")));
    deleteScoring();
    QCOMPARE(ui().boxes.size(), 2);
    QCOMPARE(ui().boxes[0].text, QStringLiteral("Are you sure you want to delete Scoring?"));
    QCOMPARE(ui().boxes[0].title, QStringLiteral("House Rules"));
    QCOMPARE(ui().boxes[1].text, QStringLiteral("At least one League is using this Scoring Method.\r\n"
                                                "You must change all Leagues to not refrenceHouse Rules before "
                                                "Scoring Method can be deleted"));
    QCOMPARE(TestDataFile::count("SELECT count(*) FROM scoring_type"), 5);

    ui().clear();
    QVERIFY(selectRow(scoringWindow(), 0, QStringLiteral("Unused")));
    deleteScoring();
    QCOMPARE(ui().boxes.size(), 1);
    QCOMPARE(TestDataFile::count("SELECT count(*) FROM scoring_type WHERE scoring_type_nmbr = 501"), 0);
    QCOMPARE(scoringWindow()->rowCount(), 4);
}

void EntityCommandsTest::raceWithResultsAsksTwice() {
    addCar({.nmbr = 500, .txt = "24", .owner = "Owner", .driver = "Red", .make = "Make", .sponsor = "Acme"});
    addRace({.nmbr = 500, .name = "Opener", .track = "Track 500", .date = "2024-02-18", .status = 1});
    addRace({.nmbr = 501, .name = "Second", .track = "Track 501", .date = "2024-02-25", .status = 1});
    addResult({.car = 500, .race = 500, .place = 1, .qualified = 1});
    displayRaces(QString());

    QVERIFY(selectRow(racesWindow(), 2, QStringLiteral("Opener")));
    ui().answers = {AnswerYes, AnswerNo};
    deleteRace();
    QCOMPARE(ui().boxes.size(), 2);
    QCOMPARE(ui().boxes[0].text, QStringLiteral("Are you sure you want to delete Race?"));
    QCOMPARE(ui().boxes[1].text, QStringLiteral("Results have been posted for this Race.\r\nDo you want to continue?"));
    QCOMPARE(ui().boxes[1].title, QStringLiteral("Opener"));
    QCOMPARE(ui().boxes[1].buttons, MsgButtons::YesNo);
    QCOMPARE(TestDataFile::count("SELECT count(*) FROM races"), 2);
    QCOMPARE(TestDataFile::count("SELECT count(*) FROM results"), 1);

    ui().clear();
    deleteRace();
    QCOMPARE(ui().boxes.size(), 2);
    QCOMPARE(TestDataFile::count("SELECT count(*) FROM races"), 1);
    QCOMPARE(TestDataFile::count("SELECT count(*) FROM results"), 0);

    ui().clear();
    QVERIFY(selectRow(racesWindow(), 2, QStringLiteral("Second")));
    deleteRace();
    QCOMPARE(ui().boxes.size(), 1);
    QCOMPARE(TestDataFile::count("SELECT count(*) FROM races"), 0);
}

// Car 24 wins all three races for Rockets in League A.
void EntityCommandsTest::deletingAPostedRaceOffersTheRacesThatCarriedFromIt() {
    addCar({.nmbr = 500, .txt = "24", .owner = "Owner", .driver = "Red", .make = "Make", .sponsor = "Acme"});
    addTeam({.nmbr = 500, .name = "Rockets", .owner = "Owner"});
    addLeague({.nmbr = 501, .name = "League A", .shortName = "L501"});
    addMember({.league = 501, .team = 500});
    addHolding({.team = 500, .car = 500, .from = "2024-01-01"});
    addRace({.nmbr = 500, .name = "Opener", .track = "Track 500", .date = "2024-02-18", .status = 1});
    addRace({.nmbr = 501, .name = "Second", .track = "Track 501", .date = "2024-02-25", .status = 1});
    addRace({.nmbr = 502, .name = "Third", .track = "Track 502", .date = "2024-03-03", .status = 1});
    for (int race : {500, 501, 502}) {
        addResult({.car = 500, .race = race, .place = 1, .qualified = 1});
        cRaces r;
        r.load(race);
        postRace(r);
    }
    const auto car24 = [](const char* column, int race) {
        return TestDataFile::count(QStringLiteral("SELECT %1 FROM team_results WHERE race_nmbr = %2 AND car_nmbr = 500")
                                       .arg(QLatin1String(column))
                                       .arg(race));
    };
    const int win = car24("points", 500);
    QVERIFY(win > 0);
    QCOMPARE(car24("total_points", 502), 3 * win);
    displayRaces(QString());
    ui().clear();

    // The third race carried the second's points: deleted, it is offered for posting again.
    QVERIFY(selectRow(racesWindow(), 2, QStringLiteral("Second")));
    ui().answers = {AnswerYes, AnswerYes, AnswerYes};
    deleteRace();
    QCOMPARE(ui().boxes.size(), 3);
    QCOMPARE(ui().boxes[2].text, QStringLiteral("The posting for Third was removed when Second was deleted.\r\n"
                                                "Do you want to post results for Third now?\r\n"
                                                "No leaves Third unposted."));
    QCOMPARE(ui().boxes[2].title, QStringLiteral("Quorvanti"));
    QCOMPARE(ui().boxes[2].buttons, MsgButtons::YesNo);
    QCOMPARE(TestDataFile::count("SELECT count(*) FROM races WHERE race_nmbr = 501"), 0);
    QCOMPARE(car24("total_points", 502), 2 * win);
    QCOMPARE(ui().pointer(), int(PointerDefault));

    // Declined in the real box: the later race loses a posting that can no longer be right; it was
    // gone already while the question was up, as the question says.
    ui().clear();
    QVERIFY(selectRow(racesWindow(), 2, QStringLiteral("Opener")));
    QList<int> postedWhileAsked;
    {
        AnsweredBoxes boxes({QMessageBox::Yes, QMessageBox::Yes, QMessageBox::No});
        boxes.whileOpen = [&](QMessageBox*) {
            postedWhileAsked << TestDataFile::count("SELECT count(*) FROM team_results WHERE race_nmbr = 502");
        };
        deleteRace();
        QCOMPARE(boxes.texts.size(), 3);
        QCOMPARE(boxes.texts[2], QStringLiteral("The posting for Third was removed when Opener was deleted.\r\n"
                                                "Do you want to post results for Third now?\r\n"
                                                "No leaves Third unposted."));
    }
    QCOMPARE(postedWhileAsked.size(), 3);
    QVERIFY(postedWhileAsked[1] > 0);
    QCOMPARE(postedWhileAsked[2], 0);
    QCOMPARE(TestDataFile::count("SELECT count(*) FROM races WHERE race_nmbr = 500"), 0);
    QCOMPARE(TestDataFile::count("SELECT count(*) FROM team_results WHERE race_nmbr = 502"), 0);
    QCOMPARE(TestDataFile::count("SELECT count(*) FROM results WHERE race_nmbr = 502"), 1);
}

void EntityCommandsTest::commandsWithoutAnEditorAreOff() {
    addTeam({.nmbr = 500, .name = "Rockets", .owner = "Owner"});
    displayTeams(QString());
    newTeam();
    updateTeam();
    newLeague();
    QVERIFY(!leaguesWindow());
    QVERIFY(ui().boxes.isEmpty());
    QCOMPARE(TestDataFile::count("SELECT count(*) FROM teams"), 1);

    // Delete with no row selected does nothing.
    displayLeagues(-1);
    deleteLeague();
    QVERIFY(ui().boxes.isEmpty());
}

void EntityCommandsTest::updateRelistsUnderTheOldName() {
    addTeam({.nmbr = 500, .name = "Rockets", .owner = "Owner"});
    addTeam({.nmbr = 501, .name = "Comets", .owner = "Owner"});
    displayTeams(QStringLiteral("Rockets"));
    QString edited;
    commands().editTeam = [&edited](cTeam& team) {
        edited = team.teamName();
        team.setTeamName(QStringLiteral("Jets"));
        team.CommitChanges();
    };
    updateTeam();
    commands().editTeam = nullptr;
    QCOMPARE(edited, QStringLiteral("Rockets"));
    QCOMPARE(TestDataFile::count("SELECT count(*) FROM teams WHERE team_name = 'Jets'"), 1);
    // Asked for the old name, the list finds no row of it.
    QCOMPARE(teamsWindow()->rowCount(), 2);
    QCOMPARE(teamsWindow()->selectedDisplayRow(), -1);

    // A new car the editor does not store is listed with number 0: no row selected.
    addCar({.nmbr = 500, .txt = "24", .owner = "Owner", .driver = "Red", .make = "Make", .sponsor = "Acme"});
    commands().editCar = [](cCar&) {};
    newCar();
    commands().editCar = nullptr;
    QVERIFY(carsWindow());
    QCOMPARE(carsWindow()->rowCount(), 1);
    QCOMPARE(carsWindow()->selectedDisplayRow(), -1);
    // A new scoring method is highlighted as soon as the editor stores it, long before it closes.
    displayScoring(QString());
    QString whileOpen;
    commands().editScoring = [&whileOpen](cScoringType& method) {
        method.setScoringTypeName(QStringLiteral("House Rules"));
        method.CommitChanges();
        settle();
        whileOpen = scoringWindow()->selectedScoring()->scoringTypeName();
    };
    newScoring();
    commands().editScoring = nullptr;
    QCOMPARE(whileOpen, QStringLiteral("House Rules"));
}

void EntityCommandsTest::updateRaceEditsTheStoredRace() {
    addRace({.nmbr = 500, .name = "Opener", .track = "Track 500", .date = "2024-02-18", .status = 1});
    displayRaces(QString());
    TestDataFile::exec(QStringLiteral("UPDATE races SET track_name = 'Changed since' WHERE race_nmbr = 500"));
    QString track;
    commands().editRace = [&track](cRaces& race) { track = race.trackName(); };
    updateRace();
    commands().editRace = nullptr;
    QCOMPARE(track, QStringLiteral("Changed since"));
    QCOMPARE(racesWindow()->displayedText(racesWindow()->selectedDisplayRow(), 3), QStringLiteral("Changed since"));
}

// The race window the program opens runs the new-car command from its "Add New Car" button: the
// car editor opens over it, and the car stored there is one the race's results can name at once.
void EntityCommandsTest::addNewCarInTheRaceWindowOpensTheCarEditor() {
    addRace({.nmbr = 500, .name = "Opener", .track = "Track 500", .date = "2024-02-18", .status = 1});
    installCommands();
    const auto emptied = qScopeGuard([] { commands() = Commands{}; });
    cRaces race;
    QVERIFY(race.load(500));
    bool carEditorShown = false;
    QStringList listed;
    whileModal<frmRace>([&](frmRace* window) {
        window->findChild<QTabWidget*>()->setCurrentIndex(frmRace::TabResults);
        whileModal<frmCar>([&](frmCar* editor) {
            carEditorShown = true;
            auto* raceType = editor->findChild<QComboBox*>(QStringLiteral("cmbRaceType"));
            raceType->setCurrentIndex(raceType->findData(1));
            emit raceType->activated(raceType->currentIndex());
            QTest::mouseClick(editor->findChild<QRadioButton*>(QStringLiteral("OptCar")), Qt::LeftButton);
            editor->findChild<QLineEdit*>(QStringLiteral("txtCarNumber"))->setText(QStringLiteral("77"));
            editor->findChild<QLineEdit*>(QStringLiteral("txtDriver"))->setText(QStringLiteral("New Driver"));
            QTest::mouseClick(editor->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        });
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("cmdAddNewCar")), Qt::LeftButton);
        const QComboBox* cars = window->findChild<QComboBox*>(QStringLiteral("cmbCarNmbr"));
        for (int i = 0; i < cars->count(); ++i)
            listed << cars->itemText(i);
    });
    commands().editRace(race);
    QVERIFY(carEditorShown);
    QCOMPARE(TestDataFile::count("SELECT count(*) FROM cars WHERE car_txt = '77'"), 1);
    QVERIFY2(listed.contains(QStringLiteral("77")), qPrintable(listed.join(QLatin1Char(','))));
}

QTEST_MAIN(EntityCommandsTest)
#include "tst_entity_commands.moc"
