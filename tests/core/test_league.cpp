#include "Rows.h"
#include "TestDataFile.h"
#include "data/cLeague.h"
#include "data/cLeagueTeams.h"
#include "data/cTeam.h"

#include <gtest/gtest.h>

namespace {

// A league with members, posted rows and pairings, so that a delete has something everywhere.
void addPostedLeague(int league) {
    addLeague({.nmbr = league, .name = QStringLiteral("L%1").arg(league)});
    addTeam({.nmbr = 700, .name = "Apaches"});
    addTeam({.nmbr = 701, .name = "Mustangs"});
    addMember({.league = league, .team = 700});
    addMember({.league = league, .team = 701});
    addTeamResult({.race = 1, .car = 10, .team = 700, .league = league});
    addSummary({.race = 1, .team = 700, .league = league});
    addPairing({.race = 1, .league = league, .team1 = 700, .team2 = 701});
    addHolding({.team = 700, .car = 10});
}

} // namespace

TEST(League, NumbersStartAt500AndFollowTheLargest) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    cLeague a;
    ASSERT_TRUE(a.CommitChanges());
    EXPECT_EQ(a.leagueNmbr(), 500);
    cLeague b;
    ASSERT_TRUE(b.insertRow());
    EXPECT_EQ(b.leagueNmbr(), 501);

    TestDataFile::exec("DELETE FROM leagues");
    addLeague({.nmbr = 3, .name = "L3"});
    cLeague c;
    ASSERT_TRUE(c.insertRow());
    EXPECT_EQ(c.leagueNmbr(), 500);

    addLeague({.nmbr = 612, .name = "L612"});
    cLeague d;
    ASSERT_TRUE(d.insertRow());
    EXPECT_EQ(d.leagueNmbr(), 613);
}

TEST(League, RoundTripsQuotesAndMoneyAndUpdatesAfterInsert) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    cLeague league;
    league.setLeagueName("Owners' League");
    league.setLeagueShortName("O'L");
    league.setRaceTypeNmbr(2);
    league.setCarTypeNmbr(2);
    league.setScoringTypeNmbr(1);
    league.setScoringOptionNmbr(2);
    league.setDropLowest(3);
    league.setSalaryCap(Currency::fromUnits(12345600)); // 1234.56
    ASSERT_TRUE(league.CommitChanges());
    const int n = league.leagueNmbr();

    cLeague back;
    ASSERT_EQ(back.load(n), 1);
    EXPECT_EQ(back.leagueName(), "Owners' League");
    EXPECT_EQ(back.leagueShortName(), "O'L");
    EXPECT_EQ(back.salaryCap(), Currency::fromUnits(12345600));
    EXPECT_EQ(back.raceTypeNmbr(), 2);
    EXPECT_EQ(back.carTypeNmbr(), 2);
    EXPECT_EQ(back.scoringOptionNmbr(), 2);
    EXPECT_EQ(back.dropLowest(), 3);

    // A second save of the same object updates its row instead of adding one.
    league.setSalaryCap(Currency::fromUnits(7500000));
    league.setLeagueName("It's Renamed");
    ASSERT_TRUE(league.CommitChanges());
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM leagues"), 1);
    ASSERT_EQ(back.load(n), 1);
    EXPECT_EQ(back.leagueName(), "It's Renamed");
    EXPECT_EQ(back.salaryCap().toString(), "750.00");

    // A copy is independent of its source.
    auto copy = back.copy();
    copy->setLeagueName("Other");
    EXPECT_EQ(back.leagueName(), "It's Renamed");
    EXPECT_EQ(copy->leagueNmbr(), n);

    // A number without a row leaves the object as it was.
    EXPECT_EQ(back.load(9999), 0);
    EXPECT_EQ(back.leagueNmbr(), n);
    EXPECT_TRUE(data.ui().boxes.isEmpty());
}

TEST(League, FailedInsertGivesTheOldNumberBack) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    // The key query still works but the insert cannot: the column set no longer matches.
    TestDataFile::exec("ALTER TABLE leagues RENAME TO leagues_old");
    TestDataFile::exec("CREATE TABLE leagues (league_nmbr INTEGER PRIMARY KEY)");
    cLeague league;
    league.setLeagueName("New");
    EXPECT_FALSE(league.CommitChanges());
    EXPECT_EQ(league.leagueNmbr(), 0);
    EXPECT_EQ(data.ui().boxes.size(), 1);

    TestDataFile::exec("DROP TABLE leagues");
    TestDataFile::exec("ALTER TABLE leagues_old RENAME TO leagues");
    ASSERT_TRUE(league.CommitChanges());
    EXPECT_EQ(league.leagueNmbr(), 500);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM leagues WHERE league_name = 'New'"), 1);
}

TEST(League, DeleteRemovesPostingsAndPairingsButKeepsTeams) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addPostedLeague(500);
    addLeague({.nmbr = 501, .name = "L501"});
    addMember({.league = 501, .team = 700});
    cLeague league;
    ASSERT_EQ(league.load(500), 1);
    ASSERT_TRUE(league.deleteRow());
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM leagues WHERE league_nmbr = 500"), 0);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM league_teams WHERE league_nmbr = 500"), 0);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM team_results"), 0);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM team_results_summary"), 0);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM race_head_head"), 0);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM teams"), 2);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM team_car"), 1);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM league_teams WHERE league_nmbr = 501"), 1);
}

TEST(League, DeleteIsAllOrNothing) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addPostedLeague(500);
    // The third of the statements fails; the two before it must be undone.
    TestDataFile::exec("ALTER TABLE team_results_summary RENAME TO trs_away");
    cLeague league;
    ASSERT_EQ(league.load(500), 1);
    EXPECT_FALSE(league.deleteRow());
    EXPECT_EQ(data.ui().boxes.size(), 1);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM leagues"), 1);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM league_teams"), 2);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM team_results"), 1);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM race_head_head"), 1);
    // The connection is usable afterwards: no transaction is left open.
    TestDataFile::exec("ALTER TABLE trs_away RENAME TO team_results_summary");
    EXPECT_TRUE(league.deleteRow());
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM leagues"), 0);
}

TEST(LeagueCollection, LoadsFilterAndAppend) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addLeague({.nmbr = 500, .name = "L500"});
    addLeague({.nmbr = 501, .name = "L501", .raceType = 2});
    addLeague({.nmbr = 502, .name = "L502", .raceType = 2, .scoringType = 2, .carType = 2});
    {
        cLeagueCollection all;
        EXPECT_EQ(all.load(), 3);
        EXPECT_EQ(all.load(), 6); // appends
        EXPECT_EQ(all.Count(), 6);
    }
    {
        cLeagueCollection byType;
        EXPECT_EQ(byType.load(2), 2);
        EXPECT_EQ(byType.load(2, 2), 3);
        EXPECT_EQ(byType.Item(3)->leagueNmbr(), 502);
        cLeagueCollection byCar;
        EXPECT_EQ(byCar.load(std::nullopt, 1), 2);
        for (const cLeague& l : byCar)
            EXPECT_EQ(l.carTypeNmbr(), 1);
    }
    {
        addTeam({.nmbr = 700, .name = "A"});
        addMember({.league = 500, .team = 700});
        addMember({.league = 502, .team = 700});
        cLeagueCollection forTeam;
        EXPECT_EQ(forTeam.loadForTeam(700), 2);
        EXPECT_EQ(forTeam.loadForTeam(701), 2);
    }
}

TEST(LeagueCollection, ExistenceChecksLoadOnlyAnEmptyList) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addLeague({.nmbr = 500, .name = "L500"});
    addLeague({.nmbr = 501, .name = "L501", .raceType = 2, .scoringType = 2});
    cLeagueCollection empty;
    EXPECT_TRUE(empty.scoringTypeNmbrExists(2));
    EXPECT_EQ(empty.Count(), 2);
    cLeagueCollection type2;
    type2.load(2);
    EXPECT_FALSE(type2.scoringTypeNmbrExists(1)); // answers for the loaded leagues only
    EXPECT_FALSE(type2.raceTypeNmbrExists(1));
    EXPECT_TRUE(type2.raceTypeNmbrExists(2));
    EXPECT_EQ(type2.Count(), 1);
}
