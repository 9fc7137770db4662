// Writes every report of a small posted season into a folder, with the shipped colours, for a
// browser to open: write_report_season OUTPUT_FOLDER [--shipped-columns]
//
// Without --shipped-columns every report shows every column it offers, so that every kind of text a
// page can hold (contact lines, totals, group rows, links) is on some page. Prints the names of the
// pages written, one a line.

#include "TestDataFile.h"
#include "data/Paths.h"
#include "posting/Scoring.h"
#include "posting/cRaces.h"
#include "reports/generators/ReportPackageReport.h"
#include "reports/generators/TeamCarsReport.h"
#include "reports/generators/TeamRaceDetailReport.h"
#include "reports/generators/TeamTradesReport.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

namespace {

constexpr int CarLeague = 1, DriverLeague = 2;

void post(int raceNmbr) {
    cRaces race;
    race.load(raceNmbr);
    postRace(race);
}

// League 1 "Sunday League" (cars) has three teams, league 2 "Driver League" (drivers) two, one of them
// in both. Two races are posted, the second unofficial; a third has results but is not posted.
void createSeason() {
    TestDataFile::exec("INSERT INTO scoring_type VALUES (600, 'Season Points', 5, 10, 3)");
    const int pts[] = {100, 80, 60, 50, 40, 30};
    for (int p = 1; p <= 6; ++p)
        TestDataFile::exec(QStringLiteral("INSERT INTO scoring_points VALUES (600, %1, %2, %3)")
                               .arg(p)
                               .arg(pts[p - 1])
                               .arg(p == 1   ? 7
                                    : p == 2 ? 4
                                             : 0));
    TestDataFile::exec("INSERT INTO group_dm (group_nmbr, group_name, max_nmbr) VALUES "
                       "(1, 'Group A', 2), (2, 'Group B', -1)");
    TestDataFile::exec(
        "INSERT INTO cars (car_nmbr, race_type_nmbr, car_type_nmbr, car_txt, driver_name, sponsor, group_nmbr, salary, "
        "car_make, car_owner) VALUES "
        "(1, 1, 1, '24', 'Gordon', 'Dupont', 1, 1000, 'Chevrolet', 'Hendrick'), "
        "(2, 1, 1, '3', 'Earnhardt', 'Goodwrench', 2, 2000, 'Chevrolet', 'Childress'), "
        "(3, 1, 1, '88', 'Jarrett', 'Quality Care', NULL, 1500, 'Ford', 'Yates'), "
        "(4, 1, 1, '6', 'Martin', 'Valvoline', 1, 500, 'Ford', 'Roush'), "
        "(5, 1, 1, '99', 'Burton', 'Exide', 2, 750, 'Ford', 'Roush'), "
        "(6, 1, 1, '18', 'Labonte', 'Interstate', NULL, 1250, 'Pontiac', 'Gibbs')");
    TestDataFile::exec(
        "INSERT INTO teams (team_nmbr, team_name, team_owner, email, phone, race_type_nmbr, car_type_nmbr) "
        "VALUES (1, 'Alpha Racing', 'Ann Lee', 'ann@example.invalid', '555-0101', 1, 1), "
        "(2, 'Bravo & Co', 'Bob Stone', 'bob@example.invalid', '555-0102', 1, 1), "
        "(3, 'Charlie', 'Cy Park', '', '555-0103', 1, 1)");
    TestDataFile::exec("INSERT INTO leagues VALUES (1, 'Sunday League', 'SL', 1, 1, 600, 0, 0, 1)");
    TestDataFile::exec("INSERT INTO leagues VALUES (2, 'Driver League', 'DL', 1, 1, 600, 0, 0, 2)");
    TestDataFile::exec("INSERT INTO league_teams VALUES (1, 1), (1, 2), (1, 3), (2, 1), (2, 3)");
    TestDataFile::exec("INSERT INTO team_car VALUES (1, 1, '2024-01-01', NULL, 0, 900, 1), "
                       "(1, 2, '2024-01-01', NULL, 0, 1800, 1), (2, 3, '2024-01-01', NULL, 0, 1400, 1), "
                       "(2, 4, '2024-01-01', '2024-03-05', 0, 450, 0), (2, 5, '2024-03-05', NULL, 0, 700, 1), "
                       "(3, 6, '2024-01-01', NULL, 0, 1200, 1)");
    TestDataFile::exec("INSERT INTO races VALUES (1, 'Daytona 500', 'Daytona', '2024-03-01', 1, 1, 2), "
                       "(2, 'Rockingham 400', 'Rockingham', '2024-03-08', 1, 1, 1), "
                       "(3, 'Las Vegas 400', 'Las Vegas', '2024-03-15', 1, 1, 2)");
    // (car, race, place, qualified, fast_qual, laps_led, adjustment)
    TestDataFile::exec("INSERT INTO results VALUES (1,1,1,2,0,50,0), (2,1,2,1,1,0,0), (3,1,3,3,0,10,0), "
                       "(4,1,4,4,0,0,0), (6,1,5,5,0,0,0), (5,1,6,6,0,0,0)");
    TestDataFile::exec("INSERT INTO results VALUES (5,2,1,1,1,60,0), (3,2,2,2,0,0,0), (1,2,3,3,0,5,0), "
                       "(2,2,4,4,0,0,0), (6,2,5,5,0,0,0), (4,2,6,6,0,0,0)");
    TestDataFile::exec("INSERT INTO results VALUES (1,3,1,1,0,0,0), (2,3,2,2,0,0,0)");
    post(1);
    post(2);
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
