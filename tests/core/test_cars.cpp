#include "Rows.h"
#include "ScopedLocale.h"
#include "TestDataFile.h"
#include "data/cCar.h"
#include "data/cCarCollection.h"
#include "rules/CarRules.h"

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

// ---- the rules a car, driver or Top Bonus entry is stored by ----

// Race type 1 holds car 500 "24" (Red Driver; an ended holding of team 600), driver 501 "Blue Driver",
// the Top Bonus entry 502, car 503 "30" (a result in race 1) and car 504 "31"; race type 6 its own Top
// Bonus entry 505.
class CarRules : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(data.ok());
        addCar({.nmbr = 500, .txt = "24", .driver = "Red Driver", .group = -1});
        addCar({.nmbr = 501, .carType = 2, .txt = "7", .driver = "Blue Driver", .group = -1});
        addCar({.nmbr = 502, .carType = 3, .txt = "Top Bonus", .driver = "Top Bonus", .group = -1});
        addCar({.nmbr = 503, .txt = "30", .driver = "Green Driver", .group = -1});
        addCar({.nmbr = 504, .txt = "31", .driver = "White Driver", .group = -1});
        addCar({.nmbr = 505, .raceType = 6, .carType = 3, .txt = "Top Bonus", .driver = "Top Bonus", .group = -1});
        addTeam({.nmbr = 600, .name = "T"});
        addHolding({.team = 600, .car = 500, .from = "2024-01-01", .to = "2024-02-01"});
        addRace({.nmbr = 1, .name = "R"});
        addResult({.car = 503, .race = 1, .place = 3});
    }

    static CarEntry entry(int carNmbr, int carType, std::optional<int> raceType, const QString& number,
                          const QString& driver, std::optional<Currency> salary = Currency()) {
        return {carNmbr, carType, raceType, number, driver, salary};
    }
    // The rule's verdict, answering its question with answer and keeping what it asked.
    CarRefusal check(const CarEntry& car, int answer = AnswerYes) {
        return carRefusal(car, [this, answer](const QString& text, const QString& title, MsgButtons buttons) {
            asked << text + " | " + title + " | " + QString::number(int(buttons));
            return answer;
        });
    }

    TestDataFile data;
    QStringList asked;
};

TEST_F(CarRules, RefusalsComeInOrderWithTheFieldTheyConcern) {
    struct Case {
        const char* what;
        CarEntry car;
        CarField field;
        QString text;
    };
    // Each case breaks its rule and every later one, so the first failing rule shows.
    const Case cases[] = {
        {"race type", entry(0, 1, std::nullopt, "", "", std::nullopt), CarField::RaceType,
         "Race Type is a required field"},
        {"number", entry(0, 1, 1, "  ", "", std::nullopt), CarField::CarNumber, "Car Number is a required field"},
        {"duplicate car, as stored", entry(0, 1, 1, " 24 ", "", std::nullopt), CarField::CarNumber, "Duplicate Car"},
        {"a car needs a driver", entry(0, 1, 1, "25", " ", std::nullopt), CarField::Driver,
         "Driver is a required field"},
        {"driver", entry(0, 2, 1, "9", "", std::nullopt), CarField::Driver, "Driver is a required field"},
        {"duplicate driver, before the name question", entry(0, 2, 1, "9", "blue driver ", std::nullopt),
         CarField::Driver, "Duplicate Driver"},
        {"second bonus", entry(0, 3, 1, "", "", std::nullopt), CarField::RaceType,
         "You can only have one Bonus type per Race Type."},
        // Without a type there is nothing to ask a number or a name of.
        {"no type", entry(0, 0, 1, "", "", std::nullopt), CarField::CarType, "You must define this as a Car or Driver"},
        {"held car's race type", entry(500, 1, 2, "24", "Red Driver", std::nullopt), CarField::RaceType,
         "Can not change Race Type.\r\nThis Car is a member of at least one Team for the current Race Type."},
        {"salary", entry(0, 1, 1, "25", "New Driver", std::nullopt), CarField::Salary,
         "Invalid Salary amount\r\nType the amount in the form 1,234.56"},
    };
    ScopedLocale us(ScopedLocale::american());
    for (const Case& c : cases) {
        const CarRefusal refusal = check(c.car);
        EXPECT_TRUE(refusal.refused()) << c.what;
        EXPECT_EQ(refusal.field, c.field) << c.what;
        EXPECT_EQ(refusal.text, c.text) << c.what;
    }
    EXPECT_TRUE(asked.isEmpty()) << qPrintable(asked.join('\n'));
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM cars"), 6);

    ScopedLocale de(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(check(entry(0, 1, 1, "25", "New Driver", std::nullopt)).text,
              "Invalid Salary amount\r\nType the amount in the form 1.234,56");
    EXPECT_FALSE(check(entry(0, 1, 1, "25", "New Driver", Currency::fromUnits(12500050))).refused());
}

TEST_F(CarRules, DuplicatesAreScopedByRaceTypeAndCarType) {
    EXPECT_FALSE(check(entry(0, 1, 2, "24", "Red Driver")).refused());   // another race type
    EXPECT_FALSE(check(entry(500, 1, 1, "24", "Red Driver")).refused()); // the stored car itself
    EXPECT_FALSE(check(entry(0, 1, 1, "88", "Blue Driver")).refused());  // a car may carry a driver's name
    EXPECT_FALSE(check(entry(0, 2, 1, "24", "Grey Driver")).refused());  // a driver a car's number
    EXPECT_FALSE(check(entry(501, 2, 1, "7", "Blue Driver")).refused());
    EXPECT_EQ(duplicateCarRefusal(entry(0, 1, 1, "24", "")), "Duplicate Car");
    EXPECT_EQ(duplicateCarRefusal(entry(0, 1, 6, "24", "")), "");
    EXPECT_EQ(duplicateDriverRefusal(entry(0, 2, 1, "", "BLUE DRIVER")), "Duplicate Driver");
    EXPECT_EQ(duplicateDriverRefusal(entry(501, 2, 1, "", "Blue Driver")), "");
}

// The posting pays every team's bonus through the one entry of the race type.
TEST_F(CarRules, OneTopBonusEntryPerRaceType) {
    // The stored entry itself saves, and needs neither a number nor a name; so does a new one for a
    // race type without one.
    EXPECT_FALSE(check(entry(502, 3, 1, "Top Bonus", "Top Bonus")).refused());
    EXPECT_FALSE(check(entry(0, 3, 2, "", "")).refused());
    EXPECT_EQ(check(entry(0, 3, 6, "", "")).text, "You can only have one Bonus type per Race Type.");
    // Nor may a stored entry move to a race type that has its own.
    const CarRefusal moved = check(entry(502, 3, 6, "Top Bonus", "Top Bonus"));
    EXPECT_EQ(moved.field, CarField::RaceType);
    EXPECT_EQ(moved.text, "You can only have one Bonus type per Race Type.");
    EXPECT_FALSE(check(entry(502, 3, 2, "Top Bonus", "Top Bonus")).refused());
}

// Read from the data file at the save, whatever race type the window was opened with.
TEST_F(CarRules, AStoredEntryKeepsItsRaceTypeWhileHeldOrWithResults) {
    EXPECT_EQ(check(entry(503, 1, 2, "30", "Green Driver")).text,
              "Can not change Race Type.\r\nThis Car has Results for at least one Race.");
    EXPECT_FALSE(check(entry(504, 1, 2, "31", "White Driver")).refused());
    EXPECT_FALSE(check(entry(500, 1, 1, "24", "Red Driver")).refused()); // its own race type
    EXPECT_FALSE(check(entry(0, 1, 2, "24", "Red Driver")).refused());   // a new entry is never held
    // Held since the window read it: refused all the same.
    addHolding({.team = 600, .car = 504, .from = "2024-03-01"});
    EXPECT_EQ(check(entry(504, 1, 2, "31", "White Driver")).field, CarField::RaceType);
}

TEST_F(CarRules, ANewDriversNameIsConfirmedBeforeTheSalary) {
    for (int answer : {AnswerNo, AnswerCancel}) {
        asked.clear();
        const CarRefusal refusal = check(entry(0, 2, 1, "12", "Grey Driver"), answer);
        EXPECT_EQ(refusal.field, CarField::Driver);
        EXPECT_EQ(refusal.text, "") << "the answer is the user's own";
        EXPECT_EQ(asked, QStringList{"Driver name can not be changed once the Driver is saved.\r\nAre you sure the "
                                     "name is spelled correctly? | Quorvanti | " +
                                     QString::number(int(MsgButtons::YesNoCancel))});
    }
    asked.clear();
    EXPECT_FALSE(check(entry(0, 2, 1, "12", "Grey Driver")).refused());
    EXPECT_EQ(check(entry(0, 2, 1, "12", "Grey Driver", std::nullopt)).field, CarField::Salary);
    EXPECT_EQ(asked.size(), 2);
    // Once stored the name is final: nothing to ask. Nor is a car's driver name asked about.
    asked.clear();
    EXPECT_FALSE(check(entry(501, 2, 1, "7", "Blue Driver"), AnswerNo).refused());
    EXPECT_FALSE(check(entry(0, 1, 1, "12", "Grey Driver"), AnswerNo).refused());
    EXPECT_TRUE(asked.isEmpty());
}
