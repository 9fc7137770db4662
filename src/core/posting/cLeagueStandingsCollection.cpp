#include "posting/cLeagueStandingsCollection.h"

#include "posting/RaceOrder.h"

cLeagueStandings* cLeagueStandingsCollection::Add(int teamNmbr, const QString& teamName, const QString& teamOwner,
                                                  int raceTypeNmbr, qint64 points, const QString& key) {
    auto row = std::make_unique<cLeagueStandings>();
    row->setTeamNmbr(teamNmbr);
    row->setTeamName(teamName);
    row->setTeamOwner(teamOwner);
    row->setRaceTypeNmbr(raceTypeNmbr);
    row->setPoints(points);
    return m_rows.append(std::move(row), key);
}

int cLeagueStandingsCollection::load(int leagueNmbr, int raceNmbr, bool highScore) {
    return loadWith(raceUpToCondition(QStringLiteral("races"), raceNmbr), leagueNmbr, highScore);
}

int cLeagueStandingsCollection::loadTeam(int leagueNmbr, int raceNmbr, int teamNmbr) {
    return loadWith(raceUpToCondition(QStringLiteral("races"), raceNmbr) +
                        QStringLiteral(" AND team_results_summary.team_nmbr = %1").arg(teamNmbr),
                    leagueNmbr, true);
}

int cLeagueStandingsCollection::loadPrevious(int leagueNmbr, int raceNmbr, bool highScore) {
    return loadWith(raceBeforeCondition(QStringLiteral("races"), raceNmbr), leagueNmbr, highScore);
}

int cLeagueStandingsCollection::loadWith(const QString& racesTest, int leagueNmbr, bool highScore) {
    // The races counted follow the season order, so two races on one date are one before the
    // other here as they are when totals are carried.
    // Equal sums fall back to the team number, the order the grouping hands them out in anyway,
    // so that a report shows the same standings every time.
    const QString sql = QStringLiteral(" SELECT sum(points) as sum_points, teams.team_nmbr, team_name, team_owner, "
                                       "leagues.race_type_nmbr ") +
                        QStringLiteral(" FROM team_results_summary, teams, races, leagues") +
                        QStringLiteral(" WHERE team_results_summary.team_nmbr = teams.team_nmbr") +
                        QStringLiteral(" AND team_results_summary.race_nmbr = races.race_nmbr") +
                        QStringLiteral(" AND team_results_summary.league_nmbr = leagues.league_nmbr") +
                        QStringLiteral(" AND team_results_summary.league_nmbr = %1").arg(leagueNmbr) +
                        QStringLiteral(" AND races.race_type_nmbr = leagues.race_type_nmbr AND ") + racesTest +
                        QStringLiteral(" GROUP BY teams.team_nmbr, team_name, team_owner, leagues.race_type_nmbr") +
                        (highScore ? QStringLiteral(" ORDER BY 1 DESC") : QStringLiteral(" ORDER BY 1 ASC")) +
                        QStringLiteral(", teams.team_nmbr");
    if (m_db.OpenResultSet(sql) && !m_db.isEOF())
        loadFromResultSet();
    return Count();
}

void cLeagueStandingsCollection::loadFromResultSet() {
    while (!m_db.isEOF()) {
        Add(m_db.fields.toInt(QStringLiteral("team_nmbr")), m_db.fields.toText(QStringLiteral("team_name")),
            m_db.fields.toText(QStringLiteral("team_owner")), m_db.fields.toInt(QStringLiteral("race_type_nmbr")),
            m_db.fields.toInt64(QStringLiteral("sum_points")));
        m_db.MoveNext();
    }
}

int cLeagueStandingsCollection::placeForTeam(int teamNmbr) const {
    int position = 1;
    for (const cLeagueStandings& line : m_rows) {
        if (line.teamNmbr() == teamNmbr)
            return position;
        ++position;
    }
    return 0;
}

qint64 cLeagueStandingsCollection::pointsForTeam(int teamNmbr) const {
    for (const cLeagueStandings& line : m_rows)
        if (line.teamNmbr() == teamNmbr)
            return line.points();
    return 0;
}
