#include "Rows.h"
#include "TestDataFile.h"
#include "data/cScoringType.h"
#include "data/cScoringTypeCollection.h"

#include <gtest/gtest.h>

namespace {

// A stored user method with a small points table and one top-finish rule.
int storeMethodWithTables(const QString& name) {
    cScoringType st;
    st.setScoringTypeName(name);
    st.setLapsLedBonus(1);
    if (!st.CommitChanges())
        return 0;
    const int n = st.scoringTypeNmbr();
    addPoints({.scoringType = n, .place = 1, .points = 10, .qualPoints = 1});
    addPoints({.scoringType = n, .place = 2, .points = 8});
    addTopPoints({.scoringType = n, .cars = 2, .points = 5, .top = 3});
    return st.scoringTypeNmbr();
}

} // namespace

TEST(ScoringType, NumbersAndValuesAreStored) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    cScoringType first;
    first.setScoringTypeName("Fan's Choice");
    first.setLapsLedBonus(-2);
    first.setMostLapsLedBonus(0);
    first.setFastQualBonus(4);
    ASSERT_TRUE(first.CommitChanges());
    EXPECT_EQ(first.scoringTypeNmbr(), 500);
    EXPECT_TRUE(first.usesLapsLedBonus());
    EXPECT_FALSE(first.usesMostLapsLedBonus());
    EXPECT_TRUE(first.usesFastQualBonus());

    first.setScoringTypeName("It's 'new'");
    first.setMostLapsLedBonus(7);
    ASSERT_TRUE(first.CommitChanges());
    cScoringType back;
    back.load(500);
    EXPECT_EQ(back.scoringTypeName(), "It's 'new'");
    EXPECT_EQ(back.lapsLedBonus(), -2);
    EXPECT_EQ(back.mostLapsLedBonus(), 7);
    EXPECT_EQ(back.fastQualBonus(), 4);

    addScoringType({.nmbr = 502, .name = "x"});
    cScoringType next;
    ASSERT_TRUE(next.insertRow());
    EXPECT_EQ(next.scoringTypeNmbr(), 503);

    // A number without a row leaves the object as it was.
    back.load(999);
    EXPECT_EQ(back.scoringTypeNmbr(), 500);
    EXPECT_EQ(back.scoringTypeName(), "It's 'new'");
}

TEST(ScoringType, CopyKeepsNumberAndIsIndependent) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    cScoringType shipped;
    shipped.load(1);
    auto copy = shipped.copy();
    EXPECT_EQ(copy->scoringTypeNmbr(), 1);
    EXPECT_EQ(copy->scoringTypeName(), "Standard Points");
    EXPECT_EQ(copy->fastQualBonus(), 3);
    copy->setFastQualBonus(9);
    EXPECT_EQ(shipped.fastQualBonus(), 3);
    // Saving the copy updates the listed row, it does not add one.
    ASSERT_TRUE(copy->CommitChanges());
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM scoring_type"), 2);
    EXPECT_EQ(TestDataFile::count("SELECT fast_qual_bonus FROM scoring_type WHERE scoring_type_nmbr = 1"), 9);
}

TEST(ScoringType, FailedInsertLeavesObjectUnstored) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    TestDataFile::exec(
        "CREATE TRIGGER no_insert BEFORE INSERT ON scoring_type BEGIN SELECT RAISE(ABORT, 'refused'); END");
    cScoringType st;
    st.setScoringTypeName("Broken");
    EXPECT_FALSE(st.CommitChanges());
    EXPECT_EQ(st.scoringTypeNmbr(), 0);
    TestDataFile::exec("DROP TRIGGER no_insert");
    ASSERT_TRUE(st.CommitChanges());
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM scoring_type WHERE scoring_type_name = 'Broken'"), 1);
}

TEST(ScoringType, DeleteTakesItsTablesAlong) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    const int nmbr = storeMethodWithTables("Old");
    ASSERT_EQ(nmbr, 500);
    cScoringType old;
    old.load(nmbr);
    ASSERT_TRUE(old.deleteRow());
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM scoring_type WHERE scoring_type_nmbr = 500"), 0);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM scoring_points WHERE scoring_type_nmbr = 500"), 0);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM scoring_top_points WHERE scoring_type_nmbr = 500"), 0);
    // The shipped methods' tables are untouched.
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM scoring_points WHERE scoring_type_nmbr = 1"), 43);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM scoring_top_points"), 2);

    // The next method gets number 500 again and starts without the old one's points.
    cScoringType fresh;
    fresh.setScoringTypeName("New");
    ASSERT_TRUE(fresh.CommitChanges());
    EXPECT_EQ(fresh.scoringTypeNmbr(), 500);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM scoring_points WHERE scoring_type_nmbr = 500"), 0);
}

TEST(ScoringType, DeleteIsAllOrNothing) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    const int nmbr = storeMethodWithTables("Kept");
    ASSERT_EQ(nmbr, 500);
    // The last of the three deletes fails; the two before it must be undone.
    TestDataFile::exec(
        "CREATE TRIGGER no_delete BEFORE DELETE ON scoring_type BEGIN SELECT RAISE(ABORT, 'refused'); END");
    cScoringType st;
    st.load(nmbr);
    EXPECT_FALSE(st.deleteRow());
    EXPECT_EQ(data.ui().boxes.size(), 1);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM scoring_type WHERE scoring_type_nmbr = 500"), 1);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM scoring_points WHERE scoring_type_nmbr = 500"), 2);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM scoring_top_points WHERE scoring_type_nmbr = 500"), 1);
}

TEST(ScoringType, CollectionLoadsAndLooksUp) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    cScoringTypeCollection list;
    EXPECT_EQ(list.getScoringTypeName(2), "Low Score");
    EXPECT_EQ(list.getScoringTypeName(77), "");
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Item(1)->mostLapsLedBonus(), 5);
    EXPECT_EQ(list.load(), 4);
    int sum = 0;
    for (const cScoringType& st : list)
        sum += st.scoringTypeNmbr();
    EXPECT_EQ(sum, 6);
}
