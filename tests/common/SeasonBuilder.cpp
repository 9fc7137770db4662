#include "SeasonBuilder.h"

#include "posting/Scoring.h"
#include "posting/cRaces.h"

#include <QDate>
#include <utility>

void SeasonBuilder::scoring(const ScoringTypeRow& method, std::initializer_list<int> placePoints,
                            std::initializer_list<int> qualPoints) {
    addScoringType(method);
    const std::vector<int> quals(qualPoints);
    int place = 0;
    for (int points : placePoints) {
        ++place;
        addPoints({.scoringType = method.nmbr,
                   .place = place,
                   .points = points,
                   .qualPoints = place <= int(quals.size()) ? quals[size_t(place - 1)] : 0});
    }
}

void SeasonBuilder::league(LeagueRow row, std::initializer_list<int> teams) {
    if (!row.name)
        row.name = QStringLiteral("League %1").arg(row.nmbr);
    if (!row.shortName)
        row.shortName = QStringLiteral("L%1").arg(row.nmbr);
    addLeague(row);
    for (int team : teams)
        addMember({.league = row.nmbr, .team = team});
}

void SeasonBuilder::hold(int team, std::initializer_list<int> cars, const QString& from) {
    for (int car : cars)
        addHolding({.team = team, .car = car, .from = from});
}

void SeasonBuilder::race(const RaceRow& row, std::initializer_list<ResultRow> results) {
    addRace(row);
    for (ResultRow result : results) {
        result.race = row.nmbr;
        addResult(result);
    }
}

void SeasonBuilder::post(int raceNmbr) {
    cRaces race;
    race.load(raceNmbr);
    postRace(race);
}

QString SeasonBuilder::raceDate(int race) {
    return QDate(2024, 2, 4).addDays(7 * (race - 1)).toString(Qt::ISODate);
}

void SeasonBuilder::countingScoring(const ScoringTypeRow& method, int cars) {
    addScoringType(method);
    for (int place = 1; place <= cars; ++place)
        addPoints({.scoringType = method.nmbr,
                   .place = place,
                   .points = cars + 3 - place,
                   .qualPoints = place <= 3 ? 4 - place : 0});
}

void SeasonBuilder::shuffle(std::vector<int>& v) {
    for (int i = int(v.size()) - 1; i > 0; --i)
        std::swap(v[size_t(i)], v[size_t(rng.next(i + 1))]);
}

void SeasonBuilder::drawHoldings(int team, int firstCar, int cars, int carsPerTeam, int races) {
    std::vector<int> numbers(static_cast<size_t>(cars));
    for (int c = 0; c < cars; ++c)
        numbers[size_t(c)] = firstCar + c;
    shuffle(numbers);
    const QString tradeDate = raceDate(races / 2 + 1);
    for (int h = 0; h < carsPerTeam; ++h) {
        const bool traded = h == 0 && races > 1;
        addHolding({.team = team,
                    .car = numbers[size_t(h)],
                    .to = traded ? std::optional(tradeDate) : std::nullopt,
                    .lockedSalary = 1000});
        if (traded)
            addHolding({.team = team, .car = numbers[size_t(carsPerTeam)], .from = tradeDate, .lockedSalary = 1000});
    }
}

void SeasonBuilder::drawRace(int race, int firstCar, int cars) {
    addRace({.nmbr = race, .name = QStringLiteral("Race %1").arg(race), .track = "Track", .date = raceDate(race)});
    std::vector<int> places(static_cast<size_t>(cars)), quals(static_cast<size_t>(cars));
    for (int i = 0; i < cars; ++i)
        places[size_t(i)] = quals[size_t(i)] = i + 1;
    shuffle(places);
    shuffle(quals);
    for (int c = 0; c < cars; ++c) {
        const int place = places[size_t(c)], qualified = quals[size_t(c)];
        addResult({.car = firstCar + c,
                   .race = race,
                   .place = place,
                   .qualified = qualified,
                   .fastQual = qualified == 1 ? 1 : 0,
                   .lapsLed = place <= 5 ? 10 * (6 - place) : 0});
    }
}
