#include "posting/cTeamResultsSummaryCollection.h"

cTeamResultsSummary* cTeamResultsSummaryCollection::Add(int raceNmbr, int teamNmbr, int leagueNmbr, int points,
                                                        int teamPlace, const QString& key) {
    auto row = std::make_unique<cTeamResultsSummary>();
    row->setRaceNmbr(raceNmbr);
    row->setTeamNmbr(teamNmbr);
    row->setLeagueNmbr(leagueNmbr);
    row->setPoints(points);
    row->setTeamPlace(teamPlace);
    return m_rows.append(std::move(row), key);
}

int cTeamResultsSummaryCollection::loadSql(const QString& sql) {
    if (!m_db.OpenResultSet(sql) || m_db.isEOF())
        return Count();
    for (; !m_db.isEOF(); m_db.MoveNext())
        Add(m_db.fields.toInt(QStringLiteral("race_nmbr")), m_db.fields.toInt(QStringLiteral("team_nmbr")),
            m_db.fields.toInt(QStringLiteral("league_nmbr")), m_db.fields.toInt(QStringLiteral("points")),
            m_db.fields.toInt(QStringLiteral("team_place")));
    return Count();
}

int cTeamResultsSummaryCollection::load(int leagueNmbr, std::optional<int> raceNmbr, std::optional<int> teamNmbr,
                                        bool highScore) {
    QString sql = QStringLiteral(" SELECT * ") + QStringLiteral(" FROM team_results_summary ") +
                  QStringLiteral(" WHERE league_nmbr = %1").arg(leagueNmbr);
    if (raceNmbr)
        sql += QStringLiteral(" AND race_nmbr = %1").arg(*raceNmbr);
    if (teamNmbr)
        sql += QStringLiteral(" AND team_nmbr = %1").arg(*teamNmbr);
    sql += highScore ? QStringLiteral(" ORDER BY points desc") : QStringLiteral(" ORDER BY points asc");
    sql += QStringLiteral(", rowid");
    return loadSql(sql);
}

int cTeamResultsSummaryCollection::loadTeam(int teamNmbr) {
    return loadSql(QStringLiteral(" SELECT * ") + QStringLiteral(" FROM team_results_summary ") +
                   QStringLiteral(" WHERE team_nmbr = %1").arg(teamNmbr) + QStringLiteral(" ORDER BY rowid"));
}

bool cTeamResultsSummaryCollection::leagueExists(int leagueNmbr) {
    if (Count() == 0)
        load(leagueNmbr, std::nullopt, std::nullopt, false);
    for (const cTeamResultsSummary& row : m_rows)
        if (row.leagueNmbr() == leagueNmbr)
            return true;
    return false;
}

bool cTeamResultsSummaryCollection::teamExists(int teamNmbr) {
    if (Count() == 0)
        loadTeam(teamNmbr);
    for (const cTeamResultsSummary& row : m_rows)
        if (row.teamNmbr() == teamNmbr)
            return true;
    return false;
}
