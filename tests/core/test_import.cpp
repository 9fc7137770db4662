#include "Rows.h"
#include "ScopedLocale.h"
#include "TestDataFile.h"
#include "data/DataChanges.h"
#include "exchange/Import.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>

namespace {

// Writes an import file into the test's folder and returns its full path.
QString writeFile(const TestDataFile& data, const QByteArray& bytes, const char* name = "series.qvi") {
    const QString path = QDir(data.folder()).filePath(QLatin1String(name));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
    return path;
}

QVariant one(const char* sql) {
    return TestDataFile::scalar(QLatin1String(sql));
}
int count(const char* sql) {
    return one(sql).toInt();
}

// Every row an import can touch, as one text, to tell that a refused file changed nothing.
QString snapshot() {
    const char* queries[] = {
        "SELECT group_concat(quote(car_nmbr) || quote(race_type_nmbr) || quote(car_type_nmbr) || quote(car_txt) ||"
        " quote(car_owner) || quote(driver_name) || quote(car_make) || quote(sponsor) || quote(group_nmbr) ||"
        " quote(salary), '/') FROM cars",
        "SELECT group_concat(quote(race_nmbr) || quote(race_name) || quote(track_name) || quote(race_dt) ||"
        " quote(car_type_nmbr) || quote(race_type_nmbr) || quote(race_status_nmbr), '/') FROM races",
        "SELECT group_concat(quote(car_nmbr) || quote(race_nmbr) || quote(place) || quote(qualified) ||"
        " quote(fast_qual) || quote(laps_led) || quote(adjustment), '/') FROM results",
        "SELECT group_concat(quote(team_nmbr) || quote(car_nmbr) || quote(efctv_dt) || quote(term_dt) ||"
        " quote(price) || quote(locked_salary) || quote(active), '/') FROM team_car",
        "SELECT count(*) || group_concat(race_nmbr || car_nmbr) FROM team_results",
        "SELECT count(*) || group_concat(race_nmbr || team_nmbr || points) FROM team_results_summary",
    };
    QString all;
    for (const char* q : queries)
        all += one(q).toString() + QLatin1Char('|');
    return all;
}

// Entries of race type 1 under the numbers the data file keeps.
void addCars(std::initializer_list<int> numbers, int raceType = 1) {
    for (const int n : numbers)
        addCar({.nmbr = n,
                .raceType = raceType,
                .txt = QStringLiteral("Car %1").arg(n),
                .owner = "",
                .driver = "",
                .make = "",
                .sponsor = "",
                .group = 0});
}

void addPostedResult(int race, int car, int adjustment) {
    addResult({.car = car, .race = race, .place = 3, .qualified = 4, .lapsLed = 5, .adjustment = adjustment});
    addTeamResult({.race = race, .car = car, .team = 1, .league = 1});
    addSummary({.race = race, .team = 1, .league = 1, .points = 40, .place = 1});
}

} // namespace

TEST(Import, CarRecordsInsertNewCarsAndUpdateExistingOnesKeepingGroupAndSalary) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addCar({.nmbr = 24,
            .txt = "Old",
            .owner = "o",
            .driver = "d",
            .make = "m",
            .sponsor = "s",
            .group = 2,
            .salary = 1500000});
    const QString path = writeFile(data, "11;24;1;1;\"  24 Fast Co  \";\"Owner\";\"Make\";\"Sponsor\";\"Driver\"\r\n"
                                         "11;31;2;6;\"Ace\";;\"\";\"S\";\"Ace Driver\"\r\n"
                                         "11;34;1;6;\"No line end at the end\";;;;");
    ASSERT_TRUE(importFile(path));
    EXPECT_TRUE(data.ui().boxes.isEmpty());
    EXPECT_EQ(one("SELECT car_txt FROM cars WHERE car_nmbr = 24").toString(), "24 Fast Co"); // trimmed
    EXPECT_EQ(one("SELECT driver_name FROM cars WHERE car_nmbr = 24").toString(), "Driver");
    EXPECT_EQ(one("SELECT car_owner || '|' || car_make || '|' || sponsor FROM cars WHERE car_nmbr = 24").toString(),
              "Owner|Make|Sponsor");
    EXPECT_EQ(count("SELECT group_nmbr FROM cars WHERE car_nmbr = 24"), 2);
    EXPECT_EQ(one("SELECT salary FROM cars WHERE car_nmbr = 24").toDouble(), 1500000.0);
    // A new car: group 0, salary 0, empty fields give empty texts.
    EXPECT_EQ(one("SELECT group_nmbr || '|' || salary || '|' || race_type_nmbr || '|' || car_type_nmbr || '|' ||"
                  " car_owner || '|' || car_make FROM cars WHERE car_nmbr = 31")
                  .toString(),
              "0|0.0|6|2||");
    EXPECT_EQ(one("SELECT car_txt FROM cars WHERE car_nmbr = 34").toString(), "No line end at the end");
}

TEST(Import, EveryLineEndIsALineEnd) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    // As a Linux editor, an old Mac editor and a file pasted together from both write them.
    const QByteArray files[] = {
        "11;1;1;1;\"A\";;;;\"Ann\"\n11;2;1;1;\"B\";;;;\"Bob\"\n",
        "11;1;1;1;\"A\";;;;\"Ann\"\r11;2;1;1;\"B\";;;;\"Bob\"\r",
        "11;1;1;1;\"A\";;;;\"Ann\"\r\n11;2;1;1;\"B\";;;;\"Bob\"\r",
        "11;1;1;1;\"A\";;;;\"Ann\"\n\r\n11;2;1;1;\"B\";;;;\"Bob\"",
        "11;1;1;1;\"A\";;;;\"Ann\"\r\r\n\n11;2;1;1;\"B\";;;;\"Bob\"\r\n",
    };
    for (const QByteArray& text : files) {
        TestDataFile::exec("DELETE FROM cars");
        ASSERT_TRUE(importFile(writeFile(data, text))) << text.toStdString();
        EXPECT_EQ(one("SELECT group_concat(driver_name, ',') FROM (SELECT driver_name FROM cars ORDER BY car_nmbr)")
                      .toString(),
                  "Ann,Bob")
            << text.toStdString();
    }
    EXPECT_TRUE(data.ui().boxes.isEmpty());
}

TEST(Import, RaceRecordsStoreTheDateAndResetTheStatus) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addRace({.nmbr = 7, .name = "Race", .track = "Track", .date = "2002-01-01", .status = 2});
    const QString path = writeFile(data, "12;7;\"Winter 500\";\"Bay Oval\";2/17/2002;1;2\r\n"
                                         "12;8;\"New\";\"Ring\";\"3/3/2002\";6;1\r\n");
    ASSERT_TRUE(importFile(path));
    EXPECT_EQ(one("SELECT race_name || '|' || track_name || '|' || race_dt || '|' || race_status_nmbr || '|' ||"
                  " car_type_nmbr FROM races WHERE race_nmbr = 7")
                  .toString(),
              "Winter 500|Bay Oval|2002-02-17|0|2");
    EXPECT_EQ(one("SELECT race_dt FROM races WHERE race_nmbr = 8").toString(), "2002-03-03");
}

TEST(Import, FileDatesAreMonthFirstWhateverTheUsersLocale) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    for (const QLocale& locale : {ScopedLocale::british(), QLocale(QLocale::German, QLocale::Germany)}) {
        ScopedLocale user(locale);
        TestDataFile::exec("DELETE FROM races");
        ASSERT_TRUE(importFile(writeFile(data, "12;8;\"New\";\"Ring\";\"3/1/2002\";6;1\r\n"
                                               "12;9;\"Late\";\"Ring\";12/13/2002;6;1\r\n"
                                               "12;10;\"Last\";\"Ring\";12/31/9999;6;1\r\n")));
        EXPECT_EQ(
            one("SELECT group_concat(race_dt, ' ') FROM (SELECT race_dt FROM races ORDER BY race_nmbr)").toString(),
            "2002-03-01 2002-12-13 9999-12-31");
        // A year with a sign before it has no place in the data file, which would keep no date.
        EXPECT_FALSE(importFile(writeFile(data, "12;11;\"R\";\"T\";1/1/-2026;1;1\r\n")));
        EXPECT_EQ(count("SELECT count(*) FROM races WHERE race_nmbr = 11"), 0);
    }
}

TEST(Import, AResultsFileReplacesTheResultsAndPostingsOfItsFirstRace) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addRace({.nmbr = 7, .name = "Race", .track = "Track", .date = "2002-02-17", .status = 1});
    addRace({.nmbr = 8, .name = "Race", .track = "Track", .date = "2002-02-24", .status = 1});
    addCars({5, 6, 12, 14});
    addPostedResult(7, 5, 0); // a car the file does not name
    addPostedResult(8, 6, -4);
    const QString path = writeFile(data, "13;2;7;12;1;3;1;40;0\r\n"
                                         "13;2;7;14;2;1;0;0;0\r\n"
                                         "13;3;8;6;9;9;0;2;7\r\n");
    ASSERT_TRUE(importFile(path));
    EXPECT_EQ(count("SELECT count(*) FROM results WHERE race_nmbr = 7 AND car_nmbr = 5"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM results WHERE race_nmbr = 7"), 2);
    EXPECT_EQ(count("SELECT count(*) FROM team_results WHERE race_nmbr = 7"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM team_results_summary WHERE race_nmbr = 7"), 0);
    EXPECT_EQ(one("SELECT place || '|' || qualified || '|' || fast_qual || '|' || laps_led FROM results"
                  " WHERE race_nmbr = 7 AND car_nmbr = 12")
                  .toString(),
              "1|3|1|40");
    EXPECT_EQ(count("SELECT race_status_nmbr FROM races WHERE race_nmbr = 7"), 2);
    // Race 8 is only named further down: its other rows stay, its result takes the file's values
    // but keeps its adjustment.
    EXPECT_EQ(count("SELECT count(*) FROM team_results WHERE race_nmbr = 8"), 1);
    EXPECT_EQ(one("SELECT place || '|' || laps_led || '|' || adjustment FROM results WHERE race_nmbr = 8").toString(),
              "9|2|-4");
    EXPECT_EQ(count("SELECT race_status_nmbr FROM races WHERE race_nmbr = 8"), 3);
    // The one word that race 7 lost its posting.
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_EQ(data.ui().boxes[0].text,
              "The posting for Race was removed because its results changed.\r\nThe Race must be posted again.");
    EXPECT_EQ(data.ui().boxes[0].title, "Quorvanti");
    // Again, with no posting left to lose: nothing to say.
    data.ui().clear();
    ASSERT_TRUE(importFile(path));
    EXPECT_TRUE(data.ui().boxes.isEmpty());
}

TEST(Import, OnlyAFirstLineThatIsAResultReplacesResults) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addRace({.nmbr = 7, .name = "Race", .track = "Track", .date = "2002-02-17", .status = 1});
    addCars({5, 12, 14});
    addPostedResult(7, 5, 0);
    // A car list with a result further down leaves race 7's other results alone.
    ASSERT_TRUE(importFile(writeFile(data, "11;1;1;1;\"A\";;;;\r\n13;2;7;12;1;3;1;40;0\r\n")));
    EXPECT_EQ(count("SELECT count(*) FROM results WHERE race_nmbr = 7 AND car_nmbr = 5"), 1);
    EXPECT_EQ(count("SELECT count(*) FROM team_results_summary WHERE race_nmbr = 7"), 1);
    EXPECT_EQ(count("SELECT count(*) FROM results WHERE race_nmbr = 7 AND car_nmbr = 12"), 1);
    EXPECT_TRUE(data.ui().boxes.isEmpty());
    // A lone result without its line end is a results file all the same.
    ASSERT_TRUE(importFile(writeFile(data, "13;2;7;14;2;1;0;0;0")));
    EXPECT_EQ(one("SELECT group_concat(car_nmbr) FROM results WHERE race_nmbr = 7").toString(), "14");
    EXPECT_EQ(count("SELECT count(*) FROM team_results_summary WHERE race_nmbr = 7"), 0);
    EXPECT_EQ(data.ui().boxes.size(), 1);
}

TEST(Import, HoldingRecordsKeepPriceAndSalaryOfAnExistingHolding) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addTeam({.nmbr = 3, .name = "Comets"});
    addTeam({.nmbr = 4, .name = "Drivers", .raceType = 6, .carType = 2});
    addCars({24, 25});
    addHolding({.team = 3, .car = 24, .from = "2002-02-01", .price = 10.5, .lockedSalary = 20.5, .active = 0});
    // Entry 26 is the file's own; the Top Bonus entry is held as the posting holds it.
    const QString path = writeFile(data, "14;3;24;2/1/2002;3/1/2002;99;99\r\n"
                                         "14;3;25;2/1/2002;;12.25;30\r\n"
                                         "11;26;1;1;\"26\";;;;\r\n"
                                         "14;3;26;\"2/1/2002\";\"\";1;1\r\n"
                                         "11;27;2;6;\"27\";;;;\"Ann\"\r\n"
                                         "11;28;3;6;\"Top Bonus\";;;;\"Top Bonus\"\r\n"
                                         "14;4;27;3/1/2002;3/2/2002;1;1\r\n"
                                         "14;4;28;3/1/2002;;0;0\r\n");
    ASSERT_TRUE(importFile(path));
    EXPECT_TRUE(data.ui().boxes.isEmpty());
    EXPECT_EQ(one("SELECT group_concat(team_nmbr || ':' || car_nmbr || ':' || ifnull(term_dt, '-'), ' ') FROM"
                  " (SELECT * FROM team_car WHERE team_nmbr = 4 ORDER BY car_nmbr)")
                  .toString(),
              "4:27:2002-03-02 4:28:-");
    EXPECT_EQ(one("SELECT term_dt || '|' || price || '|' || locked_salary || '|' || active FROM team_car"
                  " WHERE car_nmbr = 24")
                  .toString(),
              "2002-03-01|10.5|20.5|1");
    EXPECT_EQ(one("SELECT efctv_dt || '|' || price || '|' || locked_salary || '|' || active FROM team_car"
                  " WHERE car_nmbr = 25")
                  .toString(),
              "2002-02-01|12.25|30.0|1");
    EXPECT_TRUE(one("SELECT term_dt FROM team_car WHERE car_nmbr = 25").isNull());
    EXPECT_TRUE(one("SELECT term_dt FROM team_car WHERE car_nmbr = 26").isNull());
}

// A file with one line that cannot be read is refused whole: the data stays as it was, the import
// fails, and one box names the line and what is wrong with it.
TEST(Import, ALineThatCannotBeReadRefusesTheWholeFile) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addRace({.nmbr = 7, .name = "Race", .track = "Track", .date = "2002-02-17", .status = 1});
    addCars({5, 12, 14});
    addCars({60}, 6);
    addCar({.nmbr = 61,
            .raceType = 6,
            .carType = 2,
            .txt = "61",
            .owner = "",
            .driver = "Ann Hale",
            .make = "",
            .sponsor = "",
            .group = 0});
    addPostedResult(7, 5, 0);
    addTeam({.nmbr = 3, .name = "Comets"});
    addHolding({.team = 3,
                .car = 24,
                .from = "2002-02-01",
                .to = "2002-03-01",
                .price = 10.5,
                .lockedSalary = 20.5,
                .active = 0});
    const QByteArray good = "11;40;1;1;\"Good\";;;;\r\n12;9;\"R\";\"T\";3/3/2002;1;1\r\n";
    const struct {
        QByteArray badLine;
        const char* message;
    } cases[] = {
        {"11;33;1;6;\"Too few\"", "a car/driver record has 9 fields, this line has 5."},
        {"11;33;1;6;\"Too\";\"many\";;;;", "a car/driver record has 9 fields, this line has 10."},
        {"11", "a car/driver record has 9 fields, this line has 1."},
        {"11;40000;1;6;\"Big\";;;;", "the car number \"40000\" is not a whole number from -32768 to 32767."},
        {"11;-32769;1;6;\"Small\";;;;", "the car number \"-32769\" is not a whole number from -32768 to 32767."},
        {"11;32;x;6;\"Bad\";;;;", "the car type \"x\" is not a whole number from -32768 to 32767."},
        {"12;9;\"R\";\"T\";2/30/2024;1;1", "the race date \"2/30/2024\" is not a date."},
        {"12;9;\"R\";\"T\";;1;1", "the race date is missing."},
        {"13;2;7;12;1;3;1;4.5;0", "the laps led \"4.5\" is not a whole number from -32768 to 32767."},
        {"13;2;99;12;1;3;1;4;0", "race 99 does not exist."},
        // The number a car carries on the track is not the number of its entry in the data file.
        {"13;2;7;24;1;3;1;4;0", "car/driver 24 does not exist."},
        // The entry as the windows show it, the race by its name, the race types by theirs.
        {"13;2;7;60;1;3;1;4;0", "car Car 60 (entry number 60) is of race type F1, race Race (race number 7) of race "
                                "type Wexford Cup."},
        {"13;2;7;61;1;3;1;4;0",
         "driver Ann Hale (entry number 61) is of race type F1, race Race (race number 7) of race type Wexford Cup."},
        {"11;33;1;9;\"Nowhere\";;;;", "race type 9 does not exist."},
        {"12;9;\"R\";\"T\";3/3/2002;0;1", "race type 0 does not exist."},
        {QByteArray("11;33;1;1;\"Nul") + '\0' + "here\";;;;", "the line holds a NUL character."},
        {QByteArray("11;33;1;1;\"Jos\xE9") + '\0' + "\";;;;", "the line holds a NUL character."},
        {"11;33;1;1;\"" + QByteArray(20000, 'x') + "\";;;;", "the line is longer than 10000 bytes."},
        {"14;3;24;2/1/2002;13/1/2002;1;1", "the termination date \"13/1/2002\" is not a date."},
        {"14;3;24;someday;;1;1", "the effective date \"someday\" is not a date."},
        {"14;3;24;2/1/2002;;cheap;1", "the price \"cheap\" is not a number."},
        {"14;3;24;2/1/2002;;1;inf", "the locked salary \"inf\" is not a number."},
        {"14;3;24;2/1/2002;;nan;1", "the price \"nan\" is not a number."},
        {"12;9;\"R\";\"T\";1/1/-2026;1;1", "the race date \"1/1/-2026\" is not a date."},
        {"12;9;\"R\";\"T\";-2026-01-01;1;1", "the race date \"-2026-01-01\" is not a date."},
        {"14;3;40;1/1/-2026;;1;1", "the effective date \"1/1/-2026\" is not a date."},
        {"14;3;40;2/1/2002;1-1--2026;1;1", "the termination date \"1-1--2026\" is not a date."},
        // Numbers that name nothing the windows know.
        {"11;420;7;1;\"X\";\"\";\"\";\"\";\"D\"", "car type 7 does not exist."},
        {"11;420;-3;1;\"X\";\"\";\"\";\"\";\"D\"", "car type -3 does not exist."},
        {"12;9;\"R\";\"T\";3/3/2002;1;9", "a race's Score By is 1 (cars) or 2 (drivers), this line has 9."},
        {"12;9;\"R\";\"T\";3/3/2002;1;3", "a race's Score By is 1 (cars) or 2 (drivers), this line has 3."},
        {"13;99;7;12;1;3;1;4;0", "race status 99 does not exist."},
        {"13;2;7;12;-1;3;1;4;0", "the finishing place \"-1\" is not a whole number from 0 to 32767."},
        {"13;2;7;12;1;-3;1;4;0", "the qualified \"-3\" is not a whole number from 0 to 32767."},
        {"13;2;7;12;1;3;1;-4;0", "the laps led \"-4\" is not a whole number from 0 to 32767."},
        // A pick of a team and an entry of its series, ending after it starts. Team 500
        // would be the user's next team.
        {"14;9999;9999;1/1/2026;;100;100", "team 9999 does not exist."},
        {"14;500;40;1/1/2026;;100;100", "team 500 does not exist."},
        {"14;3;401;1/1/2026;;100;100", "car/driver 401 does not exist."},
        {"14;3;61;1/1/2026;;100;100",
         "driver Ann Hale (entry number 61) is of race type F1, team Comets (team number 3) "
         "of race type Wexford Cup."},
        {"14;3;40;2/1/2002;1/31/2002;1;1",
         "the termination date \"1/31/2002\" is not later than the effective date \"2/1/2002\"."},
        {"14;3;40;2/1/2002;2/1/2002;1;1",
         "the termination date \"2/1/2002\" is not later than the effective date \"2/1/2002\"."},
    };
    const QString before = snapshot();
    // Nothing stored, nothing for a window to show again.
    const quint64 told = dataChanges().serial();
    for (const auto& c : cases) {
        data.ui().clear();
        // The bad line is line 3, after lines that alone would import: refused, which its box says.
        EXPECT_EQ(importFileOutcome(writeFile(data, good + c.badLine + "\r\n11;41;1;1;\"After\";;;;\r\n")),
                  ImportOutcome::Refused)
            << c.badLine.toStdString();
        EXPECT_EQ(snapshot(), before) << c.badLine.toStdString();
        EXPECT_EQ(dataChanges().serial(), told) << c.badLine.toStdString();
        ASSERT_EQ(data.ui().boxes.size(), 1) << c.badLine.toStdString();
        EXPECT_EQ(data.ui().boxes[0].text, QStringLiteral("Line 3 cannot be imported: ") + QLatin1String(c.message) +
                                               QStringLiteral("\r\nNothing was imported from this file."));
        EXPECT_EQ(data.ui().boxes[0].title, "Quorvanti");
        EXPECT_EQ(data.ui().boxes[0].icon, MsgIcon::None);
    }
    // A results file with one bad line keeps the race's results and posting.
    data.ui().clear();
    EXPECT_FALSE(importFile(writeFile(data, "13;2;7;12;1;3;1;40;0\r\n13;2;7;14;2;x;0;0;0\r\n")));
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(data.ui().lastBoxText().startsWith("Line 2 cannot be imported: the qualified \"x\""));
    // A file without line ends is refused once its line runs past any record's length, without
    // being read whole; so is one in UTF-16.
    QByteArray utf16 = "\xFF\xFE";
    for (const char c : QByteArray("11;40;1;1;\"Good\";;;;\r\n11;41;1;1;\"") + QByteArray(6000, 'y'))
        utf16 += QByteArray{&c, 1} + QByteArray(1, '\0');
    for (const QByteArray& text : {"11;40;1;1;\"Good\";;;;\n11;41;1;1;\"" + QByteArray(8 << 20, 'y'), utf16}) {
        data.ui().clear();
        EXPECT_FALSE(importFile(writeFile(data, text)));
        EXPECT_EQ(snapshot(), before);
        ASSERT_EQ(data.ui().boxes.size(), 1);
        EXPECT_EQ(data.ui().boxes[0].text, "Line 2 cannot be imported: the line is longer than 10000 bytes.\r\n"
                                           "Nothing was imported from this file.");
    }
}

// A file of a race and its results adds to the results the race has. A car on a place another car
// holds refuses the file, or the race window could not save the race's results again; the place
// of a car the file moves is judged once the whole file is in.
TEST(Import, AResultOnAPlaceAnotherCarHoldsRefusesTheFile) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addRace({.nmbr = 7, .name = "Race", .track = "Track", .date = "2002-02-17", .status = 2});
    addRace({.nmbr = 8, .name = "Race", .track = "Track", .date = "2002-02-24", .status = 0});
    addCars({5, 6, 12, 14, 15});
    addResult({.car = 5, .race = 7, .place = 1, .qualified = 1});
    addResult({.car = 6, .race = 7, .place = 2, .qualified = 1});
    addResult({.car = 15, .race = 7});
    const QString before = snapshot();
    const struct {
        QByteArray text;
        const char* message;
    } cases[] = {
        // As a Linux program writes it.
        {"12;7;\"Race\";\"Track\";2/17/2002;1;1\n13;2;7;12;1;1;0;0;0\n13;2;7;14;2;1;0;0;0\n",
         "Line 2 cannot be imported: car Car 12 (entry number 12) would share place 1 of race Race (race number 7) "
         "with car Car 5 (entry number 5)."},
        // A car the file itself brings is named by the label the file gives it.
        {"11;16;1;1;\" 99 \";;;;\n13;2;7;16;1;1;0;0;0\n",
         "Line 2 cannot be imported: car 99 (entry number 16) would share place 1 of race Race (race number 7) "
         "with car Car 5 (entry number 5)."},
        // Two cars of the file, without the last line end.
        {"13;2;8;12;1;1;0;0;0\r\n13;2;8;14;3;1;0;0;0\r\n13;2;8;5;1;1;0;0;0",
         "Line 3 cannot be imported: car Car 5 (entry number 5) would share place 1 of race Race (race number 8) "
         "with car Car 12 (entry number 12)."},
        // One car named twice: its last place counts.
        {"13;2;8;12;1;1;0;0;0\r\n13;2;8;14;2;1;0;0;0\r\n13;2;8;12;2;1;0;0;0\r\n",
         "Line 3 cannot be imported: car Car 12 (entry number 12) would share place 2 of race Race (race number 8) "
         "with car Car 14 (entry number 14)."},
    };
    for (const auto& c : cases) {
        data.ui().clear();
        EXPECT_FALSE(importFile(writeFile(data, c.text))) << c.text.toStdString();
        EXPECT_EQ(snapshot(), before) << c.text.toStdString();
        ASSERT_EQ(data.ui().boxes.size(), 1) << c.text.toStdString();
        EXPECT_EQ(data.ui().boxes[0].text,
                  QLatin1String(c.message) + QStringLiteral("\r\nNothing was imported from this file."));
    }
    // Two cars trading places, and cars on place 0, which any number may share.
    data.ui().clear();
    ASSERT_TRUE(importFile(writeFile(data, "12;7;\"Race\";\"Track\";2/17/2002;1;1\r\n13;2;7;5;2;1;0;0;0\r\n"
                                           "13;2;7;12;0;0;0;0;0\r\n13;2;7;6;1;1;0;0;0\r\n")));
    EXPECT_TRUE(data.ui().boxes.isEmpty());
    EXPECT_EQ(one("SELECT group_concat(car_nmbr || ':' || place) FROM (SELECT * FROM results WHERE race_nmbr = 7"
                  " ORDER BY car_nmbr)")
                  .toString(),
              "5:2,6:1,12:0,15:0");
    // A results file brings the race's whole result: the old places are gone first.
    ASSERT_TRUE(importFile(writeFile(data, "13;2;7;14;1;1;0;0;0\r\n13;2;7;12;2;1;0;0;0\r\n")));
    EXPECT_EQ(one("SELECT group_concat(car_nmbr || ':' || place) FROM (SELECT * FROM results WHERE race_nmbr = 7"
                  " ORDER BY car_nmbr)")
                  .toString(),
              "12:2,14:1");
}

// A file names a race, a car or a result more than once, runs of results of several races in turn,
// and results for a race that has some: every row is written once, and a row named again takes the
// later values and keeps what the file does not carry.
TEST(Import, RowsNamedAgainInTheFileAreUpdated) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addRace({.nmbr = 7, .name = "Race", .track = "Track", .date = "2002-02-17", .status = 2});
    addCars({5, 12, 14, 15});
    addResult({.car = 5, .race = 7, .place = 1, .adjustment = 9});
    const QString path = writeFile(data, "12;8;\"New\";\"Ring\";3/3/2002;1;1\r\n"
                                         "11;16;1;1;\"New\";;;;\r\n"
                                         "13;2;8;12;1;1;0;0;4\r\n"
                                         "13;2;8;14;2;1;0;0;5\r\n"
                                         "11;16;1;1;\"Newer\";;;;\r\n"
                                         "13;2;8;12;3;0;0;7;6\r\n"
                                         "13;2;7;12;2;1;0;0;8\r\n"
                                         "13;2;7;5;1;1;1;0;0\r\n"
                                         "12;8;\"Renamed\";\"Ring\";3/3/2002;1;1\r\n"
                                         "13;2;8;14;1;1;0;0;0\r\n"
                                         "13;2;8;15;2;1;0;0;3\r\n");
    for (int pass = 0; pass < 2; ++pass) {
        ASSERT_TRUE(importFile(path)) << pass;
        EXPECT_TRUE(data.ui().boxes.isEmpty()) << pass;
        EXPECT_EQ(one("SELECT group_concat(race_nmbr || ':' || car_nmbr || ':' || place || ':' || fast_qual || ':' ||"
                      " laps_led || ':' || adjustment, ' ') FROM (SELECT * FROM results ORDER BY race_nmbr, car_nmbr)")
                      .toString(),
                  "7:5:1:1:0:9 7:12:2:0:0:8 8:12:3:0:7:4 8:14:1:0:0:5 8:15:2:0:0:3")
            << pass;
        EXPECT_EQ(one("SELECT group_concat(race_nmbr || race_name || race_status_nmbr) FROM races").toString(),
                  "7Race2,8Renamed2")
            << pass;
        EXPECT_EQ(one("SELECT group_concat(car_txt) FROM cars WHERE car_nmbr = 16").toString(), "Newer") << pass;
    }
}

TEST(Import, UnknownRecordTypesAreReportedOncePerFileAndTheRestIsImported) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    QByteArray text = "11;1;1;1;\"A\";;;;\r\n"
                      "10;1;1\r\n"
                      "\r\n"
                      "no separator here\r\n"
                      "15;x\r\n";
    for (int i = 0; i < 1000; ++i)
        text += "99;" + QByteArray::number(i) + "\r\n";
    text += "11;2;1;1;\"B\";;;;\r\n";
    ASSERT_TRUE(importFile(writeFile(data, text)));
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_EQ(data.ui().boxes[0].text, "Invalid file format.\r\nDo you have the most current version of Quorvanti?");
    EXPECT_EQ(data.ui().boxes[0].title, "Quorvanti");
    EXPECT_EQ(data.ui().boxes[0].icon, MsgIcon::None);
    EXPECT_EQ(count("SELECT count(*) FROM cars WHERE car_nmbr IN (1, 2)"), 2);
}

TEST(Import, ADatabaseErrorRollsTheWholeFileBack) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addRace({.nmbr = 7, .name = "Race", .track = "Track", .date = "2002-02-17", .status = 1});
    addCars({5, 12});
    addPostedResult(7, 5, 0);
    addTeam({.nmbr = 3, .name = "Comets"});
    // The store refuses the holding on line 3 as a full disk would.
    TestDataFile::exec(
        "CREATE TEMP TRIGGER refuse BEFORE INSERT ON team_car BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    const QString before = snapshot();
    const quint64 told = dataChanges().serial();
    EXPECT_EQ(importFileOutcome(writeFile(data, "13;2;7;12;1;3;1;40;0\r\n"
                                                "11;40;1;1;\"Car\";;;;\r\n"
                                                "14;3;40;2/1/2002;;1;1\r\n")),
              ImportOutcome::Failed);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(dataChanges().serial(), told);
    ASSERT_EQ(data.ui().boxes.size(), 1); // the store's own box, nothing more
    EXPECT_TRUE(data.ui().boxes[0].text.contains("disk full"));
    // The connection is usable afterwards: the next import runs in a transaction of its own.
    TestDataFile::exec("DROP TRIGGER refuse");
    EXPECT_TRUE(importFile(writeFile(data, "11;40;1;1;\"Car\";;;;\r\n")));
    EXPECT_EQ(count("SELECT count(*) FROM cars WHERE car_nmbr = 40"), 1);
}

TEST(Import, ImportingTheSameFileTwiceLeavesTheSameData) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addTeam({.nmbr = 3, .name = "Comets"});
    const QString path = writeFile(data, "12;7;\"R\";\"T\";2/17/2002;1;1\r\n"
                                         "11;12;1;1;\"C\";;;;\r\n"
                                         "14;3;12;2/1/2002;;1;2\r\n");
    ASSERT_TRUE(importFile(path));
    const QString first = snapshot();
    ASSERT_TRUE(importFile(path));
    EXPECT_EQ(snapshot(), first);
    EXPECT_EQ(count("SELECT (SELECT count(*) FROM races) * 100 + (SELECT count(*) FROM cars WHERE car_nmbr = 12) * 10"
                    " + (SELECT count(*) FROM team_car)"),
              111);
    EXPECT_TRUE(data.ui().boxes.isEmpty());
}

TEST(Import, AMissingOrUnreadableFileOrOneWithoutRecordsImportsNothing) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    EXPECT_EQ(importFileOutcome(QDir(data.folder()).filePath(QStringLiteral("nothing.qvi"))), ImportOutcome::Failed);
    EXPECT_TRUE(data.ui().boxes.isEmpty());
    // A folder in place of the file cannot be opened: its box, and failure.
    QDir(data.folder()).mkdir(QStringLiteral("folder.qvi"));
    EXPECT_FALSE(importFile(QDir(data.folder()).filePath(QStringLiteral("folder.qvi"))));
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_TRUE(data.ui().boxes[0].text.startsWith("Error trying to open "));
    // A named pipe would be waited on for ever, and a device read without end.
    const QString pipe = QDir(data.folder()).filePath(QStringLiteral("pipe.qvi"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    for (const QString& path : {pipe, QStringLiteral("/dev/zero")}) {
        data.ui().clear();
        EXPECT_FALSE(importFile(path)) << path.toStdString();
        ASSERT_EQ(data.ui().boxes.size(), 1) << path.toStdString();
        EXPECT_TRUE(data.ui().boxes[0].text.startsWith("Error trying to open ")) << path.toStdString();
    }
    // A link to a file is that file.
    data.ui().clear();
    const QString linked = QDir(data.folder()).filePath(QStringLiteral("linked.qvi"));
    ASSERT_TRUE(QFile::link(writeFile(data, "11;1;1;1;\"A\";;;;\r\n"), linked));
    EXPECT_TRUE(importFile(linked));
    EXPECT_TRUE(data.ui().boxes.isEmpty());
    // A file with no record in it, as a careless save or a wrong file gives, is refused in one box.
    const QString before = snapshot();
    const QString noRecords = QStringLiteral("This file holds no series records: no line is a car/driver, race, "
                                             "result or team car record.\r\nNothing was imported from this file.");
    for (const QByteArray& text : {QByteArray(), QByteArray("hello world"), QByteArray("\xEF\xBB\xBF\r\n\r\n"),
                                   QByteArray("Name;Team\r\nAnn;Comets\r\n")}) {
        data.ui().clear();
        EXPECT_EQ(importFileOutcome(writeFile(data, text, "x.qvi")), ImportOutcome::Refused) << text.toStdString();
        EXPECT_EQ(snapshot(), before);
        // Lines of an unknown record type have said so first.
        ASSERT_EQ(data.ui().boxes.size(), text.contains(';') ? 2 : 1) << text.toStdString();
        EXPECT_EQ(data.ui().boxes.last().text, noRecords);
    }
}

TEST(Import, TextIsReadAsTheFileWasWritten) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    const QString names = QString::fromUtf8("Zoë “Ace” O’Neil – €5|José");
    auto stored = [] {
        return one("SELECT driver_name || '|' || (SELECT driver_name FROM cars WHERE car_nmbr = 2) FROM cars"
                   " WHERE car_nmbr = 1")
            .toString();
    };
    const QByteArray utf8 = QString::fromUtf8("11;1;1;1;\"A\";;;;\"Zoë “Ace” O’Neil – €5\"\r\n"
                                              "11;2;1;1;\"B\";;;;\"José\"\r\n")
                                .toUtf8();
    ASSERT_TRUE(importFile(writeFile(data, utf8)));
    EXPECT_EQ(stored(), names);
    TestDataFile::exec("DELETE FROM cars");
    ASSERT_TRUE(importFile(writeFile(data, "\xEF\xBB\xBF" + utf8))); // with a byte order mark
    EXPECT_EQ(stored(), names);
    TestDataFile::exec("DELETE FROM cars");
    // Windows-1252, as Windows programs save it.
    ASSERT_TRUE(importFile(writeFile(data, "11;1;1;1;\"A\";;;;\"Zo\xEB \x93"
                                           "Ace\x94 O\x92Neil \x96 \x80"
                                           "5\"\r\n"
                                           "11;2;1;1;\"B\";;;;\"Jos\xE9\"\r\n")));
    EXPECT_EQ(stored(), names);
    // UTF-16 with its mark, both byte orders.
    for (bool little : {true, false}) {
        TestDataFile::exec("DELETE FROM cars");
        const QString text = QString::fromUtf8(utf8);
        QByteArray bytes = little ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
        for (const QChar c : text) {
            const char lo = char(c.unicode() & 0xFF), hi = char(c.unicode() >> 8);
            bytes += little ? QByteArray{&lo, 1} + QByteArray{&hi, 1} : QByteArray{&hi, 1} + QByteArray{&lo, 1};
        }
        ASSERT_TRUE(importFile(writeFile(data, bytes)));
        EXPECT_EQ(stored(), names) << little;
    }
    // One stray 8-bit byte spoils neither the other lines nor the UTF-8 of its own line's neighbours.
    TestDataFile::exec("DELETE FROM cars");
    ASSERT_TRUE(
        importFile(writeFile(data, QString::fromUtf8("11;1;1;1;\"A\";;;;\"Zoë “Ace” O’Neil – €5\"\r\n").toUtf8() +
                                       "11;2;1;1;\"B\";;;;\"Jos\xE9\"\r\n" +
                                       QString::fromUtf8("11;3;1;1;\"C\";;;;\"Müller\"\r\n").toUtf8())));
    EXPECT_EQ(stored(), names);
    EXPECT_EQ(one("SELECT driver_name FROM cars WHERE car_nmbr = 3").toString(), QString::fromUtf8("Müller"));
}

TEST(Import, ProgressRunsToTheEndAndIsTakenAway) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    QByteArray text;
    for (int i = 1; i <= 30000; ++i)
        text += "11;" + QByteArray::number(i) + ";1;1;\"Car with a longer text\";\"An owner\";;;\"Driver\"\r\n";
    ASSERT_TRUE(importFile(writeFile(data, text)));
    const QList<int>& p = data.ui().progress;
    ASSERT_GE(p.size(), 3);
    EXPECT_EQ(p.last(), -1);
    EXPECT_EQ(p.at(p.size() - 2), 100);
    EXPECT_TRUE(std::is_sorted(p.begin(), p.end() - 1));
    EXPECT_EQ(count("SELECT count(*) FROM cars WHERE car_nmbr BETWEEN 1 AND 30000"), 30000);
}

// The rows an import writes, new ones and existing ones, with every kind of value the records
// carry, as the import has always written them (the text below was taken from an import that put
// each value into its statement's text).
TEST(Import, WritesTheRowsItAlwaysHasWritten) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addRace({.nmbr = 7, .name = "Race", .track = "Track", .date = "2002-01-01", .status = 2});
    addCar({.nmbr = 24,
            .txt = "Old",
            .owner = "o",
            .driver = "d",
            .make = "m",
            .sponsor = "s",
            .group = 2,
            .salary = 1500000.25});
    addCar({.nmbr = 5, .txt = "Five", .owner = "", .driver = "", .make = "", .sponsor = ""});
    addResult({.car = 5, .race = 7, .place = 3, .qualified = 4, .lapsLed = 5, .adjustment = -4});
    addHolding({.team = 3, .car = 24, .from = "2002-02-01", .price = 10.5, .lockedSalary = 20.5, .active = 0});
    for (const int team : {3, 4, -4})
        addTeam({.nmbr = team});
    const QByteArray text = "11;24;1;1;\"  24 O'Brien Co  \";\"Owner\";\"Make\";\"Spon'sor\";\"Dri\"ver\"\r\n"
                            "11;31;2;1;\"Ace\";;\"\";\"S\";\"Zo\xEB \x93"
                            "Ace\x94\"\r\n"
                            "11;-5;1;1;\"Neg\";;;;\n"
                            "11;32767;3;1;\"x\";\"'\";\"''\";\"\\\";\" \"\r\n"
                            "12;7;\"Winter '500'\";\"Bay Oval\";2/17/2002;1;1\r\n"
                            "12;8;\"New\";\"Ring\";\"3/3/02\";1;2\r\n"
                            "12;-32768;\"\";;2002-12-31;1;1\r\n"
                            "13;2;7;24;1;3;1;40;0\r\n"
                            "13;2;7;5;2;1;0;0;9\r\n"
                            "13;3;8;31;1;1;0;2;7\r\n"
                            "13;5;8;-5;0;0;32767;32767;-32768\r\n"
                            "14;3;24;2/1/2002;3/1/2002;99;99\r\n"
                            "14;3;31;2/1/2002;;12.25;30\r\n"
                            "14;3;32767;\"2/1/2002\";\"\";0.1;1234.5678\r\n"
                            "14;4;24;2002-02-03;;1e3;-0.3\r\n"
                            "14;4;31;2002-02-03;2002-02-04;0.30000000000000004;123456789.123456789\r\n"
                            "14;-4;-5;12/31/1999;1/1/2000;-1e-300;1e300";
    ASSERT_TRUE(importFile(writeFile(data, text)));
    EXPECT_TRUE(data.ui().boxes.isEmpty());
    // The numbers to the last bit, and the type each value is stored as.
    QString rows = snapshot();
    for (int i = 0; i < 6; ++i)
        for (const char* column : {"price", "locked_salary"})
            rows +=
                QString::number(one(qPrintable(QStringLiteral("SELECT %1 FROM team_car ORDER BY team_nmbr, car_nmbr,"
                                                              " efctv_dt LIMIT 1 OFFSET %2")
                                                   .arg(QLatin1String(column))
                                                   .arg(i)))
                                    .toDouble(),
                                'g', 17) +
                QLatin1Char(' ');
    rows += one("SELECT group_concat(typeof(car_nmbr) || typeof(car_txt) || typeof(group_nmbr) || typeof(salary)) FROM"
                " cars")
                .toString() +
            one("SELECT group_concat(typeof(race_dt) || typeof(race_name) || typeof(race_status_nmbr)) FROM races")
                .toString() +
            one("SELECT group_concat(typeof(place) || typeof(adjustment)) FROM results").toString() +
            one("SELECT group_concat(typeof(efctv_dt) || typeof(term_dt) || typeof(price) || typeof(active)) FROM"
                " team_car")
                .toString();
    EXPECT_EQ(rows.toStdString(),
              "-511'Neg'''''''''00.0/511'Five'''''''''NULL0.0/2411'24 O''Brien Co''Owner''Dri\"ver''Make''Spon'"
              "'sor'21500000.25/3112'Ace''''Zo\xC3\xAB \xE2\x80\x9C"
              "Ace\xE2\x80\x9D''''S'00.0/3276713'x'''''' ''"
              "''''''\\'00.0|-32768'''''2002-12-31'110/7'Winter ''500''''Bay Oval''2002-02-17'112/8'New''Ring''"
              "2002-03-03'215|572100-4/247131400/31811027/-58003276732767-32768|324'2002-02-01''2002-03-01'1"
              "0.520.51/331'2002-02-01'NULL12.2530.01/332767'2002-02-01'NULL0.11234.56781/424'2002-02-03'NULL1000."
              "0-0.31/431'2002-02-03''2002-02-04'3.00000000000000044408e-011.23456789123456791039e+081/-4-5'19"
              "99-12-31''2000-01-01'-1.0e-3001.0e+3001|||-1e-300 1.0000000000000001e+300 10.5 20.5 12.25 30 0.1"
              "0000000000000001 1234.5678 1000 -0.29999999999999999 0.30000000000000004 123456789.12345679 "
              "integertextintegerreal,integertextnullreal,integertextintegerreal,integertextintegerreal,integer"
              "textintegerrealtexttextinteger,texttextinteger,texttextintegerintegerinteger,integerinteger,inte"
              "gerinteger,integerintegertexttextrealinteger,textnullrealinteger,textnullrealinteger,textnullrea"
              "linteger,texttextrealinteger,texttextrealinteger");
}

TEST(Import, ScheduleAndResultsFileNames) {
    EXPECT_EQ(raceScheduleFileName(1, 1), "wccarraces.qvi");
    EXPECT_EQ(raceScheduleFileName(1, 2), "wcdriverraces.qvi");
    EXPECT_EQ(raceScheduleFileName(6, 1), "f1carraces.qvi");
    EXPECT_EQ(raceScheduleFileName(6, 2), "f1driverraces.qvi");
    EXPECT_EQ(raceScheduleFileName(3, 1), "");
    EXPECT_EQ(raceScheduleFileName(1, 0), "");
    EXPECT_EQ(resultsFileName(1, QDate(2002, 2, 17)), "wcc20020217.qvi");
    EXPECT_EQ(resultsFileName(2, QDate(2002, 11, 3)), "wcd20021103.qvi");
}
