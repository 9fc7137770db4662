// What the all-leagues posting reads for a race, once for all its leagues: everything the scoring
// chain would read league by league.

#include "posting/AllLeagues.h"
#include "posting/RaceOrder.h"

#include <algorithm>

namespace allleagues {

void Engine::load() {
    refuseScriptsTheChainRuns();
    readRace();
    const QList<int> leagueNmbrs = checkLeagues();
    readResults();
    QList<int> scoringTypes;
    for (const cLeague& league : m_leagues)
        if (!scoringTypes.contains(league.scoringTypeNmbr()))
            scoringTypes << league.scoringTypeNmbr();
    readScoringTypes(scoringTypes);
    takeOrReadMembersAndHoldings(leagueNmbrs);
    // A result of a car the holdings could not tell apart from an entry of another kind.
    if (m_bonusCar != 0 && m_results.contains(m_bonusCar))
        throw StandBack{};
    readEarlierRacesWithWinner();
    findMissingSummaries();
}

// A script that would be refused is the chain's to show; one that changes what the posting reads
// (other than the league's rows) is followed by the chain, which reads everything anew.
void Engine::refuseScriptsTheChainRuns() {
    if (!m_script.hasStatements() || m_leagues.isEmpty())
        return;
    QSet<QString> changed;
    if (!m_script.inspect(m_leagues.begin()->leagueNmbr(), m_race.raceNmbr(), &changed) || !engineCanFollow(changed))
        throw StandBack{};
}

void Engine::readRace() {
    const SqlRows race =
        query(QStringLiteral("SELECT race_dt, race_type_nmbr FROM races WHERE race_nmbr = ?"), {m_race.raceNmbr()});
    if (race.rows.isEmpty())
        throw StandBack{};
    const QString storedDay = text(race.rows[0][0]);
    m_day = day(storedDay.toUtf8());
    m_raceType = whole(race.rows[0][1]);
    // The chain compares the stored date as text and also writes the date it read into the race.
    if (!m_race.raceDate().isValid() || m_race.raceDate().toString(Qt::ISODate) != storedDay ||
        m_race.raceTypeNmbr() != m_raceType)
        throw StandBack{};
}

QList<int> Engine::checkLeagues() {
    QList<int> leagueNmbrs;
    for (const cLeague& league : m_leagues) {
        if (league.scoringOptionNmbr() != 1 && league.scoringOptionNmbr() != 2)
            throw StandBack{};
        if (league.raceTypeNmbr() != m_raceType)
            throw StandBack{};
        leagueNmbrs << league.leagueNmbr();
    }
    for (const auto& row :
         query(QStringLiteral("SELECT scoring_type_nmbr FROM leagues WHERE league_nmbr IN ") + inList(leagueNmbrs))
             .rows)
        whole(row[0]);
    return leagueNmbrs;
}

void Engine::readResults() {
    for (const auto& r : query(QStringLiteral("SELECT car_nmbr, place, qualified, fast_qual, laps_led, adjustment"
                                              " FROM results WHERE race_nmbr = ?"),
                               {m_race.raceNmbr()})
                             .rows) {
        const Result result{whole(r[1]), whole(r[2]), whole(r[3]), whole(r[4]), whole(r[5])};
        m_results.insert(whole(r[0]), result);
        m_maxLapsLed = std::max(m_maxLapsLed, result.lapsLed);
    }
}

void Engine::readScoringTypes(const QList<int>& scoringTypes) {
    const QString types = inList(scoringTypes);
    readBonusAmounts(types);
    readPointsTables(types);
    if (readTopFinishRules(types))
        readBonusCar();
}

void Engine::readBonusAmounts(const QString& types) {
    for (const auto& r : query(QStringLiteral("SELECT scoring_type_nmbr, laps_led_bonus, most_laps_led_bonus,"
                                              " fast_qual_bonus FROM scoring_type WHERE scoring_type_nmbr IN ") +
                               types)
                             .rows) {
        ScoringType& st = m_scoring[whole(r[0])];
        st.exists = true;
        st.lapsLed = whole(r[1]);
        st.mostLapsLed = whole(r[2]);
        st.fastQual = whole(r[3]);
    }
}

void Engine::readPointsTables(const QString& types) {
    for (const auto& r : query(QStringLiteral("SELECT scoring_type_nmbr, place, points, qual_points FROM scoring_points"
                                              " WHERE scoring_type_nmbr IN ") +
                               types + QStringLiteral(" ORDER BY scoring_type_nmbr, place"))
                             .rows) {
        ScoringType& st = m_scoring[whole(r[0])];
        st.points[whole(r[1])] = whole(r[2]);
        if (whole(r[3]) != 0)
            st.qual.emplace_back(whole(r[1]), whole(r[3]));
    }
}

// True when any of the methods has a rule.
bool Engine::readTopFinishRules(const QString& types) {
    bool anyRules = false;
    for (const auto& r : query(QStringLiteral("SELECT scoring_type_nmbr, nmbr_cars, points, top_nmbr FROM"
                                              " scoring_top_points WHERE scoring_type_nmbr IN ") +
                               types + QStringLiteral(" ORDER BY rowid"))
                             .rows) {
        m_scoring[whole(r[0])].rules.push_back({whole(r[1]), whole(r[3]), whole(r[2])});
        anyRules = true;
    }
    return anyRules;
}

void Engine::readBonusCar() {
    const SqlRows bonus = query(QStringLiteral("SELECT car_nmbr FROM cars WHERE car_type_nmbr = 3"
                                               " AND race_type_nmbr = ? ORDER BY car_nmbr LIMIT 1"),
                                {m_raceType});
    // Without a bonus entry the chain would make one.
    if (bonus.rows.isEmpty())
        throw StandBack{};
    m_bonusCar = whole(bonus.rows[0][0]);
}

void Engine::takeOrReadMembersAndHoldings(const QList<int>& leagueNmbrs) {
    // As the last posting of these leagues left them, when nothing has written them since.
    Reading* kept = m_memory ? m_memory->known<Reading>() : nullptr;
    if (kept && kept->leagues == leagueNmbrs)
        m_read = std::move(*kept);
    else
        readMembersAndHoldings(leagueNmbrs);
}

// Every table the reading below reads; a posting keeps what it read while they stay unwritten.
const QStringList Reading::tables = {QStringLiteral("league_teams"), QStringLiteral("teams"),
                                     QStringLiteral("team_car"), QStringLiteral("cars")};

void Engine::readMembersAndHoldings(const QList<int>& leagueNmbrs) {
    m_read = Reading{};
    m_read.leagues = leagueNmbrs;
    readMembers(inList(leagueNmbrs));
    readHoldings();
    readHeldCars();
}

void Engine::readMembers(const QString& leagueList) {
    forEach(QStringLiteral("SELECT league_nmbr, team_nmbr FROM league_teams WHERE league_nmbr IN ") + leagueList +
                QStringLiteral(" ORDER BY league_nmbr, team_nmbr"),
            {}, [&](const SqlRowView& r) {
                m_read.membersByNumber[whole(r, 0)] << whole(r, 1);
                m_read.teams.insert(whole(r, 1));
            });
    forEach(QStringLiteral("SELECT league_teams.league_nmbr, league_teams.team_nmbr"
                           " FROM league_teams, teams WHERE league_teams.team_nmbr = teams.team_nmbr"
                           " AND league_teams.league_nmbr IN ") +
                leagueList +
                QStringLiteral(" ORDER BY league_teams.league_nmbr, teams.team_name, league_teams.team_nmbr"),
            {}, [&](const SqlRowView& r) { m_read.membersByName[whole(r, 0)] << whole(r, 1); });
}

namespace {

Day dayValue(const SqlValue& value) {
    if (value.kind != SqlValue::Text)
        throw StandBack{};
    return day(value.bytes);
}

} // namespace

// The whole table in its stored order, which is quicker than looking each team up; the holdings are
// then put in the order of the key: by car, then date. The values of a row are read in one visit, and
// a team's list is looked up only where the team changes: the table runs to the size of the season.
void Engine::readHoldings() {
    int team = 0;
    QList<Holding>* held = nullptr;
    forEach(QStringLiteral("SELECT team_nmbr, car_nmbr, efctv_dt, term_dt, active FROM team_car"), {},
            [&](const SqlRowView& r) {
                SqlValue v[5];
                r.values(v);
                if (v[0].kind != SqlValue::Integer || v[0].integer != int(v[0].integer))
                    return; // a team of no league of the race
                if (!held || v[0].integer != team) {
                    team = int(v[0].integer);
                    held = m_read.teams.contains(team) ? &m_read.holdings[team] : nullptr;
                }
                if (!held)
                    return;
                Holding h;
                h.car = whole(v[1]);
                h.efctv = dayValue(v[2]);
                if (v[3].kind != SqlValue::Null)
                    h.term = dayValue(v[3]);
                h.active = whole(v[4]);
                *held << h;
            });
    for (QList<Holding>& held : m_read.holdings)
        std::sort(held.begin(), held.end(), [](const Holding& a, const Holding& b) {
            return a.car != b.car ? a.car < b.car : a.efctv < b.efctv;
        });
}

void Engine::readHeldCars() {
    QSet<int> heldCars;
    for (const QList<Holding>& held : std::as_const(m_read.holdings))
        for (const Holding& h : held)
            heldCars.insert(h.car);
    if (heldCars.isEmpty())
        return;
    for (const auto& r : query(QStringLiteral("SELECT car_nmbr, race_type_nmbr, car_type_nmbr FROM cars WHERE"
                                              " car_nmbr IN ") +
                               inList(heldCars.values()))
                             .rows)
        m_read.cars.insert(whole(r[0]), Car{whole(r[1]), whole(r[2])});
}

void Engine::readEarlierRacesWithWinner() {
    for (const auto& r : query(QStringLiteral("SELECT r.race_nmbr FROM races r WHERE ") +
                               raceBeforeCondition(QStringLiteral("r"), m_race.raceNmbr()) +
                               QStringLiteral(" AND EXISTS (SELECT 1 FROM results x"
                                              " WHERE x.race_nmbr = r.race_nmbr AND x.place = 1)"
                                              " ORDER BY r.race_dt, r.race_nmbr"))
                             .rows)
        m_earlierRacesWithWinner << whole(r[0]);
}

// The summary rows, and the members (by name, of the teams that exist) they are looked for among.
const QStringList CompleteSummaries::tables = {QStringLiteral("team_results_summary"), QStringLiteral("league_teams"),
                                               QStringLiteral("teams")};

bool Engine::completeSummaryKnown(int league, int race) const {
    const CompleteSummaries* complete = m_memory ? m_memory->known<CompleteSummaries>() : nullptr;
    return complete && complete->pairs.contains({league, race});
}

// Where an earlier posting left every member with a row, nothing is read: the summaries of a season
// run to tens of thousands of rows, and reading them took the most of what posting a race costs more
// the later it is (bench/posting). Elsewhere the rows those races have are read from the key alone,
// in its order, and the members are looked for among them.
void Engine::findMissingSummaries() {
    QList<int> leaguesToRead;
    QSet<int> racesToRead;
    for (auto it = m_read.membersByName.cbegin(); it != m_read.membersByName.cend(); ++it) {
        bool unknown = false;
        for (int earlier : m_earlierRacesWithWinner)
            if (!completeSummaryKnown(it.key(), earlier)) {
                unknown = true;
                racesToRead.insert(earlier);
            }
        if (unknown)
            leaguesToRead << it.key();
    }
    if (leaguesToRead.isEmpty())
        return;
    const std::vector<std::tuple<int, int, int>> present = readSummaryKeys(leaguesToRead, racesToRead.values());
    for (auto it = m_read.membersByName.cbegin(); it != m_read.membersByName.cend(); ++it) {
        std::vector<int> members(it.value().begin(), it.value().end());
        std::sort(members.begin(), members.end());
        for (int earlier : m_earlierRacesWithWinner) {
            if (completeSummaryKnown(it.key(), earlier))
                continue;
            auto at = std::lower_bound(present.begin(), present.end(),
                                       std::make_tuple(it.key(), earlier, std::numeric_limits<int>::min()));
            for (int team : members) {
                const auto wanted = std::make_tuple(it.key(), earlier, team);
                while (at != present.end() && *at < wanted)
                    ++at;
                if (at == present.end() || *at != wanted)
                    m_missingSummaries.insert(wanted);
            }
        }
    }
}

// The league, race and team of each summary row of the leagues in the races, in that order.
std::vector<std::tuple<int, int, int>> Engine::readSummaryKeys(const QList<int>& leagues, const QList<int>& races) {
    std::vector<std::tuple<int, int, int>> present;
    present.reserve(size_t(m_read.teams.size()) * size_t(races.size()));
    forEach(QStringLiteral("SELECT league_nmbr, race_nmbr, team_nmbr FROM team_results_summary"
                           " WHERE league_nmbr IN ") +
                inList(leagues) + QStringLiteral(" AND race_nmbr IN ") + inList(races),
            {}, [&](const SqlRowView& r) {
                const std::array<int, 3> v = wholes<3>(r);
                present.emplace_back(v[0], v[1], v[2]);
            });
    // The engine hands them over in the order of its key, which the search needs; were that ever to
    // change, they are put in that order here.
    if (!std::is_sorted(present.begin(), present.end()))
        std::sort(present.begin(), present.end());
    return present;
}

// The league's previous race: its totals carry on from there and its dropped cars are counted
// against it. One per race type and car type.
int Engine::previousRace(const cLeague& league) {
    const std::pair<int, int> kind{league.raceTypeNmbr(), league.carTypeNmbr()};
    auto it = m_previousRace.find(kind);
    if (it != m_previousRace.end())
        return *it;
    const SqlRows r = query(previousRaceSql(), {m_race.raceNmbr(), kind.first, kind.second});
    return *m_previousRace.insert(kind, r.rows.isEmpty() ? 0 : whole(r.rows[0][0]));
}

// Every table the reading below reads.
const QStringList RaceRows::tables = {QStringLiteral("team_results")};

// Every league's rows in a race, in the order they were written, read in one pass over the race
// rather than league by league. A race's rows are written together, so they are read from the
// table in order between the race's first and last row.
const QHash<int, QList<PreviousRow>>& Engine::rowsOf(int raceNmbr) {
    auto it = m_rowsOfRace.byRace.find(raceNmbr);
    if (it != m_rowsOfRace.byRace.end())
        return it->second;
    QHash<int, QList<PreviousRow>>& byLeague = m_rowsOfRace.byRace[raceNmbr];
    if (raceNmbr == 0 || takeKeptRows(raceNmbr, byLeague))
        return byLeague;
    const SqlRows range = query(QStringLiteral("SELECT (SELECT min(rowid) FROM team_results WHERE race_nmbr = ?),"
                                               " (SELECT max(rowid) FROM team_results WHERE race_nmbr = ?)"),
                                {raceNmbr, raceNmbr});
    if (range.rows.isEmpty() || range.rows[0][0].isNull())
        return byLeague;
    // A league's rows follow each other: the list is looked up only where the league changes.
    int league = 0;
    QList<PreviousRow>* rows = nullptr;
    forEach(QStringLiteral("SELECT car_nmbr, team_nmbr, points, total_points, league_nmbr FROM team_results"
                           " WHERE rowid BETWEEN ? AND ? AND +race_nmbr = ? ORDER BY rowid"),
            {range.rows[0][0], range.rows[0][1], raceNmbr}, [&](const SqlRowView& r) {
                const std::array<int, 5> v = wholes<5>(r);
                if (!rows || v[4] != league) {
                    league = v[4];
                    rows = &byLeague[league];
                }
                *rows << previousRaceRow({v[0], v[1], v[2], v[3]});
            });
    return byLeague;
}

// As the last posting wrote or read them, when nothing has written the table since: posting the races
// of a season one after the other, each posting reads the rows the one before it wrote, which took a
// twentieth of posting a race (bench/posting).
bool Engine::takeKeptRows(int raceNmbr, QHash<int, QList<PreviousRow>>& byLeague) {
    RaceRows* kept = m_memory ? m_memory->known<RaceRows>() : nullptr;
    if (!kept)
        return false;
    const auto at = kept->byRace.find(raceNmbr);
    if (at == kept->byRace.end())
        return false;
    byLeague = std::move(at->second);
    kept->byRace.erase(at);
    return true;
}

QList<PreviousRow> Engine::previousRows(const cLeague& league) {
    const int previous = previousRace(league);
    if (!m_scriptChangesResults)
        return rowsOf(previous).value(league.leagueNmbr());
    // A script may have changed them since any earlier read.
    QList<PreviousRow> rows;
    if (previous == 0)
        return rows;
    forEach(
        QStringLiteral("SELECT car_nmbr, team_nmbr, points, total_points FROM team_results"
                       " INDEXED BY team_results_league_race WHERE league_nmbr = ? AND race_nmbr = ? ORDER BY rowid"),
        {league.leagueNmbr(), previous}, [&](const SqlRowView& r) { rows << previousRaceRow(wholes<4>(r)); });
    return rows;
}

// Each car's total for its team after the previous race: the smallest starting total of its rows
// there (total less points) plus the points of each of them. A car without rows there carries 0.
// The one table serves steps 9, 12 and 13: a second table of the totals and a set of the cars in the
// race, built for every league, took a fifth of working a race out (bench/posting).
QHash<Key, Carry> Engine::carriedTotals(const QList<PreviousRow>& previous) {
    QHash<Key, Carry> carries;
    carries.reserve(previous.size());
    for (const PreviousRow& row : previous) {
        auto it = carries.find(row.key());
        if (it == carries.end())
            it = carries.insert(row.key(), Carry{0, row.total - row.points});
        it->sum += row.points;
        it->start = std::min(it->start, row.total - row.points);
    }
    return carries;
}

} // namespace allleagues
