#include "shell/ShellHooks.h"

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

ShellHooks& shellHooks() {
    static ShellHooks hooks;
    return hooks;
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
EntityHooks entityHooks(EntityKind kind, std::function<QWidget*(const QVariant&)> display) {
    EntityHooks e;
    e.display = std::move(display);
    if (editorAvailable(kind)) {
        e.create = [kind] { runNewCommand(kind); };
        e.update = [kind] { runUpdateCommand(kind); };
    }
    e.remove = [kind] { runDeleteCommand(kind); };
    return e;
}

} // namespace

void installShellHooks() {
    ShellHooks& h = shellHooks();

    frmRace::addNewCar = newCar;
    setRaceEditor([](cRaces& race) {
        frmRace w(frmMain::instance());
        w.showWith(race);
    });
    setLeagueEditor([](cLeague& league) {
        frmLeague w(frmMain::instance());
        w.showWith(league);
    });
    setCarEditor([](cCar& car) {
        frmCar w(frmMain::instance());
        w.showWith(car);
    });

    ListWindowHost host;
    host.place = [](QWidget* window) {
        if (frmMain* main = frmMain::instance())
            main->mdiArea()->addSubWindow(window);
    };
    host.popupMenu = [](EntityKind kind, const QPoint& globalPos) {
        if (frmMain* main = frmMain::instance())
            main->popupEntityMenu(kind, globalPos);
    };
    host.viewMode = [] { return listViewMode; };
    setListWindowHost(host);
    setTeamEditor([](cTeam& t) {
        frmTeam w(frmMain::instance());
        w.showWith(t);
    });

    setScoringEditor([](cScoringType& method) {
        frmScoring w(frmMain::instance());
        w.showWith(method);
    });

    h.leagues = entityHooks(EntityKind::League, [](const QVariant& key) -> QWidget* {
        displayLeagues(key.toInt());
        return raised(leaguesWindow());
    });
    h.teams = entityHooks(EntityKind::Team, [](const QVariant& key) -> QWidget* {
        displayTeams(key.toString());
        return raised(teamsWindow());
    });
    h.cars = entityHooks(EntityKind::Car, [](const QVariant& key) -> QWidget* {
        displayCars(key.toInt());
        return raised(carsWindow());
    });
    h.races = entityHooks(EntityKind::Race, [](const QVariant& key) -> QWidget* {
        displayRaces(key.toString());
        return raised(racesWindow());
    });
    h.scoring = entityHooks(EntityKind::Scoring, [](const QVariant& key) -> QWidget* {
        displayScoring(key.toString());
        return raised(scoringWindow());
    });

    h.raceTypes = [] {
        frmRaceTypes w(frmMain::instance());
        w.exec();
    };
    h.groups = [] {
        frmGroups w(frmMain::instance());
        w.exec();
    };
    h.reports.request = [](const QString& caption, bool raceRequired, bool leagueRequired, bool teamRequired) {
        frmReportRqst w(frmMain::instance());
        w.setRaceRequired(raceRequired);
        w.setLeagueRequired(leagueRequired);
        w.setTeamRequired(teamRequired);
        w.showWith(caption);
        return ReportRequest{w.ok(), w.leagueNmbr(), w.raceNmbr(), w.teamNmbr(), w.allTeams(), w.separate()};
    };
    h.reports.createLeagueRaceSummary = createLeagueRaceSummary;
    h.reports.createTeamDetailReport = createTeamDetailReport;
    h.reports.createTeamCarsReport = [](int league, int team, bool show, bool allTeams, bool separate, int race) {
        return createTeamCarsReport(league, team, show, allTeams, separate, race);
    };
    h.reports.createTeamTradesReport = createTeamTradesReport;
    h.reports.createTeamsperCarDriverReport = createTeamsperCarDriverReport;

    h.reportDetails = [] {
        frmReportDetails w(frmMain::instance());
        w.exec();
    };

    h.importFile = [](const QString& path) { return importFileOutcome(path); };
    h.publishWeb = [] {
        frmPublishWeb w(frmMain::instance());
        w.exec();
    };
    h.reports.createRaceDetailReport = createRaceDetailReport;
    h.reports.createLeagueStandingsReport = createLeagueStandingsReport;
    h.reports.createLeagueRaceStandings = createLeagueRaceStandings;
    h.reports.createCarPickReport = createCarPickReport;
    h.reports.createCarsDetailReport = createCarsDetailReport;
    h.reports.createRaceResultsReport = createRaceResultsReport;
    h.reports.createDriverStatsReport = createDriverStatsReport;
    h.reports.createReportPackage = createReportPackage;
}
