#pragma once

#include "exchange/Import.h"
#include "shell/EntityKind.h"

#include <QPoint>
#include <QString>
#include <QVariant>
#include <functional>

class QWidget;
class cCar;
class cLeague;
class cRaces;
class cScoringType;
class cTeam;

// What the report request dialog returned; the fields are read only when ok is true.
struct ReportRequest {
    bool ok = false;
    int leagueNmbr = 0;
    int raceNmbr = 0;
    int teamNmbr = 0;
    bool allTeams = false;
    bool separate = false;
};

// The program's commands as its menus, toolbar, navigation tree, list windows and editors reach
// them: the one registry, filled at start-up by installCommands().
//
// The program fills every entry. An empty entry is a command not offered: the main window greys out
// its menu entries, toolbar buttons and tree entries, and a list window runs nothing for it. The window
// tests fill only the entries they drive, often with stand-ins that record what was asked.
struct Commands {
    // One entity kind's list window and the commands on it.
    struct Kind {
        // Reloads the list window (creating it as a child of frmMain::mdiArea() the first time),
        // selects the row with the key (-1 or "" for the first row), applies listViewMode, brings the
        // window up and returns it (the widget inside its sub-window).
        std::function<QWidget*(const QVariant& key)> display;
        std::function<void()> create; // newLeague, newTeam, newCar, newRace, newScoring
        std::function<void()> update; // updateLeague, ... (on the list window's selected row)
        std::function<void()> remove; // deleteLeague, ...
    };
    Kind leagues;
    Kind teams;
    Kind cars;
    Kind races;
    Kind scoring;

    // The editors the new and update commands open, modally, on the object they are given. Without
    // its editor a kind has no new and update commands.
    std::function<void(cLeague&)> editLeague;
    std::function<void(cTeam&)> editTeam;
    std::function<void(cCar&)> editCar;
    std::function<void(cRaces&)> editRace;
    std::function<void(cScoringType&)> editScoring;

    // What the main window lends the list windows. Without these a list window is a top-level
    // window, no pop-up menu is shown and the view is details.
    // Takes a newly created list window into the main window's MDI area.
    std::function<void(QWidget* window)> placeListWindow;
    // Enables the Update and Delete entries of the kind's pop-up menu and pops it up there.
    std::function<void(EntityKind kind, const QPoint& globalPos)> popupEntityMenu;
    // The shared listViewMode.
    std::function<int()> listViewMode;

    // Modal windows of the menus.
    std::function<void()> publishWeb;    // frmPublishWeb
    std::function<void()> reportDetails; // frmReportDetails
    std::function<void()> raceTypes;     // frmRaceTypes
    std::function<void()> groups;        // frmGroups

    // Imports one import file and tells how it ended (see ImportOutcome). A file that is not there
    // ends Failed without a box of its own, as one that cannot be read or stored does after its box.
    std::function<ImportOutcome(const QString& path)> importFile;

    // The report request dialog and the report entries. Each entry writes its file into the report
    // folder and returns the file name.
    struct Reports {
        // Shows a new report request dialog (a fresh one on every call) with the caption, insisting
        // on the picks marked required, and returns what the user chose.
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
    Reports reports;
};

Commands& commands();

// Fills commands() with the program's windows and commands; called once at start-up.
void installCommands();
