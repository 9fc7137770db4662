#include "reports/generators/ReportRequestState.h"

#include "data/Regional.h"
#include "posting/RaceOrder.h"
#include "reports/framework/CommonReportCode.h"
#include "reports/generators/StoredValues.h"

#include <algorithm>
#include <stdexcept>

namespace {

std::unique_ptr<ReportRequestState>& currentRequest() {
    static std::unique_ptr<ReportRequestState> request;
    return request;
}

} // namespace

QueryRows::QueryRows(const QString& sql, const QVariantList& params) {
    if (!m_db.OpenResultSet(sql, params))
        throw ReportReadingFailed{};
}

QVariant QueryRows::value(qsizetype row, int column) const {
    const StoredRows& rows = m_db.storedRows();
    return rows.variant(rows.at(row, column));
}

ReportRequestState& ReportRequestState::current() {
    if (!currentRequest())
        throw std::logic_error("no report request in progress");
    return *currentRequest();
}

bool ReportRequestState::inProgress() {
    return currentRequest() != nullptr;
}

void ReportRequestState::begin() {
    currentRequest().reset(new ReportRequestState);
}

void ReportRequestState::end() {
    currentRequest().reset();
}

// ---- the reports' set-up ----

int ReportRequestState::fileNumber(const QString& code) {
    Setup& s = setup(code);
    if (!s.fileNumber)
        s.fileNumber = getReportFileHandle(code);
    return *s.fileNumber;
}

const QList<int>& ReportRequestState::columns(const QString& code) {
    Setup& s = setup(code);
    if (!s.columns) {
        QList<int> chosen;
        IDatabase db;
        if (db.OpenResultSet(QStringLiteral("SELECT A.* FROM report_columns A, report B "
                                            " WHERE B.report_id = ? AND A.report_nmbr = B.report_nmbr"
                                            " ORDER BY column_order"),
                             {code}))
            for (; !db.isEOF(); db.MoveNext())
                chosen.append(db.fields.toInt(QStringLiteral("column_nmbr")));
        s.columns = chosen;
    }
    return *s.columns;
}

cReportAttributesCollection& ReportRequestState::attributes(const QString& code) {
    Setup& s = setup(code);
    if (!s.attributes) {
        s.attributes = std::make_unique<cReportAttributesCollection>();
        s.attributes->loadReportCd(code);
    }
    return *s.attributes;
}

// ---- what the league's pages show ----

const std::vector<TeamResult>& ReportRequestState::raceResults(int leagueNmbr, int raceNmbr) {
    const auto known = m_raceResults.constFind({leagueNmbr, raceNmbr});
    if (known != m_raceResults.constEnd())
        return *known;
    // The league's index gives them by team, each team's in the order they were stored.
    const QueryRows rows(QStringLiteral("SELECT team_nmbr, car_nmbr, place, laps_led_bonus, most_laps_led_bonus,"
                                        " fast_qual_bonus, points, total_points, current_status, qual_points,"
                                        " adjustment FROM team_results WHERE league_nmbr = ? AND race_nmbr = ?"
                                        " ORDER BY team_nmbr, rowid"),
                         {leagueNmbr, raceNmbr});
    std::vector<TeamResult> results;
    results.reserve(size_t(rows.count()));
    for (qsizetype r = 0; r < rows.count(); ++r) {
        const std::optional<int> team = wholeNumber(rows.value(r, 0)), car = wholeNumber(rows.value(r, 1));
        if (!team || !car)
            continue;
        results.push_back({.teamNmbr = *team,
                           .carNmbr = *car,
                           .place = rows.value(r, 2),
                           .lapsLedBonus = rows.value(r, 3),
                           .mostLapsLedBonus = rows.value(r, 4),
                           .fastQualBonus = rows.value(r, 5),
                           .points = rows.value(r, 6),
                           .totalPoints = rows.value(r, 7),
                           .currentStatus = rows.value(r, 8),
                           .qualPoints = rows.value(r, 9),
                           .adjustment = rows.value(r, 10)});
    }
    return *m_raceResults.emplace(QPair<int, int>(leagueNmbr, raceNmbr), std::move(results));
}

const QHash<int, CarOnFile>& ReportRequestState::carsOnFile() {
    if (!m_cars) {
        const QueryRows rows(QStringLiteral("SELECT car_nmbr, car_txt, driver_name, sponsor, car_type_nmbr FROM cars"));
        QHash<int, CarOnFile> cars;
        for (qsizetype r = 0; r < rows.count(); ++r)
            if (const std::optional<int> car = wholeNumber(rows.value(r, 0)))
                cars.insert(*car, {rows.text(r, 1), rows.text(r, 2), rows.text(r, 3), rows.value(r, 4)});
        m_cars = std::move(cars);
    }
    return *m_cars;
}

const QHash<TeamAndCar, Holding>& ReportRequestState::latestHoldings(int leagueNmbr) {
    const auto known = m_holdings.constFind(leagueNmbr);
    if (known != m_holdings.constEnd())
        return *known;
    // By start within each team and car (the key's order): the last one read is the latest.
    const QueryRows rows(QStringLiteral("SELECT team_nmbr, car_nmbr, efctv_dt, term_dt FROM team_car"
                                        " WHERE team_nmbr IN (SELECT team_nmbr FROM team_results_summary"
                                        " WHERE league_nmbr = ?) ORDER BY team_nmbr, car_nmbr, efctv_dt"),
                         {leagueNmbr});
    QHash<TeamAndCar, Holding> held;
    for (qsizetype r = 0; r < rows.count(); ++r) {
        const std::optional<int> team = wholeNumber(rows.value(r, 0)), car = wholeNumber(rows.value(r, 1));
        if (team && car)
            held.insert({*team, *car}, {rows.value(r, 2), rows.value(r, 3)});
    }
    return *m_holdings.emplace(leagueNmbr, std::move(held));
}

namespace {

// Each team's points in each race of the league's race type (?1 the league) that the races test passes,
// from the league's key: a team's line of a race is one row of it, so that grouped in the key's order
// the rows need no sorting.
QString pointsByRaceSql(const QString& racesTest, const QString& teamTest) {
    return QStringLiteral("SELECT S.race_nmbr, S.team_nmbr, sum(S.points) FROM team_results_summary S, teams"
                          " WHERE S.league_nmbr = ?1") +
           teamTest +
           QStringLiteral(" AND teams.team_nmbr = S.team_nmbr AND S.race_nmbr IN (SELECT races.race_nmbr"
                          " FROM races, leagues WHERE leagues.league_nmbr = ?1"
                          " AND races.race_type_nmbr = leagues.race_type_nmbr") +
           racesTest + QStringLiteral(") GROUP BY S.race_nmbr, S.team_nmbr");
}

} // namespace

const QHash<int, QHash<int, qint64>>& ReportRequestState::pointsByRace(int leagueNmbr) {
    const auto known = m_pointsByRace.constFind(leagueNmbr);
    if (known != m_pointsByRace.constEnd())
        return *known;
    const QueryRows rows(pointsByRaceSql(QString(), QString()), {leagueNmbr});
    QHash<int, QHash<int, qint64>> byRace;
    for (qsizetype r = 0; r < rows.count(); ++r)
        byRace[rows.value(r, 0).toInt()].insert(rows.value(r, 1).toInt(), rows.value(r, 2).toLongLong());
    return *m_pointsByRace.emplace(leagueNmbr, std::move(byRace));
}

QHash<int, qint64> ReportRequestState::pointsOver(int leagueNmbr, const QString& racesTest) {
    // The league's points race by race, summed over the races counted: a request that writes a page for
    // each race reads the season's points once, not once a race.
    const QHash<int, QHash<int, qint64>>& byRace = pointsByRace(leagueNmbr);
    const QueryRows counted(QStringLiteral("SELECT races.race_nmbr FROM races WHERE ") + racesTest);
    QHash<int, qint64> points;
    for (qsizetype r = 0; r < counted.count(); ++r) {
        const QHash<int, qint64> race = byRace.value(counted.value(r, 0).toInt());
        for (auto team = race.constBegin(); team != race.constEnd(); ++team)
            points[team.key()] += team.value();
    }
    return points;
}

const QHash<int, qint64>& ReportRequestState::seasonPoints(int leagueNmbr, int raceNmbr) {
    const auto known = m_seasonPoints.constFind({leagueNmbr, raceNmbr});
    if (known != m_seasonPoints.constEnd())
        return *known;
    return *m_seasonPoints.emplace(QPair<int, int>(leagueNmbr, raceNmbr),
                                   pointsOver(leagueNmbr, raceUpToCondition(QStringLiteral("races"), raceNmbr)));
}

qint64 ReportRequestState::teamSeasonPoints(int leagueNmbr, int raceNmbr, int teamNmbr) {
    // Summed race by race, as the league's lines are.
    const QueryRows races(
        pointsByRaceSql(QStringLiteral(" AND ") + raceUpToCondition(QStringLiteral("races"), QStringLiteral("?2")),
                        QStringLiteral(" AND S.team_nmbr = ?3")),
        {leagueNmbr, raceNmbr, teamNmbr});
    qint64 points = 0;
    for (qsizetype r = 0; r < races.count(); ++r)
        points += races.value(r, 2).toLongLong();
    return points;
}

std::vector<StandingsLine> ReportRequestState::standings(int leagueNmbr, int raceNmbr, bool highScore, bool previous) {
    const QHash<int, qint64> points =
        previous ? pointsOver(leagueNmbr, raceBeforeCondition(QStringLiteral("races"), raceNmbr))
                 : seasonPoints(leagueNmbr, raceNmbr);
    auto names = m_teamNames.constFind(leagueNmbr);
    if (names == m_teamNames.constEnd()) {
        const QueryRows rows(QStringLiteral("SELECT team_nmbr, team_name, team_owner FROM teams WHERE team_nmbr IN"
                                            " (SELECT team_nmbr FROM team_results_summary WHERE league_nmbr = ?)"),
                             {leagueNmbr});
        QHash<int, std::pair<QString, QString>> byTeam;
        for (qsizetype r = 0; r < rows.count(); ++r)
            byTeam.insert(rows.value(r, 0).toInt(), {rows.text(r, 1), rows.text(r, 2)});
        names = m_teamNames.emplace(leagueNmbr, std::move(byTeam));
    }
    std::vector<StandingsLine> lines;
    for (auto it = points.constBegin(); it != points.constEnd(); ++it) {
        const std::pair<QString, QString> team = names->value(it.key());
        lines.push_back({it.key(), team.first, team.second, it.value()});
    }
    std::sort(lines.begin(), lines.end(), [&](const StandingsLine& a, const StandingsLine& b) {
        if (a.points != b.points)
            return highScore ? a.points > b.points : a.points < b.points;
        return a.teamNmbr < b.teamNmbr;
    });
    return lines;
}

const QHash<TeamAndCar, BonusSums>& ReportRequestState::seasonBonuses(int leagueNmbr, int raceNmbr) {
    const auto known = m_seasonBonuses.constFind({leagueNmbr, raceNmbr});
    if (known != m_seasonBonuses.constEnd())
        return *known;
    // The league's rows of the season come from its index race by race and are summed as they come:
    // the engine's GROUP BY, which sorts the season by team and car, made the team detail page of a big
    // league three fifths slower, and keeping the rows to sum them after a fifth (bench/reports).
    struct Sums {
        StoredSum fastQual, lapsLed, mostLapsLed, qual;
    };
    QHash<TeamAndCar, Sums> sums;
    IDatabase season;
    const bool read = season.forEachRow(
        QStringLiteral("SELECT team_nmbr, car_nmbr, fast_qual_bonus, laps_led_bonus, most_laps_led_bonus,"
                       " qual_points FROM team_results WHERE league_nmbr = ?1 AND race_nmbr IN (SELECT r1.race_nmbr"
                       " FROM races r1, leagues G WHERE G.league_nmbr = ?1 AND r1.race_type_nmbr = G.race_type_nmbr"
                       " AND ") +
            raceUpToCondition(QStringLiteral("r1"), QStringLiteral("?2")) + QStringLiteral(")"),
        {leagueNmbr, raceNmbr}, [&](const SqlRowView& row) {
            SqlValue v[6];
            row.values(v);
            const std::optional<int> team = wholeNumber(v[0]), car = wholeNumber(v[1]);
            if (!team || !car)
                return;
            Sums& s = sums[{*team, *car}];
            s.fastQual.add(v[2]);
            s.lapsLed.add(v[3]);
            s.mostLapsLed.add(v[4]);
            s.qual.add(v[5]);
        });
    if (!read)
        throw ReportReadingFailed{};
    QHash<TeamAndCar, BonusSums> totals;
    for (auto it = sums.constBegin(); it != sums.constEnd(); ++it)
        totals.insert(it.key(), {it->fastQual.total(), it->lapsLed.total(), it->mostLapsLed.total(), it->qual.total()});
    return *m_seasonBonuses.emplace(QPair<int, int>(leagueNmbr, raceNmbr), std::move(totals));
}

// ---- texts ----

const QString& ReportRequestState::dateText(const QDate& date) {
    auto it = m_dateTexts.constFind(date.toJulianDay());
    if (it == m_dateTexts.constEnd())
        it = m_dateTexts.insert(date.toJulianDay(), shortDate(date));
    return *it;
}

const QString& ReportRequestState::moneyText(Currency amount) {
    auto it = m_moneyTexts.constFind(amount.units());
    if (it == m_moneyTexts.constEnd())
        it = m_moneyTexts.insert(amount.units(), ::moneyText(amount));
    return *it;
}
