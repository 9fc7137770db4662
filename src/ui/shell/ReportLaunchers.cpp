#include "shell/ReportLaunchers.h"

#include "data/Feedback.h"
#include "reports/generators/ReportPipeline.h"
#include "shell/Commands.h"

#include <functional>

namespace {

struct Launcher {
    const char* tag;
    const char* code; // the report's code, which names it in the status bar
    const char* caption;
    bool league;
    bool race;
    bool team;
    std::function<bool()> available;                    // the report's entry is there
    std::function<QString(const ReportRequest&)> write; // calls the entry with the picks it needs
};

const Commands::Reports& r() {
    return commands().reports;
}

const std::vector<Launcher>& launchers() {
    // In the order the tree's click compares the tags.
    static const std::vector<Launcher> table = {
        {"REPORT PACKAGE", "RP", "Report Package", true, true, false, [] { return bool(r().createReportPackage); },
         [](const ReportRequest& q) { return r().createReportPackage(q.leagueNmbr, q.raceNmbr, true); }},
        {"RACE DETAIL", "RD", "Race Detail", true, true, false, [] { return bool(r().createRaceDetailReport); },
         [](const ReportRequest& q) { return r().createRaceDetailReport(q.leagueNmbr, q.raceNmbr, true); }},
        {"TEAM DETAIL", "TD", "Team Detail", true, true, true, [] { return bool(r().createTeamDetailReport); },
         [](const ReportRequest& q) {
             return r().createTeamDetailReport(q.leagueNmbr, q.teamNmbr, q.raceNmbr, true, q.allTeams, q.separate);
         }},
        {"LEAGUE STANDINGS", "LS", "League Standings", true, true, false,
         [] { return bool(r().createLeagueStandingsReport); },
         [](const ReportRequest& q) { return r().createLeagueStandingsReport(q.leagueNmbr, q.raceNmbr, true); }},
        {"LEAGUE RACE SUMMARY", "LR", "League Race Summary", true, false, false,
         [] { return bool(r().createLeagueRaceSummary); },
         [](const ReportRequest& q) { return r().createLeagueRaceSummary(q.leagueNmbr, true); }},
        {"TEAM CARS", "TC", "Team Cars", true, true, true, [] { return bool(r().createTeamCarsReport); },
         [](const ReportRequest& q) {
             return r().createTeamCarsReport(q.leagueNmbr, q.teamNmbr, true, q.allTeams, q.separate, q.raceNmbr);
         }},
        {"LEAGUE RACE STANDINGS", "RS", "League Race Standings", true, true, false,
         [] { return bool(r().createLeagueRaceStandings); },
         [](const ReportRequest& q) { return r().createLeagueRaceStandings(q.leagueNmbr, q.raceNmbr, true); }},
        {"CAR DETAILS", "CD", "Car Details", true, false, false, [] { return bool(r().createCarsDetailReport); },
         [](const ReportRequest& q) { return r().createCarsDetailReport(q.leagueNmbr, true); }},
        {"RACE RESULTS", "RR", "Race Results", false, true, false, [] { return bool(r().createRaceResultsReport); },
         [](const ReportRequest& q) { return r().createRaceResultsReport(q.raceNmbr, true); }},
        {"CAR/DRIVER STATS", "DS", "Car/Driver Stats", true, false, false,
         [] { return bool(r().createDriverStatsReport); },
         [](const ReportRequest& q) { return r().createDriverStatsReport(q.leagueNmbr, true); }},
        {"TEAM TRADES", "TT", "Team Trades", true, true, true, [] { return bool(r().createTeamTradesReport); },
         [](const ReportRequest& q) {
             return r().createTeamTradesReport(q.leagueNmbr, q.teamNmbr, q.raceNmbr, true, q.allTeams, q.separate);
         }},
        {"CAR PICKS", "CP", "Car/Driver Picks", true, false, false, [] { return bool(r().createCarPickReport); },
         [](const ReportRequest& q) { return r().createCarPickReport(q.leagueNmbr, true); }},
        {"TEAMS CAR/DRIVER", "DT", "Teams per Car/Driver", true, true, false,
         [] { return bool(r().createTeamsperCarDriverReport); },
         [](const ReportRequest& q) { return r().createTeamsperCarDriverReport(q.leagueNmbr, true, q.raceNmbr); }},
    };
    return table;
}

const Launcher* find(const QString& tag) {
    for (const Launcher& l : launchers())
        if (tag == QLatin1String(l.tag))
            return &l;
    return nullptr;
}

void launch(const char* tag) {
    const Launcher* l = find(QLatin1String(tag));
    if (!l || !r().request || !l->available())
        return;
    // A fresh dialog on every launch, so no pick of an earlier request carries over.
    const QString caption = QLatin1String(l->caption);
    const ReportRequest picks = r().request(caption, l->race, l->league, l->team);
    if (!picks.ok)
        return;
    const bool written = !l->write(picks).isEmpty();
    // Said also of a report refused (its box has told why) or failed: it is no longer being created.
    setStatus(reportOutcomeText(QLatin1String(l->code), written));
}

} // namespace

void requestReportPackage() {
    launch("REPORT PACKAGE");
}
void requestRaceDetailReport() {
    launch("RACE DETAIL");
}
void requestLeagueRaceStandingsReport() {
    launch("LEAGUE RACE STANDINGS");
}
void requestTeamsPerCarDriverReport() {
    launch("TEAMS CAR/DRIVER");
}
void requestTeamDetailReport() {
    launch("TEAM DETAIL");
}
void requestLeagueStandingsReport() {
    launch("LEAGUE STANDINGS");
}
void requestTeamCarsReport() {
    launch("TEAM CARS");
}
void requestCarPickReport() {
    launch("CAR PICKS");
}
void requestDriverStatsReport() {
    launch("CAR/DRIVER STATS");
}
void requestRaceResultsReport() {
    launch("RACE RESULTS");
}
void requestCarsDetailReport() {
    launch("CAR DETAILS");
}
void requestTeamTradesReport() {
    launch("TEAM TRADES");
}
void requestLeagueRaceSummaryReport() {
    launch("LEAGUE RACE SUMMARY");
}

QStringList reportTags() {
    QStringList tags;
    for (const Launcher& l : launchers())
        tags << QLatin1String(l.tag);
    return tags;
}

bool launchReportByTag(const QString& tag) {
    const Launcher* l = find(tag);
    if (!l)
        return false;
    launch(l->tag);
    return true;
}

bool reportLauncherAvailable(const QString& tag) {
    const Launcher* l = find(tag);
    return l && r().request && l->available();
}
