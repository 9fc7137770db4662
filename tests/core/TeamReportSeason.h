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

#include "SeasonBuilder.h"
#include "TestDataFile.h"
#include "platform/Clock.h"
#include "reports/framework/CommonReportCode.h"

#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>

constexpr int SeasonLeague = 501, DriverLeague = 502;
constexpr int Alpha = 501, Bravo = 502, Charlie = 503;

class TeamReportSeason : public ::testing::Test, protected SeasonBuilder {
protected:
    void SetUp() override {
        ASSERT_TRUE(data.ok());
        // Pages carry the time to the second in their footers: pages compared with each other are
        // written at one moment.
        setClock(QDateTime(QDate(2024, 3, 20), QTime(18, 30, 5)));
        scoring({.nmbr = 600, .name = "Hand Points", .lapsLed = 5, .mostLapsLed = 10, .fastQual = 3},
                {100, 80, 60, 50, 40, 30}, {7, 4});
        addCar({.nmbr = 1, .txt = "24", .driver = "Gordon", .sponsor = "Dupont", .group = 1, .salary = 1000});
        addCar({.nmbr = 2, .txt = "3", .driver = "Earnhardt", .sponsor = "Goodwrench", .group = 2, .salary = 2000});
        addCar({.nmbr = 3, .txt = "88", .driver = "Jarrett <Jr>", .sponsor = "Quality", .salary = 1500});
        addCar({.nmbr = 4, .txt = "6", .driver = "Martin", .sponsor = "Valvoline", .salary = 500});
        addCar({.nmbr = 5, .txt = "99", .driver = "Burton", .sponsor = "Exide", .salary = 750});
        addCar({.nmbr = 6, .txt = "18", .driver = "Labonte", .sponsor = "Interstate", .salary = 1250});
        addTeam({.nmbr = Alpha, .name = "Alpha", .owner = "Ann", .email = "ann@example.invalid", .phone = "555-0101"});
        addTeam({.nmbr = Bravo, .name = "Bravo & Co", .owner = "Bob"});
        addTeam({.nmbr = Charlie, .name = "Charlie", .owner = "Cy", .email = "", .phone = "555-0103"});
        league({.nmbr = SeasonLeague, .name = "  Summer League  ", .shortName = "SL", .scoringType = 600},
               {Alpha, Bravo, Charlie});
        league({.nmbr = DriverLeague, .name = "Driver League", .shortName = "DL", .scoringType = 600, .carType = 2},
               {Alpha});
        addHolding({.team = Alpha, .car = 1, .lockedSalary = 900});
        addHolding({.team = Alpha, .car = 2, .lockedSalary = 1800});
        addHolding({.team = Bravo, .car = 3, .lockedSalary = 1400});
        addHolding({.team = Bravo, .car = 4, .to = "2024-03-05", .lockedSalary = 450, .active = 0});
        addHolding({.team = Bravo, .car = 5, .from = "2024-03-05", .lockedSalary = 700});
        addHolding({.team = Charlie, .car = 6, .lockedSalary = 1200});
        race({.nmbr = 1, .name = "Race One", .track = "Track A", .date = "2024-03-01"},
             {{.car = 1, .place = 1, .qualified = 2, .lapsLed = 50},
              {.car = 2, .place = 2, .qualified = 1, .fastQual = 1},
              {.car = 3, .place = 3, .qualified = 3, .lapsLed = 10},
              {.car = 4, .place = 4, .qualified = 4},
              {.car = 6, .place = 5, .qualified = 5},
              {.car = 5, .place = 6, .qualified = 6}});
        race({.nmbr = 2, .name = "Race Two", .track = "Track B", .date = "2024-03-08"},
             {{.car = 5, .place = 1, .qualified = 1, .fastQual = 1, .lapsLed = 60},
              {.car = 3, .place = 2, .qualified = 2},
              {.car = 1, .place = 3, .qualified = 3, .lapsLed = 5},
              {.car = 2, .place = 4, .qualified = 4},
              {.car = 6, .place = 5, .qualified = 5},
              {.car = 4, .place = 6, .qualified = 6}});
        race({.nmbr = 3, .name = "Race Three", .track = "Track C", .date = "2024-03-15"},
             {{.car = 1, .place = 1, .qualified = 1}, {.car = 2, .place = 2, .qualified = 2}});
        post(1);
        post(2);
        data.ui().clear();
        setDocumentOpener([this](const QString& path) {
            opened << path;
            return true;
        });
    }
    void TearDown() override {
        setDocumentOpener({});
        setClock(QDateTime());
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
