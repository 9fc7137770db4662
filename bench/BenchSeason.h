#pragma once

// The pieces of a generated season the benches share: the same generator, dates, points table, holdings
// and results, so that every run of every bench builds the same data.

#include "TestDataFile.h"

#include <QDate>
#include <QString>
#include <vector>

namespace bench {

// A small deterministic generator.
struct Lcg {
    quint64 s = 0x9E3779B97F4A7C15ull;
    int next(int n) {
        s = s * 6364136223846793005ull + 1442695040888963407ull;
        return int((s >> 33) % quint64(n));
    }
};

inline void shuffle(std::vector<int>& v, Lcg& rng) {
    for (int i = int(v.size()) - 1; i > 0; --i)
        std::swap(v[size_t(i)], v[size_t(rng.next(i + 1))]);
}

// Race n is run on a Sunday, a week after race n - 1.
inline QString raceDate(int race) {
    return QDate(2024, 2, 4).addDays(7 * (race - 1)).toString(Qt::ISODate);
}

// Places 1..cars pay cars + 2 down to 3 points; the first three qualifiers earn 3, 2 and 1.
inline void putPointsTable(int scoringType, int cars) {
    for (int place = 1; place <= cars; ++place)
        TestDataFile::exec(QStringLiteral("INSERT INTO scoring_points VALUES (%1, %2, %3, %4)")
                               .arg(scoringType)
                               .arg(place)
                               .arg(cars + 3 - place)
                               .arg(place <= 3 ? 4 - place : 0));
}

// The team holds carsPerTeam of the cars firstCar.. (cars in all) from the start of the season; the
// first of them is traded for another halfway through a season of more than one race.
inline void putHoldings(int team, int firstCar, int cars, int carsPerTeam, int races, Lcg& rng) {
    std::vector<int> numbers(static_cast<size_t>(cars));
    for (int c = 0; c < cars; ++c)
        numbers[size_t(c)] = firstCar + c;
    shuffle(numbers, rng);
    for (int h = 0; h < carsPerTeam; ++h) {
        const bool traded = h == 0 && races > 1;
        TestDataFile::exec(QStringLiteral("INSERT INTO team_car VALUES (%1, %2, '2024-01-01', %3, 0, 1000, 1)")
                               .arg(team)
                               .arg(numbers[size_t(h)])
                               .arg(traded ? QLatin1Char('\'') + raceDate(races / 2 + 1) + QLatin1Char('\'')
                                           : QStringLiteral("NULL")));
        if (traded)
            TestDataFile::exec(QStringLiteral("INSERT INTO team_car VALUES (%1, %2, '%3', NULL, 0, 1000, 1)")
                                   .arg(team)
                                   .arg(numbers[size_t(carsPerTeam)])
                                   .arg(raceDate(races / 2 + 1)));
    }
}

// The race with a result for every one of the cars, in shuffled places and qualifying positions; the
// first five lead 50, 40, .. 10 laps.
inline void putRaceWithResults(int race, int firstCar, int cars, Lcg& rng) {
    TestDataFile::exec(QStringLiteral("INSERT INTO races VALUES (%1, 'Race %1', 'Track', '%2', 1, 1, 2)")
                           .arg(race)
                           .arg(raceDate(race)));
    std::vector<int> places(static_cast<size_t>(cars)), quals(static_cast<size_t>(cars));
    for (int i = 0; i < cars; ++i)
        places[size_t(i)] = quals[size_t(i)] = i + 1;
    shuffle(places, rng);
    shuffle(quals, rng);
    for (int c = 0; c < cars; ++c)
        TestDataFile::exec(QStringLiteral("INSERT INTO results VALUES (%1, %2, %3, %4, %5, %6, 0)")
                               .arg(firstCar + c)
                               .arg(race)
                               .arg(places[size_t(c)])
                               .arg(quals[size_t(c)])
                               .arg(quals[size_t(c)] == 1 ? 1 : 0)
                               .arg(places[size_t(c)] <= 5 ? 10 * (6 - places[size_t(c)]) : 0));
}

} // namespace bench
