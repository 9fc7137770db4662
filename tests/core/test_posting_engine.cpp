// Posting all leagues of a race at once against the league-by-league chain: every posting of a
// season built to tell them apart is done both ways from the same state, and the rows written
// (with their row ids), the bonus-entry holdings, the progress count and the boxes must be the same.
//
// Race type 1. Cars 1..12 (type 1), drivers 21..26 (type 2), bonus entry 99.
// Methods: 600 more is better, with bonuses, qualifying points and two top-finish rules that a
// team can meet at once (plus a rule paying nothing); 601 fewer is better.
// Leagues: 700 (option 1, cars); 701 (option 2, drop 2, cars; Alpha is in 700 too; Echo holds
// car 3 twice; Foxtrot holds car 6 inactive); 702 (option 2, drop 1, fewer is better; bravo is in
// 700 as well); 703 (drivers); 704 (no teams). Two teams are named "Bravo" and "bravo".
// Races: 1 (3/1 cars), 2 (3/8 drivers), 3 and 4 (both 3/15, cars), 5 (3/22, no results),
// 6 (3/29 cars). Alpha sells car 1 and buys car 9 on 3/10; Golf sells car 5 and Echo both
// holdings of car 3 on 3/20.

#include "PostingSeason.h"
#include "Rows.h"
#include "SeasonBuilder.h"
#include "SmallDisk.h"
#include "TestDataFile.h"
#include "data/Feedback.h"
#include "data/Paths.h"
#include "data/cCar.h"
#include "data/cConnection.h"
#include "data/cLeague.h"
#include "data/cTeam.h"
#include "exchange/Import.h"
#include "posting/PostingMemory.h"
#include "posting/RacePostingEngine.h"
#include "posting/Scoring.h"
#include "posting/SqlScript.h"
#include "posting/cRaces.h"
#include "posting/cResultsCollection.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

void exec(const QString& sql) {
    TestDataFile::exec(sql);
}

struct Outcome {
    QStringList rows;
    int steps = 0;
    QStringList boxes;
};

QStringList dump(const QString& sql) {
    SqlRows rows;
    EXPECT_TRUE(gConnection->getConnection()->query(sql, &rows));
    QStringList out;
    for (const auto& r : rows.rows) {
        QStringList values;
        for (const QVariant& v : r)
            values << (v.isNull() ? QStringLiteral("NULL") : v.toString());
        out << values.join(QLatin1Char(','));
    }
    return out;
}

QStringList everything() {
    return QStringList{"team_results"} + dump("SELECT rowid, * FROM team_results ORDER BY rowid") +
           QStringList{"summary"} + dump("SELECT rowid, * FROM team_results_summary ORDER BY rowid") +
           QStringList{"holdings"} + dump("SELECT rowid, * FROM team_car ORDER BY rowid") + QStringList{"cars"} +
           dump("SELECT rowid, * FROM cars ORDER BY rowid") + QStringList{"head to head"} +
           dump("SELECT rowid, * FROM race_head_head ORDER BY rowid");
}

class PostingEngine : public ::testing::Test, protected SeasonBuilder {
protected:
    void SetUp() override {
        ASSERT_TRUE(data.ok());
        scoring({.nmbr = 600, .name = "More", .lapsLed = 5, .mostLapsLed = 10, .fastQual = 3},
                {100, 80, 60, 50, 40, 30, 20, 10, 5, 5}, {7, 4});
        addTopPoints({.scoringType = 600, .cars = 2, .points = 20, .top = 3});
        addTopPoints({.scoringType = 600, .cars = 1, .points = 15, .top = 1});
        addTopPoints({.scoringType = 600, .cars = 1, .top = 5});
        scoring({.nmbr = 601, .name = "Fewer", .fastQual = -1}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
        for (int c = 1; c <= 12; ++c)
            addCar({.nmbr = c, .txt = QStringLiteral("Car %1").arg(c)});
        for (int d = 21; d <= 26; ++d)
            addCar({.nmbr = d, .carType = 2, .driver = QStringLiteral("Driver %1").arg(d)});
        addCar({.nmbr = 99, .carType = 3, .txt = "Top Bonus"});

        const char* names[] = {"Alpha",   "Bravo", "bravo", "Delta", "Echo",
                               "Foxtrot", "Golf",  "Hotel", "India", "Juliet"};
        for (int t = 0; t < 10; ++t)
            addTeam({.nmbr = 801 + t, .name = QLatin1String(names[t])});
        league({.nmbr = 700, .scoringType = 600}, {803, 801, 802, 804});
        league({.nmbr = 701, .scoringOption = 2, .scoringType = 600, .dropLowest = 2}, {801, 805, 806});
        league({.nmbr = 702, .scoringOption = 2, .scoringType = 601, .dropLowest = 1}, {807, 808, 803});
        league({.nmbr = 703, .scoringType = 600, .carType = 2}, {809, 810});
        league({.nmbr = 704, .scoringType = 600}, {});

        addHolding({.team = 801, .car = 1, .to = "2024-03-10"});
        addHolding({.team = 801, .car = 9, .from = "2024-03-10"});
        addHolding({.team = 801, .car = 2});
        addHolding({.team = 802, .car = 3});
        addHolding({.team = 802, .car = 4});
        addHolding({.team = 803, .car = 5});
        addHolding({.team = 803, .car = 6});
        addHolding({.team = 804, .car = 7});
        addHolding({.team = 804, .car = 12}); // never has a result
        addHolding({.team = 805, .car = 3, .to = "2024-03-20"});
        // the same car twice, sold at once
        addHolding({.team = 805, .car = 3, .from = "2024-02-01", .to = "2024-03-20"});
        addHolding({.team = 805, .car = 8});
        addHolding({.team = 806, .car = 6, .active = 0});
        addHolding({.team = 806, .car = 10});
        addHolding({.team = 807, .car = 5, .to = "2024-03-20"});
        addHolding({.team = 807, .car = 11});
        addHolding({.team = 808, .car = 1});
        addHolding({.team = 808, .car = 2});
        addHolding({.team = 809, .car = 21});
        addHolding({.team = 809, .car = 22});
        addHolding({.team = 810, .car = 23});
        addHolding({.team = 810, .car = 24});

        race({.nmbr = 1, .name = "Race 1", .track = "T", .date = "2024-03-01"},
             {{.car = 1, .place = 1, .qualified = 2, .lapsLed = 50},
              {.car = 2, .place = 2, .qualified = 1, .fastQual = 1},
              {.car = 3, .place = 3, .qualified = 3, .lapsLed = 50},
              {.car = 4, .place = 4, .qualified = 4, .adjustment = -5},
              {.car = 5, .place = 5, .qualified = 5},
              {.car = 6, .place = 6, .qualified = 6},
              {.car = 7, .place = 7, .qualified = 7, .adjustment = 3},
              {.car = 8, .place = 8, .qualified = 8},
              {.car = 9, .place = 9, .qualified = 9},
              {.car = 10, .place = 10, .qualified = 10},
              {.car = 11, .place = 11, .qualified = 11}});
        race({.nmbr = 2, .name = "Race 2", .track = "T", .date = "2024-03-08", .carType = 2},
             {{.car = 21, .place = 1, .qualified = 1, .fastQual = 1, .lapsLed = 10},
              {.car = 22, .place = 2, .qualified = 2},
              {.car = 23, .place = 3, .qualified = 3},
              {.car = 24, .qualified = 4}});
        race({.nmbr = 3, .name = "Race 3", .track = "T", .date = "2024-03-15"},
             {{.car = 2, .place = 1, .qualified = 3},
              {.car = 9, .place = 2, .qualified = 1, .fastQual = 1},
              {.car = 3, .place = 3, .qualified = 2},
              {.car = 4, .place = 4, .qualified = 4},
              {.car = 6, .place = 5, .qualified = 5, .lapsLed = 30},
              {.car = 5, .place = 6, .qualified = 6, .lapsLed = 30},
              {.car = 1, .place = 7, .qualified = 7},
              {.car = 8, .qualified = 8}});
        race({.nmbr = 4, .name = "Race 4", .track = "T", .date = "2024-03-15"},
             {{.car = 3, .place = 1, .qualified = 1},
              {.car = 4, .place = 2, .qualified = 2, .fastQual = 1},
              {.car = 5, .place = 3, .qualified = 3},
              {.car = 11, .place = 4, .qualified = 4, .lapsLed = 5},
              {.car = 2, .place = 5, .qualified = 5},
              {.car = 10, .place = 6, .qualified = 6}});
        race({.nmbr = 5, .name = "Race 5", .track = "T", .date = "2024-03-22"});
        race({.nmbr = 6, .name = "Race 6", .track = "T", .date = "2024-03-29"},
             {{.car = 9, .place = 1, .qualified = 1, .fastQual = 1},
              {.car = 2, .place = 2, .qualified = 2},
              {.car = 1, .place = 3, .qualified = 3},
              {.car = 5, .place = 4, .qualified = 4},
              {.car = 3, .place = 5, .qualified = 5},
              {.car = 8, .place = 6, .qualified = 6},
              {.car = 7, .place = 7, .qualified = 7}});
        data.ui().clear();
    }

    // Posts the race all leagues at once and then league by league, each from the state before;
    // the league-by-league posting is kept. Returns whether the engine posted the race itself.
    bool postBothWays(int raceNmbr) {
        cRaces race;
        race.load(raceNmbr);
        Outcome atOnce, oneByOne;
        bool posted = false;
        {
            Transaction tx;
            data.ui().clear();
            cResultsCollection results;
            results.load();
            EXPECT_TRUE(deleteRacePosting(race));
            if (results.raceExists(raceNmbr)) {
                cLeagueCollection leagues;
                leagues.load(race.raceTypeNmbr());
                SqlScript script;
                EXPECT_TRUE(script.read("scoring.qv"));
                posted = postRaceAllLeagues(race, leagues, script);
            }
            atOnce = {everything(), data.ui().progressSteps, boxTexts()};
            tx.rollback();
        }
        {
            Transaction tx;
            data.ui().clear();
            cResultsCollection results;
            results.load();
            if (results.raceExists(raceNmbr))
                postRaceLeagueByLeague(race);
            else
                deleteRacePosting(race);
            oneByOne = {everything(), data.ui().progressSteps, boxTexts()};
            tx.commit();
        }
        expectSame(atOnce.rows, oneByOne.rows, raceNmbr);
        EXPECT_EQ(atOnce.steps, oneByOne.steps) << "race " << raceNmbr;
        EXPECT_EQ(atOnce.boxes, oneByOne.boxes) << "race " << raceNmbr;
        return posted;
    }
    // Posts the race league by league and then through postRace, each from the state before; the
    // latter is kept. postRace, a transaction of its own, goes by what the postings before it left
    // known of the earlier races' summaries.
    void postRememberingBothWays(int raceNmbr) {
        cRaces race;
        race.load(raceNmbr);
        Outcome oneByOne;
        {
            Transaction tx;
            data.ui().clear();
            postRaceLeagueByLeague(race);
            oneByOne = {everything(), data.ui().progressSteps, boxTexts()};
            tx.rollback();
        }
        data.ui().clear();
        EXPECT_TRUE(postRace(race)) << "race " << raceNmbr;
        expectSame(everything(), oneByOne.rows, raceNmbr);
        EXPECT_EQ(data.ui().progressSteps, oneByOne.steps) << "race " << raceNmbr;
        EXPECT_EQ(boxTexts(), oneByOne.boxes) << "race " << raceNmbr;
    }
    // The first line that differs, rather than both dumps whole.
    static void expectSame(const QStringList& atOnce, const QStringList& oneByOne, int raceNmbr) {
        for (int i = 0; i < std::min(atOnce.size(), oneByOne.size()); ++i)
            if (atOnce[i] != oneByOne[i]) {
                ADD_FAILURE() << "race " << raceNmbr << ", line " << i << ": all at once " << qPrintable(atOnce[i])
                              << ", league by league " << qPrintable(oneByOne[i]);
                return;
            }
        EXPECT_EQ(atOnce.size(), oneByOne.size()) << "race " << raceNmbr;
    }
    QStringList boxTexts() {
        QStringList out;
        for (const auto& b : data.ui().boxes)
            out << b.text;
        return out;
    }

    TestDataFile data;
};

TEST_F(PostingEngine, SeasonAndRepostsMatchTheChainRowForRow) {
    // In season order, then again out of order: later races already posted leave gaps in the row ids.
    for (int race : {1, 2, 3, 4, 5, 6, 3, 1, 4, 6, 6})
        EXPECT_EQ(postBothWays(race), race != 5) << "race " << race; // race 5 has no results to post
    // The season did what it was built for.
    EXPECT_GT(TestDataFile::scalar("SELECT count(*) FROM team_car WHERE car_nmbr = 99").toInt(), 1);
    EXPECT_GT(TestDataFile::scalar("SELECT count(*) FROM team_results WHERE car_nmbr = 99 AND current_status = 1 "
                                   "GROUP BY league_nmbr, race_nmbr, team_nmbr ORDER BY 1 DESC LIMIT 1")
                  .toInt(),
              1); // two rules met at once
    EXPECT_GT(TestDataFile::scalar("SELECT count(*) FROM team_results WHERE team_nmbr = 805 AND car_nmbr = 3 "
                                   "AND race_nmbr = 1")
                  .toInt(),
              1); // one car held twice
    EXPECT_GT(TestDataFile::scalar("SELECT count(*) FROM team_results WHERE current_status = 2 AND place > 0 "
                                   "AND place < 999")
                  .toInt(),
              0); // a car dropped from its team that ran the race
    EXPECT_EQ(TestDataFile::scalar("SELECT count(*) FROM team_results WHERE team_nmbr = 805 AND car_nmbr = 3 "
                                   "AND race_nmbr = 6 AND league_nmbr = 701")
                  .toInt(),
              1); // the car held twice leaves one dropped row
}

// The site script runs at its step inside the all-leagues posting: it sees the rows the chain
// shows it (this league's up to the bonuses, every earlier league's whole, no later one's), and what
// it changes is scored as the chain scores it. The first script notes what it sees as head-to-head
// rows, which the comparison reads too.
TEST_F(PostingEngine, SiteScriptsSeeAndLeaveWhatTheChainsDo) {
    const QString sees =
        "INSERT INTO race_head_head SELECT %race_nmbr%, %league_nmbr%,"
        " (SELECT count(*) FROM team_results WHERE race_nmbr = %race_nmbr%) * 10000"
        "  + (SELECT count(*) FROM team_results_summary WHERE race_nmbr = %race_nmbr%) * 10"
        "  + (SELECT count(*) FROM team_car WHERE car_nmbr = 99),"
        " (SELECT coalesce(sum(rowid * (place + 2 * qualified + 3 * current_status + 5 * fast_qual_bonus"
        "  + 7 * laps_led_bonus + 11 * most_laps_led_bonus + 13 * adjustment + 17 * points + 19 * qual_points"
        "  + 23 * total_points + 29 * league_nmbr + 31 * car_nmbr + 37 * team_nmbr)), 0)"
        "  FROM team_results WHERE race_nmbr = %race_nmbr%);\n";
    const QString ownRows = " WHERE league_nmbr = %league_nmbr% AND race_nmbr = %race_nmbr%";
    const QStringList scripts = {
        // reads only
        "/* nothing to change */ SELECT count(*) FROM team_results" + ownRows,
        sees,
        // places, qualifying positions, bonuses and adjustments changed, a row removed
        "UPDATE team_results SET adjustment = adjustment + car_nmbr, laps_led_bonus = 2 * laps_led_bonus,"
        " qualified = CASE qualified WHEN 3 THEN 1 WHEN 1 THEN 3 ELSE qualified END,"
        " place = CASE WHEN car_nmbr = 4 THEN 0 ELSE place END" +
            ownRows + ";\r\nDELETE FROM team_results" + ownRows + " AND car_nmbr = 5;\r\n" + sees,
        // rows of earlier races (the totals carried from them) and of the leagues already posted
        "UPDATE team_results SET points = points + 1, total_points = total_points + 3"
        " WHERE league_nmbr <> %league_nmbr% OR race_nmbr <> %race_nmbr%;\n" +
            sees,
        // statements that fail, each with its box, and the rest still run
        "UPDATE nowhere SET a = 1;\nSELECT abs(-9223372036854775807 - 1);\n"
        "UPDATE team_results SET adjustment = 4" +
            ownRows + " AND place = 1;\n" + sees,
        // what the engine leaves to the chain's later steps: a row added, one of a car held twice
        // changed alone, a value that is not a whole number, a sum beyond 32 bits (its box, and the
        // league rolled back), a row moved to a league posted later
        "INSERT INTO team_results (race_nmbr, place, car_nmbr, team_nmbr, league_nmbr)"
        " SELECT %race_nmbr%, 1, 12, 805, %league_nmbr% WHERE %league_nmbr% = 701;\n" +
            sees,
        "UPDATE team_results SET qualified = 9, adjustment = -100 WHERE rowid = (SELECT min(rowid) FROM team_results" +
            ownRows + " AND team_nmbr = 805 AND car_nmbr = 3);\n" + sees,
        "UPDATE team_results SET adjustment = '2'" + ownRows + " AND car_nmbr = 2;\n" + sees,
        "UPDATE team_results SET adjustment = 2147483600" + ownRows + " AND %league_nmbr% = 700 AND place = 1;\n" +
            "DELETE FROM team_results WHERE rowid = (SELECT max(rowid) FROM team_results" + ownRows + ");\n" + sees,
        "UPDATE team_results SET league_nmbr = 703" + ownRows + " AND %league_nmbr% = 700 AND car_nmbr = 2;\n" + sees,
        // the league's rows copied into a league posted after it, and a row moved on into another
        "INSERT INTO team_results (race_nmbr, place, qualified, car_nmbr, team_nmbr, current_status,"
        " fast_qual_bonus, laps_led_bonus, most_laps_led_bonus, adjustment, points, qual_points, total_points,"
        " league_nmbr) SELECT race_nmbr, place, qualified, car_nmbr, team_nmbr, current_status, fast_qual_bonus,"
        " laps_led_bonus, most_laps_led_bonus, adjustment, points, qual_points, total_points, 701 FROM team_results" +
            ownRows + " AND %league_nmbr% = 700;\n",
        "UPDATE team_results SET league_nmbr = 702" + ownRows + " AND %league_nmbr% = 701 AND car_nmbr = 8;\n",
        // a row moved to the race a later league carries its totals from
        "UPDATE team_results SET league_nmbr = 702, race_nmbr = 1" + ownRows +
            " AND %league_nmbr% = 701 AND %race_nmbr% = 3 AND car_nmbr = 8;\n",
    };
    QStringList shown; // the start of every box
    for (const QString& text : scripts) {
        QFile script(QDir(programFolder()).filePath("scoring.qv"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(text.toUtf8());
        script.close();
        for (int race : {1, 2, 3, 4, 6, 3, 1}) {
            EXPECT_TRUE(postBothWays(race)) << "race " << race << "\n" << qPrintable(text);
            for (const auto& box : data.ui().boxes)
                shown << box.text.left(7);
        }
        if (HasFailure())
            return;
    }
    // The scripts did what they were written for.
    EXPECT_GT(TestDataFile::count("SELECT count(*) FROM race_head_head"), 10);
    EXPECT_TRUE(shown.contains("Overflo"));
    EXPECT_TRUE(shown.contains("Error ="));
}

TEST_F(PostingEngine, TiesDropsAndAnEmptyRaceMatchTheChain) {
    // Every car finishing level on points: ties everywhere, in drops and in places.
    exec("UPDATE scoring_points SET points = 10 WHERE scoring_type_nmbr = 600");
    exec("UPDATE scoring_type SET laps_led_bonus = 0, most_laps_led_bonus = 0, fast_qual_bonus = 0");
    exec("DELETE FROM scoring_points WHERE scoring_type_nmbr = 600 AND place > 1");
    for (int race : {1, 3, 4, 6, 2})
        EXPECT_TRUE(postBothWays(race)) << "race " << race;
    // Results of race 5 only now: its earlier races get filler rows, and a race with no results
    // is still only cleared.
    exec("DELETE FROM results WHERE race_nmbr = 3");
    for (int race : {3, 4, 6})
        postBothWays(race);
}

TEST_F(PostingEngine, TeamsThatJoinOrLeaveAndOtherTeamsHoldingsMatchTheChain) {
    for (int race : {1, 3})
        EXPECT_TRUE(postBothWays(race)) << "race " << race;
    // A team joins a league after its first races: it is missing from their summaries. A team
    // that has left another league is still in that league's summaries.
    addMember({.league = 700, .team = 810});
    exec("DELETE FROM league_teams WHERE league_nmbr = 701 AND team_nmbr = 806");
    // A team of no league holds a car from a date in a form of its own, which nothing here reads.
    addTeam({.nmbr = 899, .name = "Kilo"});
    addHolding({.team = 899, .car = 4, .from = "3/1/2024"});
    for (int race : {4, 6})
        EXPECT_TRUE(postBothWays(race)) << "race " << race;
    EXPECT_EQ(TestDataFile::scalar("SELECT group_concat(race_nmbr) FROM team_results_summary WHERE league_nmbr = 700"
                                   " AND team_nmbr = 810 AND points = 0")
                  .toString(),
              "1,2,3,4,6"); // filled in for the earlier races; race 6 from its own rows
    EXPECT_TRUE(postBothWays(1));

    // A member's holding dated that way is compared by the chain as the text it is.
    addMember({.league = 700, .team = 899});
    cRaces race;
    race.load(6);
    cLeagueCollection leagues;
    leagues.load(1);
    Transaction tx;
    EXPECT_FALSE(postRaceAllLeagues(race, leagues, SqlScript()));
    tx.rollback();
}

// What one posting leaves for the next (which members have summary rows in the earlier races; the
// members, their holdings and cars; the rows of the races it read and wrote) spares the next the
// reading of it, and whatever changes it in between is seen: each posting writes what the chain writes.
TEST_F(PostingEngine, WhatAPostingLeavesForTheNextFollowsEveryChange) {
    // What the postings leave, looked at and kept as it was.
    const auto left = [&] {
        PostingMemory memory = PostingMemory::take(*gConnection);
        const auto* summaries = memory.known<allleagues::CompleteSummaries>();
        const QSet<std::pair<int, int>> complete = summaries ? summaries->pairs : QSet<std::pair<int, int>>();
        const bool holdings = memory.known<allleagues::Reading>() != nullptr;
        PostingMemory::put(*gConnection, std::move(memory));
        return std::pair{complete, holdings};
    };
    // Lima holds nothing: it has no summary row of any race until the filler writes one.
    addTeam({.nmbr = 812, .name = "Lima"});
    addMember({.league = 702, .team = 812});
    // Race 1 gives bonus entries, which the next postings find among the holdings left to them.
    for (int race : {1, 2, 3})
        postRememberingBothWays(race);
    // Every member has a row in the races before race 3; in race 3 only where each had rows.
    auto [complete, holdings] = left();
    EXPECT_TRUE(complete.contains({700, 2}) && complete.contains({702, 2}) && complete.contains({700, 3}));
    EXPECT_FALSE(complete.contains({702, 3}));
    EXPECT_TRUE(holdings);

    postRememberingBothWays(4);
    // Race 2's posting removed on its own: race 6 fills it in again.
    const auto removePosting = [&](int raceNmbr) {
        cRaces race;
        race.load(raceNmbr);
        EXPECT_TRUE(deleteRacePosting(race));
        std::tie(complete, holdings) = left();
        EXPECT_TRUE(complete.contains({700, 1}) && !complete.contains({700, raceNmbr}) && holdings); // still in use
    };
    removePosting(2);
    postRememberingBothWays(6);
    postRememberingBothWays(1); // an earlier race posted again
    // A posting inside a transaction that is rolled back leaves nothing of what it wrote.
    removePosting(3);
    {
        Transaction tx;
        cRaces race6;
        race6.load(6);
        EXPECT_TRUE(postRace(race6));
        tx.rollback();
    }
    std::tie(complete, holdings) = left();
    EXPECT_TRUE(complete.contains({700, 1}) && !complete.contains({700, 3}));
    postRememberingBothWays(6);

    // Changes made elsewhere: a posting cleared, the rows race 6 carries on from changed by hand, a
    // team joining and one leaving a league, a member that becomes a team only later, a summary row
    // removed by hand, a holding added, a car that becomes one of another race type.
    cResultsCollection().deletePosting(3);
    postRememberingBothWays(6);
    exec("UPDATE team_results SET total_points = total_points + 100 WHERE race_nmbr = 4");
    postRememberingBothWays(6);
    addMember({.league = 700, .team = 809});
    exec("DELETE FROM league_teams WHERE league_nmbr = 701 AND team_nmbr = 806");
    postRememberingBothWays(4);
    addMember({.league = 701, .team = 813});
    postRememberingBothWays(6);
    addTeam({.nmbr = 813, .name = "Mike"});
    postRememberingBothWays(6);
    exec("DELETE FROM team_results_summary WHERE league_nmbr = 700 AND race_nmbr = 1 AND team_nmbr = 802");
    postRememberingBothWays(6);
    addHolding({.team = 813, .car = 7});
    postRememberingBothWays(6);
    exec("UPDATE cars SET race_type_nmbr = 2 WHERE car_nmbr = 12");
    postRememberingBothWays(6);
    // The file written while the program's connection was closed, and opened again by the same
    // connection, as a restore does.
    gConnection->CloseConnection();
    {
        SqlDatabase other;
        ASSERT_TRUE(other.open(dataFilePath(), dataFileKey(), false, true));
        ASSERT_TRUE(other.exec("DELETE FROM team_results_summary WHERE league_nmbr = 702 AND race_nmbr = 2"));
        ASSERT_TRUE(other.exec("DELETE FROM team_car WHERE team_nmbr = 813"));
    }
    ASSERT_EQ(gConnection->openAccessConnection(), 0);
    postRememberingBothWays(6);
    EXPECT_EQ(TestDataFile::scalar("SELECT group_concat(race_nmbr) FROM team_results_summary WHERE league_nmbr = 701"
                                   " AND team_nmbr = 813")
                  .toString(),
              "1,2,3,4"); // filled in once Mike is a team; its holding is gone again
}

// Where the chain could go its own way, the engine leaves the race to it, writing nothing.
TEST_F(PostingEngine, StandsBackWhereTheChainCouldBehaveDifferently) {
    const auto standsBack = [&](const char* what) {
        const QStringList before = everything();
        cRaces race;
        race.load(1);
        Transaction tx;
        data.ui().clear();
        ASSERT_TRUE(deleteRacePosting(race));
        cLeagueCollection leagues;
        leagues.load(1);
        const QStringList cleared = everything();
        SqlScript script;
        EXPECT_TRUE(script.read("scoring.qv"));
        EXPECT_FALSE(postRaceAllLeagues(race, leagues, script)) << what;
        EXPECT_EQ(everything(), cleared) << what;
        EXPECT_EQ(data.ui().progressSteps, 0) << what;
        EXPECT_TRUE(data.ui().boxes.isEmpty()) << what;
        tx.rollback();
        EXPECT_EQ(everything(), before) << what;
    };
    // A site script that changes what the posting reads, other than the league's rows of the race,
    // or that would be refused (the chain shows that).
    for (const char* text : {"UPDATE results SET adjustment = 1 WHERE race_nmbr = %race_nmbr% AND car_nmbr = 7",
                             "SELECT 1;\nUPDATE team_car SET active = 0 WHERE car_nmbr = -%league_nmbr%",
                             "SELECT password FROM publish", "PRAGMA user_version = 7"}) {
        QFile script(QDir(programFolder()).filePath("scoring.qv"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(text);
        script.close();
        standsBack(text);
        script.remove();
    }
    exec("UPDATE leagues SET scoring_option_nmbr = 3 WHERE league_nmbr = 704");
    standsBack("an invalid scoring option");
    exec("UPDATE leagues SET scoring_option_nmbr = 1 WHERE league_nmbr = 704");
    exec("UPDATE results SET adjustment = '1.5' WHERE race_nmbr = 1 AND car_nmbr = 7");
    standsBack("a value that is not a whole number");
    exec("UPDATE results SET adjustment = 2147483647 WHERE race_nmbr = 1 AND car_nmbr = 7");
    standsBack("points beyond 32 bits");
    exec("UPDATE results SET adjustment = 0 WHERE race_nmbr = 1 AND car_nmbr = 7");
    exec("UPDATE scoring_type SET fast_qual_bonus = NULL WHERE scoring_type_nmbr = 601");
    standsBack("an empty bonus amount");
    exec("UPDATE scoring_type SET fast_qual_bonus = -1 WHERE scoring_type_nmbr = 601");
    exec("DELETE FROM cars WHERE car_nmbr = 99");
    standsBack("no bonus entry");

    // And the whole posting then goes the chain's way: the bonus entry is made, the box shown.
    exec("UPDATE leagues SET scoring_option_nmbr = 0 WHERE league_nmbr = 704");
    cRaces race;
    race.load(1);
    postRace(race);
    EXPECT_EQ(TestDataFile::scalar("SELECT count(*) FROM cars WHERE car_type_nmbr = 3").toInt(), 1);
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_EQ(data.ui().boxes[0].text, "Invalid Scoring Method");
}

// ---- a killed posting ----

// Kills its own process at the n-th progress step: a posting stopped in the middle.
class KillingUi final : public UiServices {
public:
    explicit KillingUi(int n) : m_n(n) {}
    int messageBox(const QString&, const QString&, MsgIcon, MsgButtons) override { return AnswerOk; }
    void setStatusText(const QString&) override {}
    void setPointer(int) override {}
    int pointer() const override { return 0; }
    void beep() override {}
    void stepProgress() override {
        if (++m_steps == m_n)
            ::raise(SIGKILL);
    }
    bool playWave(const QString&) override { return false; }

private:
    int m_n;
    int m_steps = 0;
};

QString dumpPosting() {
    SqlRows a, b;
    gConnection->getConnection()->query(
        "SELECT league_nmbr, race_nmbr, team_nmbr, car_nmbr, current_status, place, qualified, fast_qual_bonus, "
        "laps_led_bonus, most_laps_led_bonus, adjustment, points, qual_points, total_points FROM team_results "
        "ORDER BY 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14",
        &a);
    gConnection->getConnection()->query("SELECT * FROM team_results_summary ORDER BY 1, 2, 3, 4, 5", &b);
    QString out;
    for (const auto& r : a.rows + b.rows) {
        for (const QVariant& v : r)
            out += v.toString() + QLatin1Char(',');
        out += QLatin1Char('\n');
    }
    return out;
}

// Runs body in a child process with its own connection; returns the wait status.
template <class F> int inChild(F body, int killAfterMs = -1) {
    gConnection->CloseConnection();
    const pid_t pid = fork();
    if (pid == 0) {
        connectDatabase();
        body();
        _exit(0);
    }
    if (killAfterMs >= 0) {
        usleep(useconds_t(killAfterMs) * 1000);
        kill(pid, SIGKILL);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(connectDatabase());
    return status;
}

bool integrityOk() {
    return TestDataFile::scalar("PRAGMA integrity_check").toString() == "ok";
}

// Every row of every table, and the schema: what "the data file as it was" means.
QString dumpData() {
    SqlDatabase& db = *gConnection->getConnection();
    SqlRows tables;
    db.query("SELECT type, name, sql FROM sqlite_master UNION ALL SELECT type, name, sql FROM sqlite_temp_master "
             "ORDER BY 1, 2",
             &tables);
    QString out;
    for (const auto& t : tables.rows) {
        out += t[0].toString() + ' ' + t[1].toString() + ' ' + t[2].toString() + '\n';
        if (t[0].toString() != "table")
            continue;
        SqlRows rows;
        db.query(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(t[1].toString()), &rows);
        for (const auto& r : rows.rows) {
            for (const QVariant& v : r)
                out += v.toString() + QLatin1Char(',');
            out += QLatin1Char('\n');
        }
    }
    return out;
}

void writeScript(const QByteArray& text, const char* name = "scoring.qv") {
    QFile script(QDir(programFolder()).filePath(name));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(text);
}

bool transactionOpen() {
    return gConnection->getConnection()->inTransaction() || gConnection->getWorkSpace().depth();
}

TEST_F(Posting, SiteScriptThatDoesMoreThanChangeRowsFailsTheRaceAndKeepsTheEarlierPosting) {
    league({.nmbr = 502, .scoringType = 600}, {Alpha});
    TestDataFile::exec("UPDATE publish SET location = 'ftp.example.org/league', username = 'ann', password = 's3cret'");
    post(1);
    const QString before = dumpData();
    // Refused before anything runs, or stopped when it ended the transaction (the ON CONFLICT
    // ROLLBACK), made too long a value, could not be read or was stopped by the user: either way one box
    // and the data file as it was, the earlier posting included.
    const auto failsWhole = [&](const QByteArray& text, const QString& why) {
        for (auto posting : {postRace, postRaceLeagueByLeague}) {
            writeScript(text);
            data.ui().clear();
            cRaces race;
            race.load(1);
            EXPECT_FALSE(posting(race)) << text.constData(); // given up as a whole
            ASSERT_EQ(data.ui().boxes.size(), 1) << text.constData() << "\n" << qPrintable(data.ui().lastBoxText());
            EXPECT_TRUE(data.ui().boxes[0].text.startsWith("Error trying to run "))
                << qPrintable(data.ui().boxes[0].text);
            EXPECT_TRUE(data.ui().boxes[0].text.contains(why + "; the earlier posting of the race stays as it was"))
                << qPrintable(data.ui().boxes[0].text);
            EXPECT_EQ(data.ui().boxes[0].title, "Quorvanti Error");
            EXPECT_FALSE(transactionOpen()) << text.constData();
            EXPECT_EQ(dumpData(), before) << text.constData();
        }
    };
    const QByteArray scripts[] = {
        "UPDATE team_results SET adjustment = 7 WHERE league_nmbr = %league_nmbr% AND race_nmbr = %race_nmbr%;\r\n"
        "-- keep what is there\r\nCOMMIT;\r\n",
        "UPDATE team_results SET adjustment = 7 WHERE league_nmbr = %league_nmbr% AND race_nmbr = %race_nmbr%;\n"
        "INSERT OR ROLLBACK INTO leagues (league_nmbr) VALUES (%league_nmbr%);\n",
        "CREATE TRIGGER `stop'it` BEFORE INSERT ON team_results_summary BEGIN SELECT RAISE(ROLLBACK, 'x'); END;",
        "CREATE TEMP TABLE kept (a);",
        "PRAGMA rekey = 'another key';",
        "SAVEPOINT s; UPDATE team_results SET adjustment = 7; RELEASE s;",
        "END; BEGIN;",
        // the FTP password into every report page
        "UPDATE cars SET driver_name = (SELECT username || ':' || password FROM publish) WHERE car_nmbr = 1;",
        "UPDATE publish SET location = 'ftp.elsewhere.example';",
        "UPDATE team_results SET adjustment = 7 WHERE league_nmbr = %league_nmbr%;\nSELECT "
        "hex(fts3_tokenizer('simple'));",
        "SELECT load_extension('/tmp/libnothing.so');",
        QByteArray("UPDATE team_results SET adjustment = 7;\n") + '\0' + "\nSELECT 1;\n",
        "UPDATE team_results SET adjustment = 7;\n-- " + QByteArray(SqlScript::kMaxFileBytes, '-'),
    };
    // Should one of the values below not fail by itself, the user stops it, and the box says so.
    data.ui().stopAtAsk = 100;
    for (const QByteArray& text : scripts)
        failsWhole(text, "");
    // printf, whose engine stores NULL there, and builds a number of two billion digits first.
    failsWhole("UPDATE cars SET car_txt = car_txt || printf('%!.2147483647f', 1.5) WHERE car_nmbr = 2;",
               "the function printf cannot be used in it");
    // Values past what one call may build, each failing at once: one call that would run for a minute
    // and a half, and values grown by the other ways.
    for (const QByteArray& text : std::initializer_list<QByteArray>{
             "UPDATE cars SET sponsor = length(hex(randomblob(400000000))) WHERE car_nmbr = 1;",
             "UPDATE cars SET sponsor = zeroblob(4194305) WHERE car_nmbr = 1;",
             "UPDATE cars SET sponsor = replace(hex(zeroblob(1500000)), '0', 'ab') WHERE car_nmbr = 1;",
             "UPDATE cars SET sponsor = hex(zeroblob(1500000)) || hex(zeroblob(600000)) WHERE car_nmbr = 1;",
             "WITH RECURSIVE r(s) AS (SELECT 'x' UNION ALL SELECT s || s FROM r) SELECT count(*) FROM r;"})
        failsWhole(text, "it made or read a text or blob longer than 4194304 bytes");
    // Patterns that the engine's own matcher would try in every combination, for ever, are answered at
    // once: nothing matches, and the race is posted.
    for (auto posting : {postRace, postRaceLeagueByLeague})
        for (const char* text :
             {"UPDATE cars SET driver_name = 'x' WHERE replace(hex(zeroblob(300)), '0', 'a') GLOB '*a*a*a*a*b' AND "
              "car_nmbr = 1;",
              "UPDATE cars SET driver_name = 'x' WHERE replace(hex(zeroblob(300)), '0', 'a') LIKE '%a%a%a%a%b' AND "
              "car_nmbr = 1;"}) {
            writeScript(text);
            data.ui().clear();
            cRaces race;
            race.load(1);
            EXPECT_TRUE(posting(race)) << text;
            EXPECT_TRUE(data.ui().boxes.isEmpty()) << qPrintable(data.ui().lastBoxText());
            EXPECT_EQ(dumpData(), before) << text; // posted again as it was
        }
    // A script without end runs until the user stops it.
    data.ui().stopAtAsk = 3;
    failsWhole("UPDATE team_results SET adjustment = 7 WHERE league_nmbr = %league_nmbr% AND race_nmbr = %race_nmbr%;\n"
               "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) SELECT count(*) FROM c;\n",
               "it was stopped before its end");
    data.ui().stopAtAsk = 0;
    // What a refusal names.
    writeScript("UPDATE cars SET driver_name = (SELECT username || ':' || password FROM publish) WHERE car_nmbr = 1;");
    data.ui().clear();
    post(1);
    EXPECT_TRUE(data.ui().lastBoxText().contains(
        "Error: the table publish cannot be used in it; the earlier posting of the race stays as it was: UPDATE cars"))
        << qPrintable(data.ui().lastBoxText());
    // A file where the script should be that cannot be read.
    QFile::remove(QDir(programFolder()).filePath("scoring.qv"));
    ASSERT_TRUE(QDir(programFolder()).mkdir("scoring.qv"));
    data.ui().clear();
    post(1);
    ASSERT_EQ(data.ui().boxes.size(), 1) << qPrintable(data.ui().lastBoxText());
    EXPECT_TRUE(data.ui().boxes[0].text.startsWith("Error trying to open ")) << qPrintable(data.ui().boxes[0].text);
    EXPECT_FALSE(transactionOpen());
    EXPECT_EQ(dumpData(), before);
    ASSERT_TRUE(QDir(programFolder()).rmdir("scoring.qv"));
    // A first posting that fails leaves the race without one.
    writeScript("INSERT OR ROLLBACK INTO leagues (league_nmbr) VALUES (%league_nmbr%);");
    data.ui().clear();
    post(2);
    EXPECT_EQ(data.ui().boxes.size(), 1) << qPrintable(data.ui().lastBoxText());
    EXPECT_TRUE(data.ui().lastBoxText().contains("transaction; the race was not posted: INSERT"));
    EXPECT_EQ(dumpData(), before);
    // The key is the program's still.
    gConnection->CloseConnection();
    ASSERT_EQ(gConnection->openAccessConnection(), 0);
    EXPECT_EQ(dumpData(), before);

    // A script that only changes rows runs, and both leagues are posted whole.
    writeScript("UPDATE team_results SET adjustment = 7 WHERE league_nmbr = %league_nmbr% "
                "AND race_nmbr = %race_nmbr% AND car_nmbr = 6;\r\n");
    data.ui().clear();
    post(1);
    EXPECT_TRUE(data.ui().boxes.isEmpty()) << qPrintable(data.ui().lastBoxText());
    EXPECT_EQ(rowCount(501, 1), 12);
    EXPECT_EQ(row(501, 1, Charlie, 6).points, 37);
    EXPECT_EQ(summary(502, 1, Alpha), std::pair(269, 1));

    // The longest rows the editors and the import store are read whole, sorted and joined into one value:
    // a team with every box of the team editor full of three-byte characters, a car with every box of the
    // car editor full, and a car imported from a Windows-1252 line as long as a line may be.
    const QString full(32767, QChar(0x6F22));
    cTeam team;
    for (auto set :
         {&cTeam::setTeamName, &cTeam::setTeamOwner, &cTeam::setEmail, &cTeam::setPhone, &cTeam::setAddressLine1,
          &cTeam::setAddressLine2, &cTeam::setCity, &cTeam::setState, &cTeam::setZip})
        (team.*set)(full);
    team.setRaceTypeNmbr(1);
    team.setCarTypeNmbr(1);
    ASSERT_TRUE(team.CommitChanges());
    cCar car;
    for (auto set : {&cCar::setCarTxt, &cCar::setDriverName, &cCar::setSponsor, &cCar::setCarMake, &cCar::setCarOwner})
        (car.*set)(full);
    car.setRaceTypeNmbr(1);
    car.setCarTypeNmbr(1);
    ASSERT_TRUE(car.CommitChanges());
    writeScript("11;401;1;1;\"42\";\"" + QByteArray(9900, '\x80') + "\";\"Ford\";\"Blue Comet\";\"Ann Hale\"\r\n",
                "long.qvi");
    ASSERT_TRUE(importFile(QDir(programFolder()).filePath("long.qvi"))) << qPrintable(data.ui().lastBoxText());
    writeScript("SELECT * FROM teams ORDER BY zip, team_name;\n"
                "SELECT * FROM cars c, teams t ORDER BY c.sponsor DESC, t.city;\n"
                "UPDATE team_results SET adjustment = (SELECT max(length(team_name || team_owner || email || phone || "
                "address_line1 || address_line2 || city || state || zip)) FROM teams) + (SELECT min(length(car_owner)) "
                "FROM cars WHERE length(car_owner) > 9000) WHERE league_nmbr = %league_nmbr% AND race_nmbr = "
                "%race_nmbr% AND car_nmbr = 6;\n");
    data.ui().clear();
    post(1);
    EXPECT_TRUE(data.ui().boxes.isEmpty()) << qPrintable(data.ui().lastBoxText());
    EXPECT_EQ(row(501, 1, Charlie, 6).adjustment, 9 * 32767 + 9900);
}

// Only the user stops a site script: one that runs a while in every league is posted, and one stopped part
// way through the leagues leaves the data file as it was.
TEST_F(Posting, SiteScriptRunsUntilTheUserStopsIt) {
    for (int l = 502; l <= 505; ++l)
        league({.nmbr = l, .scoringType = 600}, {Alpha, Bravo});
    post(1);
    const QString before = dumpData();
    // Some hundred thousand steps in each league: asked in each.
    writeScript("UPDATE team_results SET adjustment = (WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c "
                "WHERE x < 100000) SELECT count(*) FROM c) / 100000 WHERE league_nmbr = %league_nmbr% AND race_nmbr = "
                "%race_nmbr% AND car_nmbr = 1;\n");
    for (auto posting : {postRace, postRaceLeagueByLeague}) {
        data.ui().clear();
        data.ui().stopAtAsk = 3;
        cRaces race;
        race.load(1);
        EXPECT_FALSE(posting(race));
        ASSERT_EQ(data.ui().boxes.size(), 1) << qPrintable(data.ui().lastBoxText());
        EXPECT_TRUE(data.ui().boxes[0].text.contains(
            "it was stopped before its end; the earlier posting of the race stays as it was"))
            << qPrintable(data.ui().lastBoxText());
        EXPECT_EQ(data.ui().stopText, "Running the site script for Race One...\r\nStop leaves Race One as it was.");
        EXPECT_EQ(data.ui().stoppablesEnded, 1);
        EXPECT_FALSE(transactionOpen());
        EXPECT_EQ(dumpData(), before);
    }
    for (auto posting : {postRace, postRaceLeagueByLeague}) {
        data.ui().clear();
        data.ui().stopAtAsk = 0;
        cRaces race;
        race.load(1);
        EXPECT_TRUE(posting(race));
        EXPECT_TRUE(data.ui().boxes.isEmpty()) << qPrintable(data.ui().lastBoxText());
        EXPECT_GE(data.ui().stopAsks, 5);
        EXPECT_EQ(data.ui().stoppablesEnded, 1);
        for (int l = 501; l <= 505; ++l)
            EXPECT_EQ(row(l, 1, Alpha, 1).adjustment, 1) << l;
    }
}

TEST_F(Posting, StatementThatEndsThePostingsTransactionFailsTheWholeRace) {
    league({.nmbr = 502, .scoringType = 600}, {Alpha});
    post(1);
    // A trigger in the data file (no script can leave one now) ends the transaction in the second league.
    TestDataFile::exec("CREATE TRIGGER stale BEFORE INSERT ON team_results_summary WHEN NEW.league_nmbr = 502 "
                       "BEGIN SELECT RAISE(ROLLBACK, 'stale trigger'); END");
    TestDataFile::exec("UPDATE results SET place = 8 - place WHERE race_nmbr = 1 AND place > 0");
    const QString before = dumpData();
    for (auto posting : {postRace, postRaceLeagueByLeague})
        for (int race : {1, 2}) {
            data.ui().clear();
            cRaces r;
            r.load(race);
            posting(r);
            ASSERT_EQ(data.ui().boxes.size(), 1) << race << qPrintable(data.ui().lastBoxText());
            EXPECT_TRUE(data.ui().boxes[0].text.contains("stale trigger")) << qPrintable(data.ui().boxes[0].text);
            EXPECT_FALSE(transactionOpen());
            EXPECT_EQ(dumpData(), before) << race;
        }
}

// A data file on a disk that fills up while a race is posted: one box says so and what became of the race,
// and the data file reads whole and as it was, however far the posting had come.
TEST_F(Posting, AFullDiskFailsThePostingWholeWithOneBox) {
    post(1);
    // Sixty times the rows of the earlier posting: the posting needs room the disk no longer has.
    TestDataFile::exec("UPDATE results SET place = 8 - place WHERE race_nmbr = 1 AND place > 0");
    for (int l = 502; l <= 560; ++l)
        league({.nmbr = l, .scoringType = 600}, {Alpha, Bravo, Charlie});
    SmallDisk disk(2048);
    if (!disk.ok())
        GTEST_SKIP() << qPrintable(disk.why());
    gConnection->CloseConnection();
    ASSERT_TRUE(QFile::copy(dataFilePath(), QDir(disk.path()).filePath(kDataFileName)));
    setProgramFolder(disk.path());
    ASSERT_TRUE(connectDatabase());
    const QString before = dumpData();
    const QString full = "Error: the disk that holds the data file '" + dataFilePath() + "' is full; ";
    const QString kept = "the earlier posting of the race stays as it was.";
    // Also with a site script whose writes find the disk full: its statements show no box of their own.
    for (const char* script : {"", "INSERT INTO race_head_head VALUES (%race_nmbr%, %league_nmbr%, 1, 2);\n"
                                   "UPDATE cars SET sponsor = hex(zeroblob(3000));\n"})
        for (auto posting : {postRace, postRaceLeagueByLeague})
            for (int step : {0, 1, 5, 40, 400, 1500})
                for (int raceNmbr : {1, 2}) {
                    writeScript(script);
                    // Each from the file just opened, whatever the failure before left of the journal.
                    gConnection->CloseConnection();
                    ASSERT_TRUE(connectDatabase());
                    data.ui().clear();
                    data.ui().onStep = {step, [&] { disk.fill(); }};
                    if (step == 0)
                        disk.fill();
                    cRaces race;
                    race.load(raceNmbr);
                    EXPECT_FALSE(posting(race)) << step;
                    for (const char* filler : {".filler", ".filler2"})
                        QFile::remove(QDir(disk.path()).filePath(filler));
                    ASSERT_EQ(data.ui().boxes.size(), 1) << step << qPrintable(data.ui().boxes.value(1).text);
                    EXPECT_EQ(data.ui().boxes[0].text, "Error trying to post " + race.raceName() + ".\n\n" + full +
                                                           (raceNmbr == 1 ? kept : "the race was not posted."));
                    EXPECT_FALSE(transactionOpen());
                    EXPECT_EQ(dumpData(), before) << step;
                }
    // Read from the disk again: whole, and as it was.
    gConnection->CloseConnection();
    ASSERT_TRUE(connectDatabase());
    EXPECT_EQ(checkOpenDataFile(), QString());
    EXPECT_TRUE(integrityOk());
    EXPECT_EQ(dumpData(), before);
}

TEST_F(Posting, KilledInTheMiddleLeavesTheEarlierPostingWhole) {
    league({.nmbr = 502, .scoringOption = 2, .scoringType = 600, .dropLowest = 1}, {Alpha, Bravo, Charlie});
    post(1);
    post(2);
    const QString earlier = dumpPosting();
    ASSERT_FALSE(earlier.isEmpty());
    // Different results, so a half-written new posting could not pass for the old one.
    TestDataFile::exec("UPDATE results SET place = 8 - place WHERE race_nmbr = 1 AND place > 0");

    for (int steps : {1, 5, 20, 40}) {
        const int status = inChild([steps] {
            KillingUi killer(steps);
            setUi(&killer);
            cRaces race;
            race.load(1);
            postRace(race);
        });
        ASSERT_TRUE(WIFSIGNALED(status)) << "posting finished before step " << steps;
        EXPECT_EQ(WTERMSIG(status), SIGKILL);
        EXPECT_TRUE(integrityOk());
        EXPECT_EQ(dumpPosting(), earlier) << "killed at progress step " << steps;
    }
}

TEST_F(Posting, KilledFromOutsideLeavesOneWholePosting) {
    league({.nmbr = 502, .scoringOption = 2, .scoringType = 600, .dropLowest = 1}, {Alpha, Bravo, Charlie});
    const QString flip = "UPDATE results SET place = 8 - place WHERE race_nmbr = 1 AND place > 0";
    // One round of both results first: the bonus-car holdings a posting leaves behind are then in place.
    post(1);
    TestDataFile::exec(flip);
    post(1);
    TestDataFile::exec(flip);
    post(1);
    const QString before = dumpPosting();
    TestDataFile::exec(flip);
    post(1);
    const QString after = dumpPosting();
    ASSERT_NE(before, after);
    TestDataFile::exec(flip);
    post(1);
    ASSERT_EQ(dumpPosting(), before);

    // The child keeps posting the changed results until it is killed at some moment: whatever
    // that moment, one whole posting is there, the earlier one or a new one.
    for (int ms : {40, 60, 80, 120}) {
        inChild(
            [] {
                TestDataFile::exec("UPDATE results SET place = 8 - place WHERE race_nmbr = 1 AND place > 0");
                for (;;) {
                    cRaces race;
                    race.load(1);
                    postRace(race);
                }
            },
            ms);
        EXPECT_TRUE(integrityOk());
        const QString now = dumpPosting();
        EXPECT_TRUE(now == before || now == after) << "killed after " << ms << " ms";
        if (TestDataFile::scalar("SELECT place FROM results WHERE race_nmbr = 1 AND car_nmbr = 1").toInt() != 1)
            TestDataFile::exec("UPDATE results SET place = 8 - place WHERE race_nmbr = 1 AND place > 0");
        post(1);
        ASSERT_EQ(dumpPosting(), before);
    }
}

} // namespace
