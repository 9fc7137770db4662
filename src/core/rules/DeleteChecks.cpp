#include "rules/DeleteChecks.h"

#include "data/cLeague.h"
#include "data/cLeagueTeams.h"
#include "data/cTeamCar.h"
#include "posting/cResultsCollection.h"
#include "posting/cTeamResultsSummaryCollection.h"

namespace {
const QString kCrLf = QStringLiteral("\r\n");
}

bool carHeldByAnyTeam(int carNmbr) {
    cTeamCarCollection holdings;
    holdings.load();
    return holdings.carExists(carNmbr);
}

bool teamHasPostedSummaries(int teamNmbr) {
    cTeamResultsSummaryCollection summaries;
    summaries.loadTeam(teamNmbr);
    return summaries.teamExists(teamNmbr);
}

bool teamIsLeagueMember(int teamNmbr) {
    cLeagueTeamsCollection memberships;
    memberships.load();
    return memberships.teamExists(teamNmbr);
}

bool scoringMethodInUse(int scoringTypeNmbr) {
    cLeagueCollection leagues;
    leagues.load();
    return leagues.scoringTypeNmbrExists(scoringTypeNmbr);
}

QString raceTypeChangeRefusal(int carNmbr, int raceTypeNmbr) {
    if (carNmbr < 1)
        return QString();
    cTeamCarCollection holdings;
    if (holdings.raceTypeExists(raceTypeNmbr, std::nullopt, carNmbr))
        return QStringLiteral("Can not change Race Type.") + kCrLf +
               QStringLiteral("This Car is a member of at least one Team for the current Race Type.");
    cResultsCollection results;
    if (results.carExists(carNmbr))
        return QStringLiteral("Can not change Race Type.") + kCrLf +
               QStringLiteral("This Car has Results for at least one Race.");
    return QString();
}

bool carHasResults(int carNmbr) {
    cResultsCollection results;
    results.load();
    return results.carExists(carNmbr);
}

QString carHeldRefusal(const QString& carTxt) {
    return QStringLiteral("Car is a member of at least one Team.") + kCrLf + QStringLiteral("You must remove Car ") +
           carTxt.trimmed() + QStringLiteral(" from all Teams before car can be deleted");
}

QString carResultsRefusal(const QString& carTxt) {
    return QStringLiteral("Results have been posted for at least one Race for this Car.") + kCrLf +
           QStringLiteral("You must clear results for all Races with this Car (") + carTxt.trimmed() +
           QStringLiteral(") before Car can be deleted");
}
