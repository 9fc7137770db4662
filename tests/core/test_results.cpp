#include "Rows.h"
#include "TestDataFile.h"
#include "posting/cResults.h"
#include "posting/cResultsCollection.h"

#include <gtest/gtest.h>

namespace {

// Posted rows of the race in two leagues.
void post(int race) {
    for (int league : {1, 2}) {
        addTeamResult({.race = race, .car = 5, .team = 1, .league = league});
        addSummary({.race = race, .team = 1, .league = league, .points = 40, .place = 1});
    }
}

QList<int> cars(const cResultsCollection& list) {
    QList<int> out;
    for (const cResults& r : list)
        out.append(r.carNmbr());
    return out;
}

const char* postingsOf7 = "SELECT (SELECT count(*) FROM team_results WHERE race_nmbr = 7)"
                          " + (SELECT count(*) FROM team_results_summary WHERE race_nmbr = 7)";

} // namespace

TEST(Results, SavingReplacesTheRaceResultsAndRemovesItsPostings) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addRace({.nmbr = 7, .name = "Race 7", .track = "Track", .date = "2024-03-01", .status = 1});
    addRace({.nmbr = 8, .name = "Race 8", .track = "Track", .date = "2024-03-08", .status = 1});
    addResult({.car = 5, .race = 7, .place = 1, .adjustment = 7});
    addResult({.car = 6, .race = 7, .place = 2, .adjustment = 7});
    addResult({.car = 5, .race = 8, .place = 3, .adjustment = 7});
    post(7);
    post(8);

    cResultsCollection list;
    list.Add(7, 12, 1, 1, 40, 2, -3);
    list.Add(7, 5, 2, 0, 10, 1, 0);
    ASSERT_TRUE(list.insertResults());
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM results WHERE race_nmbr = 7"), 2);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM results WHERE race_nmbr = 7 AND car_nmbr = 6"), 0);
    EXPECT_EQ(TestDataFile::count("SELECT adjustment FROM results WHERE race_nmbr = 7 AND car_nmbr = 12"), -3);
    EXPECT_EQ(TestDataFile::count(postingsOf7), 0); // unposted in both leagues
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM team_results WHERE race_nmbr = 8"), 2);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM results WHERE race_nmbr = 8"), 1);

    cResultsCollection back;
    EXPECT_EQ(back.load(7), 2);
    EXPECT_EQ(cars(back), (QList<int>{12, 5})); // by place
    EXPECT_EQ(back.Item(1)->lapsLead(), 40);
    EXPECT_EQ(back.Item(1)->fastQual(), 1);
    EXPECT_EQ(back.Item(1)->qualified(), 2);
    EXPECT_TRUE(data.ui().boxes.isEmpty());

    cResultsCollection empty;
    EXPECT_TRUE(empty.insertResults());
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM results"), 3);
}

TEST(Results, AFailedSaveLeavesResultsAndPostingsAsTheyWere) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addRace({.nmbr = 7, .name = "Race 7", .track = "Track", .date = "2024-03-01", .status = 1});
    addResult({.car = 5, .race = 7, .place = 1, .adjustment = 7});
    addResult({.car = 6, .race = 7, .place = 2, .adjustment = 7});
    post(7);
    TestDataFile::exec("CREATE TRIGGER refuse_99 BEFORE INSERT ON results WHEN NEW.car_nmbr = 99"
                       " BEGIN SELECT RAISE(ABORT, 'refused'); END");

    cResultsCollection list;
    list.Add(7, 12, 1, 0, 0, 0, 0);
    list.Add(7, 99, 2, 0, 0, 0, 0);
    list.Add(7, 13, 3, 0, 0, 0, 0);
    EXPECT_FALSE(list.insertResults());
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_TRUE(data.ui().boxes[0].text.contains("refused"));
    EXPECT_EQ(
        TestDataFile::scalar("SELECT group_concat(car_nmbr) FROM (SELECT car_nmbr FROM results ORDER BY car_nmbr)")
            .toString(),
        "5,6");
    EXPECT_EQ(TestDataFile::count(postingsOf7), 4);

    // A failing delete of the postings also changes nothing.
    TestDataFile::exec("DROP TRIGGER refuse_99");
    TestDataFile::exec("CREATE TRIGGER keep_results BEFORE DELETE ON results BEGIN SELECT RAISE(ABORT, 'kept'); END");
    cResultsCollection second;
    second.Add(7, 12, 1, 0, 0, 0, 0);
    EXPECT_FALSE(second.insertResults());
    EXPECT_EQ(TestDataFile::count(postingsOf7), 4);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM results WHERE race_nmbr = 7"), 2);
}

TEST(Results, DeletesOfPostingsAndResults) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addRace({.nmbr = 7, .name = "Race 7", .track = "Track", .date = "2024-03-01", .status = 1});
    addResult({.car = 5, .race = 7, .place = 1, .adjustment = 7});
    cResultsCollection list;
    EXPECT_TRUE(list.deletePosting(7)); // never posted
    post(7);
    EXPECT_TRUE(list.deletePosting(7));
    EXPECT_EQ(TestDataFile::count(postingsOf7), 0);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM results WHERE race_nmbr = 7"), 1);
    post(7);
    EXPECT_TRUE(list.deleteResults(7));
    EXPECT_EQ(TestDataFile::count(postingsOf7) + TestDataFile::count("SELECT count(*) FROM results"), 0);
}

TEST(Results, MostLapsLedReturnsEveryTiedCar) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addRace({.nmbr = 7, .name = "Race 7", .track = "Track", .date = "2024-03-01", .status = 1});
    addResult({.car = 1, .race = 7, .place = 1, .lapsLed = 40, .adjustment = 7});
    addResult({.car = 2, .race = 7, .place = 2, .lapsLed = 12, .adjustment = 7});
    addResult({.car = 3, .race = 7, .place = 3, .lapsLed = 40, .adjustment = 7});
    addResult({.car = 4, .race = 7, .place = 0, .adjustment = 7});
    {
        cResultsCollection most;
        EXPECT_EQ(most.loadMostLapsLed(7), 2);
        EXPECT_EQ(cars(most), (QList<int>{1, 3}));
    }
    {
        cResultsCollection led;
        EXPECT_EQ(led.loadLapsLed(7), 3);
    }
    // Nobody led a lap: everyone is tied at 0, so every result comes back; the posting pays only
    // the placed ones.
    addRace({.nmbr = 8, .name = "Race 8", .track = "Track", .date = "2024-03-08", .status = 1});
    addResult({.car = 1, .race = 8, .place = 1, .adjustment = 7});
    addResult({.car = 2, .race = 8, .place = 2, .adjustment = 7});
    addResult({.car = 3, .race = 8, .place = 0, .adjustment = 7});
    {
        cResultsCollection most;
        EXPECT_EQ(most.loadMostLapsLed(8), 3);
    }
    {
        cResultsCollection noResults;
        EXPECT_EQ(noResults.loadMostLapsLed(9), 0);
    }
    TestDataFile::exec("UPDATE results SET fast_qual = 1 WHERE race_nmbr = 7 AND car_nmbr = 2");
    cResultsCollection fast;
    EXPECT_EQ(fast.loadFastQualifier(7), 1);
    EXPECT_EQ(fast.Item(1)->carNmbr(), 2);
    EXPECT_TRUE(data.ui().boxes.isEmpty());
}

TEST(Results, PlacesAndExistenceChecks) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    cResultsCollection list;
    EXPECT_EQ(list.getPlace(5), 0);
    list.Add(7, 5, 3, 0, 0, 0, 0);
    list.Add(7, 5, 9, 0, 0, 0, 0);
    EXPECT_EQ(list.getPlace(5), 3);

    addRace({.nmbr = 7, .name = "Race 7", .track = "Track", .date = "2024-03-01", .status = 1});
    addResult({.car = 5, .race = 7, .place = 1, .adjustment = 7});
    cResultsCollection fresh;
    EXPECT_TRUE(fresh.raceExists(7));
    EXPECT_EQ(fresh.Count(), 1);
    addResult({.car = 6, .race = 7, .place = 2, .adjustment = 7}); // not seen: the list answers from what it holds
    EXPECT_FALSE(fresh.carExists(6));
    EXPECT_TRUE(fresh.carExists(5));
    EXPECT_EQ(fresh.Count(), 1);
}

TEST(Results, SeasonCountsAndCurrentRace) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addLeague({.nmbr = 500, .name = "L"});
    addRace({.nmbr = 7, .name = "Race 7", .track = "Track", .date = "2024-03-01", .status = 1});
    addRace({.nmbr = 8, .name = "Race 8", .track = "Track", .date = "2024-03-08", .status = 1});
    addRace({.nmbr = 9, .name = "Race 9", .track = "Track", .date = "2024-03-08", .status = 1});
    addRace({.nmbr = 20, .name = "Race 20", .track = "Track", .date = "2024-05-01", .raceType = 2, .status = 1});
    addResult({.car = 5, .race = 7, .place = 1, .qualified = 1, .adjustment = 7});
    addResult({.car = 5, .race = 8, .place = 0, .qualified = 4, .adjustment = 7});
    addResult({.car = 5, .race = 9, .place = 7, .qualified = 1, .adjustment = 7});
    addResult({.car = 5, .race = 20, .place = 1, .qualified = 1, .adjustment = 7}); // another race type: never counted

    cResults r;
    EXPECT_EQ(r.wins(500, 5), 1);
    // Race 8 has no finishing place: no top finish.
    EXPECT_EQ(r.top5s(500, 5), 1);
    EXPECT_EQ(r.top10s(500, 5), 2);
    EXPECT_EQ(r.poles(500, 5), 2);
    EXPECT_EQ(r.wins(500, 6), 0);

    // Two races of the type on the latest date: the higher number is the later one.
    EXPECT_EQ(r.currentRaceNmbr(1), 9);
    TestDataFile::exec("DELETE FROM results WHERE race_nmbr = 9");
    EXPECT_EQ(r.currentRaceNmbr(1), 8);
    EXPECT_EQ(r.currentRaceNmbr(3), 0);
    EXPECT_TRUE(data.ui().boxes.isEmpty());
}

TEST(Results, ImportedAgainKeepsTheStoredAdjustment) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addResult({.car = 5, .race = 7, .place = 1, .adjustment = 7}); // adjustment 7
    cResults again;
    again.setRaceNmbr(7);
    again.setCarNmbr(5);
    again.setPlace(4);
    again.setLapsLead(3);
    again.setAdjustment(0);
    EXPECT_TRUE(again.insertRow()); // the key drops it silently
    EXPECT_TRUE(again.updateRow());
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM results"), 1);
    EXPECT_EQ(TestDataFile::count("SELECT place FROM results"), 4);
    EXPECT_EQ(TestDataFile::count("SELECT laps_led FROM results"), 3);
    EXPECT_EQ(TestDataFile::count("SELECT adjustment FROM results"), 7);
    EXPECT_TRUE(again.deleteRow());
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM results"), 0);
}

TEST(Results, ValidateDataNamesDuplicateCarsAndPlaces) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addCar({.nmbr = 512, .txt = "12"});
    addCar({.nmbr = 524, .txt = "24"});

    cResultsCollection valid;
    valid.Add(7, 512, 1, 0, 0, 0, 0);
    valid.Add(7, 524, 2, 0, 0, 0, 0);
    valid.Add(7, 600, 0, 0, 0, 0, 0);
    valid.Add(7, 601, 0, 0, 0, 0, 0); // several results without a place are fine
    EXPECT_EQ(valid.validateData(), "");

    cResultsCollection sameCarSamePlace;
    sameCarSamePlace.Add(7, 512, 3, 0, 0, 0, 0);
    sameCarSamePlace.Add(7, 512, 3, 0, 0, 0, 0);
    EXPECT_EQ(sameCarSamePlace.validateData(),
              "Car Number 12 exists more than once.\r\n Place 3 exists more than once.\r\n");

    // One line per pair: a car entered three times gives three lines; a place shared by two
    // different cars gives one.
    cResultsCollection three;
    three.Add(7, 524, 1, 0, 0, 0, 0);
    three.Add(7, 524, 2, 0, 0, 0, 0);
    three.Add(7, 524, 4, 0, 0, 0, 0);
    three.Add(7, 512, 4, 0, 0, 0, 0);
    EXPECT_EQ(three.validateData(), "Car Number 24 exists more than once.\r\n"
                                    "Car Number 24 exists more than once.\r\n"
                                    "Car Number 24 exists more than once.\r\n"
                                    " Place 4 exists more than once.\r\n");

    cResultsCollection unknownCar;
    unknownCar.Add(7, 999, 1, 0, 0, 0, 0);
    unknownCar.Add(7, 999, 2, 0, 0, 0, 0);
    EXPECT_EQ(unknownCar.validateData(), "Car Number  exists more than once.\r\n");
    EXPECT_TRUE(data.ui().boxes.isEmpty());
}
