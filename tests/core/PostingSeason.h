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

class Posting : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(data.ok());
        TestDataFile::exec("INSERT INTO scoring_type VALUES (600, 'Hand Points', 5, 10, 3)");
        const int pts[] = {100, 80, 60, 50, 40, 30};
        for (int p = 1; p <= 6; ++p)
            TestDataFile::exec(QStringLiteral("INSERT INTO scoring_points VALUES (600, %1, %2, %3)")
                                   .arg(p)
                                   .arg(pts[p - 1])
                                   .arg(p == 1   ? 7
                                        : p == 2 ? 4
                                                 : 0));
        TestDataFile::exec("INSERT INTO scoring_top_points VALUES (600, 2, 20, 3)");
        for (int c = 1; c <= 8; ++c)
            TestDataFile::exec(QStringLiteral("INSERT INTO cars (car_nmbr, race_type_nmbr, car_type_nmbr, car_txt) "
                                              "VALUES (%1, 1, 1, 'Car %1')")
                                   .arg(c));
        TestDataFile::exec("INSERT INTO teams (team_nmbr, team_name, race_type_nmbr, car_type_nmbr) VALUES "
                           "(501, 'Alpha', 1, 1), (502, 'Bravo', 1, 1), (503, 'Charlie', 1, 1)");
        addLeague(501, 1, 600, 0, {Alpha, Bravo, Charlie});
        hold(Alpha, {1, 2});
        TestDataFile::exec("INSERT INTO team_car VALUES (501, 5, '2024-01-01', '2024-03-05', 0, 0, 1)");
        hold(Bravo, {1, 2, 3});
        hold(Charlie, {4, 6, 7, 8});
        TestDataFile::exec("INSERT INTO races VALUES (1, 'Race One', 'T', '2024-03-01', 1, 1, 2)");
        TestDataFile::exec("INSERT INTO races VALUES (2, 'Race Two', 'T', '2024-03-08', 1, 1, 2)");
        TestDataFile::exec("INSERT INTO results VALUES (1,1,1,2,0,50,0), (2,1,2,1,1,0,0), (3,1,3,3,0,10,0), "
                           "(4,1,4,4,0,50,-5), (5,1,5,5,0,0,0), (6,1,6,6,0,0,0), (7,1,7,7,0,0,0)");
        TestDataFile::exec("INSERT INTO results VALUES (1,2,3,1,0,0,0), (2,2,1,2,0,20,0), (3,2,2,3,1,0,0), "
                           "(4,2,5,4,0,0,0), (5,2,4,5,0,0,0), (6,2,6,6,0,0,0), (8,2,7,7,0,0,0)");
        data.ui().clear();
    }

    static void addLeague(int league, int option, int scoringType, int dropLowest, std::initializer_list<int> teams) {
        TestDataFile::exec(QStringLiteral("INSERT INTO leagues VALUES (%1, 'League %1', 'L%1', 1, %2, %3, 0, %4, 1)")
                               .arg(league)
                               .arg(option)
                               .arg(scoringType)
                               .arg(dropLowest));
        for (int t : teams)
            TestDataFile::exec(QStringLiteral("INSERT INTO league_teams VALUES (%1, %2)").arg(league).arg(t));
    }
    static void hold(int team, std::initializer_list<int> cars) {
        for (int c : cars)
            TestDataFile::exec(
                QStringLiteral("INSERT INTO team_car VALUES (%1, %2, '2024-01-01', NULL, 0, 0, 1)").arg(team).arg(c));
    }
    static void post(int raceNmbr) {
        cRaces race;
        race.load(raceNmbr);
        postRace(race);
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
