// Posting a season: how long posting a race takes against the time the engine needs just to
// write the race's rows, measured three ways:
//   new-file floor     the same number of team_results rows into a new, empty file of the same kind;
//   season-file floor  the race's own team_results rows written again into the season's file;
//   same-rows floor    every row the posting wrote written again into the season's file: its
//                      team_results rows and its team_results_summary rows, one prepared statement
//                      each, which is what posting has to do at the least.
// Every race is posted several times and the median is shown (each repeat first removes the last
// one's rows, untimed, so every repeat does the same work).
//
//   posting          a 30-race season of 200 leagues x 12 teams x 6 cars, a 1,000-league run,
//                    the season's races posted with a one-statement site script against without
//                    one, and race 1 posted through the race window with its progress bar on screen
//   posting --small  the same at a few leagues and races (a quick proof that it runs)
//   posting --script only the site script's comparison, at full size
//   posting --season only the 30-race season, at full size

#include "SeasonBuilder.h"
#include "TestDataFile.h"
#include "adapters/QtUiServices.h"
#include "data/Paths.h"
#include "data/cConnection.h"
#include "editors/races/frmRace.h"
#include "posting/Scoring.h"
#include "posting/cRaces.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProgressBar>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr int kCars = 43;
constexpr int kTeamsPerLeague = 12;
constexpr int kCarsPerTeam = 6;
constexpr int kScoringType = 600;
constexpr int kFirstCar = 1001;
constexpr int kFirstRace = 1;

void buildSeason(int leagues, int races) {
    SeasonBuilder season;
    TestDataFile::exec("BEGIN");
    season.countingScoring(
        {.nmbr = kScoringType, .name = "Bench Points", .lapsLed = 5, .mostLapsLed = 10, .fastQual = 3}, kCars);
    addTopPoints({.scoringType = kScoringType, .cars = 2, .points = 10, .top = 5});
    addTopPoints({.scoringType = kScoringType, .cars = 3, .points = 25, .top = 10});
    // The bonus entry, as every data file has it after its first posting with top-finish rules.
    addCar({.nmbr = kFirstCar + kCars, .carType = 3, .txt = "Top Bonus", .driver = "Top Bonus"});
    for (int c = 0; c < kCars; ++c)
        addCar({.nmbr = kFirstCar + c,
                .txt = QString::number(c + 1),
                .driver = QStringLiteral("Driver %1").arg(c + 1),
                .salary = 1000});
    int team = 500;
    for (int l = 0; l < leagues; ++l) {
        const int league = 500 + l;
        // Every other league drops its lowest finisher.
        season.league({.nmbr = league,
                       .scoringOption = l % 2 ? 2 : 1,
                       .scoringType = kScoringType,
                       .salaryCap = 1000000,
                       .dropLowest = l % 2 ? 1 : 0},
                      {});
        for (int t = 0; t < kTeamsPerLeague; ++t, ++team) {
            addTeam({.nmbr = team,
                     .name = QStringLiteral("Team %1").arg(team),
                     .owner = QStringLiteral("Owner %1").arg(team)});
            addMember({.league = league, .team = team});
            season.drawHoldings(team, kFirstCar, kCars, kCarsPerTeam, races);
        }
    }
    for (int r = 0; r < races; ++r)
        season.drawRace(kFirstRace + r, kFirstCar, kCars);
    TestDataFile::exec("COMMIT");
}

// The team results table and its indexes as the data file has them.
QString teamResultsSchema() {
    SqlRows rows;
    gConnection->getConnection()->query(QStringLiteral("SELECT sql FROM sqlite_master WHERE tbl_name = 'team_results'"
                                                       " AND sql IS NOT NULL ORDER BY type DESC, name"),
                                        &rows);
    QStringList statements;
    for (const QVariantList& r : std::as_const(rows.rows))
        statements << r[0].toString();
    return statements.join(QLatin1Char(';'));
}

// The columns the posting writes, in the order the floors write them.
const QString kColumns = QStringLiteral("race_nmbr, place, qualified, car_nmbr, team_nmbr, current_status, "
                                        "fast_qual_bonus, laps_led_bonus, most_laps_led_bonus, adjustment, points, "
                                        "qual_points, total_points, league_nmbr");
const QString kInsert =
    QStringLiteral("INSERT INTO team_results (%1) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)").arg(kColumns);

// Every timing starts with the disk at rest: the writes of what came before are flushed first,
// untimed, so that they do not land in the next measurement.
void settle() {
    ::sync();
}

double msSince(const QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> v) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double medianOf(int repeats, const std::function<double()>& once) {
    std::vector<double> v;
    for (int i = 0; i < repeats; ++i)
        v.push_back(once());
    return median(v);
}

double peakMiB() {
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// The resident memory's high-water mark since the last reset (what is resident at the reset
// counts), so that the postings can be told from the floors' own rows.
void resetHighWaterMark() {
    malloc_trim(0); // what the floors freed is not the posting's
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

double highWaterMarkMiB() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// Writes rows team_results rows with one prepared statement in one transaction into a new file
// with the season file's team results table and indexes; milliseconds.
double newFileFloorMs(const QString& folder, int rows) {
    const QString schema = teamResultsSchema();
    const QString path = QDir(folder).filePath(QStringLiteral("floor.qv"));
    QFile::remove(path);
    SqlDatabase db;
    if (!db.open(path, dataFileKey(), true, true))
        return 0;
    db.exec(schema);
    settle();
    QElapsedTimer timer;
    timer.start();
    db.exec(QStringLiteral("BEGIN"));
    for (int i = 0; i < rows; ++i)
        db.exec(kInsert,
                {1, i % 43 + 1, i % 43 + 1, kFirstCar + i % 43, 500 + i / 6, 1, 0, 5, 0, 0, 40, 0, 40, 500 + i / 72});
    db.exec(QStringLiteral("COMMIT"));
    const double ms = msSince(timer);
    db.close();
    QFile::remove(path);
    return ms;
}

// The values of the table's rows that match the condition, in the order they were written, one row
// after the other. Read a thousand rows at a time into plain numbers, so that the bench's own copy of
// the rows does not swell the memory the postings are measured in.
std::vector<qint64> valuesOf(const QString& table, const QString& columns, int count, const QString& condition) {
    std::vector<qint64> values;
    for (qint64 after = -1;;) {
        SqlRows chunk;
        gConnection->getConnection()->query(QStringLiteral("SELECT rowid, %1 FROM %2 WHERE (%3) AND rowid > ?"
                                                           " ORDER BY rowid LIMIT 1000")
                                                .arg(columns, table, condition),
                                            &chunk, {after});
        if (chunk.rows.isEmpty())
            return values;
        for (const QVariantList& r : std::as_const(chunk.rows)) {
            for (int i = 0; i < count; ++i)
                values.push_back(r[i + 1].toLongLong());
            after = r[0].toLongLong();
        }
    }
}

// Writes the race's own team_results rows again into the season's file, in the order they were
// written, with one prepared statement in one transaction; milliseconds. The rows are the same
// afterwards, in the same order.
double seasonFileFloorMs(int race) {
    SqlDatabase* db = gConnection->getConnection();
    const QString ofRace = QStringLiteral("race_nmbr = %1").arg(race);
    const std::vector<qint64> rows = valuesOf(QStringLiteral("team_results"), kColumns, 14, ofRace);
    db->exec(QStringLiteral("DELETE FROM team_results WHERE ") + ofRace);
    settle();
    QElapsedTimer timer;
    timer.start();
    db->exec(QStringLiteral("BEGIN"));
    for (size_t at = 0; at < rows.size(); at += 14) {
        const qint64* r = &rows[at];
        db->exec(kInsert, {r[0], r[1], r[2], r[3], r[4], r[5], r[6], r[7], r[8], r[9], r[10], r[11], r[12], r[13]});
    }
    db->exec(QStringLiteral("COMMIT"));
    return msSince(timer);
}

const QString kSummaryColumns = QStringLiteral("race_nmbr, team_nmbr, league_nmbr, points, team_place");

// Inserts the rows, count values each, with the one prepared statement.
void insertEach(SqlDatabase& db, const QString& insert, const std::vector<qint64>& values, int count) {
    SqlStatement statement(db, insert);
    for (size_t at = 0; at < values.size(); at += size_t(count)) {
        for (int i = 0; i < count; ++i)
            statement.bind(i + 1, values[at + size_t(i)]);
        statement.exec();
    }
}

// Writes every row the race's posting wrote again into the season's file, in the order they were
// written: its team_results rows, then its team_results_summary rows, those of the race and any the
// filler wrote for earlier races (the posting wrote them last, so they run from the race's first one
// to the end of the table). One prepared statement a table, one transaction; milliseconds. The rows
// are the same afterwards, in the same order.
double sameRowsFloorMs(int race) {
    SqlDatabase* db = gConnection->getConnection();
    const QString results = QStringLiteral("race_nmbr = %1").arg(race);
    const QString summaries =
        QStringLiteral("rowid >= (SELECT min(rowid) FROM team_results_summary WHERE race_nmbr = %1)").arg(race);
    const std::vector<qint64> resultRows = valuesOf(QStringLiteral("team_results"), kColumns, 14, results);
    const std::vector<qint64> summaryRows =
        valuesOf(QStringLiteral("team_results_summary"), kSummaryColumns, 5, summaries);
    db->exec(QStringLiteral("DELETE FROM team_results WHERE ") + results);
    db->exec(QStringLiteral("DELETE FROM team_results_summary WHERE ") + summaries);
    settle();
    QElapsedTimer timer;
    timer.start();
    db->exec(QStringLiteral("BEGIN"));
    insertEach(*db, kInsert, resultRows, 14);
    insertEach(*db, QStringLiteral("INSERT INTO team_results_summary (%1) VALUES (?,?,?,?,?)").arg(kSummaryColumns),
               summaryRows, 5);
    db->exec(QStringLiteral("COMMIT"));
    return msSince(timer);
}

int rowsOf(int race) {
    return TestDataFile::scalar(QStringLiteral("SELECT count(*) FROM team_results WHERE race_nmbr = %1").arg(race))
        .toInt();
}

// A posting of a race not posted yet: a repeat first removes the last one's rows, untimed, so
// that every repeat does the work of a first posting.
double postMs(int raceNmbr) {
    cRaces race;
    race.load(raceNmbr);
    deleteRacePosting(race);
    settle();
    QElapsedTimer timer;
    timer.start();
    postRace(race);
    return msSince(timer);
}

bool noBoxes(TestDataFile& data) {
    if (data.ui().boxes.isEmpty())
        return true;
    std::fprintf(stderr, "posting showed %d box(es); first: %s\n", int(data.ui().boxes.size()),
                 qPrintable(data.ui().boxes.first().text));
    return false;
}

struct Totals {
    double posting = 0, newFloor = 0, seasonFloor = 0, sameRowsFloor = 0;
    int rows = 0;
};

// Posts every race of a season in date order, each `repeats` times, and prints a line a race.
bool postSeason(const char* title, int leagues, int races, int repeats, bool everyRace) {
    TestDataFile data;
    if (!data.ok()) {
        std::fprintf(stderr, "could not create the data file\n");
        return false;
    }
    QElapsedTimer setup;
    setup.start();
    buildSeason(leagues, races);
    std::printf("\n%s: %d leagues x %d teams x %d cars, %d races (built in %.0f ms), median of %d postings a race\n",
                title, leagues, kTeamsPerLeague, kCarsPerTeam, races, double(setup.elapsed()), repeats);
    std::printf("%-6s %10s %8s %12s %8s %14s %8s %12s %8s\n", "race", "posting ms", "rows", "new-file ms", "ratio",
                "season-file ms", "ratio", "same-rows ms", "ratio");
    QTemporaryDir floorDir;
    Totals all;
    // The first and the last five races (fewer in a short season), each range's posting time per row.
    const int range = std::min(5, races / 2);
    Totals first, last;
    double firstPerRow = 0, secondPerRow = 0, lastPerRow = 0;
    double postingPeak = 0;
    for (int r = 0; r < races; ++r) {
        const int race = kFirstRace + r;
        resetHighWaterMark();
        const double ms = medianOf(repeats, [&] { return postMs(race); });
        postingPeak = std::max(postingPeak, highWaterMarkMiB());
        const int rows = rowsOf(race);
        const double newFloor = medianOf(repeats, [&] { return newFileFloorMs(floorDir.path(), rows); });
        const double seasonFloor = medianOf(repeats, [&] { return seasonFileFloorMs(race); });
        const double sameRowsFloor = medianOf(repeats, [&] { return sameRowsFloorMs(race); });
        for (Totals* t : {&all, r < range ? &first : nullptr, r >= races - range ? &last : nullptr}) {
            if (!t)
                continue;
            t->posting += ms;
            t->newFloor += newFloor;
            t->seasonFloor += seasonFloor;
            t->sameRowsFloor += sameRowsFloor;
            t->rows += rows;
        }
        if (rows > 0) {
            if (r == 0)
                firstPerRow = ms / rows;
            if (r == 1)
                secondPerRow = ms / rows;
            lastPerRow = ms / rows;
        }
        if (everyRace || r == 0 || r == races - 1)
            std::printf("%-6d %10.1f %8d %12.1f %8.2f %14.1f %8.2f %12.1f %8.2f\n", race, ms, rows, newFloor,
                        newFloor > 0 ? ms / newFloor : 0.0, seasonFloor, seasonFloor > 0 ? ms / seasonFloor : 0.0,
                        sameRowsFloor, sameRowsFloor > 0 ? ms / sameRowsFloor : 0.0);
    }
    if (!noBoxes(data))
        return false;
    std::printf("posting/new-file floor: %.2f   posting/season-file floor: %.2f\n",
                all.newFloor > 0 ? all.posting / all.newFloor : 0.0,
                all.seasonFloor > 0 ? all.posting / all.seasonFloor : 0.0);
    std::printf("%s/same-rows floor: %.2f\n", title, all.sameRowsFloor > 0 ? all.posting / all.sameRowsFloor : 0.0);
    // What a row costs early and late in the season: a posting whose cost grows with the season
    // shows here.
    if (range > 0 && first.rows > 0 && last.rows > 0) {
        const double early = first.posting * 1000 / first.rows, late = last.posting * 1000 / last.rows;
        std::printf("per row: races %d-%d %.2f us, races %d-%d %.2f us; later/earlier: %.2f\n", kFirstRace,
                    kFirstRace + range - 1, early, kFirstRace + races - range, kFirstRace + races - 1, late,
                    early > 0 ? late / early : 0.0);
    }
    // Race 1 has no earlier race to carry totals from or to fill in, so race 2 is shown as well.
    if (races > 2)
        std::printf("race %d against race 1, per row: %.2f; against race 2: %.2f\n", kFirstRace + races - 1,
                    firstPerRow > 0 ? lastPerRow / firstPerRow : 0.0,
                    secondPerRow > 0 ? lastPerRow / secondPerRow : 0.0);
    else if (races > 1)
        std::printf("race %d against race 1, per row: %.2f\n", kFirstRace + races - 1,
                    firstPerRow > 0 ? lastPerRow / firstPerRow : 0.0);
    std::printf("peak memory (RSS) while posting: %.1f MiB; so far, floors included: %.1f MiB\n", postingPeak,
                peakMiB());
    return true;
}

// The site script: one statement over the league's rows of the race, as a site would write one.
const char* const kOneStatementScript =
    "-- a point for every winner\r\n"
    "UPDATE team_results SET adjustment = adjustment + 1"
    " WHERE league_nmbr = %league_nmbr% AND race_nmbr = %race_nmbr% AND place = 1;\r\n";

void putScript(const QByteArray& text) {
    QFile f(QDir(programFolder()).filePath(QStringLiteral("scoring.qv")));
    if (text.isNull()) {
        f.remove();
        return;
    }
    if (f.open(QIODevice::WriteOnly))
        f.write(text);
}

// Each race of the season posted without a site script and with the one-statement script, in turn,
// so that both meet the same machine; the ratio of the two is what the script costs.
bool postWithScript(int leagues, int races, int repeats) {
    TestDataFile data;
    if (!data.ok())
        return false;
    buildSeason(leagues, races);
    std::printf("\nsite script: %d leagues, %d races, median of %d postings a race\n", leagues, races, repeats);
    std::printf("%-6s %12s %12s %8s\n", "race", "without ms", "script ms", "ratio");
    double without = 0, with = 0;
    for (int r = 0; r < races; ++r) {
        const int race = kFirstRace + r;
        std::vector<double> plain, scripted;
        for (int i = 0; i < repeats; ++i) {
            putScript(QByteArray());
            plain.push_back(postMs(race));
            putScript(kOneStatementScript);
            scripted.push_back(postMs(race));
        }
        putScript(QByteArray());
        const double a = median(plain), b = median(scripted);
        without += a;
        with += b;
        if (r == 0 || r == races - 1 || races <= 5)
            std::printf("%-6d %12.1f %12.1f %8.2f\n", race, a, b, a > 0 ? b / a : 0.0);
    }
    if (!noBoxes(data))
        return false;
    std::printf("posting with the script/without: %.2f (%.0f ms against %.0f ms for the season)\n",
                without > 0 ? with / without : 0.0, with, without);
    return true;
}

// Race 1 posted straight through the engine and through the race window, whose progress bar is
// on screen and stepped by every step of the posting.
bool postThroughWindow(int leagues, int repeats) {
    TestDataFile data;
    if (!data.ok())
        return false;
    buildSeason(leagues, 1);
    const double engine = medianOf(repeats, [] { return postMs(kFirstRace); });
    if (!noBoxes(data))
        return false;

    QtUiServices screen;
    setUi(&screen);
    cRaces race;
    race.load(kFirstRace);
    frmRace window;
    window.loadWith(race);
    window.show();
    QApplication::processEvents();
    const double gui = medianOf(repeats, [&] {
        deleteRacePosting(race); // as postMs does: the work of a first posting
        settle();
        QElapsedTimer timer;
        timer.start();
        window.postResults(race);
        return msSince(timer);
    });
    window.hide();
    setUi(&data.ui());
    std::printf("\nrace window: race 1 of %d leagues, median of %d postings: engine %.1f ms, window %.1f ms, "
                "window/engine %.2f\n",
                leagues, repeats, engine, gui, engine > 0 ? gui / engine : 0.0);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const bool small = argc > 1 && std::strcmp(argv[1], "--small") == 0;
    const int repeats = 3;
    if (argc > 1 && std::strcmp(argv[1], "--script") == 0)
        return postWithScript(200, 30, repeats) ? 0 : 1;
    if (argc > 1 && std::strcmp(argv[1], "--season") == 0)
        return postSeason("season", 200, 30, repeats, true) ? 0 : 1;
    if (!postSeason("season", small ? 5 : 200, small ? 3 : 30, repeats, true))
        return 1;
    if (!postSeason("large run", small ? 20 : 1000, small ? 2 : 3, repeats, false))
        return 1;
    if (!postWithScript(small ? 5 : 200, small ? 3 : 30, repeats))
        return 1;
    // The window's libraries are loaded only now, so that the runs above are measured without them.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    if (!postThroughWindow(small ? 5 : 200, repeats))
        return 1;
    std::printf("peak memory (RSS): %.1f MiB\n", peakMiB());
    return 0;
}
