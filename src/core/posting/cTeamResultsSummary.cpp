#include "posting/cTeamResultsSummary.h"

#include "data/Feedback.h"
#include "data/cLeague.h"
#include "posting/PostingError.h"
#include "posting/RaceOrder.h"
#include "posting/cRaces.h"
#include "posting/cScoringPointsCollection.h"
#include "posting/cTeamResultsSummaryCollection.h"

bool cTeamResultsSummary::postForLeague(const cLeague& league, const cRaces& race) {
    const bool ok = m_db.execute(QStringLiteral(" INSERT INTO team_results_summary "
                                                " (race_nmbr, team_place, team_nmbr, points, league_nmbr) "
                                                " SELECT ?, 0, team_nmbr, sum(points), ? "
                                                " FROM team_results INDEXED BY team_results_league_race "
                                                " WHERE race_nmbr = ? AND league_nmbr = ? "
                                                " GROUP BY league_nmbr, team_nmbr "),
                                 {race.raceNmbr(), league.leagueNmbr(), race.raceNmbr(), league.leagueNmbr()});
    // A team's race points are kept in 32 bits like every other sum of the chain; a sum beyond
    // them is a run-time error, which rolls the league back.
    if (ok &&
        m_db.OpenResultSet(QStringLiteral("SELECT count(*) AS overflowed FROM team_results_summary"
                                          " WHERE league_nmbr = ? AND race_nmbr = ?"
                                          " AND points NOT BETWEEN -2147483648 AND 2147483647"),
                           {league.leagueNmbr(), race.raceNmbr()}) &&
        m_db.fields.toInt(QStringLiteral("overflowed")) > 0)
        throw PostingError(QStringLiteral("Overflow"));

    // 0-point rows for member teams missing from the earlier races of the type that have a
    // winner, oldest race first and teams by name, written in one statement; an existing row is
    // left alone. The bar still moves once per team of each race and once per race.
    const QString earlier = raceBeforeCondition(QStringLiteral("r"), race.raceNmbr());
    const QString earlierRaces = QStringLiteral(" FROM races r WHERE ") + earlier +
                                 QStringLiteral(" AND EXISTS (SELECT 1 FROM results x WHERE x.race_nmbr = r.race_nmbr"
                                                " AND x.place = 1)");
    const QString members = QStringLiteral(" FROM league_teams lt, teams t WHERE lt.team_nmbr = t.team_nmbr"
                                           " AND lt.league_nmbr = ?");
    int races = 0;
    int teams = 0;
    if (m_db.OpenResultSet(QStringLiteral("SELECT (SELECT count(*)") + earlierRaces +
                               QStringLiteral(") AS races, (SELECT count(*)") + members + QStringLiteral(") AS teams"),
                           {league.leagueNmbr()})) {
        races = m_db.fields.toInt(QStringLiteral("races"));
        teams = m_db.fields.toInt(QStringLiteral("teams"));
    }
    if (races > 0 && teams > 0) {
        // A failed filler insert has shown its box and does not change the step's result.
        m_db.execute(QStringLiteral("INSERT INTO team_results_summary (race_nmbr, team_nmbr, league_nmbr, points,"
                                    " team_place) SELECT r.race_nmbr, lt.team_nmbr, ?, 0, 0"
                                    " FROM races r, league_teams lt, teams t WHERE ") +
                         earlier +
                         QStringLiteral(" AND EXISTS (SELECT 1 FROM results x WHERE x.race_nmbr = r.race_nmbr"
                                        " AND x.place = 1)"
                                        " AND lt.team_nmbr = t.team_nmbr AND lt.league_nmbr = ?"
                                        " AND NOT EXISTS (SELECT 1 FROM team_results_summary s WHERE s.league_nmbr = ?"
                                        " AND s.race_nmbr = r.race_nmbr AND s.team_nmbr = lt.team_nmbr)"
                                        " ORDER BY r.race_dt, r.race_nmbr, t.team_name, lt.team_nmbr"),
                     {league.leagueNmbr(), league.leagueNmbr(), league.leagueNmbr()});
    }
    for (int r = 0; r < races; ++r) {
        for (int t = 0; t < teams; ++t)
            stepProgress();
        stepProgress();
    }
    return ok;
}

bool cTeamResultsSummary::setPlace(const cLeague& league, const cRaces& race) {
    cScoringPointsCollection table;
    table.load(league.scoringTypeNmbr());
    const bool highScore = table.highScore();
    cTeamResultsSummaryCollection rows;
    rows.load(league.leagueNmbr(), race.raceNmbr(), std::nullopt, highScore);

    // Ties share a place and the next score takes its position: 1, 2, 2, 4, the first team
    // opening place 1 whichever way the method counts and whatever its points (a leader on 0
    // ahead of negative scores too). A league whose teams all have 0 had nothing of its car type
    // in the race: nobody is placed.
    bool anyPoints = false;
    for (const cTeamResultsSummary& row : rows)
        anyPoints = anyPoints || row.points() != 0;
    int previousPoints = 0;
    int place = 0;
    int counter = 1;
    for (const cTeamResultsSummary& row : rows) {
        if (anyPoints && (counter == 1 || row.points() != previousPoints))
            place = counter;
        if (!m_db.execute(QStringLiteral(" UPDATE team_results_summary SET team_place = ? "
                                         " WHERE team_nmbr = ? AND league_nmbr = ? AND race_nmbr = ?"),
                          {place, row.teamNmbr(), league.leagueNmbr(), race.raceNmbr()}))
            return false;
        previousPoints = row.points();
        ++counter;
        stepProgress();
    }
    return true;
}

bool cTeamResultsSummary::insertRow() {
    return m_db.execute(
        QStringLiteral("INSERT INTO team_results_summary "
                       " (race_nmbr, team_nmbr, league_nmbr, points, team_place) VALUES (?, ?, ?, ?, ?)"),
        {m_raceNmbr, m_teamNmbr, m_leagueNmbr, m_points, m_teamPlace});
}

int cTeamResultsSummary::pointsForMostRecentRace(int leagueNmbr, int teamNmbr, int raceNmbr) {
    // The latest posted race of the type up to the given one in the season order; when that race
    // is not of the league's car type the team has no points to show for it.
    const QString sql = QStringLiteral("SELECT A.points FROM team_results_summary A, races B, leagues C"
                                       " WHERE A.race_nmbr = B.race_nmbr AND A.league_nmbr = C.league_nmbr"
                                       " AND A.league_nmbr = ? AND A.team_nmbr = ?"
                                       " AND B.race_type_nmbr = C.race_type_nmbr AND B.car_type_nmbr = C.car_type_nmbr"
                                       " AND B.race_nmbr = (SELECT r.race_nmbr FROM races r"
                                       "   WHERE r.race_type_nmbr = C.race_type_nmbr"
                                       "   AND EXISTS (SELECT 1 FROM team_results tr WHERE tr.race_nmbr = r.race_nmbr)"
                                       "   AND ") +
                        raceUpToCondition(QStringLiteral("r"), raceNmbr) +
                        QStringLiteral("   ORDER BY r.race_dt DESC, r.race_nmbr DESC LIMIT 1)"
                                       " ORDER BY A.rowid");
    if (!m_db.OpenResultSet(sql, {leagueNmbr, teamNmbr}) || m_db.isEOF())
        return 0;
    return m_db.fields.toInt(QStringLiteral("points"));
}

int cTeamResultsSummary::pointsForRace(int leagueNmbr, int teamNmbr, int raceNmbr) {
    if (!m_db.OpenResultSet(QStringLiteral(" SELECT sum(points) as sum_points  FROM team_results "
                                           " WHERE league_nmbr = ?  AND team_nmbr = ?  AND race_nmbr = ?"),
                            {leagueNmbr, teamNmbr, raceNmbr}) ||
        m_db.isEOF())
        return 0;
    return m_db.fields.toInt(QStringLiteral("sum_points"));
}

int cTeamResultsSummary::topXs(int x, const cLeague& league, int teamNmbr, int raceNmbr) {
    // The races up to this one in the season order: a later race on the same date is not yet run.
    if (!m_db.OpenResultSet(QStringLiteral(" SELECT count(*) as count  FROM team_results_summary "
                                           " WHERE league_nmbr = ?  AND team_nmbr = ? "
                                           " AND team_place <= ?  AND team_place > 0 "
                                           " AND race_nmbr in (SELECT race_nmbr FROM races "
                                           "   WHERE race_type_nmbr = ? AND car_type_nmbr = ? AND ") +
                                raceUpToCondition(QStringLiteral("races"), raceNmbr) + QStringLiteral(")"),
                            {league.leagueNmbr(), teamNmbr, x, league.raceTypeNmbr(), league.carTypeNmbr()}) ||
        m_db.isEOF())
        return 0;
    return m_db.fields.toInt(QStringLiteral("count"));
}

int cTeamResultsSummary::placePreviousRace(int leagueNmbr, int teamNmbr, int raceNmbr) {
    // The league's previous race, the one its totals in this race carry on from.
    cLeague league;
    if (!league.load(leagueNmbr))
        return 0;
    const int previous = cRaces::previousRaceNmbr(league.raceTypeNmbr(), league.carTypeNmbr(), raceNmbr);
    if (!m_db.OpenResultSet(QStringLiteral(" SELECT team_place  FROM team_results_summary "
                                           " WHERE league_nmbr = ?  AND team_nmbr = ?  AND race_nmbr = ?"),
                            {leagueNmbr, teamNmbr, previous}) ||
        m_db.isEOF())
        return 0;
    return m_db.fields.toInt(QStringLiteral("team_place"));
}
