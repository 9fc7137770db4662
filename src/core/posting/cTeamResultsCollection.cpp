#include "posting/cTeamResultsCollection.h"

#include "data/SqlText.h"
#include "data/cLeague.h"
#include "posting/RaceOrder.h"
#include "posting/cRaces.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <stdexcept>

cTeamResults* cTeamResultsCollection::Add(int teamNmbr, int carNmbr, int raceNmbr, int leagueNmbr, int place,
                                          int fastQualBonus, int lapsLedBonus, int mostLapsLedBonus, int points,
                                          int totalPoints, int currentStatus, int qualPoints, int qualified,
                                          int adjustment, const QString& key) {
    auto row = std::make_unique<cTeamResults>();
    row->setTeamNmbr(teamNmbr);
    row->setCarNmbr(carNmbr);
    row->setRaceNmbr(raceNmbr);
    row->setLeagueNmbr(leagueNmbr);
    row->setPlace(place);
    row->setFastQualBonus(fastQualBonus);
    row->setLapsLedBonus(lapsLedBonus);
    row->setMostLapsLedBonus(mostLapsLedBonus);
    row->setPoints(points);
    row->setTotalPoints(totalPoints);
    row->setCurrentStatus(currentStatus);
    row->setQualPoints(qualPoints);
    row->setQualified(qualified);
    row->setAdjustment(adjustment);
    return m_rows.append(std::move(row), key);
}

int cTeamResultsCollection::loadSql(const QString& sql, const QVariantList& params) {
    if (!m_db.OpenResultSet(sql, params) || m_db.isEOF())
        return Count();
    const cFields& f = m_db.fields;
    while (!m_db.isEOF()) {
        Add(f.toInt(QStringLiteral("team_nmbr")), f.toInt(QStringLiteral("car_nmbr")),
            f.toInt(QStringLiteral("race_nmbr")), f.toInt(QStringLiteral("league_nmbr")),
            f.toInt(QStringLiteral("place")), f.toInt(QStringLiteral("fast_qual_bonus")),
            f.toInt(QStringLiteral("laps_led_bonus")), f.toInt(QStringLiteral("most_laps_led_bonus")),
            f.toInt(QStringLiteral("points")), f.toInt(QStringLiteral("total_points")),
            f.toInt(QStringLiteral("current_status")), f.toInt(QStringLiteral("qual_points")),
            f.toInt(QStringLiteral("qualified")), f.toInt(QStringLiteral("adjustment")));
        m_db.MoveNext();
    }
    return Count();
}

namespace {
// Reads of one league's rows go through the league's index; asked for rows in the order written,
// the engine would otherwise walk every league's rows of the race to spare itself a sort.
const QString kByLeague = QStringLiteral(" INDEXED BY team_results_league_race");

// Only the two directions the callers use reach the statement.
QString orderDirection(const QString& direction) {
    return direction.compare(QLatin1String("desc"), Qt::CaseInsensitive) == 0 ? QStringLiteral("desc")
                                                                              : QStringLiteral("asc");
}
} // namespace

int cTeamResultsCollection::load(int leagueNmbr, std::optional<int> raceNmbr, std::optional<int> teamNmbr,
                                 const QString& direction) {
    // Values are bound, so each shape of the statement is prepared once per connection.
    QString sql = QStringLiteral("SELECT *") + QStringLiteral(" FROM team_results") + kByLeague +
                  QStringLiteral(" WHERE league_nmbr = ?");
    QVariantList values{leagueNmbr};
    if (raceNmbr) {
        sql += QStringLiteral(" AND race_nmbr = ?");
        values << *raceNmbr;
    }
    if (teamNmbr) {
        sql += QStringLiteral(" AND team_nmbr = ?");
        values << *teamNmbr;
    }
    // Rows of equal place, and every row without a direction, come in the order they were written.
    if (!direction.isEmpty())
        sql += QStringLiteral(" ORDER BY place ") + orderDirection(direction) + QStringLiteral(", rowid");
    else
        sql += QStringLiteral(" ORDER BY rowid");
    return loadSql(sql, values);
}

int cTeamResultsCollection::loadNoBonusCars(int leagueNmbr, std::optional<int> raceNmbr, std::optional<int> teamNmbr,
                                            const QString& direction) {
    QString sql = QStringLiteral("SELECT A.*") + QStringLiteral(" FROM team_results A") + kByLeague +
                  QStringLiteral(", cars B") + QStringLiteral(" WHERE A.league_nmbr = ?") +
                  QStringLiteral(" AND A.car_nmbr = B.Car_nmbr") + QStringLiteral(" AND B.car_type_nmbr < 3 ");
    QVariantList values{leagueNmbr};
    if (raceNmbr) {
        sql += QStringLiteral(" AND A.race_nmbr = ?");
        values << *raceNmbr;
    }
    if (teamNmbr) {
        sql += QStringLiteral(" AND A.team_nmbr = ?");
        values << *teamNmbr;
    }
    // Equal points keep the order the rows were written in, so the same rows are dropped every time.
    if (!direction.isEmpty())
        sql += QStringLiteral(" ORDER BY points ") + orderDirection(direction) + QStringLiteral(", A.rowid");
    else
        sql += QStringLiteral(" ORDER BY A.rowid");
    return loadSql(sql, values);
}

int cTeamResultsCollection::loadPreviousRace(const cLeague& league, const cRaces& race) {
    const int previous = cRaces::previousRaceNmbr(league.raceTypeNmbr(), league.carTypeNmbr(), race.raceNmbr());
    if (previous == 0)
        return Count();
    const QString sql = QStringLiteral(" SELECT team_results.* ") + QStringLiteral(" FROM team_results ") + kByLeague +
                        QStringLiteral(" WHERE team_results.league_nmbr = ?") +
                        QStringLiteral(" AND team_results.race_nmbr = ?") +
                        QStringLiteral(" ORDER BY team_results.rowid");
    return loadSql(sql, {league.leagueNmbr(), previous});
}

int cTeamResultsCollection::loadDroppedDrivers(const cLeague& league, const cRaces& race) {
    // The same previous race as the totals come from: a car sold before a rained-out race, or
    // before a race of the other car type, is still carried on from the race it last ran for the team.
    const int previous = cRaces::previousRaceNmbr(league.raceTypeNmbr(), league.carTypeNmbr(), race.raceNmbr());
    if (previous == 0)
        return Count();
    const QString sql =
        QStringLiteral(" SELECT * ") + QStringLiteral(" FROM team_results tr1") + kByLeague +
        QStringLiteral(" WHERE league_nmbr = ?") + QStringLiteral(" AND race_nmbr = ?") +
        QStringLiteral(" AND NOT EXISTS (") + QStringLiteral(" SELECT 1") + QStringLiteral(" FROM team_results tr2") +
        kByLeague + QStringLiteral(" WHERE tr2.league_nmbr = ?") + QStringLiteral(" AND tr2.race_nmbr = ?") +
        QStringLiteral(" AND tr2.team_nmbr = tr1.team_nmbr") + QStringLiteral(" AND tr2.car_nmbr = tr1.car_nmbr") +
        QStringLiteral(")") + QStringLiteral(" ORDER BY tr1.rowid");
    return loadSql(sql, {league.leagueNmbr(), previous, league.leagueNmbr(), race.raceNmbr()});
}

int cTeamResultsCollection::loadPreviousRaces(const cLeague& league, const cRaces& race, int /*teamNmbr*/) {
    // Every team's rows: the report that calls this picks its team's rows from the list itself.
    // The races are those up to this one in the season order, so a later race on the same date is
    // left out as it is from the totals.
    const QString sql = QStringLiteral(" SELECT team_results.* ") + QStringLiteral(" FROM team_results, races r1 ") +
                        QStringLiteral(" WHERE team_results.race_nmbr = r1.race_nmbr ") +
                        QStringLiteral(" AND team_results.league_nmbr = %1").arg(league.leagueNmbr()) +
                        QStringLiteral(" AND r1.race_type_nmbr = %1").arg(league.raceTypeNmbr()) +
                        QStringLiteral(" AND ") + raceUpToCondition(QStringLiteral("r1"), race.raceNmbr()) +
                        QStringLiteral(" ORDER BY team_results.rowid");
    return loadSql(sql);
}

int cTeamResultsCollection::getTotalPoints(int carNmbr, int teamNmbr) const {
    for (const cTeamResults& row : m_rows)
        if (row.carNmbr() == carNmbr && row.teamNmbr() == teamNmbr)
            return row.totalPoints();
    return 0;
}

int cTeamResultsCollection::carriedTotal(int carNmbr, int teamNmbr) const {
    // Every row of a car and team in one race was given the same total to start from (its total
    // less its points; the smallest is taken should they ever differ); the car's total after that
    // race adds the points of each of its rows, so a team's two top-finish bonuses of one race are
    // both carried. Step 12 works the same sum out in SQL.
    qint64 points = 0;
    std::optional<qint64> startedFrom;
    for (const cTeamResults& row : m_rows) {
        if (row.carNmbr() != carNmbr || row.teamNmbr() != teamNmbr)
            continue;
        const qint64 from = qint64(row.totalPoints()) - row.points();
        startedFrom = startedFrom ? std::min(*startedFrom, from) : from;
        points += row.points();
    }
    const qint64 total = startedFrom ? *startedFrom + points : 0;
    if (total > std::numeric_limits<int>::max() || total < std::numeric_limits<int>::min())
        throw std::overflow_error("Overflow");
    return int(total);
}

bool cTeamResultsCollection::resultsForTeamExists(int leagueNmbr, int teamNmbr) {
    const QString sql = QStringLiteral("SELECT *") + QStringLiteral(" FROM team_results") +
                        QStringLiteral(" WHERE team_nmbr = %1").arg(teamNmbr) +
                        QStringLiteral(" AND league_nmbr = %1").arg(leagueNmbr) + QStringLiteral(" LIMIT 1");
    return m_db.OpenResultSet(sql) && !m_db.isEOF();
}

bool cTeamResultsCollection::resultsForCarExistsAfterDate(int teamNmbr, int carNmbr, const QDate& date) {
    // Race by race from the date on: the rows are found by race, team and car.
    const QString sql = QStringLiteral("SELECT *") + QStringLiteral(" FROM races CROSS JOIN team_results") +
                        QStringLiteral(" WHERE races.race_dt >= ") + sqlDate(date) +
                        QStringLiteral(" AND team_results.race_nmbr = races.race_nmbr ") +
                        QStringLiteral(" AND team_results.team_nmbr = %1").arg(teamNmbr) +
                        QStringLiteral(" AND team_results.car_nmbr = %1").arg(carNmbr) + QStringLiteral(" LIMIT 1");
    return m_db.OpenResultSet(sql) && !m_db.isEOF();
}

template <class F> int cTeamResultsCollection::sum(int teamNmbr, int carNmbr, F field) const {
    qint64 total = 0;
    for (const cTeamResults& row : m_rows)
        if (row.teamNmbr() == teamNmbr && row.carNmbr() == carNmbr)
            total += field(row);
    if (total > std::numeric_limits<int>::max() || total < std::numeric_limits<int>::min())
        throw std::overflow_error("Overflow");
    return int(total);
}

int cTeamResultsCollection::sumFastQualBonus(int teamNmbr, int carNmbr) const {
    return sum(teamNmbr, carNmbr, [](const cTeamResults& r) { return r.fastQualBonus(); });
}

int cTeamResultsCollection::sumLapsLedBonus(int teamNmbr, int carNmbr) const {
    return sum(teamNmbr, carNmbr, [](const cTeamResults& r) { return r.lapsLedBonus(); });
}

int cTeamResultsCollection::sumMostLapsLedBonus(int teamNmbr, int carNmbr) const {
    return sum(teamNmbr, carNmbr, [](const cTeamResults& r) { return r.mostLapsLedBonus(); });
}

int cTeamResultsCollection::sumQualPoints(int teamNmbr, int carNmbr) const {
    return sum(teamNmbr, carNmbr, [](const cTeamResults& r) { return r.qualPoints(); });
}
