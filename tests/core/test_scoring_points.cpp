#include "Rows.h"
#include "TestDataFile.h"
#include "posting/cScoringPoints.h"
#include "posting/cScoringPointsCollection.h"
#include "posting/cScoringTopPointsCollection.h"

#include <gtest/gtest.h>

namespace {} // namespace

TEST(ScoringPoints, HighScoreDirection) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    cScoringPointsCollection more; // shipped method 1: 46, 42, ...
    more.load(1);
    EXPECT_TRUE(more.highScore());
    cScoringPointsCollection fewer; // shipped method 2: 1, 2, ...
    fewer.load(2);
    EXPECT_FALSE(fewer.highScore());

    cScoringPointsCollection equal;
    equal.Add(500, 1, 10, 0);
    equal.Add(500, 2, 10, 0);
    EXPECT_TRUE(equal.highScore());
    cScoringPointsCollection empty;
    EXPECT_TRUE(empty.highScore());
    EXPECT_EQ(empty.pointsForPlace(1), 0);
    EXPECT_EQ(empty.qualPointsForPlace(1), 0);
    EXPECT_FALSE(empty.usesQualPointsBonus());

    // Only place 2 present: place 1 counts as 0 points, so fewer is better.
    cScoringPointsCollection onlySecond;
    onlySecond.Add(500, 2, 5, 0);
    EXPECT_FALSE(onlySecond.highScore());
}

TEST(ScoringPoints, LookupsTakeTheFirstRowOfAPlace) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    cScoringPointsCollection table;
    EXPECT_EQ(table.load(1), 43);
    EXPECT_EQ(table.pointsForPlace(1), 46);
    EXPECT_EQ(table.qualPointsForPlace(2), 2);
    EXPECT_EQ(table.pointsForPlace(999), 0); // did not qualify
    EXPECT_EQ(table.pointsForPlace(0), 0);
    EXPECT_TRUE(table.usesQualPointsBonus());
    EXPECT_EQ(table.load(1), 86); // appends

    cScoringPointsCollection twice;
    twice.Add(500, 3, 30, 0);
    twice.Add(500, 3, 99, 0);
    EXPECT_EQ(twice.pointsForPlace(3), 30);

    cScoringPointsCollection qual;
    EXPECT_EQ(qual.loadQual(1), 3);
    EXPECT_EQ(qual.Item(3)->place(), 3);
    cScoringPointsCollection none;
    EXPECT_EQ(none.loadQual(2), 0);
}

TEST(ScoringPoints, SavingReplacesAndAnEmptyTableClears) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    cScoringPointsCollection table;
    table.Add(1, 1, 100, 5);
    table.Add(1, 2, 50, 0);
    ASSERT_TRUE(table.insertScoringPoints(1));
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM scoring_points WHERE scoring_type_nmbr = 1"), 2);
    EXPECT_EQ(TestDataFile::count("SELECT points FROM scoring_points WHERE scoring_type_nmbr = 1 AND place = 1"), 100);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM scoring_points WHERE scoring_type_nmbr = 2"), 43);

    cScoringPointsCollection empty;
    ASSERT_TRUE(empty.insertScoringPoints(1));
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM scoring_points WHERE scoring_type_nmbr = 1"), 0);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM scoring_points WHERE scoring_type_nmbr = 2"), 43);
    EXPECT_TRUE(data.ui().boxes.isEmpty());
}

TEST(ScoringPoints, AFailedSaveLeavesTheTable) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    TestDataFile::exec("CREATE TRIGGER refuse BEFORE INSERT ON scoring_points WHEN NEW.place = 2"
                       " BEGIN SELECT RAISE(ABORT, 'refused'); END");
    cScoringPointsCollection table;
    table.Add(1, 1, 100, 0);
    table.Add(1, 2, 50, 0);
    EXPECT_FALSE(table.insertScoringPoints(1));
    EXPECT_EQ(data.ui().boxes.size(), 1);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM scoring_points WHERE scoring_type_nmbr = 1"), 43);
    EXPECT_EQ(TestDataFile::count("SELECT points FROM scoring_points WHERE scoring_type_nmbr = 1 AND place = 1"), 46);
}

TEST(ScoringPoints, RowCommitInsertsOrUpdates) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    cScoringPoints row;
    row.setScoringTypeNmbr(1);
    row.setPlace(1);
    row.setPoints(60);
    row.setQualPoints(4);
    ASSERT_TRUE(row.CommitChanges());
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM scoring_points WHERE scoring_type_nmbr = 1 AND place = 1"), 1);
    EXPECT_EQ(TestDataFile::count("SELECT points FROM scoring_points WHERE scoring_type_nmbr = 1 AND place = 1"), 60);
    row.setPlace(44);
    ASSERT_TRUE(row.CommitChanges());
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM scoring_points WHERE scoring_type_nmbr = 1"), 44);
    ASSERT_TRUE(row.deleteRow());
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM scoring_points WHERE scoring_type_nmbr = 1"), 43);
}

TEST(ScoringTopPoints, ReplaceLoadAndClear) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    const int shipped = TestDataFile::count("SELECT count(*) FROM scoring_top_points WHERE scoring_type_nmbr = 1");
    EXPECT_EQ(shipped, 2);

    cScoringTopPointsCollection rules;
    rules.Add(2, 1, 10, 5); // two cars in the top 5
    rules.Add(3, 1, 25, 5); // three cars in the top 5
    rules.Add(1, 2, 4, 3);  // another method: inserted, but its rules are not cleared
    addTopPoints({.scoringType = 2, .cars = 9, .points = 9, .top = 9});
    ASSERT_TRUE(rules.insertScoringTopPoints());

    cScoringTopPointsCollection back;
    EXPECT_EQ(back.load(1), 2);
    EXPECT_EQ(back.Item(1)->nmbr(), 2);
    EXPECT_EQ(back.Item(2)->nmbr(), 3);
    EXPECT_EQ(back.Item(2)->points(), 25);
    EXPECT_EQ(back.Item(2)->top(), 5);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM scoring_top_points WHERE scoring_type_nmbr = 2"), 2);

    cScoringTopPointsCollection empty;
    EXPECT_TRUE(empty.insertScoringTopPoints());
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM scoring_top_points WHERE scoring_type_nmbr = 1"), 2);
    EXPECT_TRUE(empty.deleteScoringTopPoints(1));
    EXPECT_EQ(empty.load(1), 0);
    EXPECT_TRUE(data.ui().boxes.isEmpty());
}

TEST(ScoringTopPoints, AFailedSaveLeavesTheRules) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    TestDataFile::exec("CREATE TRIGGER refuse BEFORE INSERT ON scoring_top_points WHEN NEW.nmbr_cars = 3"
                       " BEGIN SELECT RAISE(ABORT, 'refused'); END");
    cScoringTopPointsCollection rules;
    rules.Add(2, 1, 11, 6);
    rules.Add(3, 1, 25, 6);
    EXPECT_FALSE(rules.insertScoringTopPoints());
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM scoring_top_points WHERE scoring_type_nmbr = 1"), 2);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM scoring_top_points WHERE top_nmbr = 6"), 0);
}
