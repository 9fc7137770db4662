#pragma once

// A small posted season for the league and team reports.
//
// League 501 "  Summer League  " (Wexford Cup, cars, scoring method 600: places 1..6 pay
// 100, 80, 60, 50, 40, 30; laps-led bonus 5, most laps led 10, fastest qualifier 3; qualifying
// position 1 pays 7, position 2 pays 4). Members: Alpha (501), Bravo & Co (502), Charlie (503).
// League 502 (drivers, same race type) has Alpha only.
//
// Holdings: Alpha 1 and 2 all season; Bravo 3 all season, 4 until 3/5, 5 from 3/5;
// Charlie 6 all season. Races: 1 on 3/1 and 2 on 3/8 (posted), 3 on 3/15 (results, not posted).
//
// Cars: 1 "24" Gordon (group A, 1000), 2 "3" Earnhardt (group B, 2000), 3 "88" Jarrett <Jr> (1500,
// no group), 4 "6" Martin (500), 5 "99" Burton (750), 6 "18" Labonte (1250).

#include "TestDataFile.h"
#include "posting/Scoring.h"
#include "posting/cRaces.h"
#include "reports/framework/CommonReportCode.h"

#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>

constexpr int SeasonLeague = 501, DriverLeague = 502;
constexpr int Alpha = 501, Bravo = 502, Charlie = 503;

class TeamReportSeason : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(data.ok());
        TestDataFile::exec("INSERT INTO scoring_type VALUES (600, 'Hand Points', 5, 10, 3)");
        const int pts[] = {100, 80, 60, 50, 40, 30};
        for (int p = 1; p <= 6; ++p)
            TestDataFile::exec(QStringLiteral("INSERT INTO scoring_points VALUES (600, %1, %2, %3)")
                                   .arg(p)
                                   .arg(pts[p - 1])
                                   .arg(p == 1   ? 7
                                        : p == 2 ? 4
                                                 : 0));
        TestDataFile::exec(
            "INSERT INTO cars (car_nmbr, race_type_nmbr, car_type_nmbr, car_txt, driver_name, sponsor, group_nmbr, "
            "salary) VALUES (1, 1, 1, '24', 'Gordon', 'Dupont', 1, 1000), (2, 1, 1, '3', 'Earnhardt', 'Goodwrench', 2, "
            "2000), (3, 1, 1, '88', 'Jarrett <Jr>', 'Quality', NULL, 1500), (4, 1, 1, '6', 'Martin', 'Valvoline', "
            "NULL, "
            "500), (5, 1, 1, '99', 'Burton', 'Exide', NULL, 750), (6, 1, 1, '18', 'Labonte', 'Interstate', NULL, "
            "1250)");
        TestDataFile::exec(
            "INSERT INTO teams (team_nmbr, team_name, team_owner, email, phone, race_type_nmbr, "
            "car_type_nmbr) VALUES (501, 'Alpha', 'Ann', 'ann@example.invalid', '555-0101', 1, 1), "
            "(502, 'Bravo & Co', 'Bob', NULL, NULL, 1, 1), (503, 'Charlie', 'Cy', '', '555-0103', 1, 1)");
        TestDataFile::exec("INSERT INTO leagues VALUES (501, '  Summer League  ', 'SL', 1, 1, 600, 0, 0, 1)");
        TestDataFile::exec("INSERT INTO leagues VALUES (502, 'Driver League', 'DL', 1, 1, 600, 0, 0, 2)");
        TestDataFile::exec("INSERT INTO league_teams VALUES (501, 501), (501, 502), (501, 503), (502, 501)");
        TestDataFile::exec("INSERT INTO team_car VALUES (501, 1, '2024-01-01', NULL, 0, 900, 1), "
                           "(501, 2, '2024-01-01', NULL, 0, 1800, 1), (502, 3, '2024-01-01', NULL, 0, 1400, 1), "
                           "(502, 4, '2024-01-01', '2024-03-05', 0, 450, 0), (502, 5, '2024-03-05', NULL, 0, 700, 1), "
                           "(503, 6, '2024-01-01', NULL, 0, 1200, 1)");
        TestDataFile::exec("INSERT INTO races VALUES (1, 'Race One', 'Track A', '2024-03-01', 1, 1, 2), "
                           "(2, 'Race Two', 'Track B', '2024-03-08', 1, 1, 2), "
                           "(3, 'Race Three', 'Track C', '2024-03-15', 1, 1, 2)");
        // (car, race, place, qualified, fast_qual, laps_led, adjustment)
        TestDataFile::exec("INSERT INTO results VALUES (1,1,1,2,0,50,0), (2,1,2,1,1,0,0), (3,1,3,3,0,10,0), "
                           "(4,1,4,4,0,0,0), (6,1,5,5,0,0,0), (5,1,6,6,0,0,0)");
        TestDataFile::exec("INSERT INTO results VALUES (5,2,1,1,1,60,0), (3,2,2,2,0,0,0), (1,2,3,3,0,5,0), "
                           "(2,2,4,4,0,0,0), (6,2,5,5,0,0,0), (4,2,6,6,0,0,0)");
        TestDataFile::exec("INSERT INTO results VALUES (1,3,1,1,0,0,0), (2,3,2,2,0,0,0)");
        post(1);
        post(2);
        data.ui().clear();
        setDocumentOpener([this](const QString& path) {
            opened << path;
            return true;
        });
    }
    void TearDown() override { setDocumentOpener({}); }

    static void post(int raceNmbr) {
        cRaces race;
        race.load(raceNmbr);
        postRace(race);
    }
    // Replaces a report's chosen columns by these, in this order.
    static void chooseColumns(const QString& code, std::initializer_list<int> columns) {
        TestDataFile::exec(QStringLiteral("DELETE FROM report_columns WHERE report_nmbr = "
                                          "(SELECT report_nmbr FROM report WHERE report_id = '%1')")
                               .arg(code));
        int order = 1;
        for (int c : columns)
            TestDataFile::exec(QStringLiteral("INSERT INTO report_columns (report_nmbr, column_nmbr, column_order) "
                                              "SELECT report_nmbr, %1, %2 FROM report WHERE report_id = '%3'")
                                   .arg(c)
                                   .arg(order++)
                                   .arg(code));
    }
    // Sets a switch attribute (include active only 21, include footer 22) of a report.
    static void setSwitch(const QString& code, int attribute, bool on) {
        TestDataFile::exec(QStringLiteral("DELETE FROM report_attributes WHERE attribute_nmbr = %1 AND report_nmbr = "
                                          "(SELECT report_nmbr FROM report WHERE report_id = '%2')")
                               .arg(attribute)
                               .arg(code));
        TestDataFile::exec(QStringLiteral("INSERT INTO report_attributes (report_nmbr, attribute_nmbr, amt) "
                                          "SELECT report_nmbr, %1, %2 FROM report WHERE report_id = '%3'")
                               .arg(attribute)
                               .arg(on ? 1 : 0)
                               .arg(code));
    }
    // The lines of a page of the report folder; empty when the file is empty or missing.
    static QStringList pageLines(const QString& fileName) {
        QFile f(reportFilePath(fileName));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QStringList lines = QString::fromLatin1(f.readAll()).split(QStringLiteral("\r\n"));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }
    static bool pageExists(const QString& fileName) { return QFile::exists(reportFilePath(fileName)); }
    // The lines that hold the text, in page order.
    static QStringList linesWith(const QStringList& lines, const QString& text) { return lines.filter(text); }

    TestDataFile data;
    QStringList opened;
};
