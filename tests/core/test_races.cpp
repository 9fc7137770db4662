#include "Rows.h"
#include "TestDataFile.h"
#include "posting/cRaces.h"
#include "posting/cRacesCollection.h"
#include "posting/cResultsCollection.h"

#include <gtest/gtest.h>

namespace {

QList<int> numbers(const cRacesCollection& races) {
    QList<int> out;
    for (const cRaces& r : races)
        out.append(r.raceNmbr());
    return out;
}

// A season of two race types whose dates interleave, with two type-1 races on 3/15:
//   type 1: 10 (3/1), 12 (3/15), 13 (3/15), 15 (4/1)
//   type 2:  9 (3/1), 11 (3/10), 14 (3/20)
void interleavedSeason() {
    addRace({.nmbr = 9, .name = "Race 9", .track = "Track", .date = "2024-03-01", .raceType = 2, .status = 1});
    addRace({.nmbr = 10, .name = "Race 10", .track = "Track", .date = "2024-03-01", .status = 1});
    addRace({.nmbr = 11, .name = "Race 11", .track = "Track", .date = "2024-03-10", .raceType = 2, .status = 1});
    addRace({.nmbr = 12, .name = "Race 12", .track = "Track", .date = "2024-03-15", .status = 1});
    addRace({.nmbr = 13, .name = "Race 13", .track = "Track", .date = "2024-03-15", .status = 1});
    addRace({.nmbr = 14, .name = "Race 14", .track = "Track", .date = "2024-03-20", .raceType = 2, .status = 1});
    addRace({.nmbr = 15, .name = "Race 15", .track = "Track", .date = "2024-04-01", .status = 1});
}

} // namespace

TEST(Races, NewKeysStartAt500) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    cRaces first;
    first.setRaceName("Opener");
    first.setRaceDate(QDate(2024, 2, 18));
    ASSERT_TRUE(first.CommitChanges());
    EXPECT_EQ(first.raceNmbr(), 500);
    // No status chosen: stored as the one whose pages carry no status line.
    EXPECT_EQ(TestDataFile::scalar("SELECT race_status_name FROM races JOIN race_status_dm USING (race_status_nmbr)"
                                   " WHERE race_nmbr = 500")
                  .toString(),
              "Scheduled");

    TestDataFile::exec("DELETE FROM races");
    for (int n = 1; n <= 20; ++n)
        addRace(
            {.nmbr = n, .name = QStringLiteral("Race %1").arg(n), .track = "Track", .date = "2024-01-01", .status = 1});
    cRaces afterImport;
    afterImport.setRaceDate(QDate(2024, 3, 1));
    ASSERT_TRUE(afterImport.insertRow());
    EXPECT_EQ(afterImport.raceNmbr(), 500);

    for (int n = 501; n <= 503; ++n)
        addRace(
            {.nmbr = n, .name = QStringLiteral("Race %1").arg(n), .track = "Track", .date = "2024-01-01", .status = 1});
    cRaces next;
    next.setRaceDate(QDate(2024, 3, 2));
    ASSERT_TRUE(next.CommitChanges());
    EXPECT_EQ(next.raceNmbr(), 504);
    EXPECT_TRUE(data.ui().boxes.isEmpty());
}

TEST(Races, RoundTripsTextsDatesAndCopies) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    cRaces race;
    race.setRaceName("Driver's 500");
    race.setTrackName("O'Reilly Speedway");
    race.setRaceDate(QStringLiteral("2/18/2024"));
    race.setRaceTypeNmbr(1);
    race.setCarTypeNmbr(2);
    race.setRaceStatusNmbr(3);
    ASSERT_TRUE(race.CommitChanges());
    EXPECT_EQ(TestDataFile::scalar("SELECT race_dt FROM races").toString(), "2024-02-18");

    cRaces back;
    ASSERT_TRUE(back.load(race.raceNmbr()));
    EXPECT_EQ(back.raceName(), "Driver's 500");
    EXPECT_EQ(back.trackName(), "O'Reilly Speedway");
    EXPECT_EQ(back.raceDate(), QDate(2024, 2, 18));
    EXPECT_EQ(back.carTypeNmbr(), 2);
    EXPECT_EQ(back.raceStatusNmbr(), 3);

    auto copy = back.copy();
    copy->setTrackName("Elsewhere");
    ASSERT_TRUE(copy->CommitChanges()); // an update: the number is kept
    EXPECT_EQ(copy->raceNmbr(), race.raceNmbr());
    EXPECT_EQ(back.trackName(), "O'Reilly Speedway");
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM races WHERE track_name = 'Elsewhere'"), 1);

    back.setRaceDate(QStringLiteral("not a date"));
    EXPECT_FALSE(back.raceDate().isValid());
    EXPECT_FALSE(back.load(4711)); // missing race: object unchanged
    EXPECT_EQ(back.raceName(), "Driver's 500");
}

TEST(Races, PreviousRaceIsTheLatestEarlierOfItsTypeAndCarTypeWithResults) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    interleavedSeason();
    addRace({.nmbr = 16,
             .name = "Race 16",
             .track = "Track",
             .date = "2024-03-20",
             .carType = 2,
             .status = 1}); // scored by drivers
    // Race 13 was rained out and race 15 not run yet: neither has results.
    for (int n : {9, 10, 11, 12, 14, 16})
        addResult({.car = 1, .race = n, .place = 1});
    auto previousOf = [](int n) {
        cRaces r;
        return r.loadPrevious(n) ? r.raceNmbr() : 0;
    };
    // Race 9 of type 2 shares race 10's date; it must never be taken for a type-1 race.
    EXPECT_EQ(previousOf(12), 10);
    EXPECT_EQ(previousOf(13), 12); // same date, lower number
    EXPECT_EQ(previousOf(15), 12); // 13 has no results, 16 is of the other car type
    EXPECT_EQ(previousOf(14), 11);
    EXPECT_EQ(previousOf(11), 9);
    EXPECT_EQ(previousOf(16), 0); // the first driver race of its type
    EXPECT_EQ(cRaces::previousRaceNmbr(1, 2, 15), 16);
    EXPECT_EQ(cRaces::previousRaceNmbr(1, 1, 16), 12);

    cRaces first;
    first.setRaceName("untouched");
    EXPECT_FALSE(first.loadPrevious(10));
    EXPECT_EQ(first.raceName(), "untouched");
    EXPECT_EQ(first.raceNmbr(), 0);
}

TEST(Races, LaterAndEarlierRacesFollowTheSeasonOrder) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    interleavedSeason();
    {
        cRacesCollection later;
        EXPECT_EQ(later.loadFutureRaces(12), 2);
        EXPECT_EQ(numbers(later), (QList<int>{13, 15}));
    }
    {
        cRacesCollection later;
        EXPECT_EQ(later.loadFutureRaces(10), 3);
        EXPECT_EQ(numbers(later), (QList<int>{12, 13, 15}));
    }
    {
        cRacesCollection later;
        EXPECT_EQ(later.loadFutureRaces(15), 0);
    }
    // Winners in 9 (other type), 10, 12 (twice) and 13; race 11 has results but no winner.
    addResult({.car = 1, .race = 9, .place = 1});
    addResult({.car = 1, .race = 10, .place = 1});
    addResult({.car = 1, .race = 12, .place = 1});
    addResult({.car = 2, .race = 12, .place = 1});
    addResult({.car = 1, .race = 13, .place = 1});
    addResult({.car = 1, .race = 11, .place = 2});
    {
        cRacesCollection earlier;
        earlier.loadPreviouRacesWithResults(15);
        EXPECT_EQ(numbers(earlier), (QList<int>{10, 12, 12, 13}));
    }
    {
        cRacesCollection earlier;
        earlier.loadPreviouRacesWithResults(13);
        EXPECT_EQ(numbers(earlier), (QList<int>{10, 12, 12}));
    }
    {
        cRacesCollection earlier;
        EXPECT_EQ(earlier.loadPreviouRacesWithResults(14), 1); // 9; race 11 has no winner
        EXPECT_EQ(earlier.Item(1)->raceNmbr(), 9);
    }
    // The previous race's results: race 13 follows race 12 on the same date.
    cRaces race13;
    ASSERT_TRUE(race13.load(13));
    cResultsCollection previous;
    EXPECT_EQ(previous.loadPrevious(race13), 2);
    EXPECT_EQ(previous.Item(1)->raceNmbr(), 12);
    EXPECT_TRUE(data.ui().boxes.isEmpty());
}

TEST(Races, ListsAndMostCurrentRaces) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    interleavedSeason();
    addRace({.nmbr = 16,
             .name = "Race 16",
             .track = "Track",
             .date = "2024-03-15",
             .carType = 2,
             .status = 1}); // scored by drivers, same date as 12 and 13
    addResult({.car = 1, .race = 13, .place = 1});
    addResult({.car = 1, .race = 10, .place = 1});
    addResult({.car = 1, .race = 16, .place = 1});

    cRacesCollection all;
    EXPECT_EQ(all.load(), 8);
    EXPECT_EQ(all.load(1, 2), 9); // appends
    cRacesCollection drivers;
    EXPECT_EQ(drivers.load(std::nullopt, 2), 1);

    cRacesCollection withResults;
    withResults.loadRacesWithResults(1, 1);
    EXPECT_EQ(numbers(withResults), (QList<int>{10, 13}));

    // Every race of the type on the latest date with results for cars.
    cRacesCollection current;
    current.loadMostCurrentRaceWithResults(1, 1);
    EXPECT_EQ(numbers(current), (QList<int>{12, 13, 16}));
    cRacesCollection none;
    EXPECT_EQ(none.loadMostCurrentRaceWithResults(3, 1), 0);

    addTeamResult({.race = 10, .car = 1, .team = 1, .league = 1});
    cRacesCollection posted;
    posted.loadMostCurrentRaceWithPostedResults(1);
    EXPECT_EQ(numbers(posted), (QList<int>{10}));
    cRacesCollection notPosted;
    EXPECT_EQ(notPosted.loadMostCurrentRaceWithPostedResults(2), 0);
}

TEST(Races, ExistenceChecksLoadOnlyAnEmptyList) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    interleavedSeason();
    cRacesCollection all;
    EXPECT_TRUE(all.raceDateExistsForRaceType(QDate(2024, 3, 15), 1, 1));
    EXPECT_FALSE(all.raceDateExistsForRaceType(QDate(2024, 3, 15), 2, 1)); // other race type
    EXPECT_FALSE(all.raceDateExistsForRaceType(QDate(2024, 3, 15), 1, 2)); // other car type
    EXPECT_TRUE(all.raceTypeNmbrExists(2));
    EXPECT_FALSE(all.raceTypeNmbrExists(5));
    EXPECT_TRUE(all.carTypeNmbrExists(1));
    EXPECT_EQ(all.Count(), 7);

    cRacesCollection typeTwo;
    typeTwo.load(2);
    EXPECT_FALSE(typeTwo.raceTypeNmbrExists(1)); // searches only what the list holds
    EXPECT_EQ(typeTwo.Count(), 3);
}

TEST(Races, DeleteRemovesEverythingOfTheRaceOrNothing) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addRace({.nmbr = 7, .name = "Race 7", .track = "Track", .date = "2024-03-01", .status = 1});
    addRace({.nmbr = 8, .name = "Race 8", .track = "Track", .date = "2024-03-08", .status = 1});
    for (int race : {7, 8}) {
        addResult({.car = 1, .race = race, .place = 1});
        addTeamResult({.race = race, .car = 1, .team = 1, .league = 1});
        addSummary({.race = race, .team = 1, .league = 1, .points = 40, .place = 1});
        addPairing({.race = race, .league = 1, .team1 = 501, .team2 = 502});
    }
    const QString rowsOf7 = "SELECT (SELECT count(*) FROM races WHERE race_nmbr = 7)"
                            " + (SELECT count(*) FROM results WHERE race_nmbr = 7)"
                            " + (SELECT count(*) FROM team_results WHERE race_nmbr = 7)"
                            " + (SELECT count(*) FROM team_results_summary WHERE race_nmbr = 7)"
                            " + (SELECT count(*) FROM race_head_head WHERE race_nmbr = 7)";

    // The last delete is refused: the earlier ones are undone with it.
    TestDataFile::exec("CREATE TRIGGER keep_race BEFORE DELETE ON races BEGIN SELECT RAISE(ABORT, 'kept'); END");
    cRaces race;
    ASSERT_TRUE(race.load(7));
    EXPECT_FALSE(race.deleteRow());
    EXPECT_EQ(data.ui().boxes.size(), 1);
    EXPECT_EQ(TestDataFile::count(rowsOf7), 5);

    TestDataFile::exec("DROP TRIGGER keep_race");
    EXPECT_TRUE(race.deleteRow());
    EXPECT_EQ(TestDataFile::count(rowsOf7), 0);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM race_head_head WHERE race_nmbr = 8"), 1);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM results WHERE race_nmbr = 8"), 1);

    cRaces neverPosted;
    addRace({.nmbr = 9, .name = "Race 9", .track = "Track", .date = "2024-03-15", .status = 1});
    addResult({.car = 1, .race = 9, .place = 1});
    ASSERT_TRUE(neverPosted.load(9));
    EXPECT_TRUE(neverPosted.deleteRow());
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM results WHERE race_nmbr = 9"), 0);
}
