#include "posting/cTeamResults.h"

#include "data/Feedback.h"
#include "data/SqlText.h"
#include "data/cCar.h"
#include "data/cLeague.h"
#include "data/cLeagueTeams.h"
#include "data/cTeamCar.h"
#include "posting/PostingError.h"
#include "posting/RaceOrder.h"
#include "posting/cRaces.h"
#include "posting/cResultsCollection.h"
#include "posting/cScoringPointsCollection.h"
#include "posting/cScoringTopPointsCollection.h"
#include "posting/cTeamResultsCollection.h"

#include <QHash>
#include <QSet>
#include <limits>

namespace {

// The columns every insert names, in this order.
const QString kInsertSql = QStringLiteral(
    " INSERT INTO team_results  ( race_nmbr  , place  , qualified  , car_nmbr  , team_nmbr  , current_status "
    " , fast_qual_bonus  , laps_led_bonus  , most_laps_led_bonus  , adjustment  , points  , qual_points "
    " , total_points  , league_nmbr )  Values (? , ? , ? , ? , ? , ? , ? , ? , ? , ? , ? , ? , ? , ?)");

void stepProgressTimes(int n) {
    for (int i = 0; i < n; ++i)
        stepProgress();
}

} // namespace

// The number of the league's rows of the race, after making sure the column just written holds
// only 32-bit values. A sum beyond them is a run-time error of the chain, which rolls the league back.
bool cTeamResults::checkedRowCount(const QString& column, const cLeague& league, const cRaces& race, int* rows) {
    if (!m_db.OpenResultSet(
            QStringLiteral("SELECT count(*) AS n, SUM(CASE WHEN ") + column +
                QStringLiteral(" NOT BETWEEN -2147483648 AND 2147483647 THEN 1 ELSE 0 END) AS overflowed"
                               " FROM team_results INDEXED BY team_results_league_race"
                               " WHERE league_nmbr = ? AND race_nmbr = ?"),
            {league.leagueNmbr(), race.raceNmbr()}))
        return false;
    if (m_db.fields.toInt(QStringLiteral("overflowed")) > 0)
        throw PostingError(QStringLiteral("Overflow"));
    *rows = m_db.fields.toInt(QStringLiteral("n"));
    return true;
}

// ---- rows ----

bool cTeamResults::insertRow(int raceNmbr, int place, int qualified, int carNmbr, int teamNmbr, int currentStatus,
                             int fastQualBonus, int lapsLedBonus, int mostLapsLedBonus, int adjustment, int points,
                             int qualPoints, int totalPoints, int leagueNmbr) {
    return m_db.execute(kInsertSql,
                        {raceNmbr, place, qualified, carNmbr, teamNmbr, currentStatus, fastQualBonus, lapsLedBonus,
                         mostLapsLedBonus, adjustment, points, qualPoints, totalPoints, leagueNmbr});
}

bool cTeamResults::update() {
    return m_db.execute(
        QStringLiteral(" UPDATE team_results INDEXED BY team_results_league_race  set place = ?  , qualified = ?  , "
                       "current_status = ? "
                       " , fast_qual_bonus = ?  , laps_led_bonus = ?  , most_laps_led_bonus = ? "
                       " , adjustment = ?  , points = ?  , qual_points = ?  , total_points = ? "
                       " WHERE league_nmbr = ?  AND race_nmbr = ?  AND car_nmbr = ?  AND team_nmbr = ?"),
        {m_place, m_qualified, m_currentStatus, m_fastQualBonus, m_lapsLedBonus, m_mostLapsLedBonus, m_adjustment,
         m_points, m_qualPoints, m_totalPoints, m_leagueNmbr, m_raceNmbr, m_carNmbr, m_teamNmbr});
}

// ---- step 1 ----

bool cTeamResults::postForLeague(const cLeague& league, const cRaces& race) {
    // Every result car held by a member team on race day, one row per holding. The join starts
    // from the league's members so that only their holdings are looked at.
    return m_db.execute(
        QStringLiteral(" INSERT INTO team_results  ( race_nmbr  , place  , qualified  , car_nmbr  , team_nmbr "
                       " , current_status  , fast_qual_bonus  , laps_led_bonus  , most_laps_led_bonus  , adjustment "
                       " , points  , qual_points  , total_points  , league_nmbr ) "
                       " SELECT results.race_nmbr  , results.place  , results.qualified  , results.car_nmbr "
                       " , team_car.team_nmbr  , 1  , 0  , 0  , 0  , results.adjustment  , 0  , 0  , 0  , ? "
                       " From races CROSS JOIN league_teams CROSS JOIN team_car CROSS JOIN results"
                       " WHERE results.race_nmbr = ? "
                       " AND races.race_nmbr = ? "
                       " AND team_car.car_nmbr = results.car_nmbr "
                       " AND (team_car.term_dt Is Null Or team_car.term_dt > races.race_dt) "
                       " AND team_car.efctv_dt <= races.race_dt "
                       " AND league_teams.league_nmbr = ? "
                       " AND league_teams.team_nmbr = team_car.team_nmbr "),
        {league.leagueNmbr(), race.raceNmbr(), race.raceNmbr(), league.leagueNmbr()});
}

// ---- steps 2 to 4 ----

bool cTeamResults::setBonus(Bonus bonus, const cLeague& league, const cRaces& race) {
    QString column;
    QString cars; // the race's result cars that earn the bonus
    switch (bonus) {
    case Bonus::FastQual:
        column = QStringLiteral("fast_qual_bonus");
        cars = QStringLiteral("SELECT car_nmbr FROM results WHERE race_nmbr = ? AND fast_qual = 1");
        break;
    case Bonus::MostLapsLed:
        column = QStringLiteral("most_laps_led_bonus");
        // Only a car that led at least one lap can have led the most: when nobody led a lap,
        // nobody earns it.
        cars = QStringLiteral(
            "SELECT car_nmbr FROM results WHERE race_nmbr = ? AND laps_led > 0"
            " AND laps_led = (SELECT MAX(laps_led) FROM results r2 WHERE r2.race_nmbr = results.race_nmbr)");
        break;
    case Bonus::LapsLed:
        column = QStringLiteral("laps_led_bonus");
        cars = QStringLiteral("SELECT car_nmbr FROM results WHERE race_nmbr = ? AND laps_led > 0");
        break;
    }

    if (!m_db.OpenResultSet(QStringLiteral(" SELECT ") + column + QStringLiteral(" FROM leagues,scoring_type ") +
                                QStringLiteral(" WHERE leagues.league_nmbr = ? ") +
                                QStringLiteral("   AND leagues.scoring_type_nmbr = scoring_type.scoring_type_nmbr "),
                            {league.leagueNmbr()}) ||
        m_db.isEOF())
        return true;
    if (m_db.fields.isNull(column))
        throw PostingError(QStringLiteral("Invalid use of Null"));
    const int amount = m_db.fields.toInt(column);
    if (amount == 0)
        return true;

    QString sql = QStringLiteral(" UPDATE team_results INDEXED BY team_results_league_race  SET ") + column +
                  QStringLiteral(" = ?  WHERE team_results.race_nmbr = ?  AND team_results.league_nmbr = ? "
                                 " AND team_results.car_nmbr IN (") +
                  cars + QStringLiteral(")");
    if (bonus == Bonus::MostLapsLed)
        sql += QStringLiteral(" AND team_results.place > 0");
    return m_db.execute(sql, {amount, race.raceNmbr(), league.leagueNmbr(), race.raceNmbr()});
}

bool cTeamResults::setFastQualBonus(const cLeague& league, const cRaces& race) {
    return setBonus(Bonus::FastQual, league, race);
}

bool cTeamResults::setMostLapsLedBonus(const cLeague& league, const cRaces& race) {
    return setBonus(Bonus::MostLapsLed, league, race);
}

bool cTeamResults::setLapsLedBonus(const cLeague& league, const cRaces& race) {
    return setBonus(Bonus::LapsLed, league, race);
}

// ---- step 6 ----

bool cTeamResults::setQualPointsBonus(const cLeague& league, const cRaces& race) {
    cScoringPointsCollection qual;
    if (qual.loadQual(league.scoringTypeNmbr()) == 0)
        return true;
    // Every row of a paying position gets that position's points; a row whose position pays
    // nothing keeps what it has (the site script may have set it).
    for (const cScoringPoints& p : qual) {
        if (p.qualPoints() == 0)
            continue;
        if (!m_db.execute(QStringLiteral(" UPDATE team_results INDEXED BY team_results_league_race  SET qual_points = "
                                         "( ? )  WHERE team_results.qualified = ? "
                                         " AND team_results.race_nmbr = ?  AND team_results.league_nmbr = ?"),
                          {p.qualPoints(), p.place(), race.raceNmbr(), league.leagueNmbr()}))
            return false;
    }
    return true;
}

// ---- step 7 ----

bool cTeamResults::setPoints(const cLeague& league, const cRaces& race) {
    // A row's points: the points table's points for its place (0 for a place the table lacks)
    // plus its bonuses, qualifying points and adjustment. Rows of one car and team share their
    // numbers, so one statement over the league's rows gives what a row-by-row pass gives.
    if (!m_db.execute(
            QStringLiteral(" UPDATE team_results INDEXED BY team_results_league_race  SET points = ( IFNULL((SELECT "
                           "sp.points FROM scoring_points sp"
                           "   WHERE sp.scoring_type_nmbr = ? AND sp.place = team_results.place), 0)"
                           "   + laps_led_bonus + most_laps_led_bonus + fast_qual_bonus + qual_points + adjustment ) "
                           " WHERE team_results.race_nmbr = ?  AND team_results.league_nmbr = ?"),
            {league.scoringTypeNmbr(), race.raceNmbr(), league.leagueNmbr()}))
        return false;
    int rows = 0;
    if (!checkedRowCount(QStringLiteral("points"), league, race, &rows))
        return false;
    stepProgressTimes(rows);
    return true;
}

// ---- step 8 ----

bool cTeamResults::setTopBonus(const cLeague& league, const cRaces& race) {
    cScoringTopPointsCollection rules;
    if (rules.load(league.scoringTypeNmbr()) == 0)
        return true;
    cCar bonusCar;
    bonusCar.getTopBonusCar(race.raceTypeNmbr());
    const int bonusCarNmbr = bonusCar.carNmbr();

    for (const cScoringTopPoints& rule : rules) {
        if (rule.points() == 0)
            continue;
        cLeagueTeamsCollection members;
        members.load(league.leagueNmbr());
        // Each team's cars placed 1 to top in this race. Bonus rows already written have place 0
        // and never count, so one count per rule answers for every team.
        QHash<int, int> counts;
        if (m_db.OpenResultSet(
                QStringLiteral(
                    " SELECT team_nmbr, count(*) as count  FROM team_results INDEXED BY team_results_league_race "
                    " WHERE league_nmbr = ?  AND place <= ?  AND place > 0 "
                    " AND race_nmbr = ?  GROUP BY team_nmbr"),
                {league.leagueNmbr(), rule.top(), race.raceNmbr()})) {
            for (; !m_db.isEOF(); m_db.MoveNext())
                counts.insert(m_db.fields.toInt(QStringLiteral("team_nmbr")),
                              m_db.fields.toInt(QStringLiteral("count")));
        }
        for (const cLeagueTeams& member : members) {
            const int team = member.teamNmbr();
            if (counts.value(team, 0) != rule.nmbr())
                continue;
            cTeamCar holding;
            if (holding.load(team, bonusCarNmbr) < 1) {
                holding.setCarNmbr(bonusCarNmbr);
                holding.setEfctvDt(race.raceDate());
                holding.setTeamNmbr(team);
                holding.insertRow(); // a failure has shown its box; the bonus row is written all the same
            }
            if (!insertRow(race.raceNmbr(), 0, 0, bonusCarNmbr, team, 1, 0, 0, 0, 0, rule.points(), 0, 0,
                           league.leagueNmbr()))
                return false;
        }
    }
    return true;
}

// ---- step 9 ----

bool cTeamResults::insertDNQDrivers(const cLeague& league, const cRaces& race) {
    cScoringPointsCollection table;
    table.load(league.scoringTypeNmbr());
    const int place = table.highScore() ? 999 : 0;
    cTeamResultsCollection previous;
    previous.loadPreviousRace(league, race);
    cTeamCarCollection dnq;
    dnq.loadDNQcars(league, race.raceNmbr());
    for (const cTeamCar& holding : dnq) {
        const int total = previous.carriedTotal(holding.carNmbr(), holding.teamNmbr());
        if (!insertRow(race.raceNmbr(), place, 0, holding.carNmbr(), holding.teamNmbr(), 2, 0, 0, 0, 0, 0, 0, total,
                       league.leagueNmbr()))
            return false;
        stepProgress();
    }
    return true;
}

// ---- step 10 ----

bool cTeamResults::dropLowestFinishers(const cLeague& league, const cRaces& race) {
    if (league.dropLowest() < 1)
        return true;
    cScoringPointsCollection table;
    table.load(league.scoringTypeNmbr());
    const bool highScore = table.highScore();
    cLeagueTeamsCollection members;
    members.load(league.leagueNmbr());
    cTeamResultsCollection rows;
    for (const cLeagueTeams& member : members) {
        rows.clear();
        rows.loadNoBonusCars(league.leagueNmbr(), race.raceNmbr(), member.teamNmbr(),
                             highScore ? QStringLiteral("asc") : QStringLiteral("desc"));
        int k = 1;
        for (cTeamResults& row : rows) {
            if (k > league.dropLowest())
                break;
            row.setAdjustment(0);
            row.setFastQualBonus(0);
            row.setLapsLedBonus(0);
            row.setMostLapsLedBonus(0);
            row.setPoints(0);
            row.setQualPoints(0);
            if (!row.update())
                return false;
            ++k;
        }
        stepProgress();
    }
    return true;
}

// ---- step 11 ----

bool cTeamResults::dropInactiveDrivers(const cLeague& league, const cRaces& race) {
    // A row is zeroed when its team has a holding of its car marked inactive, whatever that
    // holding's dates. Asked per row by team and car, so only the league's holdings are read.
    return m_db.execute(
        QStringLiteral(
            "UPDATE team_results INDEXED BY team_results_league_race  SET adjustment = 0  ,fast_Qual_Bonus = 0 "
            " ,laps_Led_Bonus = 0  ,most_Laps_Led_Bonus = 0  ,points = 0  ,qual_Points = 0 "
            " WHERE league_nmbr = ?  AND race_nmbr = ? "
            " AND EXISTS (SELECT 1 FROM team_car  WHERE active = 0 "
            "   AND team_car.team_nmbr = team_results.team_nmbr"
            "   AND team_car.car_nmbr = team_results.car_nmbr)"),
        {league.leagueNmbr(), race.raceNmbr()});
}

// ---- step 12 ----

bool cTeamResults::setTotalPoints(const cLeague& league, const cRaces& race) {
    // Each row's total is its points plus the car's total for the team after the league's previous
    // race: what the car's rows there started from plus the points of every one of them (see
    // cTeamResultsCollection::carriedTotal). One statement does every row.
    const int previous = cRaces::previousRaceNmbr(league.raceTypeNmbr(), league.carTypeNmbr(), race.raceNmbr());
    const QString carried = QStringLiteral("IFNULL((SELECT SUM(p.points) + MIN(p.total_points - p.points)"
                                           " FROM team_results p INDEXED BY team_results_league_race"
                                           " WHERE p.league_nmbr = ? AND p.race_nmbr = ?"
                                           " AND p.car_nmbr = team_results.car_nmbr"
                                           " AND p.team_nmbr = team_results.team_nmbr), 0)");
    if (!m_db.execute(
            QStringLiteral(" UPDATE team_results INDEXED BY team_results_league_race  SET total_points = points + ") +
                carried + QStringLiteral(" WHERE league_nmbr = ?  AND race_nmbr = ?"),
            {league.leagueNmbr(), previous, league.leagueNmbr(), race.raceNmbr()}))
        return false;
    int rows = 0;
    if (!checkedRowCount(QStringLiteral("total_points"), league, race, &rows))
        return false;
    stepProgressTimes(rows);
    return true;
}

// ---- step 13 ----

bool cTeamResults::insertDroppedDrivers(const cLeague& league, const cRaces& race) {
    cTeamResultsCollection dropped;
    if (dropped.loadDroppedDrivers(league, race) == 0)
        return true;
    cResultsCollection results;
    results.load(race.raceNmbr());
    // One row per car that left its team, with the car's whole total there, however many rows
    // it had in the previous race.
    QSet<std::pair<int, int>> written;
    for (const cTeamResults& row : dropped) {
        if (written.contains({row.teamNmbr(), row.carNmbr()}))
            continue;
        written.insert({row.teamNmbr(), row.carNmbr()});
        if (!insertRow(race.raceNmbr(), results.getPlace(row.carNmbr()), 0, row.carNmbr(), row.teamNmbr(), 2, 0, 0, 0,
                       0, 0, 0, dropped.carriedTotal(row.carNmbr(), row.teamNmbr()), league.leagueNmbr()))
            return false;
        stepProgress();
    }
    return true;
}

// ---- queries ----

int cTeamResults::countTopFinishes(int n, const cLeague& league, int teamNmbr, int raceNmbr) {
    // The races up to this one in the season order: a later race on the same date is not yet run.
    if (!m_db.OpenResultSet(QStringLiteral(" SELECT count(*) as count  FROM team_results  WHERE league_nmbr = ? "
                                           " AND team_nmbr = ?  AND place <= ?  AND place > 0  AND current_status = 1 "
                                           " AND race_nmbr in (          SELECT race_nmbr          FROM races "
                                           "         WHERE race_type_nmbr = ?          AND car_type_nmbr = ? AND ") +
                                raceUpToCondition(QStringLiteral("races"), raceNmbr) + QStringLiteral(")"),
                            {league.leagueNmbr(), teamNmbr, n, league.raceTypeNmbr(), league.carTypeNmbr()}) ||
        m_db.isEOF())
        return 0;
    return m_db.fields.toInt(QStringLiteral("count"));
}

int cTeamResults::wins(const cLeague& league, int teamNmbr, int raceNmbr) {
    return countTopFinishes(1, league, teamNmbr, raceNmbr);
}

int cTeamResults::top5s(const cLeague& league, int teamNmbr, int raceNmbr) {
    return countTopFinishes(5, league, teamNmbr, raceNmbr);
}

int cTeamResults::top10s(const cLeague& league, int teamNmbr, int raceNmbr) {
    return countTopFinishes(10, league, teamNmbr, raceNmbr);
}

int cTeamResults::currentRaceNmbr(int raceTypeNmbr) {
    const QString sql = QStringLiteral("SELECT distinct(race_nmbr) FROM team_results WHERE race_nmbr = ") +
                        QStringLiteral("       (SELECT r1.race_nmbr        FROM RACES r1 ") +
                        QStringLiteral("       WHERE race_type_nmbr = %1").arg(raceTypeNmbr) +
                        QStringLiteral("       AND r1.race_dt =            (SELECT MAX(r3.race_dt) ") +
                        QStringLiteral("           FROM races r3, team_results r4 ") +
                        QStringLiteral("           WHERE r3.race_nmbr = r4.race_nmbr ") +
                        QStringLiteral("           AND race_type_nmbr = %1)").arg(raceTypeNmbr) +
                        QStringLiteral("       ORDER BY r1.race_nmbr LIMIT 1)");
    if (!m_db.OpenResultSet(sql) || m_db.isEOF())
        return 0;
    return m_db.fields.toInt(QStringLiteral("race_nmbr"));
}
