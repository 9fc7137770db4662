// Writes every report of a small posted season into a folder, with the shipped colours, for a
// browser to open: write_report_season OUTPUT_FOLDER [--shipped-columns]
//
// Without --shipped-columns every report shows every column it offers, so that every kind of text a
// page can hold (contact lines, totals, group rows, links) is on some page. Prints the names of the
// pages written, one a line.

#include "SeasonBuilder.h"
#include "TestDataFile.h"
#include "data/Paths.h"
#include "reports/generators/ReportPackageReport.h"
#include "reports/generators/TeamCarsReport.h"
#include "reports/generators/TeamRaceDetailReport.h"
#include "reports/generators/TeamTradesReport.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

namespace {

constexpr int CarLeague = 1, DriverLeague = 2;

// League 1 "Sunday League" (cars) has three teams, league 2 "Driver League" (drivers) two, one of them
// in both. Two races are posted, the second unofficial; a third has results but is not posted.
void createSeason() {
    SeasonBuilder season;
    season.scoring({.nmbr = 600, .name = "Season Points", .lapsLed = 5, .mostLapsLed = 10, .fastQual = 3},
                   {100, 80, 60, 50, 40, 30}, {7, 4});
    addCar({.nmbr = 1,
            .txt = "24",
            .owner = "Hendrick",
            .driver = "Gordon",
            .make = "Chevrolet",
            .sponsor = "Dupont",
            .group = 1,
            .salary = 1000});
    addCar({.nmbr = 2,
            .txt = "3",
            .owner = "Childress",
            .driver = "Earnhardt",
            .make = "Chevrolet",
            .sponsor = "Goodwrench",
            .group = 2,
            .salary = 2000});
    addCar({.nmbr = 3,
            .txt = "88",
            .owner = "Yates",
            .driver = "Jarrett",
            .make = "Ford",
            .sponsor = "Quality Care",
            .salary = 1500});
    addCar({.nmbr = 4,
            .txt = "6",
            .owner = "Roush",
            .driver = "Martin",
            .make = "Ford",
            .sponsor = "Valvoline",
            .group = 1,
            .salary = 500});
    addCar({.nmbr = 5,
            .txt = "99",
            .owner = "Roush",
            .driver = "Burton",
            .make = "Ford",
            .sponsor = "Exide",
            .group = 2,
            .salary = 750});
    addCar({.nmbr = 6,
            .txt = "18",
            .owner = "Gibbs",
            .driver = "Labonte",
            .make = "Pontiac",
            .sponsor = "Interstate",
            .salary = 1250});
    addTeam(
        {.nmbr = 1, .name = "Alpha Racing", .owner = "Ann Lee", .email = "ann@example.invalid", .phone = "555-0101"});
    addTeam(
        {.nmbr = 2, .name = "Bravo & Co", .owner = "Bob Stone", .email = "bob@example.invalid", .phone = "555-0102"});
    addTeam({.nmbr = 3, .name = "Charlie", .owner = "Cy Park", .email = "", .phone = "555-0103"});
    season.league({.nmbr = CarLeague, .name = "Sunday League", .shortName = "SL", .scoringType = 600}, {1, 2, 3});
    season.league({.nmbr = DriverLeague, .name = "Driver League", .shortName = "DL", .scoringType = 600, .carType = 2},
                  {1, 3});
    addHolding({.team = 1, .car = 1, .lockedSalary = 900});
    addHolding({.team = 1, .car = 2, .lockedSalary = 1800});
    addHolding({.team = 2, .car = 3, .lockedSalary = 1400});
    addHolding({.team = 2, .car = 4, .to = "2024-03-05", .lockedSalary = 450, .active = 0});
    addHolding({.team = 2, .car = 5, .from = "2024-03-05", .lockedSalary = 700});
    addHolding({.team = 3, .car = 6, .lockedSalary = 1200});
    season.race({.nmbr = 1, .name = "Daytona 500", .track = "Daytona", .date = "2024-03-01"},
                {{.car = 1, .place = 1, .qualified = 2, .lapsLed = 50},
                 {.car = 2, .place = 2, .qualified = 1, .fastQual = 1},
                 {.car = 3, .place = 3, .qualified = 3, .lapsLed = 10},
                 {.car = 4, .place = 4, .qualified = 4},
                 {.car = 6, .place = 5, .qualified = 5},
                 {.car = 5, .place = 6, .qualified = 6}});
    season.race({.nmbr = 2, .name = "Rockingham 400", .track = "Rockingham", .date = "2024-03-08", .status = 1},
                {{.car = 5, .place = 1, .qualified = 1, .fastQual = 1, .lapsLed = 60},
                 {.car = 3, .place = 2, .qualified = 2},
                 {.car = 1, .place = 3, .qualified = 3, .lapsLed = 5},
                 {.car = 2, .place = 4, .qualified = 4},
                 {.car = 6, .place = 5, .qualified = 5},
                 {.car = 4, .place = 6, .qualified = 6}});
    season.race({.nmbr = 3, .name = "Las Vegas 400", .track = "Las Vegas", .date = "2024-03-15"},
                {{.car = 1, .place = 1, .qualified = 1}, {.car = 2, .place = 2, .qualified = 2}});
    season.post(1);
    season.post(2);
}

void chooseEveryColumn() {
    TestDataFile::exec("DELETE FROM report_columns");
    TestDataFile::exec("INSERT INTO report_columns (report_nmbr, column_nmbr, column_order) "
                       "SELECT report_nmbr, column_nmbr, column_nmbr FROM available_report_columns");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: write_report_season OUTPUT_FOLDER [--shipped-columns]\n");
        return 2;
    }
    const QString out = QDir(args[1]).absolutePath();
    TestDataFile data;
    if (!data.ok() || !QDir().mkpath(out)) {
        std::fprintf(stderr, "cannot set up the data file or %s\n", qPrintable(out));
        return 1;
    }
    createSeason();
    if (!args.contains(QStringLiteral("--shipped-columns")))
        chooseEveryColumn();
    setReportsDir(out);

    // The package writes every report of a league after a race; the team pages of the request
    // dialog add each team's own cars, trades and race detail.
    bool ok = true;
    for (int league : {CarLeague, DriverLeague})
        ok = !createReportPackage(league, 2, false).isEmpty() && ok;
    for (int team : {1, 2, 3}) {
        ok = !createTeamCarsReport(CarLeague, team, false, false, false, 2).isEmpty() && ok;
        ok = !createTeamTradesReport(CarLeague, team, 2, false, false, false).isEmpty() && ok;
        ok = !createTeamRaceDetailReport(CarLeague, team, 1, false).isEmpty() && ok;
    }
    for (const auto& box : data.ui().boxes)
        std::fprintf(stderr, "message: %s\n", qPrintable(box.text));
    for (const QString& name : QDir(out).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name))
        std::printf("%s\n", qPrintable(name));
    return ok && data.ui().boxes.isEmpty() ? 0 : 1;
}
