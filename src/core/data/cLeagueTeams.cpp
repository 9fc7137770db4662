#include "data/cLeagueTeams.h"

#include "data/cConnection.h"
#include "data/cTeam.h"

cLeagueTeams* cLeagueTeamsCollection::Add(int leagueNmbr, int teamNmbr, const QString& sKey) {
    auto membership = std::make_unique<cLeagueTeams>();
    membership->setLeagueNmbr(leagueNmbr);
    membership->setTeamNmbr(teamNmbr);
    return append(std::move(membership), sKey);
}

void cLeagueTeamsCollection::loadFromResultSet() {
    while (!m_db.isEOF()) {
        Add(m_db.fields.toInt(QStringLiteral("league_nmbr")), m_db.fields.toInt(QStringLiteral("team_nmbr")));
        m_db.MoveNext();
    }
}

int cLeagueTeamsCollection::load(std::optional<int> leagueNmbr, std::optional<int> teamNmbr) {
    // The join to teams orders by name and leaves out memberships whose team is gone.
    QString sql = QStringLiteral("SELECT league_teams.* ") + QStringLiteral(" FROM league_teams, teams") +
                  QStringLiteral(" WHERE league_teams.team_nmbr = teams.team_nmbr ");
    if (leagueNmbr && teamNmbr)
        sql += QStringLiteral(" AND league_nmbr = ") + QString::number(*leagueNmbr) +
               QStringLiteral(" AND league_teams.team_nmbr = ") + QString::number(*teamNmbr);
    else if (leagueNmbr)
        sql += QStringLiteral(" AND league_teams.league_nmbr = ") + QString::number(*leagueNmbr);
    else if (teamNmbr)
        sql += QStringLiteral(" AND league_teams.team_nmbr = ") + QString::number(*teamNmbr);
    sql += QStringLiteral(" order by teams.team_name ");
    if (m_db.OpenResultSet(sql))
        loadFromResultSet();
    return Count();
}

bool cLeagueTeamsCollection::teamExists(int teamNmbr, std::optional<int> leagueNmbr) {
    if (Count() == 0)
        load(leagueNmbr);
    for (const cLeagueTeams& m : *this)
        if (m.teamNmbr() == teamNmbr)
            return true;
    return false;
}

bool cLeagueTeamsCollection::leagueExists(int /*teamNmbr*/, int leagueNmbr) const {
    for (const cLeagueTeams& m : *this)
        if (m.leagueNmbr() == leagueNmbr)
            return true;
    return false;
}

bool cLeagueTeamsCollection::anyMemberTeam(std::optional<int> leagueNmbr, std::optional<int> teamNmbr,
                                           const std::function<bool(const cTeam&)>& test) {
    if (Count() == 0)
        load(leagueNmbr, teamNmbr);
    for (const cLeagueTeams& m : *this) {
        cTeam team;
        team.load(m.teamNmbr());
        if (test(team))
            return true;
    }
    return false;
}

bool cLeagueTeamsCollection::raceTypeExists(int raceTypeNmbr, std::optional<int> leagueNmbr,
                                            std::optional<int> teamNmbr) {
    return anyMemberTeam(leagueNmbr, teamNmbr, [=](const cTeam& t) { return t.raceTypeNmbr() == raceTypeNmbr; });
}

bool cLeagueTeamsCollection::carTypeExists(int carTypeNmbr, std::optional<int> leagueNmbr,
                                           std::optional<int> teamNmbr) {
    return anyMemberTeam(leagueNmbr, teamNmbr, [=](const cTeam& t) { return t.carTypeNmbr() == carTypeNmbr; });
}

bool cLeagueTeamsCollection::insertNew(std::optional<int> leagueNmbr) {
    Transaction tx;
    if (!tx.begun())
        return false;
    if (leagueNmbr && !m_db.execute(QStringLiteral("DELETE FROM league_teams ") +
                                    QStringLiteral(" WHERE league_nmbr = ") + QString::number(*leagueNmbr)))
        return false;
    // The table's key drops a pair that is already stored, so each pair is kept once.
    for (const cLeagueTeams& m : *this)
        if (!m_db.execute(QStringLiteral("INSERT INTO league_teams ") + QStringLiteral(" (league_nmbr, team_nmbr) ") +
                          QStringLiteral(" VALUES ") + QStringLiteral(" (") + QString::number(m.leagueNmbr()) +
                          QLatin1Char(',') + QString::number(m.teamNmbr()) + QLatin1Char(')')))
            return false;
    return tx.commit();
}
