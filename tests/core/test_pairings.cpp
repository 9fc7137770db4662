#include "Rows.h"
#include "TestDataFile.h"
#include "posting/cRaceHeadHead.h"
#include "posting/cRaceHeadHeadCollection.h"

#include <gtest/gtest.h>

namespace {

QString pairingsOf(int race, int league) {
    return TestDataFile::scalar(
               QStringLiteral("SELECT group_concat(p) FROM (SELECT team_nmbr1 || 'v' || team_nmbr2 AS p"
                              " FROM race_head_head WHERE race_nmbr = %1 AND league_nmbr = %2"
                              " ORDER BY team_nmbr1)")
                   .arg(race)
                   .arg(league))
        .toString();
}

} // namespace

TEST(Pairings, UpdateReplacesOneLeaguesPairingsOfTheRace) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addPairing({.race = 9, .league = 3, .team1 = 505, .team2 = 506});
    addPairing({.race = 9, .league = 4, .team1 = 601, .team2 = 602});
    addPairing({.race = 10, .league = 3, .team1 = 505, .team2 = 506});

    cRaceHeadHeadCollection list;
    list.Add(9, 3, 501, 502);
    list.Add(9, 3, 503, 504);
    ASSERT_TRUE(list.update(3, 9));
    EXPECT_EQ(pairingsOf(9, 3), "501v502,503v504");
    EXPECT_EQ(pairingsOf(9, 4), "601v602");
    EXPECT_EQ(pairingsOf(10, 3), "505v506");

    // Every row turned into a bye: the league's pairings of the race are cleared.
    cRaceHeadHeadCollection empty;
    ASSERT_TRUE(empty.update(3, 9));
    EXPECT_EQ(pairingsOf(9, 3), "");
    EXPECT_EQ(pairingsOf(9, 4), "601v602");
    EXPECT_TRUE(data.ui().boxes.isEmpty());
}

TEST(Pairings, AFailedInsertRollsBackTheWholeUpdate) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addPairing({.race = 9, .league = 3, .team1 = 505, .team2 = 506});
    TestDataFile::exec("CREATE TRIGGER refuse BEFORE INSERT ON race_head_head WHEN NEW.team_nmbr1 = 503"
                       " BEGIN SELECT RAISE(ABORT, 'refused'); END");
    cRaceHeadHeadCollection list;
    list.Add(9, 3, 501, 502);
    list.Add(9, 3, 503, 504);
    EXPECT_FALSE(list.update(3, 9));
    EXPECT_EQ(data.ui().boxes.size(), 1);
    EXPECT_EQ(pairingsOf(9, 3), "505v506");
}

TEST(Pairings, LoadFiltersAndSinglePairings) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addPairing({.race = 9, .league = 3, .team1 = 501, .team2 = 502});
    addPairing({.race = 10, .league = 3, .team1 = 501, .team2 = 503});
    addPairing({.race = 9, .league = 4, .team1 = 601, .team2 = 602});
    {
        cRaceHeadHeadCollection l;
        EXPECT_EQ(l.load(3), 2);
    }
    {
        cRaceHeadHeadCollection r;
        EXPECT_EQ(r.load(std::nullopt, 9), 2);
    }
    {
        cRaceHeadHeadCollection both;
        EXPECT_EQ(both.load(3, 9), 1);
        EXPECT_EQ(both.Item(1)->teamnmbr2(), 502);
        EXPECT_EQ(both.load(), 4); // appends every pairing
    }
    cRaceHeadHead one;
    ASSERT_TRUE(one.load(10, 501, 503));
    EXPECT_EQ(one.leagueNmbr(), 3);
    EXPECT_TRUE(one.deleteRow());
    EXPECT_EQ(TestDataFile::scalar("SELECT count(*) FROM race_head_head").toInt(), 2);
}
