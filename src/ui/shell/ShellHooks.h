#pragma once

#include "exchange/Import.h"

#include <QString>
#include <QVariant>
#include <functional>

class QWidget;

// The windows and commands of later parts of the program, as the main window reaches them.
//
// Each entry stays empty until its window exists; the main window greys out every menu entry, toolbar
// button and tree entry whose entry is empty. A finished window is plugged in at one place,
// installShellHooks() in ShellHooks.cpp, and the main window picks it up when it starts (or at once
// through frmMain::refreshCommands()).

// One entity kind: its list window and its entity commands.
struct EntityHooks {
    // Reloads the list window (creating it as a child of frmMain::mdiArea() the first time), selects
    // the row with the key (-1 or "" for the first row), applies listViewMode, brings the window up and
    // returns it (the widget inside its sub-window).
    std::function<QWidget*(const QVariant& key)> display;
    std::function<void()> create; // newLeague, newTeam, newCar, newRace, newScoring
    std::function<void()> update; // updateLeague, ... (on the list window's selected row)
    std::function<void()> remove; // deleteLeague, ...
};

// What the report request dialog returned; the fields are read only when ok is true.
struct ReportRequest {
    bool ok = false;
    int leagueNmbr = 0;
    int raceNmbr = 0;
    int teamNmbr = 0;
    bool allTeams = false;
    bool separate = false;
};

// The report request dialog and the report entries. Each entry writes its file into the report folder
// and returns the file name.
struct ReportHooks {
    // Shows a new report request dialog (a fresh one on every call) with the caption, insisting on the
    // picks marked required, and returns what the user chose.
    std::function<ReportRequest(const QString& caption, bool raceRequired, bool leagueRequired, bool teamRequired)>
        request;
    std::function<QString(int leagueNmbr, int raceNmbr, bool show)> createReportPackage;
    std::function<QString(int leagueNmbr, int raceNmbr, bool show)> createRaceDetailReport;
    std::function<QString(int leagueNmbr, int raceNmbr, bool show)> createLeagueRaceStandings;
    std::function<QString(int leagueNmbr, bool show, int raceNmbr)> createTeamsperCarDriverReport;
    std::function<QString(int leagueNmbr, int teamNmbr, int raceNmbr, bool show, bool allTeams, bool separate)>
        createTeamDetailReport;
    std::function<QString(int leagueNmbr, int raceNmbr, bool show)> createLeagueStandingsReport;
    std::function<QString(int leagueNmbr, int teamNmbr, bool show, bool allTeams, bool separate, int raceNmbr)>
        createTeamCarsReport;
    std::function<QString(int leagueNmbr, bool show)> createCarPickReport;
    std::function<QString(int leagueNmbr, bool show)> createDriverStatsReport;
    std::function<QString(int raceNmbr, bool show)> createRaceResultsReport;
    std::function<QString(int leagueNmbr, bool show)> createCarsDetailReport;
    std::function<QString(int leagueNmbr, int teamNmbr, int raceNmbr, bool show, bool allTeams, bool separate)>
        createTeamTradesReport;
    std::function<QString(int leagueNmbr, bool show)> createLeagueRaceSummary;
};

struct ShellHooks {
    // The five list windows and their entity commands.
    EntityHooks leagues;
    EntityHooks teams;
    EntityHooks cars;
    EntityHooks races;
    EntityHooks scoring;

    // Modal windows of the menus.
    std::function<void()> publishWeb;    // frmPublishWeb
    std::function<void()> reportDetails; // frmReportDetails
    std::function<void()> raceTypes;     // frmRaceTypes
    std::function<void()> groups;        // frmGroups

    // Imports one import file and tells how it ended.
    std::function<ImportOutcome(const QString& path)> importFile;

    ReportHooks reports;
};

ShellHooks& shellHooks();

// Plugs the finished windows of the other subsystems into shellHooks(); called once at start-up.
void installShellHooks();
