#include "TestDataFile.h"
#include "exchange/Import.h"
#include "ScopedLocale.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

// Writes an import file into the test's folder and returns its full path.
QString writeFile(const TestDataFile& data, const QByteArray& bytes, const char* name = "series.qvi") {
    const QString path = QDir(data.folder()).filePath(QLatin1String(name));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
    return path;
}

QVariant one(const char* sql) { return TestDataFile::scalar(QLatin1String(sql)); }
int count(const char* sql) { return one(sql).toInt(); }

void addRace(int nmbr, const char* date, int status) {
    TestDataFile::exec(QStringLiteral("INSERT INTO races VALUES (%1, 'Race', 'Track', '%2', 1, 1, %3)")
                           .arg(nmbr)
                           .arg(QLatin1String(date))
                           .arg(status));
}

void addPostedResult(int race, int car, int adjustment) {
    TestDataFile::exec(QStringLiteral("INSERT INTO results VALUES (%1, %2, 3, 4, 0, 5, %3)").arg(car).arg(race).arg(adjustment));
    TestDataFile::exec(
        QStringLiteral("INSERT INTO team_results (race_nmbr, car_nmbr, team_nmbr, league_nmbr) VALUES (%1, %2, 1, 1)")
            .arg(race)
            .arg(car));
    TestDataFile::exec(QStringLiteral("INSERT INTO team_results_summary VALUES (%1, 1, 1, 40, 1)").arg(race));
}

} // namespace

TEST(Import, CarRecordsInsertNewCarsAndUpdateExistingOnesKeepingGroupAndSalary) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    TestDataFile::exec("INSERT INTO cars VALUES (24, 1, 1, 'Old', 'o', 'd', 'm', 's', 2, 1500000)");
    const QString path = writeFile(data, "11;24;1;1;\"  24 Fast Co  \";\"Owner\";\"Make\";\"Sponsor\";\"Driver\"\r\n"
                                         "11;31;2;6;\"Ace\";;\"\";\"S\";\"Ace Driver\"\r\n"
                                         "11;32;x;6;\"Bad number\";;;;\r\n"
                                         "11;33;1;6;\"Too few\"\r\n"
                                         "11;40000;1;6;\"Beyond 16 bits\";;;;\r\n"
                                         "11;34;1;6;\"No CR LF at the end\";;;;");
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
    EXPECT_EQ(count("SELECT count(*) FROM cars WHERE car_nmbr IN (32, 33, 34) OR car_nmbr > 32767"), 0);
}

TEST(Import, RaceRecordsStoreTheDateAndResetTheStatus) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addRace(7, "2002-01-01", 2);
    const QString path = writeFile(data, "12;7;\"Winter 500\";\"Bay Oval\";2/17/2002;1;2\r\n"
                                         "12;8;\"New\";\"Ring\";\"3/3/2002\";6;1\r\n"
                                         "12;9;\"No date\";\"Ring\";someday;6;1\r\n");
    ASSERT_TRUE(importFile(path));
    EXPECT_EQ(one("SELECT race_name || '|' || track_name || '|' || race_dt || '|' || race_status_nmbr || '|' ||"
                  " car_type_nmbr FROM races WHERE race_nmbr = 7")
                  .toString(),
              "Winter 500|Bay Oval|2002-02-17|0|2");
    EXPECT_EQ(one("SELECT race_dt FROM races WHERE race_nmbr = 8").toString(), "2002-03-03");
    EXPECT_EQ(count("SELECT count(*) FROM races WHERE race_nmbr = 9"), 0);
}

TEST(Import, FileDatesAreMonthFirstWhateverTheUsersLocale) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    ScopedLocale gb(ScopedLocale::british());
    const QString path = writeFile(data, "12;8;\"New\";\"Ring\";\"3/1/2002\";6;1\r\n"
                                         "12;9;\"Late\";\"Ring\";12/13/2002;6;1\r\n");
    ASSERT_TRUE(importFile(path));
    EXPECT_EQ(one("SELECT race_dt FROM races WHERE race_nmbr = 8").toString(), "2002-03-01");
    EXPECT_EQ(one("SELECT race_dt FROM races WHERE race_nmbr = 9").toString(), "2002-12-13");
}

TEST(Import, AResultsFileReplacesTheResultsAndPostingsOfItsFirstRace) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addRace(7, "2002-02-17", 1);
    addRace(8, "2002-02-24", 1);
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
}

TEST(Import, ResultsAreClearedOnlyForAFirstLineThatIsAReadableResult) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addRace(7, "2002-02-17", 1);
    addPostedResult(7, 5, 0);
    // A car list with results further down, a malformed first result, and a lone result without
    // its CR LF (never imported) all leave race 7 alone.
    for (const QByteArray& text : {QByteArray("11;1;1;1;\"A\";;;;\r\n13;2;7;12;1;3;1;40;0\r\n"),
                                   QByteArray("13;2;7;12\r\n"), QByteArray("13;2;7;12;1;3;1;40;0")}) {
        ASSERT_TRUE(importFile(writeFile(data, text)));
        EXPECT_EQ(count("SELECT count(*) FROM results WHERE race_nmbr = 7 AND car_nmbr = 5"), 1) << text.constData();
        EXPECT_EQ(count("SELECT count(*) FROM team_results_summary WHERE race_nmbr = 7"), 1);
    }
}

TEST(Import, HoldingRecordsKeepPriceAndSalaryOfAnExistingHolding) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    TestDataFile::exec("INSERT INTO team_car VALUES (3, 24, '2002-02-01', NULL, 10.5, 20.5, 0)");
    const QString path = writeFile(data, "14;3;24;2/1/2002;3/1/2002;99;99\r\n"
                                         "14;3;25;2/1/2002;;12.25;30\r\n"
                                         "14;3;26;not a date;;1;1\r\n"
                                         "14;3;27;2/1/2002;;cheap;1\r\n");
    ASSERT_TRUE(importFile(path));
    EXPECT_EQ(one("SELECT term_dt || '|' || price || '|' || locked_salary || '|' || active FROM team_car"
                  " WHERE car_nmbr = 24")
                  .toString(),
              "2002-03-01|10.5|20.5|1");
    EXPECT_EQ(one("SELECT efctv_dt || '|' || price || '|' || locked_salary || '|' || active FROM team_car"
                  " WHERE car_nmbr = 25")
                  .toString(),
              "2002-02-01|12.25|30.0|1");
    EXPECT_TRUE(one("SELECT term_dt FROM team_car WHERE car_nmbr = 25").isNull());
    EXPECT_EQ(count("SELECT count(*) FROM team_car WHERE car_nmbr IN (26, 27)"), 0);
}

TEST(Import, UnknownRecordTypesAreReportedPerLineAndTheRestIsImported) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    const QString path = writeFile(data, "11;1;1;1;\"A\";;;;\r\n"
                                         "10;1;1\r\n"
                                         "\r\n"
                                         "no separator here\r\n"
                                         "15;x\r\n"
                                         "11;2;1;1;\"B\";;;;\r\n");
    ASSERT_TRUE(importFile(path));
    ASSERT_EQ(data.ui().boxes.size(), 2);
    EXPECT_EQ(data.ui().boxes[0].text, "Invalid file format.\r\nDo you have the most current version of Quorvanti?");
    EXPECT_EQ(data.ui().boxes[0].title, "Quorvanti");
    EXPECT_EQ(data.ui().boxes[0].icon, MsgIcon::None);
    EXPECT_EQ(count("SELECT count(*) FROM cars WHERE car_nmbr IN (1, 2)"), 2);
}

TEST(Import, ImportingTheSameFileTwiceLeavesTheSameData) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    const QString path = writeFile(data, "12;7;\"R\";\"T\";2/17/2002;1;1\r\n"
                                         "11;12;1;1;\"C\";;;;\r\n"
                                         "14;3;12;2/1/2002;;1;2\r\n");
    ASSERT_TRUE(importFile(path));
    ASSERT_TRUE(importFile(path));
    EXPECT_EQ(count("SELECT (SELECT count(*) FROM races) * 100 + (SELECT count(*) FROM cars WHERE car_nmbr = 12) * 10"
                    " + (SELECT count(*) FROM team_car)"),
              111);
    EXPECT_TRUE(data.ui().boxes.isEmpty());
}

TEST(Import, AMissingFileIsSuccessAndAnUnreadableOneIsNot) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    EXPECT_TRUE(importFile(QDir(data.folder()).filePath(QStringLiteral("nothing.qvi"))));
    EXPECT_TRUE(data.ui().boxes.isEmpty());
    // A folder in place of the file cannot be opened: its box, and failure.
    QDir(data.folder()).mkdir(QStringLiteral("folder.qvi"));
    EXPECT_FALSE(importFile(QDir(data.folder()).filePath(QStringLiteral("folder.qvi"))));
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_TRUE(data.ui().boxes[0].text.startsWith("Error trying to open "));
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
