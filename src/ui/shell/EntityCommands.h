#pragma once

#include "shell/EntityKind.h"

#include <QPoint>
#include <QString>
#include <functional>

class QWidget;
class cCar;
class cLeague;
class cRaces;
class cScoringType;
class cTeam;
class frmDisplayCars;
class frmDisplayLeagues;
class frmDisplayRaces;
class frmDisplayScoring;
class frmDisplayTeams;

// What the main window lends the list windows. Without a host (tests, or before the main window
// exists) a list window is a top-level window, no pop-up menu is shown and the view is details.
struct ListWindowHost {
    // Takes a newly created list window into the main window's MDI area.
    std::function<void(QWidget* window)> place;
    // Enables the Update and Delete entries of the kind's pop-up menu and pops it up there.
    std::function<void(EntityKind kind, const QPoint& globalPos)> popupMenu;
    // The shared listViewMode.
    std::function<int()> viewMode;
};
void setListWindowHost(const ListWindowHost& host);
int currentListViewMode();
void popupEntityMenu(EntityKind kind, const QPoint& globalPos);

// The editors the new and update commands open, modally, on the object they are given. A kind
// without an editor has its new and update commands switched off: they do nothing, and
// editorAvailable tells the menus to show them disabled.
void setLeagueEditor(std::function<void(cLeague&)> showWith);
void setTeamEditor(std::function<void(cTeam&)> showWith);
void setCarEditor(std::function<void(cCar&)> showWith);
void setRaceEditor(std::function<void(cRaces&)> showWith);
void setScoringEditor(std::function<void(cScoringType&)> showWith);
bool editorAvailable(EntityKind kind);

// The list windows, created by their display command; nullptr while none is open.
frmDisplayLeagues* leaguesWindow();
frmDisplayTeams* teamsWindow();
frmDisplayCars* carsWindow();
frmDisplayRaces* racesWindow();
frmDisplayScoring* scoringWindow();

// Show a kind's list window (created when needed) with the row of that key selected;
// -1 or "" select the first row.
void displayLeagues(int leagueNmbr);
void displayTeams(const QString& teamName);
void displayCars(int carNmbr);
void displayRaces(const QString& raceName);
void displayScoring(const QString& scoringTypeName);

// Open the kind's editor on a new object, then show the list with it.
void newLeague();
void newTeam();
void newCar();
void newRace();
void newScoring();

// Open the kind's editor on a copy of the selected row's object, then show the list again.
void updateLeague();
void updateTeam();
void updateCar();
void updateRace();
void updateScoring();

// Confirm, check what still depends on the selected row's object, then refuse or delete it.
void deleteLeague();
void deleteTeam();
void deleteCar();
void deleteRace();
void deleteScoring();

// The same commands chosen by kind (the list windows' keys and mouse).
void runNewCommand(EntityKind kind);
void runUpdateCommand(EntityKind kind);
void runDeleteCommand(EntityKind kind);
