// Writing the reports of a big league: the report package of a league of 200 teams after 30 races,
// against the floor of writing as many files of the same sizes; the league race summary with the
// pages it links; each of the package's reports on its own; and the team detail report with one page
// per team at 50 and at 200 teams (which should take about four times as long, not sixteen), its page
// and a team race detail page each against a team cars page. Each run of a whole request prints how
// many pages it put in place and how many times it waited for the disk.
//
//   reports          leagues of 200 and 50 teams, 6 cars/drivers each, 30 posted races
//   reports --small  leagues of 12 and 3 teams, 3 races (a quick proof that it runs)
//   reports --package-only  the big season, then only the report package, once (for a profiler)

#include "SeasonBuilder.h"
#include "TestDataFile.h"
#include "data/Paths.h"
#include "platform/SaveFile.h"
#include "posting/Scoring.h"
#include "posting/cRaces.h"
#include "reports/framework/CommonReportCode.h"
#include "reports/generators/CarPickReport.h"
#include "reports/generators/CarsDetailReport.h"
#include "reports/generators/DriverStatsReport.h"
#include "reports/generators/LeagueRaceStandingsReport.h"
#include "reports/generators/LeagueRaceSummary.h"
#include "reports/generators/LeagueStandingsReport.h"
#include "reports/generators/RaceDetailReport.h"
#include "reports/generators/RaceResultsReport.h"
#include "reports/generators/ReportPackageReport.h"
#include "reports/generators/TeamCarsReport.h"
#include "reports/generators/TeamDetailReport.h"
#include "reports/generators/TeamRaceDetailReport.h"
#include "reports/generators/TeamTradesReport.h"
#include "reports/generators/TeamsperCarDriverReport.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr int kCars = 43;
constexpr int kCarsPerTeam = 6;
constexpr int kScoringType = 600;
constexpr int kFirstCar = 1001;
constexpr int kBigLeague = 500, kSmallLeague = 501;
constexpr int kFirstTeam = 500; // the big league's teams come first

// Two leagues of one race type, each team holding six cars of the 43, one of them traded halfway.
void buildSeason(int bigTeams, int smallTeams, int races) {
    SeasonBuilder season;
    TestDataFile::exec("BEGIN");
    season.countingScoring(
        {.nmbr = kScoringType, .name = "Bench Points", .lapsLed = 5, .mostLapsLed = 10, .fastQual = 3}, kCars);
    for (int c = 0; c < kCars; ++c)
        addCar({.nmbr = kFirstCar + c,
                .txt = QString::number(c + 1),
                .owner = "Owner",
                .driver = QStringLiteral("Driver %1").arg(c + 1),
                .make = "Make",
                .sponsor = QStringLiteral("Sponsor %1").arg(c + 1),
                .salary = 1000});
    int team = kFirstTeam;
    for (const auto& [league, teams] : {std::pair{kBigLeague, bigTeams}, std::pair{kSmallLeague, smallTeams}}) {
        season.league({.nmbr = league, .scoringType = kScoringType, .salaryCap = 1000000}, {});
        for (int t = 0; t < teams; ++t, ++team) {
            addTeam({.nmbr = team,
                     .name = QStringLiteral("Team %1").arg(team),
                     .owner = QStringLiteral("Owner %1").arg(team),
                     .email = QStringLiteral("team%1@example.invalid").arg(team),
                     .phone = QStringLiteral("555-%1").arg(team)});
            addMember({.league = league, .team = team});
            season.drawHoldings(team, kFirstCar, kCars, kCarsPerTeam, races);
        }
    }
    for (int race = 1; race <= races; ++race)
        season.drawRace(race, kFirstCar, kCars);
    TestDataFile::exec("COMMIT");
    for (int race = 1; race <= races; ++race)
        season.post(race);
}

double msOf(const std::function<QString()>& run, bool& wrote) {
    QElapsedTimer timer;
    timer.start();
    wrote = !run().isEmpty() && wrote;
    return double(timer.nsecsElapsed()) / 1e6;
}

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// The part of this thread's processor time spent in the system (creating, writing and renaming files).
double threadSystemMs() {
    rusage u{};
    getrusage(RUSAGE_THREAD, &u);
    return double(u.ru_stime.tv_sec) * 1e3 + double(u.ru_stime.tv_usec) / 1e3;
}

// One request into a folder of its own: its time, the pages it put in place, the disk waits, and the
// sizes of the files it left.
struct Request {
    double ms = 0;
    double cpuMs = 0; // of this thread: what the machine's other work does not lengthen much
    double systemMs = 0;
    quint64 pages = 0;
    quint64 syncs = 0;
    std::vector<qint64> sizes;
};

Request runInFreshFolder(const QString& folder, const std::function<QString()>& run, bool& wrote) {
    QDir().mkpath(folder);
    setReportsDir(folder);
    Request r;
    const quint64 pages = reportPagesWritten(), syncs = savedFileSyncs();
    const double cpu = threadCpuMs(), system = threadSystemMs();
    r.ms = msOf(run, wrote);
    r.cpuMs = threadCpuMs() - cpu;
    r.systemMs = threadSystemMs() - system;
    r.pages = reportPagesWritten() - pages;
    r.syncs = savedFileSyncs() - syncs;
    for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::Files))
        r.sizes.push_back(f.size());
    return r;
}

// The floor of a request: as many files of the same sizes, each written at once with QFile.
double floorMs(const QString& folder, const std::vector<qint64>& sizes) {
    QDir().mkpath(folder);
    const qint64 largest = sizes.empty() ? 0 : *std::max_element(sizes.begin(), sizes.end());
    const QByteArray bytes(largest, 'x');
    QElapsedTimer timer;
    timer.start();
    for (size_t i = 0; i < sizes.size(); ++i) {
        QFile f(folder + QStringLiteral("/f%1.html").arg(i));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes.constData(), sizes[i]) != sizes[i])
            std::fprintf(stderr, "the floor could not write %s\n", qPrintable(f.fileName()));
    }
    return double(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

qint64 total(const std::vector<qint64>& sizes) {
    qint64 n = 0;
    for (qint64 s : sizes)
        n += s;
    return n;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bool small = argc > 1 && std::strcmp(argv[1], "--small") == 0;
    const bool packageOnly = argc > 1 && std::strcmp(argv[1], "--package-only") == 0;
    const int bigTeams = small ? 12 : 200, smallTeams = small ? 3 : 50, races = small ? 3 : 30;

    TestDataFile data;
    QTemporaryDir out;
    if (!data.ok() || !out.isValid()) {
        std::fprintf(stderr, "could not create the data file\n");
        return 1;
    }
    QElapsedTimer setup;
    setup.start();
    buildSeason(bigTeams, smallTeams, races);
    setReportsDir(out.path());
    std::printf("leagues of %d and %d teams x %d cars, %d posted races (built and posted in %.1f s)\n", bigTeams,
                smallTeams, kCarsPerTeam, races, double(setup.elapsed()) / 1000.0);

    bool wrote = true;
    const int league = kBigLeague, race = races;

    if (packageOnly) {
        const Request only = runInFreshFolder(
            out.path() + QStringLiteral("/package"), [&] { return createReportPackage(league, race, false); }, wrote);
        std::printf("report package: %.1f ms, %llu pages put in place\n", only.ms, (unsigned long long)only.pages);
        return wrote ? 0 : 1;
    }

    // Each round writes into new folders, so that no round finds the pages of another in place.
    const int rounds = small ? 1 : 3;
    std::vector<double> packageMs, packageCpuMs, packageSystemMs, floorsMs, ratios, summaryMs, summaryCpuMs;
    Request package, summary;
    for (int round = 0; round < rounds; ++round) {
        const QString base = out.path() + QStringLiteral("/round%1").arg(round);
        package = runInFreshFolder(
            base + QStringLiteral("/package"), [&] { return createReportPackage(league, race, false); }, wrote);
        const double floor = floorMs(base + QStringLiteral("/floor"), package.sizes);
        summary = runInFreshFolder(
            base + QStringLiteral("/summary"), [&] { return createLeagueRaceSummary(league, false); }, wrote);
        packageMs.push_back(package.ms);
        packageCpuMs.push_back(package.cpuMs);
        packageSystemMs.push_back(package.systemMs);
        floorsMs.push_back(floor);
        ratios.push_back(package.ms / floor);
        summaryMs.push_back(summary.ms);
        summaryCpuMs.push_back(summary.cpuMs);
    }
    setReportsDir(out.path());
    std::printf("\nreport package of the %d-team league after race %d (median of %d rounds):\n", bigTeams, race,
                rounds);
    std::printf("  %8.1f ms (%.1f ms on the processor, %.1f of it in the system), %llu pages put in place, %llu disk "
                "syncs, %zu files of %.1f MB\n",
                median(packageMs), median(packageCpuMs), median(packageSystemMs), (unsigned long long)package.pages,
                (unsigned long long)package.syncs, package.sizes.size(), double(total(package.sizes)) / 1e6);
    std::printf("  floor (as many files of the same sizes, written with QFile): %8.1f ms\n", median(floorsMs));
    std::printf("  package/floor: %.2f (goal: at most 3)\n", median(ratios));
    std::printf("league race summary with the race detail and team cars pages it links:\n");
    std::printf("  %8.1f ms (goal: under 1000; %.1f ms on the processor), %llu pages put in place, %llu disk "
                "syncs\n",
                median(summaryMs), median(summaryCpuMs), (unsigned long long)summary.pages,
                (unsigned long long)summary.syncs);

    const std::vector<std::pair<const char*, std::function<QString()>>> reports = {
        {"Race Detail", [&] { return createRaceDetailReport(league, race, false); }},
        {"League Race Summary", [&] { return createLeagueRaceSummary(league, false); }},
        {"League Race Standings", [&] { return createLeagueRaceStandings(league, race, false); }},
        {"League Standings", [&] { return createLeagueStandingsReport(league, race, false); }},
        {"Team Detail", [&] { return createTeamDetailReport(league, -1, race, false, true, false); }},
        {"Team Cars", [&] { return createTeamCarsReport(league, -1, false, true, false); }},
        {"Car Details", [&] { return createCarsDetailReport(league, false); }},
        {"Race Results", [&] { return createRaceResultsReport(race, false); }},
        {"Car/Driver Stats", [&] { return createDriverStatsReport(league, false); }},
        {"Team Trades", [&] { return createTeamTradesReport(league, -1, race, false, true, false); }},
        {"Car/Driver Picks", [&] { return createCarPickReport(league, false); }},
        {"Teams per Car/Driver", [&] { return createTeamsperCarDriverReport(league, false, race); }},
    };
    std::printf("\nthe package's reports of the %d-team league after race %d, one by one:\n", bigTeams, race);
    double sum = 0;
    for (const auto& [name, run] : reports) {
        const double ms = msOf(run, wrote);
        sum += ms;
        std::printf("  %-22s %8.1f ms\n", name, ms);
    }
    std::printf("  %-22s %8.1f ms\n", "(sum)", sum);
    std::printf("report package: %.1f ms\n", msOf([&] { return createReportPackage(league, race, false); }, wrote));

    // The league race summary links every race's race detail page and every team's team cars page;
    // the league standings link every team's team race detail page: their own lines are a small part.
    std::printf("\nthe pages the league reports write within their own, %d-team league:\n", bigTeams);
    const double raceDetails = msOf(
        [&] {
            QString last;
            for (int r = 1; r <= races; ++r)
                last = createRaceDetailReport(league, r, false);
            return last;
        },
        wrote);
    std::printf("  race detail, %2d races:           %8.1f ms (%.2f ms a page)\n", races, raceDetails,
                raceDetails / races);
    const double teamCars = msOf(
        [&] {
            QString last;
            for (int t = kFirstTeam; t < kFirstTeam + bigTeams; ++t)
                last = createTeamCarsReport(league, t, false, false, false);
            return last;
        },
        wrote);
    std::printf("  team cars, %3d teams:            %8.1f ms (%.2f ms a page)\n", bigTeams, teamCars,
                teamCars / bigTeams);
    const double teamRaceDetails = msOf(
        [&] {
            QString last;
            for (int t = kFirstTeam; t < kFirstTeam + bigTeams; ++t)
                last = createTeamRaceDetailReport(league, t, race, false);
            return last;
        },
        wrote);
    std::printf("  team race detail, %3d teams:     %8.1f ms (%.2f ms a page)\n", bigTeams, teamRaceDetails,
                teamRaceDetails / bigTeams);
    std::printf("  a team race detail page against a team cars page: %.2f (goal: at most 1.5)\n",
                teamRaceDetails / teamCars);

    std::printf("\nteam detail, one page per team, after race %d:\n", race);
    const double smallMs =
        msOf([&] { return createTeamDetailReport(kSmallLeague, 0, race, false, false, true); }, wrote);
    const double bigMs = msOf([&] { return createTeamDetailReport(kBigLeague, 0, race, false, false, true); }, wrote);
    std::printf("  %3d teams: %8.1f ms (%.2f ms a page)\n", smallTeams, smallMs, smallMs / smallTeams);
    std::printf("  %3d teams: %8.1f ms (%.2f ms a page)\n", bigTeams, bigMs, bigMs / bigTeams);
    std::printf("  per page, %d teams against %d: %.2f (1 is linear in the teams)\n", bigTeams, smallTeams,
                (bigMs / bigTeams) / (smallMs / smallTeams));
    std::printf("  a page of the %d teams against a team cars page: %.2f (goal: at most 0.5)\n", bigTeams,
                bigMs / teamCars);

    if (!wrote || !data.ui().boxes.isEmpty()) {
        std::fprintf(stderr, "a report wrote no page%s%s\n", data.ui().boxes.isEmpty() ? "" : ": ",
                     data.ui().boxes.isEmpty() ? "" : qPrintable(data.ui().boxes.first().text));
        return 1;
    }
    return 0;
}
