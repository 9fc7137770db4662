#include "Rows.h"
#include "TestDataFile.h"
#include "data/cCarTypeCollection.h"
#include "data/cGroup.h"
#include "data/cGroupCollection.h"
#include "data/cRaceStatusCollection.h"
#include "data/cRaceType.h"
#include "data/cRaceTypeCollection.h"
#include "data/cScoringOptionCollection.h"
#include "rules/DeleteChecks.h"

#include <gtest/gtest.h>

TEST(RaceType, UserNumbersStartAt500) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    // The shipped race types are numbered 1..6.
    cRaceType first;
    first.setRaceTypeName("Dirt Late Models");
    ASSERT_TRUE(first.CommitChanges());
    EXPECT_EQ(first.raceTypeNmbr(), 500);
    cRaceType second;
    second.setRaceTypeName("Modifieds");
    ASSERT_TRUE(second.CommitChanges());
    EXPECT_EQ(second.raceTypeNmbr(), 501);

    // A second save of the same object updates its row instead of inserting another.
    first.setRaceTypeName("Late Models");
    ASSERT_TRUE(first.CommitChanges());
    EXPECT_EQ(first.raceTypeNmbr(), 500);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM race_type_dm"), 8);

    addRaceType({.nmbr = 503, .name = "x"});
    cRaceType third;
    ASSERT_TRUE(third.insertRow());
    EXPECT_EQ(third.raceTypeNmbr(), 504);

    TestDataFile::exec("DELETE FROM race_type_dm");
    cRaceType inEmpty;
    ASSERT_TRUE(inEmpty.insertRow());
    EXPECT_EQ(inEmpty.raceTypeNmbr(), 500);

    TestDataFile::exec("DELETE FROM race_type_dm");
    addRaceType({.nmbr = 12, .name = "twelve"});
    cRaceType afterShipped;
    ASSERT_TRUE(afterShipped.insertRow());
    EXPECT_EQ(afterShipped.raceTypeNmbr(), 500);
    EXPECT_TRUE(data.ui().boxes.isEmpty());
}

TEST(RaceType, FailedInsertLeavesObjectUnstored) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    TestDataFile::exec(
        "CREATE TRIGGER no_insert BEFORE INSERT ON race_type_dm BEGIN SELECT RAISE(ABORT, 'refused'); END");
    cRaceType rt(0, "Sprint Cars");
    EXPECT_FALSE(rt.CommitChanges());
    EXPECT_EQ(rt.raceTypeNmbr(), 0);
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_TRUE(data.ui().boxes[0].text.contains("refused"));

    // Once the table takes rows again the next save inserts, rather than updating nothing.
    TestDataFile::exec("DROP TRIGGER no_insert");
    ASSERT_TRUE(rt.CommitChanges());
    EXPECT_EQ(rt.raceTypeNmbr(), 500);
    EXPECT_EQ(TestDataFile::scalar("SELECT race_type_name FROM race_type_dm WHERE race_type_nmbr = 500").toString(),
              "Sprint Cars");
}

TEST(RaceType, QuotedNameRoundTripsAndDeleteRemovesOnlyItsRow) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    cRaceType rt(0, "O'Reilly's 'Series'");
    ASSERT_TRUE(rt.CommitChanges());
    cRaceTypeCollection list;
    EXPECT_EQ(list.getRaceTypeName(500), "O'Reilly's 'Series'");

    rt.setRaceTypeName("Bob's");
    ASSERT_TRUE(rt.CommitChanges());
    EXPECT_EQ(TestDataFile::scalar("SELECT race_type_name FROM race_type_dm WHERE race_type_nmbr = 500").toString(),
              "Bob's");
    ASSERT_TRUE(rt.deleteRow());
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM race_type_dm"), 6);
}

TEST(ReferenceLists, LoadsAppendAndLookupsLoadOnlyAnEmptyList) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    cRaceTypeCollection raceTypes;
    EXPECT_EQ(raceTypes.load(), 6);
    EXPECT_EQ(raceTypes.load(), 12);
    EXPECT_EQ(raceTypes.Item(7)->raceTypeName(), raceTypes.Item(1)->raceTypeName());

    cCarTypeCollection fresh;
    EXPECT_EQ(fresh.getCarTypeName(3), "Bonus Car");
    EXPECT_EQ(fresh.Count(), 3);
    cCarTypeCollection noBonus;
    EXPECT_EQ(noBonus.loadNoBonus(), 2);
    EXPECT_EQ(noBonus.getCarTypeName(2), "Driver");
    // The list is not empty, so the lookup does not load the bonus car.
    EXPECT_EQ(noBonus.getCarTypeName(3), "");

    // What a collection loaded is what it answers from.
    cScoringOptionCollection options;
    EXPECT_EQ(options.getScoringOptionName(1), "Standard");
    addScoringOption({.nmbr = 9, .name = "Late"});
    EXPECT_EQ(options.getScoringOptionName(9), "");
    cScoringOptionCollection later;
    EXPECT_EQ(later.getScoringOptionName(9), "Late");

    cRaceStatusCollection statuses;
    EXPECT_EQ(statuses.getraceStatusName(4), "Cancelled");
    EXPECT_EQ(statuses.getraceStatusName(0), "Scheduled"); // a race no status was chosen for
    EXPECT_EQ(statuses.getraceStatusName(9), "");
}

TEST(ReferenceLists, RaceTypeLookupTakesAnyValue) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    cRaceTypeCollection list;
    EXPECT_EQ(list.getRaceTypeName(QString()), "");
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.getRaceTypeName(QVariant()), "");
    EXPECT_EQ(list.getRaceTypeName("abc"), "");
    EXPECT_EQ(list.getRaceTypeName(" 6 "), "F1");
    EXPECT_EQ(list.getRaceTypeName(6), "F1");
    EXPECT_EQ(list.getRaceTypeName(77), "");
}

TEST(ReferenceLists, FailedLoadKeepsTheList) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    cRaceStatusCollection statuses;
    ASSERT_EQ(statuses.load(), 6);
    TestDataFile::exec("DROP TABLE race_status_dm");
    EXPECT_EQ(statuses.load(), 6);
    EXPECT_EQ(data.ui().boxes.size(), 1);
    EXPECT_EQ(statuses.getraceStatusName(2), "Completed");
}

TEST(ReferenceLists, PositionsAndKeys) {
    cGroupCollection list;
    list.Add(10, "Ten", 2);
    list.Add(11, "Eleven", -1, "k11");
    EXPECT_EQ(list.Add(12, "Twelve", 0, "K11"), nullptr); // a key names one row only
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Item(0), nullptr);
    EXPECT_EQ(list.Item(3), nullptr);
    EXPECT_EQ(list.Item("K11")->groupNmbr(), 11);
    list.Remove("k11");
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Item("k11"), nullptr);
    list.Remove(1);
    EXPECT_EQ(list.Count(), 0);
}

TEST(Group, NullLimitAndMissingRows) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    cGroup shipped;
    ASSERT_EQ(shipped.load(1), 1);
    EXPECT_EQ(shipped.maxNmbr(), -1);
    cGroupCollection list;
    ASSERT_EQ(list.load(), 3);
    EXPECT_EQ(list.Item(1)->maxNmbr(), -1);
    EXPECT_EQ(list.getGroupName(-1), "");
    EXPECT_EQ(list.getGroupName(QString()), "");
    EXPECT_EQ(list.getGroupName(2), "Group B");

    cGroup missing;
    missing.setGroupName("kept");
    EXPECT_EQ(missing.load(99), 0);
    EXPECT_EQ(missing.groupNmbr(), -1);
    EXPECT_EQ(missing.maxNmbr(), -1);
    EXPECT_EQ(missing.groupName(), "kept");
}

TEST(Group, NumbersNamesAndLimitsAreStored) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    cGroup a;
    a.setGroupName("Rookies' Group");
    a.setMaxNmbr(0);
    ASSERT_TRUE(a.CommitChanges());
    EXPECT_EQ(a.groupNmbr(), 500);
    cGroup b;
    b.setGroupName("Veterans");
    b.setMaxNmbr(2);
    ASSERT_TRUE(b.CommitChanges());
    EXPECT_EQ(b.groupNmbr(), 501);

    // A limit read as NULL is written back as -1, which still means no limit.
    cGroup shipped;
    shipped.load(1);
    ASSERT_TRUE(shipped.CommitChanges());
    EXPECT_EQ(TestDataFile::scalar("SELECT max_nmbr FROM group_dm WHERE group_nmbr = 1").toInt(), -1);

    cGroup back;
    ASSERT_EQ(back.load(500), 1);
    EXPECT_EQ(back.groupName(), "Rookies' Group");
    EXPECT_EQ(back.maxNmbr(), 0);
    ASSERT_TRUE(back.deleteRow());
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM group_dm"), 4);
}

// What the race-type and group lists say before a delete: a shipped entry never goes, and one still
// in use is refused naming the first thing that uses it.
TEST(ReferenceLists, DeleteRefusals) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    EXPECT_EQ(shippedRaceTypeRefusal(1, "Cup"), "Can't delete system generated Race Type Cup");
    EXPECT_EQ(shippedRaceTypeRefusal(500, "Club"), "");
    EXPECT_EQ(shippedGroupRefusal(2, "Group B"), "Can't delete system generated Group Group B");
    EXPECT_EQ(shippedGroupRefusal(500, "Rookies"), "");

    addRaceType({.nmbr = 500, .name = "Club"});
    addGroup({.nmbr = 500, .maxNmbr = 3, .name = "Rookies"});
    EXPECT_EQ(raceTypeInUseRefusal(500, "Club"), "");
    EXPECT_EQ(groupInUseRefusal(500, "Rookies"), "");
    addCar({.nmbr = 600, .raceType = 500, .txt = "6", .group = 500});
    EXPECT_EQ(raceTypeInUseRefusal(500, "Club"),
              "At least one Car/Driver is using this Race Type.\r\nYou must remove Race Type Club from all "
              "Cars/Drivers before Race Type can be deleted.");
    EXPECT_EQ(groupInUseRefusal(500, "Rookies"),
              "At least one Car/Driver is using this Group.\r\nYou must remove Group Rookies from all "
              "Cars/Drivers before Group can be deleted.");
    addTeam({.nmbr = 600, .name = "Racers", .raceType = 500});
    EXPECT_TRUE(raceTypeInUseRefusal(500, "Club").startsWith("At least one Team is using this Race Type."));
    addLeague({.nmbr = 600, .name = "Sunday", .raceType = 500});
    EXPECT_TRUE(raceTypeInUseRefusal(500, "Club").startsWith("At least one League is using this Race Type."));
}
