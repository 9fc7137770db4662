#include "TestDataFile.h"
#include "posting/cResults.h"
#include "posting/cResultsCollection.h"

#include <gtest/gtest.h>

namespace {

void addRace(int nmbr, const char* date, int raceType) {
    TestDataFile::exec(QStringLiteral("INSERT INTO races VALUES (%1, 'Race %1', 'Track', '%2', 1, %3, 1)")
                           .arg(nmbr)
                           .arg(QLatin1String(date))
                           .arg(raceType));
}

void addResult(int race, int car, int place, int lapsLed = 0, int qualified = 0) {
    TestDataFile::exec(QStringLiteral("INSERT INTO results VALUES (%1, %2, %3, %4, 0, %5, 7)")
                           .arg(car)
                           .arg(race)
                           .arg(place)
                           .arg(qualified)
                           .arg(lapsLed));
}

// Posted rows of the race in two leagues.
void post(int race) {
    for (int league : {1, 2}) {
        TestDataFile::exec(
            QStringLiteral(
                "INSERT INTO team_results (race_nmbr, car_nmbr, team_nmbr, league_nmbr) VALUES (%1, 5, 1, %2)")
                .arg(race)
                .arg(league));
        TestDataFile::exec(
            QStringLiteral("INSERT INTO team_results_summary VALUES (%1, 1, %2, 40, 1)").arg(race).arg(league));
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
    addRace(7, "2024-03-01", 1);
    addRace(8, "2024-03-08", 1);
    addResult(7, 5, 1);
    addResult(7, 6, 2);
    addResult(8, 5, 3);
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
    addRace(7, "2024-03-01", 1);
    addResult(7, 5, 1);
    addResult(7, 6, 2);
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
    addRace(7, "2024-03-01", 1);
    addResult(7, 5, 1);
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
    addRace(7, "2024-03-01", 1);
    addResult(7, 1, 1, 40);
    addResult(7, 2, 2, 12);
    addResult(7, 3, 3, 40);
    addResult(7, 4, 0, 0);
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
    addRace(8, "2024-03-08", 1);
    addResult(8, 1, 1);
    addResult(8, 2, 2);
    addResult(8, 3, 0);
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

    addRace(7, "2024-03-01", 1);
    addResult(7, 5, 1);
    cResultsCollection fresh;
    EXPECT_TRUE(fresh.raceExists(7));
    EXPECT_EQ(fresh.Count(), 1);
    addResult(7, 6, 2); // not seen: the list answers from what it holds
    EXPECT_FALSE(fresh.carExists(6));
    EXPECT_TRUE(fresh.carExists(5));
    EXPECT_EQ(fresh.Count(), 1);
}

TEST(Results, SeasonCountsAndCurrentRace) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    TestDataFile::exec("INSERT INTO leagues (league_nmbr, league_name, race_type_nmbr) VALUES (500, 'L', 1)");
    addRace(7, "2024-03-01", 1);
    addRace(8, "2024-03-08", 1);
    addRace(9, "2024-03-08", 1);
    addRace(20, "2024-05-01", 2);
    addResult(7, 5, 1, 0, 1);
    addResult(8, 5, 0, 0, 4);
    addResult(9, 5, 7, 0, 1);
    addResult(20, 5, 1, 0, 1); // another race type: never counted

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
    addResult(7, 5, 1); // adjustment 7
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
    TestDataFile::exec("INSERT INTO cars (car_nmbr, race_type_nmbr, car_type_nmbr, car_txt) VALUES (512, 1, 1, '12')");
    TestDataFile::exec("INSERT INTO cars (car_nmbr, race_type_nmbr, car_type_nmbr, car_txt) VALUES (524, 1, 1, '24')");

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
