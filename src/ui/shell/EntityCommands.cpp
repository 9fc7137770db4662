#include "shell/EntityCommands.h"

#include "data/Feedback.h"
#include "data/cCar.h"
#include "data/cLeague.h"
#include "data/cScoringType.h"
#include "data/cTeam.h"
#include "posting/RacePostingUseCases.h"
#include "posting/cRaces.h"
#include "rules/DeleteChecks.h"
#include "shell/Commands.h"
#include "shell/frmDisplayCars.h"
#include "shell/frmDisplayLeagues.h"
#include "shell/frmDisplayRaces.h"
#include "shell/frmDisplayScoring.h"
#include "shell/frmDisplayTeams.h"

#include <QPointer>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QPointer<frmDisplayLeagues> gLeagues;
QPointer<frmDisplayTeams> gTeams;
QPointer<frmDisplayCars> gCars;
QPointer<frmDisplayRaces> gRaces;
QPointer<frmDisplayScoring> gScoring;

// A list window lives until the user closes it; the next display command makes a new one.
template <class W> W* openWindow(QPointer<W>& window) {
    if (!window) {
        window = new W;
        window->setAttribute(Qt::WA_DeleteOnClose);
        if (commands().placeListWindow)
            commands().placeListWindow(window);
    }
    return window;
}

bool confirmDelete(const QString& what, const QString& title) {
    return askQuestion(QStringLiteral("Are you sure you want to delete ") + what + QStringLiteral("?"), title) ==
           AnswerYes;
}

} // namespace

int currentListViewMode() {
    return commands().listViewMode ? commands().listViewMode() : 3;
}

void popupEntityMenu(EntityKind kind, const QPoint& globalPos) {
    if (commands().popupEntityMenu)
        commands().popupEntityMenu(kind, globalPos);
}

bool editorAvailable(EntityKind kind) {
    switch (kind) {
    case EntityKind::League:
        return bool(commands().editLeague);
    case EntityKind::Team:
        return bool(commands().editTeam);
    case EntityKind::Car:
        return bool(commands().editCar);
    case EntityKind::Race:
        return bool(commands().editRace);
    case EntityKind::Scoring:
        return bool(commands().editScoring);
    }
    return false;
}

frmDisplayLeagues* leaguesWindow() {
    return gLeagues;
}
frmDisplayTeams* teamsWindow() {
    return gTeams;
}
frmDisplayCars* carsWindow() {
    return gCars;
}
frmDisplayRaces* racesWindow() {
    return gRaces;
}
frmDisplayScoring* scoringWindow() {
    return gScoring;
}

// ---- display ----

void displayLeagues(int leagueNmbr) {
    openWindow(gLeagues)->display(leagueNmbr);
}
void displayTeams(const QString& teamName) {
    openWindow(gTeams)->display(teamName);
}
void displayCars(int carNmbr) {
    openWindow(gCars)->display(carNmbr);
}
void displayRaces(const QString& raceName) {
    openWindow(gRaces)->display(raceName);
}
void displayScoring(const QString& scoringTypeName) {
    openWindow(gScoring)->display(scoringTypeName);
}

// ---- new ----

void newLeague() {
    if (!commands().editLeague)
        return;
    cLeague league;
    commands().editLeague(league);
    displayLeagues(league.leagueNmbr());
}

void newTeam() {
    if (!commands().editTeam)
        return;
    cTeam team;
    commands().editTeam(team);
    displayTeams(team.teamName());
}

void newCar() {
    if (!commands().editCar)
        return;
    cCar car;
    commands().editCar(car);
    displayCars(car.carNmbr());
}

void newRace() {
    if (!commands().editRace)
        return;
    cRaces race;
    commands().editRace(race);
    displayRaces(race.raceName());
}

void newScoring() {
    if (!commands().editScoring)
        return;
    cScoringType method;
    // The editor stores the method as soon as its first tab is left, well before it closes.
    QPointer<frmDisplayScoring> list = gScoring;
    if (list)
        list->setNewEntity([&method] { return method.scoringTypeNmbr(); });
    commands().editScoring(method);
    if (list)
        list->setNewEntity({});
    displayScoring(method.scoringTypeName());
}

// ---- update ----
// The editor gets a copy read again from the data file, so it starts from the entity as stored
// now (an import or another window may have changed it since the list was filled); an entity no
// longer stored is not opened, and the list is shown again without it. The list is then asked
// for the row's own object's key, which is the key from before the edit.

void updateLeague() {
    if (!commands().editLeague || !gLeagues || !gLeagues->selectedLeague())
        return;
    std::unique_ptr<cLeague> copy = gLeagues->selectedLeague()->copy();
    if (copy->load(copy->leagueNmbr()) != 1) {
        gLeagues->refresh();
        return;
    }
    commands().editLeague(*copy);
    if (gLeagues && gLeagues->selectedLeague())
        displayLeagues(gLeagues->selectedLeague()->leagueNmbr());
}

void updateTeam() {
    if (!commands().editTeam || !gTeams || !gTeams->selectedTeam())
        return;
    std::unique_ptr<cTeam> copy = gTeams->selectedTeam()->copy();
    if (copy->load(copy->teamNmbr()) != 1) {
        gTeams->refresh();
        return;
    }
    commands().editTeam(*copy);
    if (gTeams && gTeams->selectedTeam())
        displayTeams(gTeams->selectedTeam()->teamName());
}

void updateCar() {
    if (!commands().editCar || !gCars || !gCars->selectedCar())
        return;
    std::unique_ptr<cCar> copy = gCars->selectedCar()->copy();
    if (copy->load(copy->carNmbr()) != 1) {
        gCars->refresh();
        return;
    }
    commands().editCar(*copy);
    if (gCars && gCars->selectedCar())
        displayCars(gCars->selectedCar()->carNmbr());
}

void updateRace() {
    if (!commands().editRace || !gRaces || !gRaces->selectedRace())
        return;
    std::unique_ptr<cRaces> copy = gRaces->selectedRace()->copy();
    if (!copy->load(copy->raceNmbr())) {
        gRaces->refresh();
        return;
    }
    commands().editRace(*copy);
    if (gRaces && gRaces->selectedRace())
        displayRaces(gRaces->selectedRace()->raceName());
}

void updateScoring() {
    if (!commands().editScoring || !gScoring || !gScoring->selectedScoring())
        return;
    std::unique_ptr<cScoringType> copy = gScoring->selectedScoring()->copy();
    copy->load(copy->scoringTypeNmbr());
    commands().editScoring(*copy);
    if (gScoring && gScoring->selectedScoring())
        displayScoring(gScoring->selectedScoring()->scoringTypeName());
}

// ---- delete ----
// Each works on its own copy of the row's object: the list is filled again whenever stored data
// changes, which may happen while a question is open.

void deleteLeague() {
    if (!gLeagues || !gLeagues->selectedLeague())
        return;
    const std::unique_ptr<cLeague> league = gLeagues->selectedLeague()->copy();
    if (!confirmDelete(QStringLiteral("League"), league->leagueName()))
        return;
    // Nothing depends on a league that must stay: its memberships and postings go with it.
    league->deleteRow();
    displayLeagues(-1);
}

void deleteTeam() {
    if (!gTeams || !gTeams->selectedTeam())
        return;
    const std::unique_ptr<cTeam> team = gTeams->selectedTeam()->copy();
    if (!confirmDelete(QStringLiteral("Team"), team->teamName()))
        return;
    if (teamHasPostedSummaries(team->teamNmbr())) {
        showValidation(QStringLiteral("Results have been posted for this Team.") + kCrLf +
                       QStringLiteral("You must clear postings for all Races that this Team has been posted too."));
        return;
    }
    if (teamIsLeagueMember(team->teamNmbr())) {
        showValidation(QStringLiteral("Team is a member of at least one League.") + kCrLf +
                       QStringLiteral("You must remove Team ") + team->teamName() +
                       QStringLiteral(" from all Leagues before team can be deleted."));
        return;
    }
    team->deleteRow();
    displayTeams(QString());
}

void deleteCar() {
    if (!gCars || !gCars->selectedCar())
        return;
    const std::unique_ptr<cCar> car = gCars->selectedCar()->copy();
    if (!confirmDelete(QStringLiteral("Car"), car->carTxt() + QStringLiteral(" - ") + car->driverName()))
        return;
    if (carHeldByAnyTeam(car->carNmbr())) {
        showValidation(carHeldRefusal(car->carTxt()));
        return;
    }
    if (carHasResults(car->carNmbr())) {
        showValidation(carResultsRefusal(car->carTxt()));
        return;
    }
    car->deleteRow();
    displayCars(-1);
}

void deleteRace() {
    if (!gRaces || !gRaces->selectedRace())
        return;
    const std::unique_ptr<cRaces> race = gRaces->selectedRace()->copy();
    if (!confirmDelete(QStringLiteral("Race"), race->raceName()))
        return;
    const auto hourglass = [](bool working) {
        if (working) {
            setMousePointer(PointerHourglass);
            return;
        }
        setStatus();
        setMousePointer(PointerDefault);
    };
    const RacePostingOutcome outcome = deleteRaceAndSettle(*race, askQuestion, hourglass);
    if (!outcome.confirmed)
        return;
    setStatus(raceCommandStatus(RaceCommand::DeleteRace, race->raceName(), outcome));
    displayRaces(QString());
}

void deleteScoring() {
    if (!gScoring || !gScoring->selectedScoring())
        return;
    const std::unique_ptr<cScoringType> method = gScoring->selectedScoring()->copy();
    // The shipped methods are refused before anything is asked.
    if (method->scoringTypeNmbr() < 500) {
        showValidation(QStringLiteral("Can't delete system Scoring Method ") + method->scoringTypeName() +
                       QStringLiteral("."));
        return;
    }
    if (!confirmDelete(QStringLiteral("Scoring"), method->scoringTypeName()))
        return;
    if (scoringMethodInUse(method->scoringTypeNmbr())) {
        showValidation(QStringLiteral("At least one League is using this Scoring Method.") + kCrLf +
                       QStringLiteral("You must change all Leagues to not refrence") + method->scoringTypeName() +
                       QStringLiteral(" before Scoring Method can be deleted"));
        return;
    }
    method->deleteRow();
    displayScoring(QString());
}

// ---- by kind ----

void runNewCommand(EntityKind kind) {
    switch (kind) {
    case EntityKind::League:
        newLeague();
        break;
    case EntityKind::Team:
        newTeam();
        break;
    case EntityKind::Car:
        newCar();
        break;
    case EntityKind::Race:
        newRace();
        break;
    case EntityKind::Scoring:
        newScoring();
        break;
    }
}

void runUpdateCommand(EntityKind kind) {
    switch (kind) {
    case EntityKind::League:
        updateLeague();
        break;
    case EntityKind::Team:
        updateTeam();
        break;
    case EntityKind::Car:
        updateCar();
        break;
    case EntityKind::Race:
        updateRace();
        break;
    case EntityKind::Scoring:
        updateScoring();
        break;
    }
}

void runDeleteCommand(EntityKind kind) {
    switch (kind) {
    case EntityKind::League:
        deleteLeague();
        break;
    case EntityKind::Team:
        deleteTeam();
        break;
    case EntityKind::Car:
        deleteCar();
        break;
    case EntityKind::Race:
        deleteRace();
        break;
    case EntityKind::Scoring:
        deleteScoring();
        break;
    }
}
