#include "shell/Commands.h"

#include "data/cTeam.h"
#include "editors/races/frmRace.h"
#include "editors/races/frmRaceTypes.h"
#include "editors/races/frmScoring.h"
#include "editors/teams/frmCar.h"
#include "editors/teams/frmGroups.h"
#include "editors/teams/frmLeague.h"
#include "editors/teams/frmTeam.h"
#include "exchange/Import.h"
#include "exchange/frmPublishWeb.h"
#include "reports/framework/frmReportDetails.h"
#include "reports/framework/frmReportRqst.h"
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
#include "reports/generators/TeamTradesReport.h"
#include "reports/generators/TeamsperCarDriverReport.h"
#include "shell/EntityCommands.h"
#include "shell/frmDisplayCars.h"
#include "shell/frmDisplayLeagues.h"
#include "shell/frmDisplayRaces.h"
#include "shell/frmDisplayScoring.h"
#include "shell/frmDisplayTeams.h"
#include "shell/frmMain.h"

#include <QMdiArea>
#include <QMdiSubWindow>

Commands& commands() {
    static Commands registry;
    return registry;
}

namespace {

// Brings a list window's sub-window to the front of the main window's children.
QWidget* raised(QWidget* list) {
    if (!list)
        return nullptr;
    if (frmMain* main = frmMain::instance())
        for (QMdiSubWindow* sub : main->mdiArea()->subWindowList())
            if (sub->widget() == list) {
                sub->show();
                main->mdiArea()->setActiveSubWindow(sub);
            }
    return list;
}

// The entity commands of one kind; new and update only where the kind's editor exists.
Commands::Kind kindCommands(EntityKind kind, std::function<QWidget*(const QVariant&)> display) {
    Commands::Kind k;
    k.display = std::move(display);
    if (editorAvailable(kind)) {
        k.create = [kind] { runNewCommand(kind); };
        k.update = [kind] { runUpdateCommand(kind); };
    }
    k.remove = [kind] { runDeleteCommand(kind); };
    return k;
}

} // namespace

void installCommands() {
    Commands& c = commands();

    c.editRace = [](cRaces& race) {
        frmRace w(frmMain::instance());
        // The race window's "Add New Car" runs the new-car command; the window reads its cars again
        // once the car editor has closed.
        QObject::connect(&w, &frmRace::newCarRequested, &w, [] { newCar(); });
        w.showWith(race);
    };
    c.editLeague = [](cLeague& league) {
        frmLeague w(frmMain::instance());
        w.showWith(league);
    };
    c.editCar = [](cCar& car) {
        frmCar w(frmMain::instance());
        w.showWith(car);
    };
    c.editTeam = [](cTeam& t) {
        frmTeam w(frmMain::instance());
        w.showWith(t);
    };
    c.editScoring = [](cScoringType& method) {
        frmScoring w(frmMain::instance());
        w.showWith(method);
    };

    c.placeListWindow = [](QWidget* window) {
        if (frmMain* main = frmMain::instance())
            main->mdiArea()->addSubWindow(window);
    };
    c.popupEntityMenu = [](EntityKind kind, const QPoint& globalPos) {
        if (frmMain* main = frmMain::instance())
            main->popupEntityMenu(kind, globalPos);
    };
    c.listViewMode = [] { return listViewMode; };

    c.leagues = kindCommands(EntityKind::League, [](const QVariant& key) -> QWidget* {
        displayLeagues(key.toInt());
        return raised(leaguesWindow());
    });
    c.teams = kindCommands(EntityKind::Team, [](const QVariant& key) -> QWidget* {
        displayTeams(key.toString());
        return raised(teamsWindow());
    });
    c.cars = kindCommands(EntityKind::Car, [](const QVariant& key) -> QWidget* {
        displayCars(key.toInt());
        return raised(carsWindow());
    });
    c.races = kindCommands(EntityKind::Race, [](const QVariant& key) -> QWidget* {
        displayRaces(key.toString());
        return raised(racesWindow());
    });
    c.scoring = kindCommands(EntityKind::Scoring, [](const QVariant& key) -> QWidget* {
        displayScoring(key.toString());
        return raised(scoringWindow());
    });

    c.raceTypes = [] {
        frmRaceTypes w(frmMain::instance());
        w.exec();
    };
    c.groups = [] {
        frmGroups w(frmMain::instance());
        w.exec();
    };
    c.reportDetails = [] {
        frmReportDetails w(frmMain::instance());
        w.exec();
    };
    c.publishWeb = [] {
        frmPublishWeb w(frmMain::instance());
        w.exec();
    };
    c.importFile = [](const QString& path) { return importFileOutcome(path); };

    Commands::Reports& r = c.reports;
    r.request = [](const QString& caption, bool raceRequired, bool leagueRequired, bool teamRequired) {
        frmReportRqst w(frmMain::instance());
        w.setRaceRequired(raceRequired);
        w.setLeagueRequired(leagueRequired);
        w.setTeamRequired(teamRequired);
        w.showWith(caption);
        return ReportRequest{w.ok(), w.leagueNmbr(), w.raceNmbr(), w.teamNmbr(), w.allTeams(), w.separate()};
    };
    r.createReportPackage = createReportPackage;
    r.createRaceDetailReport = createRaceDetailReport;
    r.createLeagueRaceStandings = createLeagueRaceStandings;
    r.createTeamsperCarDriverReport = createTeamsperCarDriverReport;
    r.createTeamDetailReport = createTeamDetailReport;
    r.createLeagueStandingsReport = createLeagueStandingsReport;
    r.createTeamCarsReport = [](int league, int team, bool show, bool allTeams, bool separate, int race) {
        return createTeamCarsReport(league, team, show, allTeams, separate, race);
    };
    r.createCarPickReport = createCarPickReport;
    r.createDriverStatsReport = createDriverStatsReport;
    r.createRaceResultsReport = createRaceResultsReport;
    r.createCarsDetailReport = createCarsDetailReport;
    r.createTeamTradesReport = createTeamTradesReport;
    r.createLeagueRaceSummary = createLeagueRaceSummary;
}
