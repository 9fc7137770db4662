#pragma once

// Posting a race, worked by hand. The season used by most tests:
//
// Scoring method 600 (more is better): laps-led bonus 5, most-laps-led 10, fastest qualifier 3;
// places 1..6 pay 100, 80, 60, 50, 40, 30; qualifying position 1 pays 7, position 2 pays 4;
// one top-finish rule: exactly 2 cars in places 1..3 pay the team 20.
//
// Teams: Alpha (501) holds cars 1, 2, 5 (car 5 sold on 3/5); Bravo (502) holds 1, 2, 3;
// Charlie (503) holds 4, 6, 7, 8. League 501 (option 1) has all three.
//
// Race 1 (3/1):  car place qual fast laps adj         Race 2 (3/8): car place qual fast laps
//                 1    1     2    0   50   0                         1    3     1    0    0
//                 2    2     1    1    0   0                         2    1     2    0   20
//                 3    3     3    0   10   0                         3    2     3    1    0
//                 4    4     4    0   50  -5                         4    5     4    0    0
//                 5    5     5    0    0   0                         5    4     5    0    0
//                 6    6     6    0    0   0                         6    6     6    0    0
//                 7    7     7    0    0   0                         8    7     7    0    0
// Car 8 has no result in race 1, car 7 none in race 2.

#include "SeasonBuilder.h"
#include "TestDataFile.h"
#include "data/Feedback.h"
#include "data/Paths.h"
#include "data/cConnection.h"
#include "data/cLeague.h"
#include "posting/RacePostingEngine.h"
#include "posting/Scoring.h"
#include "posting/SqlScript.h"
#include "posting/cLeagueStandingsCollection.h"
#include "posting/cRaces.h"
#include "posting/cRacesCollection.h"
#include "posting/cResultsCollection.h"
#include "posting/cTeamResultsCollection.h"
#include "posting/cTeamResultsSummary.h"
#include "posting/cTeamResultsSummaryCollection.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

inline constexpr int Alpha = 501, Bravo = 502, Charlie = 503;

struct Row {
    int place = -1, qualified = -1, status = -1, fastQual = -1, lapsLed = -1, mostLapsLed = -1, adjustment = -1,
        points = -1, qualPoints = -1, total = -1;
};

class Posting : public ::testing::Test, protected SeasonBuilder {
protected:
    void SetUp() override {
        ASSERT_TRUE(data.ok());
        scoring({.nmbr = 600, .name = "Hand Points", .lapsLed = 5, .mostLapsLed = 10, .fastQual = 3},
                {100, 80, 60, 50, 40, 30}, {7, 4});
        addTopPoints({.scoringType = 600, .cars = 2, .points = 20, .top = 3});
        for (int c = 1; c <= 8; ++c)
            addCar({.nmbr = c, .txt = QStringLiteral("Car %1").arg(c)});
        addTeam({.nmbr = Alpha, .name = "Alpha"});
        addTeam({.nmbr = Bravo, .name = "Bravo"});
        addTeam({.nmbr = Charlie, .name = "Charlie"});
        league({.nmbr = 501, .scoringType = 600}, {Alpha, Bravo, Charlie});
        hold(Alpha, {1, 2});
        addHolding({.team = Alpha, .car = 5, .to = "2024-03-05"});
        hold(Bravo, {1, 2, 3});
        hold(Charlie, {4, 6, 7, 8});
        race({.nmbr = 1, .name = "Race One", .track = "T", .date = "2024-03-01"},
             {{.car = 1, .place = 1, .qualified = 2, .lapsLed = 50},
              {.car = 2, .place = 2, .qualified = 1, .fastQual = 1},
              {.car = 3, .place = 3, .qualified = 3, .lapsLed = 10},
              {.car = 4, .place = 4, .qualified = 4, .lapsLed = 50, .adjustment = -5},
              {.car = 5, .place = 5, .qualified = 5},
              {.car = 6, .place = 6, .qualified = 6},
              {.car = 7, .place = 7, .qualified = 7}});
        race({.nmbr = 2, .name = "Race Two", .track = "T", .date = "2024-03-08"},
             {{.car = 1, .place = 3, .qualified = 1},
              {.car = 2, .place = 1, .qualified = 2, .lapsLed = 20},
              {.car = 3, .place = 2, .qualified = 3, .fastQual = 1},
              {.car = 4, .place = 5, .qualified = 4},
              {.car = 5, .place = 4, .qualified = 5},
              {.car = 6, .place = 6, .qualified = 6},
              {.car = 8, .place = 7, .qualified = 7}});
        data.ui().clear();
    }

    static int bonusCar() { return TestDataFile::scalar("SELECT car_nmbr FROM cars WHERE car_type_nmbr = 3").toInt(); }

    // The one row of a team and car (of a status) in a league's race.
    static Row row(int league, int race, int team, int car, int status = 1) {
        SqlRows rows;
        gConnection->getConnection()->query(
            QStringLiteral("SELECT place, qualified, current_status, fast_qual_bonus, laps_led_bonus, "
                           "most_laps_led_bonus, adjustment, points, qual_points, total_points FROM team_results "
                           "WHERE league_nmbr = %1 AND race_nmbr = %2 AND team_nmbr = %3 AND car_nmbr = %4 "
                           "AND current_status = %5")
                .arg(league)
                .arg(race)
                .arg(team)
                .arg(car)
                .arg(status),
            &rows);
        EXPECT_EQ(rows.rows.size(), 1) << "league " << league << " race " << race << " team " << team << " car " << car
                                       << " status " << status;
        Row r;
        if (rows.rows.size() == 1) {
            const auto& v = rows.rows.first();
            r = {v[0].toInt(), v[1].toInt(), v[2].toInt(), v[3].toInt(), v[4].toInt(),
                 v[5].toInt(), v[6].toInt(), v[7].toInt(), v[8].toInt(), v[9].toInt()};
        }
        return r;
    }
    static int rowCount(int league, int race) {
        return TestDataFile::scalar(
                   QStringLiteral("SELECT count(*) FROM team_results WHERE league_nmbr = %1 AND race_nmbr = %2")
                       .arg(league)
                       .arg(race))
            .toInt();
    }
    static int summaryCount(int league, int race) {
        return TestDataFile::scalar(
                   QStringLiteral("SELECT count(*) FROM team_results_summary WHERE league_nmbr = %1 AND race_nmbr = %2")
                       .arg(league)
                       .arg(race))
            .toInt();
    }
    // points/place of a team's summary row.
    static std::pair<int, int> summary(int league, int race, int team) {
        SqlRows rows;
        gConnection->getConnection()->query(QStringLiteral("SELECT points, team_place FROM team_results_summary WHERE "
                                                           "league_nmbr = %1 AND race_nmbr = %2 AND team_nmbr = %3")
                                                .arg(league)
                                                .arg(race)
                                                .arg(team),
                                            &rows);
        EXPECT_EQ(rows.rows.size(), 1);
        return rows.rows.isEmpty() ? std::pair{-1, -1} : std::pair{rows.rows[0][0].toInt(), rows.rows[0][1].toInt()};
    }

    TestDataFile data;
};
