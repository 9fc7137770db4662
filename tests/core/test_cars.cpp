#include "Rows.h"
#include "TestDataFile.h"
#include "data/cCar.h"
#include "data/cCarCollection.h"

#include <QLocale>
#include <gtest/gtest.h>

TEST(Car, PropertyRules) {
    cCar car;
    EXPECT_EQ(car.groupNmbr(), 0);
    car.setCarTxt("  12 ");
    EXPECT_EQ(car.carTxt(), "12");
    car.setGroupNmbr(-5);
    EXPECT_EQ(car.groupNmbr(), -1);
    car.setGroupNmbr(0);
    EXPECT_EQ(car.groupNmbr(), 0);
    car.setGroupNmbr(QVariant("abc"));
    EXPECT_EQ(car.groupNmbr(), -1);
    car.setGroupNmbr(QVariant("3"));
    EXPECT_EQ(car.groupNmbr(), 3);
    car.setCarTypeNmbr(3);
    EXPECT_TRUE(car.isBonus());
    EXPECT_FALSE(car.isCar());
    EXPECT_EQ(car.nameOf(), "CAR");
}

TEST(Car, NewNumbersStartAt500) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    cCar first;
    first.setCarTxt("1");
    ASSERT_TRUE(first.CommitChanges());
    EXPECT_EQ(first.carNmbr(), 500);

    TestDataFile::exec("DELETE FROM cars");
    addCar({.nmbr = 499, .txt = "9", .driver = "Imported", .group = -1});
    cCar afterImport;
    ASSERT_TRUE(afterImport.CommitChanges());
    EXPECT_EQ(afterImport.carNmbr(), 500);

    addCar({.nmbr = 612, .txt = "10", .driver = "Other", .group = -1});
    cCar next;
    ASSERT_TRUE(next.CommitChanges());
    EXPECT_EQ(next.carNmbr(), 613);
}

TEST(Car, ValuesRoundTripWithQuotesCentsAndGroups) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    // A locale with a decimal comma must not reach the statements.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    cCar car;
    car.setRaceTypeNmbr(1);
    car.setCarTypeNmbr(2);
    car.setCarTxt("O'Neil");
    car.setDriverName("Pat O'Neil");
    car.setCarOwner("Owner's");
    car.setCarMake("Make");
    car.setSponsor("Joe's Diner");
    car.setSalary(Currency::fromUnits(12345600)); // 1234.56
    car.setGroupNmbr(-1);
    ASSERT_TRUE(car.CommitChanges());
    EXPECT_TRUE(TestDataFile::scalar("SELECT group_nmbr FROM cars WHERE car_nmbr = 500").toInt() == -1);

    cCar back;
    ASSERT_EQ(back.load(500), 1);
    EXPECT_EQ(back.driverName(), "Pat O'Neil");
    EXPECT_EQ(back.sponsor(), "Joe's Diner");
    EXPECT_EQ(back.carOwner(), "Owner's");
    EXPECT_EQ(back.salary(), Currency::fromUnits(12345600));
    EXPECT_EQ(back.groupNmbr(), -1);

    back.setSalary(Currency::fromUnits(99999999)); // 9999.9999
    back.setGroupNmbr(2);
    ASSERT_TRUE(back.CommitChanges());
    cCarCollection list;
    EXPECT_EQ(list.getCarSalary(500), Currency::fromUnits(99999999));
    EXPECT_EQ(list.getCarGroupDisplay(500), "Group B");
    QLocale::setDefault(before);

    // A NULL group loads as no group.
    TestDataFile::exec("UPDATE cars SET group_nmbr = NULL WHERE car_nmbr = 500");
    cCar nullGroup;
    nullGroup.load(500);
    EXPECT_EQ(nullGroup.groupNmbr(), -1);
    EXPECT_TRUE(data.ui().boxes.isEmpty());
}

TEST(Car, FailedInsertLeavesObjectUnstored) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    TestDataFile::exec("CREATE TRIGGER no_insert BEFORE INSERT ON cars BEGIN SELECT RAISE(ABORT, 'refused'); END");
    cCar car;
    car.setCarTxt("7");
    EXPECT_FALSE(car.CommitChanges());
    EXPECT_EQ(car.carNmbr(), 0);
    TestDataFile::exec("DROP TRIGGER no_insert");
    ASSERT_TRUE(car.CommitChanges());
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM cars WHERE car_txt = '7'"), 1);
}

TEST(Car, DuplicateChecks) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addCar({.nmbr = 507, .txt = "12", .driver = "Ann", .group = -1});
    addCar({.nmbr = 508, .carType = 2, .txt = "", .driver = "Pat O'Neil ", .group = -1});
    addCar({.nmbr = 509, .raceType = 2, .txt = "44", .driver = "", .group = -1});
    cCar c;
    EXPECT_TRUE(c.carTxtExists("12", 0, 1, 1));
    EXPECT_TRUE(c.carTxtExists(" 12 ", 0, 1, 1));
    EXPECT_FALSE(c.carTxtExists("12", 507, 1, 1)); // the entry being edited
    EXPECT_FALSE(c.carTxtExists("12", 0, 2, 1));   // another race type
    EXPECT_FALSE(c.carTxtExists("12", 0, 1, 2));   // another car type
    EXPECT_TRUE(c.driverExists("pat o'neil", 0, 1, 2));
    EXPECT_TRUE(c.driverExists("PAT O'NEIL", 600, 1, 2));
    EXPECT_FALSE(c.driverExists("Pat O'Neil", 508, 1, 2));
    addCar({.nmbr = 510, .carType = 2, .txt = "", .driver = "Ånders Ökvist", .group = -1});
    EXPECT_TRUE(c.driverExists("åNDERS öKVIST", 0, 1, 2));
}

TEST(Car, TopBonusEntryIsCreatedOncePerRaceType) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addCar({.nmbr = 700, .txt = "3", .driver = "Driver", .group = -1});
    cCar first;
    first.getTopBonusCar(1);
    EXPECT_EQ(first.carNmbr(), 701);
    EXPECT_TRUE(first.isBonus());
    EXPECT_EQ(first.carTxt(), "Top Bonus");
    EXPECT_EQ(first.driverName(), "Top Bonus");
    cCar again;
    again.getTopBonusCar(1);
    EXPECT_EQ(again.carNmbr(), 701);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM cars WHERE car_type_nmbr = 3 AND race_type_nmbr = 1"), 1);

    cCar other;
    other.getTopBonusCar(6);
    EXPECT_EQ(other.carNmbr(), 702);
    EXPECT_EQ(other.raceTypeNmbr(), 6);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM cars WHERE car_type_nmbr = 3"), 2);
}

TEST(Car, ImportWritersKeepSalaryAndGroupOfKnownEntries) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addCar({.nmbr = 42, .txt = "42", .driver = "Old Name", .group = 2, .salary = 1500.25});
    cCar imported;
    imported.setCarNmbr(42);
    imported.setRaceTypeNmbr(1);
    imported.setCarTypeNmbr(1);
    imported.setCarTxt("42");
    imported.setDriverName("New Name");
    EXPECT_TRUE(imported.insert()); // dropped by the key, without an error
    EXPECT_TRUE(imported.updateImportRow());
    cCar back;
    back.load(42);
    EXPECT_EQ(back.driverName(), "New Name");
    EXPECT_EQ(back.salary(), Currency::fromUnits(15002500));
    EXPECT_EQ(back.groupNmbr(), 2);
    EXPECT_TRUE(data.ui().boxes.isEmpty());
}

TEST(CarCollection, LoadFiltersAndOrders) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addCar({.nmbr = 501, .carType = 2, .txt = "", .driver = "Zed", .group = -1});
    addCar({.nmbr = 502, .txt = "9", .driver = "Amy", .group = -1});
    addCar({.nmbr = 503, .carType = 2, .txt = "", .driver = "bob", .group = -1});
    addCar({.nmbr = 504, .txt = "10", .driver = "Cy", .group = -1});
    addCar({.nmbr = 505, .raceType = 2, .carType = 2, .txt = "", .driver = "Al", .group = -1});

    cCarCollection drivers;
    ASSERT_EQ(drivers.load(1, 2), 2);
    EXPECT_EQ(drivers.Item(1)->driverName(), "bob");
    EXPECT_EQ(drivers.Item(2)->driverName(), "Zed");

    cCarCollection cars;
    ASSERT_EQ(cars.load(1, 1), 2);
    EXPECT_EQ(cars.Item(1)->carTxt(), "10"); // car text is text: "10" before "9"

    cCarCollection ofType;
    EXPECT_EQ(ofType.load(1), 4);
    EXPECT_EQ(ofType.load(1), 8);
    cCarCollection allDrivers;
    EXPECT_EQ(allDrivers.load(std::nullopt, 2), 3);
    EXPECT_EQ(allDrivers.Item(1)->driverName(), "Al");
}

TEST(CarCollection, LookupsByNumber) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addCar({.nmbr = 501, .carType = 2, .txt = "D1", .driver = "Dana", .group = 1, .salary = 250.5});
    addCar({.nmbr = 502, .txt = "22", .driver = "Cal", .group = -1, .salary = 100});
    cCarCollection list;
    EXPECT_EQ(list.getCarDisplay(501), "Dana");
    EXPECT_EQ(list.getCarDisplay(502), "22");
    EXPECT_EQ(list.getCarDisplay(999), "");
    EXPECT_EQ(list.getCarSalary(501), Currency::fromUnits(2505000));
    EXPECT_EQ(list.getCarSalary(999), Currency());
    EXPECT_EQ(list.getCarGroupDisplay(501), "Group A");
    EXPECT_EQ(list.getCarGroupDisplay(502), "");
    EXPECT_TRUE(list.groupNmbrExists(-1));
    EXPECT_TRUE(list.groupNmbrExists(1));
    EXPECT_FALSE(list.groupNmbrExists(3));
    EXPECT_EQ(list.Count(), 2); // loaded once, on the first lookup
}
