#pragma once

#include "shell/EntityKind.h"

#include <QPoint>
#include <QString>

class QWidget;
class frmDisplayCars;
class frmDisplayLeagues;
class frmDisplayRaces;
class frmDisplayScoring;
class frmDisplayTeams;

// What the main window lends the list windows (see Commands): its view mode (details without one),
// and its pop-up menu of the kind (none without one).
int currentListViewMode();
void popupEntityMenu(EntityKind kind, const QPoint& globalPos);

// Whether the kind's editor is in commands(): without it the new and update commands do nothing,
// and the menus show them disabled.
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
