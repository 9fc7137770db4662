#include "Rows.h"
#include "TestDataFile.h"
#include "data/cLeague.h"
#include "data/cTeamCar.h"
#include "posting/cRaces.h"
#include "rules/PickRules.h"

#include <algorithm>

#include <gtest/gtest.h>

TEST(TeamCar, DatesFromTextAndNullTermination) {
    cTeamCar h;
    EXPECT_EQ(h.active(), 1);
    EXPECT_FALSE(h.efctvDt().isValid());
    h.setTermDt(QStringLiteral("5/1/2024"));
    EXPECT_EQ(h.termDt(), QDate(2024, 5, 1));
    h.setTermDt(QStringLiteral("2024-05-02"));
    EXPECT_EQ(h.termDt(), QDate(2024, 5, 2));
    h.setTermDt(QStringLiteral("soon"));
    EXPECT_FALSE(h.termDt().isValid());
    h.setTermDt(QString());
    EXPECT_FALSE(h.termDt().isValid());

    TestDataFile data;
    ASSERT_TRUE(data.ok());
    // Without an effective date nothing is stored.
    h.setTeamNmbr(5);
    h.setCarNmbr(7);
    EXPECT_FALSE(h.CommitChanges());
    EXPECT_FALSE(h.insertRow());
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM team_car"), 0);

    h.setEfctvDt(QDate(2024, 3, 1));
    h.setPrice(1234.56);
    h.setLockedSalary(99.5);
    ASSERT_TRUE(h.CommitChanges());
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM team_car WHERE efctv_dt = '2024-03-01' AND term_dt IS NULL"),
              1);
    EXPECT_TRUE(data.ui().boxes.isEmpty());
}

TEST(TeamCar, CommitUpdatesTheSameHoldingOrAddsAnotherPeriod) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addHolding({.team = 5, .car = 7, .from = "2024-03-01", .to = "2024-05-01", .price = 100});
    addHolding({.team = 5, .car = 7, .from = "2024-06-01", .price = 200});

    cTeamCar h;
    ASSERT_EQ(h.load(5, 7), 1); // the first row, whatever its dates
    EXPECT_EQ(h.efctvDt(), QDate(2024, 3, 1));
    EXPECT_EQ(h.termDt(), QDate(2024, 5, 1));
    EXPECT_EQ(h.price(), 100);
    EXPECT_EQ(h.load(5, 8), 0);
    EXPECT_EQ(h.carNmbr(), 7);

    // Ending the second period: its row changes, the first does not, and price stays as stored.
    cTeamCar second;
    second.setTeamNmbr(5);
    second.setCarNmbr(7);
    second.setEfctvDt(QDate(2024, 6, 1));
    second.setTermDt(QDate(2024, 7, 1));
    second.setPrice(999);
    second.setActive(0);
    ASSERT_TRUE(second.CommitChanges());
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM team_car"), 2);
    EXPECT_EQ(TestDataFile::scalar("SELECT term_dt FROM team_car WHERE efctv_dt = '2024-06-01'").toString(),
              "2024-07-01");
    EXPECT_EQ(TestDataFile::count("SELECT price FROM team_car WHERE efctv_dt = '2024-06-01'"), 200);
    EXPECT_EQ(TestDataFile::count("SELECT active FROM team_car WHERE efctv_dt = '2024-06-01'"), 0);
    EXPECT_EQ(TestDataFile::scalar("SELECT term_dt FROM team_car WHERE efctv_dt = '2024-03-01'").toString(),
              "2024-05-01");

    // Clearing the termination date writes NULL.
    second.setTermDt(QStringLiteral(""));
    ASSERT_TRUE(second.updateRow());
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM team_car WHERE efctv_dt = '2024-06-01' AND term_dt IS NULL"),
              1);

    // A new effective date stores a new holding beside the old one.
    second.setEfctvDt(QDate(2024, 8, 1));
    ASSERT_TRUE(second.CommitChanges());
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM team_car"), 3);

    ASSERT_TRUE(second.deleteRow());
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM team_car WHERE efctv_dt = '2024-08-01'"), 0);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM team_car"), 2);
}

TEST(TeamCar, TeamsForCarAndDuplicateTeam) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addHolding({.team = 5, .car = 7});
    addHolding({.team = 5, .car = 8});
    addHolding({.team = 3, .car = 7});
    addHolding({.team = 3, .car = 8});
    addHolding({.team = 3, .car = 9});
    addHolding({.team = 9, .car = 7});
    addHolding({.team = 4, .car = 7, .to = "2024-02-01"}); // ended: does not count
    addHolding({.team = 4, .car = 8});

    cTeamCar h;
    EXPECT_EQ(h.getTeamsForCar(5, 7, QString()), "(3,9)");
    EXPECT_EQ(h.getTeamsForCar(5, 7, "(3,4)"), "(3)");
    EXPECT_EQ(h.getTeamsForCar(5, 7, "(4)"), "()");
    EXPECT_EQ(h.getTeamsForCar(5, 7, "(4); DROP TABLE teams"), "()");
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM sqlite_master WHERE name = 'teams'"), 1);

    EXPECT_EQ(h.duplicateTeam(5), 3);   // team 3 holds 7, 8 and 9
    EXPECT_EQ(h.duplicateTeam(9), 5);   // the first of the teams holding car 7
    EXPECT_EQ(h.duplicateTeam(3), -1);  // nobody else holds 9
    EXPECT_EQ(h.duplicateTeam(42), -1); // no current holdings
}

TEST(TeamCarCollection, LoadsAndChecks) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addCar({.nmbr = 7, .txt = "7", .group = 1});
    addCar({.nmbr = 8, .carType = 2, .txt = "8", .group = 2});
    addCar({.nmbr = 30, .carType = 3, .txt = "30", .group = 1});
    addHolding({.team = 5, .car = 7, .to = "2024-02-01"});
    addHolding({.team = 5, .car = 7, .from = "2024-03-01"});
    addHolding({.team = 5, .car = 8});
    addHolding({.team = 5, .car = 30});
    addHolding({.team = 6, .car = 7});

    cTeamCarCollection team5;
    EXPECT_EQ(team5.load(5), 4);
    EXPECT_FALSE(team5.Item(1)->termDt().isValid() && team5.Item(2)->termDt().isValid());
    EXPECT_EQ(team5.load(), 9); // appends
    cTeamCarCollection noBonus;
    EXPECT_EQ(noBonus.loadNoBonus(5), 3);
    EXPECT_EQ(noBonus.loadNoBonus(), 7);
    cTeamCarCollection car7;
    EXPECT_EQ(car7.loadCar(7), 3);
    cTeamCarCollection group1;
    EXPECT_EQ(group1.loadGroup(5, 1), 2); // current car 7 and the bonus entry, not the ended period
    cTeamCarCollection group2;
    EXPECT_EQ(group2.loadGroup(5, 2), 1);

    cTeamCarCollection any;
    EXPECT_TRUE(any.carExists(8));
    EXPECT_EQ(any.Count(), 5);
    cTeamCarCollection only6;
    only6.load(6);
    EXPECT_FALSE(only6.carExists(8)); // answers for the loaded team only
    EXPECT_TRUE(only6.carExists(7));
}

TEST(TeamCarCollection, TermAllEndsOnlyCurrentHoldings) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addHolding({.team = 5, .car = 7, .to = "2024-02-01"});
    addHolding({.team = 5, .car = 8});
    addHolding({.team = 5, .car = 9, .from = "2024-03-01"});
    addHolding({.team = 6, .car = 8});
    cTeamCarCollection list;
    EXPECT_FALSE(list.TermAll(5, QDate()));
    ASSERT_TRUE(list.TermAll(5, QDate(2024, 6, 30)));
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM team_car WHERE team_nmbr = 5 AND term_dt = '2024-06-30'"), 2);
    EXPECT_EQ(TestDataFile::scalar("SELECT term_dt FROM team_car WHERE car_nmbr = 7").toString(), "2024-02-01");
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM team_car WHERE team_nmbr = 6 AND term_dt IS NULL"), 1);
    // Holdings that have not begun by the day are left open, not ended before they start.
    addHolding({.team = 5, .car = 10, .from = "2024-07-01"});
    addHolding({.team = 5, .car = 11, .from = "2024-06-30"});
    addHolding({.team = 5, .car = 12, .from = "2024-06-29"});
    ASSERT_TRUE(list.TermAll(5, QDate(2024, 6, 30)));
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM team_car WHERE team_nmbr = 5 AND term_dt IS NULL"), 2);
    EXPECT_EQ(TestDataFile::scalar("SELECT term_dt FROM team_car WHERE car_nmbr = 12").toString(), "2024-06-30");
}

TEST(TeamCarCollection, InsertNewReplacesTheTeamsHoldingsAllOrNothing) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addHolding({.team = 5, .car = 7, .to = "2024-02-01"});
    addHolding({.team = 5, .car = 8});
    addHolding({.team = 6, .car = 8});
    {
        cTeamCarCollection list;
        list.Add(5, 9, QDate(2024, 4, 1), QDate(), 12.5, 10.25, 1);
        list.Add(5, 7, QDate(2024, 4, 1), QDate(2024, 5, 1), 0, 0, 0);
        ASSERT_TRUE(list.insertNew(5));
        EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM team_car WHERE team_nmbr = 5"), 2);
        EXPECT_EQ(TestDataFile::scalar("SELECT price FROM team_car WHERE car_nmbr = 9").toDouble(), 12.5);
        EXPECT_EQ(TestDataFile::scalar("SELECT locked_salary FROM team_car WHERE car_nmbr = 9").toDouble(), 10.25);
        EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM team_car WHERE car_nmbr = 9 AND efctv_dt = '2024-04-01' "
                                      "AND term_dt IS NULL"),
                  1);
        EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM team_car WHERE team_nmbr = 6"), 1);
    }
    {
        // A holding without an effective date cannot be stored: the whole save is undone.
        cTeamCarCollection list;
        list.Add(5, 10, QDate(2024, 4, 1), QDate(), 0, 0, 1);
        list.Add(5, 11, QDate(), QDate(), 0, 0, 1);
        EXPECT_FALSE(list.insertNew(5));
        EXPECT_EQ(data.ui().boxes.size(), 1);
        EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM team_car WHERE team_nmbr = 5"), 2);
        EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM team_car WHERE car_nmbr = 10"), 0);
    }
    {
        cTeamCarCollection empty;
        ASSERT_TRUE(empty.insertNew(5));
        EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM team_car WHERE team_nmbr = 5"), 0);
    }
}

TEST(TeamCarCollection, NotRunHoldingsAreThoseInForceOnTheRaceDay) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addCar({.nmbr = 1, .raceType = 2, .txt = "1", .group = 1});
    addCar({.nmbr = 2, .raceType = 2, .txt = "2", .group = 1});
    addCar({.nmbr = 3, .raceType = 2, .txt = "3", .group = 1});
    addCar({.nmbr = 4, .raceType = 2, .txt = "4", .group = 1});
    addCar({.nmbr = 5, .raceType = 2, .txt = "5", .group = 1});
    addCar({.nmbr = 6, .txt = "6", .group = 1});                                // another race type
    addCar({.nmbr = 30, .raceType = 2, .carType = 3, .txt = "30", .group = 1}); // the bonus entry never has a result
    addRace({.nmbr = 600, .date = "2024-05-01", .raceType = 2});
    addResult({.car = 5, .race = 600, .place = 1});
    addMember({.league = 500, .team = 7});
    addTeam({.nmbr = 7, .name = "Seven"});
    addTeam({.nmbr = 8, .name = "Eight"});
    addHolding({.team = 7,
                .car = 1,
                .from = "2024-05-01",
                .to = "2024-05-02"});                        // effective on the day, ends the day after: counts
    addHolding({.team = 7, .car = 2, .from = "2024-05-02"}); // effective the day after: does not count
    addHolding({.team = 7, .car = 3, .from = "2024-04-01", .to = "2024-05-01"}); // ends on the day: does not count
    addHolding({.team = 7, .car = 4});                                           // current: counts
    addHolding({.team = 7, .car = 5});                                           // ran the race
    addHolding({.team = 7, .car = 6});                                           // other race type
    addHolding({.team = 7, .car = 30, .from = "2024-05-01"});                    // bonus entry: counts
    addHolding({.team = 8, .car = 4});                                           // not a member of the league
    TestDataFile::exec("UPDATE team_car SET active = 0 WHERE car_nmbr = 4");

    cLeague league;
    league.setLeagueNmbr(500);
    cRaces race;
    race.setRaceNmbr(600);
    cTeamCarCollection dnq;
    ASSERT_EQ(dnq.loadDNQcars(league, race.raceNmbr()), 3);
    QList<int> cars;
    for (const cTeamCar& h : dnq)
        cars.append(h.carNmbr());
    std::sort(cars.begin(), cars.end());
    EXPECT_EQ(cars, QList<int>({1, 4, 30}));

    race.setRaceNmbr(601); // no such race: nothing added
    EXPECT_EQ(dnq.loadDNQcars(league, race.raceNmbr()), 3);
    EXPECT_TRUE(data.ui().boxes.isEmpty());
}

TEST(TeamCarCollection, RaceTypeAndCarTypeChecks) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addCar({.nmbr = 7, .raceType = 2, .txt = "7", .group = 1});
    addCar({.nmbr = 8, .raceType = 3, .carType = 2, .txt = "8", .group = 1});
    addHolding({.team = 5, .car = 7, .to = "2024-02-01"}); // ended holdings count too
    addHolding({.team = 6, .car = 8});

    cTeamCarCollection team5;
    EXPECT_TRUE(team5.raceTypeExists(2, 5));
    cTeamCarCollection team5Again;
    EXPECT_FALSE(team5Again.carTypeExists(2, 5));
    cTeamCarCollection all;
    EXPECT_TRUE(all.carTypeExists(2));
    cTeamCarCollection car8;
    EXPECT_FALSE(car8.raceTypeExists(2, std::nullopt, 8));
    EXPECT_EQ(car8.Count(), 1);
    EXPECT_TRUE(car8.raceTypeExists(3, 5)); // answers for the list already loaded
}

// The pick editors' rules, without a window: what a pick costs and which holdings share a day.
TEST(PickRules, SalaryAndHoldingDates) {
    const QDate today(2026, 6, 15);
    cTeamCar pick;
    EXPECT_TRUE(pickCountsInSalary(pick, today)); // open
    pick.setTermDt(today.addDays(1));
    EXPECT_TRUE(pickCountsInSalary(pick, today));
    pick.setTermDt(today); // ends today: free
    EXPECT_FALSE(pickCountsInSalary(pick, today));
    pick.setTermDt(today.addDays(-1));
    EXPECT_FALSE(pickCountsInSalary(pick, today));

    cLeague league;
    EXPECT_EQ(availableSalary(league, Currency::fromDouble(300)), Currency()); // no cap
    league.setSalaryCap(Currency::fromDouble(1000));
    EXPECT_EQ(availableSalary(league, Currency::fromDouble(300)), Currency::fromDouble(700));
    EXPECT_EQ(availableSalary(league, Currency::fromDouble(1200)), Currency::fromDouble(-200));

    // A holding is in force from its effective date until the day before its termination date.
    const QDate jan1(2026, 1, 1), feb1(2026, 2, 1), mar1(2026, 3, 1);
    EXPECT_FALSE(holdingsOverlap(jan1, feb1, feb1, mar1));
    EXPECT_TRUE(holdingsOverlap(jan1, feb1.addDays(1), feb1, mar1));
    EXPECT_TRUE(holdingsOverlap(jan1, QDate(), mar1, QDate())); // neither ends
    EXPECT_FALSE(holdingsOverlap(mar1, QDate(), jan1, feb1));
}
