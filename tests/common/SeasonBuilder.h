#pragma once

// A season for the tests and the benches to post and report on, put together part by part through
// the row helpers: a scoring method with its points table, leagues with their teams, holdings, races
// with their results, postings. A fixture derives from it to build its season in SetUp and to call the
// same parts from its tests. The generated parts (for the benches) draw from the builder's one
// generator in a fixed order, so that every run of every bench builds the same data.

#include "Rows.h"

#include <QString>
#include <initializer_list>
#include <vector>

// A small deterministic generator.
struct Lcg {
    quint64 s = 0x9E3779B97F4A7C15ull;
    int next(int n) {
        s = s * 6364136223846793005ull + 1442695040888963407ull;
        return int((s >> 33) % quint64(n));
    }
};

class SeasonBuilder {
public:
    // The method and its points table: place n pays placePoints[n - 1], and qualifying position n
    // earns qualPoints[n - 1] (nothing past the end of the list).
    static void scoring(const ScoringTypeRow& method, std::initializer_list<int> placePoints,
                        std::initializer_list<int> qualPoints = {});
    // The league and its teams, in this order. A league given no name is "League n", short "Ln".
    static void league(LeagueRow row, std::initializer_list<int> teams);
    // The team holds each of the cars from `from` on.
    static void hold(int team, std::initializer_list<int> cars, const QString& from = QStringLiteral("2024-01-01"));
    // The race and its results (each result's race is this one).
    static void race(const RaceRow& row, std::initializer_list<ResultRow> results = {});
    // Posts the race for every league of its race type, through the all-leagues engine.
    static void post(int raceNmbr);

    // Generated seasons. Race n is run on a Sunday, a week after race n - 1.
    static QString raceDate(int race);
    // The method with a points table for `cars` places: places 1..cars pay cars + 2 down to 3 points, and
    // the first three qualifiers earn 3, 2 and 1.
    static void countingScoring(const ScoringTypeRow& method, int cars);
    // The team holds carsPerTeam of the cars firstCar.. (cars in all, drawn) from the start of the
    // season; the first of them is traded for another halfway through a season of more than one race.
    void drawHoldings(int team, int firstCar, int cars, int carsPerTeam, int races);
    // The race with a result for every one of the cars, in drawn places and qualifying positions; the
    // first five lead 50, 40, .. 10 laps.
    void drawRace(int race, int firstCar, int cars);

    Lcg rng;

private:
    void shuffle(std::vector<int>& v);
};
