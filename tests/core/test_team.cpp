#include "Rows.h"
#include "TestDataFile.h"
#include "data/cLeagueTeams.h"
#include "data/cTeam.h"

#include <gtest/gtest.h>

TEST(Team, NumbersQuotesAndEmptyTexts) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    cTeam team;
    team.setTeamName("O'Malley Racing");
    team.setTeamOwner("Pat O'Malley");
    team.setEmail("pat@example.invalid");
    team.setCity("St. John's");
    team.setRaceTypeNmbr(2);
    team.setCarTypeNmbr(2);
    ASSERT_TRUE(team.CommitChanges());
    EXPECT_EQ(team.teamNmbr(), 500);

    cTeam back;
    ASSERT_EQ(back.load(500), 1);
    EXPECT_EQ(back.teamName(), "O'Malley Racing");
    EXPECT_EQ(back.teamOwner(), "Pat O'Malley");
    EXPECT_EQ(back.email(), "pat@example.invalid");
    EXPECT_EQ(back.city(), "St. John's");
    EXPECT_EQ(back.raceTypeNmbr(), 2);
    EXPECT_EQ(back.carTypeNmbr(), 2);
    // Empty texts are stored as empty texts, not NULL.
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM teams WHERE zip = '' AND phone = '' AND address_line2 = ''"),
              1);

    back.setZip("12345");
    ASSERT_TRUE(back.CommitChanges());
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM teams"), 1);
    EXPECT_EQ(TestDataFile::scalar("SELECT zip FROM teams").toString(), "12345");

    addTeam({.nmbr = 12, .name = "Low"});
    cTeam next;
    ASSERT_TRUE(next.insertRow());
    EXPECT_EQ(next.teamNmbr(), 501);
    EXPECT_EQ(next.load(9999), 0);
    EXPECT_EQ(next.teamNmbr(), 501);
}

TEST(Team, FailedInsertGivesTheOldNumberBack) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    TestDataFile::exec("ALTER TABLE teams RENAME TO teams_old");
    TestDataFile::exec("CREATE TABLE teams (team_nmbr INTEGER PRIMARY KEY)");
    cTeam team;
    EXPECT_FALSE(team.CommitChanges());
    EXPECT_EQ(team.teamNmbr(), 0);
}

TEST(Team, DeleteTakesHoldingsAndPairingsAllOrNothing) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addTeam({.nmbr = 500, .name = "A"});
    addTeam({.nmbr = 501, .name = "B"});
    addHolding({.team = 500, .car = 10, .to = "2024-02-01"});
    addHolding({.team = 500, .car = 11, .from = "2024-02-01"});
    addHolding({.team = 501, .car = 10});
    addPairing({.race = 1, .league = 500, .team1 = 501, .team2 = 500});
    addPairing({.race = 2, .league = 500, .team1 = 500, .team2 = 501});
    addPairing({.race = 3, .league = 500, .team1 = 501, .team2 = 502});

    TestDataFile::exec("ALTER TABLE race_head_head RENAME TO rhh_away");
    cTeam team;
    ASSERT_EQ(team.load(500), 1);
    EXPECT_FALSE(team.deleteRow());
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM team_car WHERE team_nmbr = 500"), 2);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM teams"), 2);

    TestDataFile::exec("ALTER TABLE rhh_away RENAME TO race_head_head");
    ASSERT_TRUE(team.deleteRow());
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM team_car WHERE team_nmbr = 500"), 0);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM team_car"), 1);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM teams"), 1);
    // Pairings naming the team on either side are gone; the others stay.
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM race_head_head"), 1);
}

TEST(TeamCollection, FiltersAndAppends) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addTeam({.nmbr = 500, .name = "A", .raceType = 2});
    addTeam({.nmbr = 501, .name = "B", .raceType = 2, .carType = 2});
    addTeam({.nmbr = 502, .name = "C"});
    cTeamCollection byRace;
    EXPECT_EQ(byRace.load(2), 2);
    cTeamCollection byCar;
    EXPECT_EQ(byCar.load(std::nullopt, 1), 2);
    cTeamCollection both;
    EXPECT_EQ(both.load(2, 2), 1);
    EXPECT_EQ(both.Item(1)->teamName(), "B");
    EXPECT_EQ(both.load(), 4);
}

TEST(LeagueTeams, LoadOrdersByTeamNameAndSkipsMissingTeams) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addTeam({.nmbr = 500, .name = "Zebras"});
    addTeam({.nmbr = 501, .name = "Apaches"});
    addTeam({.nmbr = 502, .name = "Mustangs"});
    addMember({.league = 3, .team = 500});
    addMember({.league = 3, .team = 501});
    addMember({.league = 3, .team = 502});
    addMember({.league = 3, .team = 999});
    addMember({.league = 5, .team = 500});
    cLeagueTeamsCollection list;
    ASSERT_EQ(list.load(3), 3);
    EXPECT_EQ(list.Item(1)->teamNmbr(), 501);
    EXPECT_EQ(list.Item(2)->teamNmbr(), 502);
    EXPECT_EQ(list.Item(3)->teamNmbr(), 500);
    EXPECT_EQ(list.load(std::nullopt, 500), 5);
    EXPECT_EQ(list.load(5, 500), 6);
    EXPECT_EQ(list.load(), 10);
}

TEST(LeagueTeams, ExistenceChecks) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addTeam({.nmbr = 7, .name = "Seven", .raceType = 2});
    addTeam({.nmbr = 8, .name = "Eight", .carType = 2});
    addMember({.league = 3, .team = 8});
    addMember({.league = 4, .team = 7});
    addMember({.league = 5, .team = 8});
    {
        cLeagueTeamsCollection any;
        EXPECT_TRUE(any.teamExists(7));
        cLeagueTeamsCollection league3;
        EXPECT_FALSE(league3.teamExists(7, 3));
        cLeagueTeamsCollection league5;
        league5.load(5);
        EXPECT_FALSE(league5.teamExists(7, 4)); // answers for the loaded league, whatever is passed
    }
    {
        cLeagueTeamsCollection list;
        EXPECT_FALSE(list.leagueExists(8, 3)); // loads nothing
        list.load(std::nullopt, 8);
        EXPECT_TRUE(list.leagueExists(8, 5));
        EXPECT_FALSE(list.leagueExists(8, 4));
    }
    {
        cLeagueTeamsCollection list;
        EXPECT_TRUE(list.raceTypeExists(2, 4));
        cLeagueTeamsCollection list3;
        EXPECT_FALSE(list3.raceTypeExists(2, 3));
        cLeagueTeamsCollection cars;
        EXPECT_TRUE(cars.carTypeExists(2, std::nullopt, 8));
        cLeagueTeamsCollection cars7;
        EXPECT_FALSE(cars7.carTypeExists(2, std::nullopt, 7));
    }
}

TEST(LeagueTeams, InsertNewReplacesALeagueOrAddsPairsOnce) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addMember({.league = 3, .team = 1});
    addMember({.league = 3, .team = 2});
    addMember({.league = 4, .team = 1});
    {
        cLeagueTeamsCollection list;
        list.Add(3, 5);
        list.Add(3, 6);
        list.Add(3, 6);
        ASSERT_TRUE(list.insertNew(3));
        EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM league_teams WHERE league_nmbr = 3"), 2);
        EXPECT_EQ(
            TestDataFile::count("SELECT count(*) FROM league_teams WHERE league_nmbr = 3 AND team_nmbr IN (5, 6)"), 2);
        EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM league_teams WHERE league_nmbr = 4"), 1);
    }
    {
        cLeagueTeamsCollection empty;
        ASSERT_TRUE(empty.insertNew(3));
        EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM league_teams WHERE league_nmbr = 3"), 0);
    }
    {
        cLeagueTeamsCollection add;
        add.Add(4, 1);
        add.Add(6, 1);
        ASSERT_TRUE(add.insertNew());
        ASSERT_TRUE(add.insertNew());
        EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM league_teams"), 2);
    }
}

TEST(LeagueTeams, InsertNewFailureChangesNothing) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addMember({.league = 3, .team = 1});
    addMember({.league = 3, .team = 2});
    // A trigger makes the second insert fail after the delete and the first insert have run.
    TestDataFile::exec("CREATE TRIGGER refuse BEFORE INSERT ON league_teams WHEN NEW.team_nmbr = 9 "
                       "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    cLeagueTeamsCollection list;
    list.Add(3, 8);
    list.Add(3, 9);
    EXPECT_FALSE(list.insertNew(3));
    EXPECT_EQ(data.ui().boxes.size(), 1);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM league_teams WHERE league_nmbr = 3 AND team_nmbr IN (1, 2)"),
              2);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM league_teams"), 2);
}
