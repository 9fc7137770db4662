// What the open list windows cost the actions of the other windows: each action is timed with the
// five list windows open and with only the list it is run from (none for posting a race and for an
// import), and the ratio of the two is printed. An action is timed until the event loop has nothing
// left to do, so the lists' own refresh after the change is part of it.
//
//   lists          a season of 5,000 cars, 200 teams and 30 races
//   lists --small  the same at 300 cars, 20 teams and 3 races (a quick proof that it runs)

#include "SeasonBuilder.h"
#include "TestDataFile.h"
#include "data/cTeam.h"
#include "editors/races/frmRace.h"
#include "editors/teams/frmTeam.h"
#include "exchange/Import.h"
#include "posting/Scoring.h"
#include "posting/cRaces.h"
#include "shell/Commands.h"
#include "shell/EntityCommands.h"
#include "shell/frmDisplayCars.h"
#include "shell/frmDisplayLeagues.h"
#include "shell/frmDisplayRaces.h"
#include "shell/frmDisplayScoring.h"
#include "shell/frmDisplayTeams.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

constexpr int kFirstCar = 1001;
constexpr int kRacingCars = 43;
constexpr int kScoringType = 600;
constexpr int kTeamsPerLeague = 10;
constexpr int kCarsPerTeam = 6;
constexpr int kRepeats = 9;

struct Size {
    int cars, teams, races;
};

void buildSeason(const Size& size) {
    SeasonBuilder season;
    TestDataFile::exec("BEGIN");
    season.countingScoring(
        {.nmbr = kScoringType, .name = "Bench Points", .lapsLed = 5, .mostLapsLed = 10, .fastQual = 3}, kRacingCars);
    for (int c = 0; c < size.cars; ++c) {
        // Drawn in this order: the driver's number, the sponsor's, the salary.
        const int driver = season.rng.next(100000);
        const int sponsor = season.rng.next(500);
        const int salary = 500 + season.rng.next(20000);
        addCar({.nmbr = kFirstCar + c,
                .txt = QString::number(c + 1),
                .owner = "Owner",
                .driver = QStringLiteral("Driver %1").arg(driver),
                .make = "Make",
                .sponsor = QStringLiteral("Sponsor %1").arg(sponsor),
                .salary = double(salary)});
    }
    int team = 500;
    for (int l = 0; l * kTeamsPerLeague < size.teams; ++l) {
        const int league = 500 + l;
        season.league({.nmbr = league, .scoringType = kScoringType, .salaryCap = 1000000}, {});
        for (int t = 0; t < kTeamsPerLeague; ++t, ++team) {
            addTeam({.nmbr = team,
                     .name = QStringLiteral("Team %1").arg(team),
                     .owner = QStringLiteral("Owner %1").arg(team)});
            addMember({.league = league, .team = team});
            season.drawHoldings(team, kFirstCar, kRacingCars, kCarsPerTeam, size.races);
        }
    }
    for (int r = 1; r <= size.races; ++r)
        season.drawRace(r, kFirstCar, kRacingCars);
    TestDataFile::exec("COMMIT");
}

// Lets the event loop run until nothing is left: queued refreshes, then the paints they asked for.
void drain() {
    for (int i = 0; i < 4; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

double msSince(const QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

enum List { Leagues = 1, Teams = 2, Cars = 4, Races = 8, Scoring = 16, AllLists = 31 };

void closeLists() {
    delete leaguesWindow();
    delete teamsWindow();
    delete carsWindow();
    delete racesWindow();
    delete scoringWindow();
    drain();
}

// Opens the lists of the mask, the last one named in front.
void openLists(int mask) {
    closeLists();
    if (mask & Scoring)
        displayScoring(QString());
    if (mask & Races)
        displayRaces(QString());
    if (mask & Leagues)
        displayLeagues(-1);
    if (mask & Cars)
        displayCars(-1);
    if (mask & Teams)
        displayTeams(QString());
    drain();
}

struct Row {
    const char* action;
    double alone, five;
};

// The action's median time with only the lists of aloneMask open and with all five; the two are
// taken in turn, so that a machine busy for a while weighs on both alike. prepare runs untimed
// before each run.
Row compare(const char* action, int aloneMask, const std::function<void()>& prepare,
            const std::function<double()>& run) {
    std::vector<double> alone, five;
    for (int i = 0; i < kRepeats; ++i)
        for (int mask : {aloneMask, int(AllLists)}) {
            openLists(mask);
            prepare();
            drain();
            (mask == aloneMask ? alone : five).push_back(run());
        }
    return {action, median(alone), median(five)};
}

double timed(const std::function<void()>& action) {
    QElapsedTimer timer;
    timer.start();
    action();
    drain();
    return msSince(timer);
}

// The team editor on a team chosen in the Teams list: the owner typed anew, then OK.
double teamEditorOk() {
    static int round = 0;
    const int team = 500 + (round++ % 20);
    displayTeams(QStringLiteral("Team %1").arg(team));
    drain();
    QElapsedTimer timer;
    commands().editTeam = [&timer](cTeam& t) {
        frmTeam editor;
        QTimer::singleShot(0, &editor, [&editor, &timer] {
            auto* owner = editor.findChild<QLineEdit*>(QStringLiteral("TxtTeamOwner"));
            owner->setText(owner->text() + QLatin1Char('x'));
            timer.start();
            editor.okButton()->click();
        });
        editor.showWith(t);
    };
    updateTeam();
    drain();
    commands().editTeam = nullptr;
    return msSince(timer);
}

int gSpareCar = 90000;
int gSpareTeam = 9000;

void putSpareCar() {
    ++gSpareCar;
    addCar({.nmbr = gSpareCar,
            .txt = QStringLiteral("Z%1").arg(gSpareCar),
            .driver = QStringLiteral("Spare %1").arg(gSpareCar),
            .salary = 100});
    if (carsWindow())
        displayCars(gSpareCar);
}

void putSpareTeam() {
    ++gSpareTeam;
    addTeam({.nmbr = gSpareTeam, .name = QStringLiteral("Spare %1").arg(gSpareTeam), .owner = "Owner"});
    if (teamsWindow())
        displayTeams(QStringLiteral("Spare %1").arg(gSpareTeam));
}

// Every car of the first lines updated, then a line the import refuses: nothing is stored.
QString writeRefusedImport(const QString& folder, int cars) {
    const QString path = QDir(folder).filePath(QStringLiteral("refused.qvi"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    for (int c = 0; c < cars; ++c)
        f.write("11;" + QByteArray::number(kFirstCar + c) + ";1;1;\"" + QByteArray::number(c + 1) + "\";\"Driver " +
                QByteArray::number(c) + "\";\"Make\";\"Imported\";\"Owner\"\r\n");
    f.write("11;1;1\r\n");
    return path;
}

void printRow(const Row& r, const char* aloneName) {
    std::printf("%-32s %-12s %10.1f %12.1f %8.2f\n", r.action, aloneName, r.alone, r.five,
                r.alone > 0 ? r.five / r.alone : 0.0);
}

} // namespace

int main(int argc, char** argv) {
    const bool small = argc > 1 && std::strcmp(argv[1], "--small") == 0;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    TestDataFile data;
    if (!data.ok()) {
        std::fprintf(stderr, "could not create the data file\n");
        return 1;
    }
    const Size size = small ? Size{300, 20, 3} : Size{5000, 200, 30};
    QElapsedTimer setup;
    setup.start();
    buildSeason(size);
    std::printf("season: %d cars, %d teams, %d races (built in %.0f ms); median of %d runs each\n", size.cars,
                size.teams, size.races, double(setup.elapsed()), kRepeats);
    std::printf("%-32s %-12s %10s %12s %8s\n", "action", "alone", "alone ms", "5 lists ms", "ratio");

    const auto nothing = [] {};
    printRow(compare("team editor OK", Teams, nothing, teamEditorOk), "Teams");
    printRow(compare("delete a car", Cars, putSpareCar, [] { return timed(deleteCar); }), "Cars");
    printRow(compare("delete a team", Teams, putSpareTeam, [] { return timed(deleteTeam); }), "Teams");

    // The season's last race posted again through the race window, as the user posts it, with every
    // race before it posted; each run first removes the last one's rows, untimed, so that every run
    // does the work of a first posting.
    for (int r = 1; r <= size.races; ++r) {
        cRaces earlier;
        earlier.load(r);
        postRace(earlier);
    }
    cRaces race;
    race.load(size.races);
    {
        frmRace window;
        window.loadWith(race);
        window.show();
        const auto unpost = [&race] { deleteRacePosting(race); };
        const auto post = [&window, &race] { return timed([&] { window.postResults(race); }); };
        printRow(compare("post a race (race window)", 0, unpost, post), "none");
        window.hide();
    }

    // Only the delete questions were asked so far (and answered Yes).
    for (const RecordingUi::Box& box : std::as_const(data.ui().boxes))
        if (!box.text.startsWith(QStringLiteral("Are you sure you want to delete"))) {
            std::fprintf(stderr, "unexpected box: %s\n", qPrintable(box.text));
            return 1;
        }
    data.ui().clear();

    QTemporaryDir folder;
    const QString file = writeRefusedImport(folder.path(), small ? 200 : 2000);
    const auto runImport = [&file] { return timed([&] { importFile(file); }); };
    printRow(compare("import refused as a whole", 0, nothing, runImport), "none");
    closeLists();

    const int boxes = int(data.ui().boxes.size());
    const int expectedBoxes = 2 * kRepeats; // the refused import's, one a run
    if (boxes != expectedBoxes) {
        std::fprintf(stderr, "%d box(es) shown, %d expected; first: %s\n", boxes, expectedBoxes,
                     qPrintable(data.ui().boxes.value(0).text));
        return 1;
    }
    return 0;
}
