// Posting a season: how long posting a race takes against the time the engine needs just to
// write the same number of team_results rows (the floor).
//
//   posting          200 leagues x 12 teams x 6 cars, 10 races
//   posting --small  5 leagues, 3 races (a quick proof that it runs)

#include "TestDataFile.h"
#include "data/cConnection.h"
#include "data/Paths.h"
#include "posting/Scoring.h"
#include "posting/cRaces.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>

namespace {

constexpr int kCars = 43;
constexpr int kTeamsPerLeague = 12;
constexpr int kCarsPerTeam = 6;
constexpr int kScoringType = 600;
constexpr int kFirstCar = 1001;
constexpr int kFirstRace = 1;

// A small deterministic generator, so every run builds the same season.
struct Lcg {
    quint64 s = 0x9E3779B97F4A7C15ull;
    int next(int n) {
        s = s * 6364136223846793005ull + 1442695040888963407ull;
        return int((s >> 33) % quint64(n));
    }
};

void shuffle(std::vector<int>& v, Lcg& rng) {
    for (int i = int(v.size()) - 1; i > 0; --i)
        std::swap(v[size_t(i)], v[size_t(rng.next(i + 1))]);
}

QString raceDate(int race) { return QDate(2024, 2, 4).addDays(7 * (race - 1)).toString(Qt::ISODate); }

void buildSeason(int leagues, int races) {
    Lcg rng;
    TestDataFile::exec("BEGIN");
    TestDataFile::exec(QStringLiteral("INSERT INTO scoring_type VALUES (%1, 'Bench Points', 5, 10, 3)").arg(kScoringType));
    for (int place = 1; place <= kCars; ++place)
        TestDataFile::exec(QStringLiteral("INSERT INTO scoring_points VALUES (%1, %2, %3, %4)")
                               .arg(kScoringType)
                               .arg(place)
                               .arg(kCars + 3 - place)
                               .arg(place <= 3 ? 4 - place : 0));
    TestDataFile::exec(QStringLiteral("INSERT INTO scoring_top_points VALUES (%1, 2, 10, 5)").arg(kScoringType));
    TestDataFile::exec(QStringLiteral("INSERT INTO scoring_top_points VALUES (%1, 3, 25, 10)").arg(kScoringType));
    for (int c = 0; c < kCars; ++c)
        TestDataFile::exec(QStringLiteral("INSERT INTO cars (car_nmbr, race_type_nmbr, car_type_nmbr, car_txt, "
                                          "driver_name, salary) VALUES (%1, 1, 1, '%2', 'Driver %2', 1000)")
                               .arg(kFirstCar + c)
                               .arg(c + 1));
    int team = 500;
    for (int l = 0; l < leagues; ++l) {
        const int league = 500 + l;
        // Every other league drops its lowest finisher.
        TestDataFile::exec(QStringLiteral("INSERT INTO leagues VALUES (%1, 'League %1', 'L%1', 1, %2, %3, 1000000, "
                                          "%4, 1)")
                               .arg(league)
                               .arg(l % 2 ? 2 : 1)
                               .arg(kScoringType)
                               .arg(l % 2 ? 1 : 0));
        for (int t = 0; t < kTeamsPerLeague; ++t, ++team) {
            TestDataFile::exec(QStringLiteral("INSERT INTO teams (team_nmbr, team_name, team_owner, race_type_nmbr, "
                                              "car_type_nmbr) VALUES (%1, 'Team %1', 'Owner %1', 1, 1)")
                                   .arg(team));
            TestDataFile::exec(QStringLiteral("INSERT INTO league_teams VALUES (%1, %2)").arg(league).arg(team));
            std::vector<int> cars(kCars);
            for (int c = 0; c < kCars; ++c)
                cars[size_t(c)] = kFirstCar + c;
            shuffle(cars, rng);
            for (int h = 0; h < kCarsPerTeam; ++h) {
                // One car of each team is traded halfway through the season.
                const bool traded = h == 0 && races > 1;
                TestDataFile::exec(QStringLiteral("INSERT INTO team_car VALUES (%1, %2, '2024-01-01', %3, 0, 1000, 1)")
                                       .arg(team)
                                       .arg(cars[size_t(h)])
                                       .arg(traded ? QLatin1Char('\'') + raceDate(races / 2 + 1) + QLatin1Char('\'')
                                                   : QStringLiteral("NULL")));
                if (traded)
                    TestDataFile::exec(QStringLiteral("INSERT INTO team_car VALUES (%1, %2, '%3', NULL, 0, 1000, 1)")
                                           .arg(team)
                                           .arg(cars[size_t(kCarsPerTeam)])
                                           .arg(raceDate(races / 2 + 1)));
            }
        }
    }
    for (int r = 0; r < races; ++r) {
        const int race = kFirstRace + r;
        TestDataFile::exec(QStringLiteral("INSERT INTO races VALUES (%1, 'Race %1', 'Track', '%2', 1, 1, 2)")
                               .arg(race)
                               .arg(raceDate(race)));
        std::vector<int> places(kCars), quals(kCars);
        for (int i = 0; i < kCars; ++i)
            places[size_t(i)] = quals[size_t(i)] = i + 1;
        shuffle(places, rng);
        shuffle(quals, rng);
        for (int c = 0; c < kCars; ++c) {
            const int lapsLed = places[size_t(c)] <= 5 ? 10 * (6 - places[size_t(c)]) : 0;
            TestDataFile::exec(QStringLiteral("INSERT INTO results VALUES (%1, %2, %3, %4, %5, %6, 0)")
                                   .arg(kFirstCar + c)
                                   .arg(race)
                                   .arg(places[size_t(c)])
                                   .arg(quals[size_t(c)])
                                   .arg(quals[size_t(c)] == 1 ? 1 : 0)
                                   .arg(lapsLed));
        }
    }
    TestDataFile::exec("COMMIT");
}

// Writes rows team_results rows with one prepared statement in one transaction into a new file
// of the same kind; milliseconds.
double floorMs(const QString& folder, int rows) {
    const QString path = QDir(folder).filePath(QStringLiteral("floor.qv"));
    QFile::remove(path);
    SqlDatabase db;
    if (!db.open(path, dataFileKey(), true, true))
        return 0;
    db.exec(QStringLiteral(
        "CREATE TABLE team_results (race_nmbr INTEGER NOT NULL, place INTEGER DEFAULT 0, qualified INTEGER DEFAULT 0,"
        " car_nmbr INTEGER NOT NULL, team_nmbr INTEGER NOT NULL, current_status INTEGER DEFAULT 1,"
        " fast_qual_bonus INTEGER DEFAULT 0, laps_led_bonus INTEGER DEFAULT 0, most_laps_led_bonus INTEGER DEFAULT 0,"
        " adjustment INTEGER DEFAULT 0, points INTEGER DEFAULT 0, qual_points INTEGER DEFAULT 0,"
        " total_points INTEGER DEFAULT 0, league_nmbr INTEGER NOT NULL);"
        "CREATE INDEX team_results_league_race ON team_results (league_nmbr, race_nmbr, team_nmbr);"
        "CREATE INDEX team_results_race ON team_results (race_nmbr);"
        "CREATE INDEX team_results_team_car ON team_results (team_nmbr, car_nmbr);"));
    const QString insert = QStringLiteral("INSERT INTO team_results VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    QElapsedTimer timer;
    timer.start();
    db.exec(QStringLiteral("BEGIN"));
    for (int i = 0; i < rows; ++i)
        db.exec(insert, {1, i % 43 + 1, i % 43 + 1, kFirstCar + i % 43, 500 + i / 6, 1, 0, 5, 0, 0, 40, 0, 40,
                         500 + i / 72});
    db.exec(QStringLiteral("COMMIT"));
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    db.close();
    QFile::remove(path);
    return ms;
}

} // namespace

int main(int argc, char** argv) {
    const bool small = argc > 1 && std::strcmp(argv[1], "--small") == 0;
    const int leagues = small ? 5 : 200;
    const int races = small ? 3 : 10;

    TestDataFile data;
    if (!data.ok()) {
        std::fprintf(stderr, "could not create the data file\n");
        return 1;
    }
    QElapsedTimer setup;
    setup.start();
    buildSeason(leagues, races);
    std::printf("season: %d leagues x %d teams x %d cars, %d races (built in %.0f ms)\n", leagues, kTeamsPerLeague,
                kCarsPerTeam, races, double(setup.elapsed()));
    std::printf("%-6s %12s %10s %12s %8s\n", "race", "posting ms", "rows", "floor ms", "ratio");

    QTemporaryDir floorDir;
    double postingTotal = 0;
    double floorTotal = 0;
    for (int r = 0; r < races; ++r) {
        cRaces race;
        race.load(kFirstRace + r);
        QElapsedTimer timer;
        timer.start();
        postRace(race);
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        const int rows =
            TestDataFile::scalar(QStringLiteral("SELECT count(*) FROM team_results WHERE race_nmbr = %1").arg(kFirstRace + r))
                .toInt();
        const double floor = floorMs(floorDir.path(), rows);
        postingTotal += ms;
        floorTotal += floor;
        std::printf("%-6d %12.1f %10d %12.1f %8.2f\n", kFirstRace + r, ms, rows, floor, floor > 0 ? ms / floor : 0.0);
    }
    if (!data.ui().boxes.isEmpty()) {
        std::fprintf(stderr, "posting showed %d box(es); first: %s\n", int(data.ui().boxes.size()),
                     qPrintable(data.ui().boxes.first().text));
        return 1;
    }
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory (RSS): %.1f MiB\n", double(usage.ru_maxrss) / 1024.0);
    std::printf("posting/floor ratio: %.2f\n", floorTotal > 0 ? postingTotal / floorTotal : 0.0);
    return 0;
}
