#include "rules/DeleteChecks.h"

#include "data/cCarCollection.h"
#include "data/cLeague.h"
#include "data/cLeagueTeams.h"
#include "data/cTeam.h"
#include "data/cTeamCar.h"
#include "posting/cRacesCollection.h"
#include "posting/cResultsCollection.h"
#include "posting/cTeamResultsSummaryCollection.h"

namespace {
const QString kCrLf = QStringLiteral("\r\n");

// A user's race types and groups are numbered from 500 on.
constexpr int kFirstUserNumber = 500;

QString inUseRefusal(const QString& user, const QString& users, const QString& kind, const QString& name) {
    return QStringLiteral("At least one %1 is using this %2.").arg(user, kind) + kCrLf +
           QStringLiteral("You must remove %1 ").arg(kind) + name +
           QStringLiteral(" from all %1 before %2 can be deleted.").arg(users, kind);
}
} // namespace

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

QString shippedRaceTypeRefusal(int raceTypeNmbr, const QString& name) {
    return raceTypeNmbr < kFirstUserNumber ? QStringLiteral("Can't delete system generated Race Type ") + name
                                           : QString();
}

QString shippedGroupRefusal(int groupNmbr, const QString& name) {
    return groupNmbr < kFirstUserNumber ? QStringLiteral("Can't delete system generated Group ") + name : QString();
}

QString raceTypeInUseRefusal(int raceTypeNmbr, const QString& name) {
    const QString kind = QStringLiteral("Race Type");
    cLeagueCollection leagues;
    leagues.load();
    if (leagues.raceTypeNmbrExists(raceTypeNmbr))
        return inUseRefusal(QStringLiteral("League"), QStringLiteral("Leagues"), kind, name);
    cRacesCollection races;
    races.load();
    if (races.raceTypeNmbrExists(raceTypeNmbr))
        return inUseRefusal(QStringLiteral("Race"), QStringLiteral("Races"), kind, name);
    cTeamCollection teams;
    if (teams.load(raceTypeNmbr) > 0)
        return inUseRefusal(QStringLiteral("Team"), QStringLiteral("Teams"), kind, name);
    cCarCollection cars;
    if (cars.load(raceTypeNmbr) > 0)
        return inUseRefusal(QStringLiteral("Car/Driver"), QStringLiteral("Cars/Drivers"), kind, name);
    return QString();
}

QString groupInUseRefusal(int groupNmbr, const QString& name) {
    cCarCollection cars;
    cars.load();
    return cars.groupNmbrExists(groupNmbr) ? inUseRefusal(QStringLiteral("Car/Driver"), QStringLiteral("Cars/Drivers"),
                                                          QStringLiteral("Group"), name)
                                           : QString();
}
