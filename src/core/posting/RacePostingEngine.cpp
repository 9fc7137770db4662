#include "posting/RacePostingEngine.h"

#include "data/Feedback.h"
#include "data/cTeamCar.h"
#include "posting/AllLeagues.h"
#include "posting/RaceOrder.h"

#include <algorithm>

namespace allleagues {

void Engine::load() {
    const int raceNmbr = m_race.raceNmbr();
    if (m_script.hasStatements() && !m_leagues.isEmpty()) {
        // A script that would be refused is the chain's to show; one that changes what the posting
        // reads (other than the league's rows) is followed by the chain, which reads everything anew.
        QSet<QString> changed;
        if (!m_script.inspect(m_leagues.begin()->leagueNmbr(), raceNmbr, &changed) || !engineCanFollow(changed))
            throw StandBack{};
    }
    const SqlRows race =
        query(QStringLiteral("SELECT race_dt, race_type_nmbr FROM races WHERE race_nmbr = ?"), {raceNmbr});
    if (race.rows.isEmpty())
        throw StandBack{};
    const QString storedDay = text(race.rows[0][0]);
    m_day = day(storedDay.toUtf8());
    m_raceType = whole(race.rows[0][1]);
    // The chain compares the stored date as text and also writes the date it read into the race.
    if (!m_race.raceDate().isValid() || m_race.raceDate().toString(Qt::ISODate) != storedDay ||
        m_race.raceTypeNmbr() != m_raceType)
        throw StandBack{};

    QList<int> leagueNmbrs, scoringTypes;
    for (const cLeague& league : m_leagues) {
        if (league.scoringOptionNmbr() != 1 && league.scoringOptionNmbr() != 2)
            throw StandBack{};
        if (league.raceTypeNmbr() != m_raceType)
            throw StandBack{};
        leagueNmbrs << league.leagueNmbr();
        if (!scoringTypes.contains(league.scoringTypeNmbr()))
            scoringTypes << league.scoringTypeNmbr();
    }
    for (const auto& row :
         query(QStringLiteral("SELECT scoring_type_nmbr FROM leagues WHERE league_nmbr IN ") + inList(leagueNmbrs))
             .rows)
        whole(row[0]);

    for (const auto& r : query(QStringLiteral("SELECT car_nmbr, place, qualified, fast_qual, laps_led, adjustment"
                                              " FROM results WHERE race_nmbr = ?"),
                               {raceNmbr})
                             .rows) {
        const Result result{whole(r[1]), whole(r[2]), whole(r[3]), whole(r[4]), whole(r[5])};
        m_results.insert(whole(r[0]), result);
        m_maxLapsLed = std::max(m_maxLapsLed, result.lapsLed);
    }

    const QString types = inList(scoringTypes);
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
    for (const auto& r : query(QStringLiteral("SELECT scoring_type_nmbr, place, points, qual_points FROM scoring_points"
                                              " WHERE scoring_type_nmbr IN ") +
                               types + QStringLiteral(" ORDER BY scoring_type_nmbr, place"))
                             .rows) {
        ScoringType& st = m_scoring[whole(r[0])];
        st.points[whole(r[1])] = whole(r[2]);
        if (whole(r[3]) != 0)
            st.qual.emplace_back(whole(r[1]), whole(r[3]));
    }
    bool anyRules = false;
    for (const auto& r : query(QStringLiteral("SELECT scoring_type_nmbr, nmbr_cars, points, top_nmbr FROM"
                                              " scoring_top_points WHERE scoring_type_nmbr IN ") +
                               types + QStringLiteral(" ORDER BY rowid"))
                             .rows) {
        m_scoring[whole(r[0])].rules.push_back({whole(r[1]), whole(r[3]), whole(r[2])});
        anyRules = true;
    }
    if (anyRules) {
        // Without a bonus entry the chain would make one.
        const SqlRows bonus = query(QStringLiteral("SELECT car_nmbr FROM cars WHERE car_type_nmbr = 3"
                                                   " AND race_type_nmbr = ? ORDER BY car_nmbr LIMIT 1"),
                                    {m_raceType});
        if (bonus.rows.isEmpty())
            throw StandBack{};
        m_bonusCar = whole(bonus.rows[0][0]);
    }

    const QString leagueList = inList(leagueNmbrs);
    QSet<int> teams;
    forEach(QStringLiteral("SELECT league_nmbr, team_nmbr FROM league_teams WHERE league_nmbr IN ") + leagueList +
                QStringLiteral(" ORDER BY league_nmbr, team_nmbr"),
            {}, [&](const SqlRowView& r) {
                m_membersByNumber[whole(r, 0)] << whole(r, 1);
                teams.insert(whole(r, 1));
            });
    forEach(QStringLiteral("SELECT league_teams.league_nmbr, league_teams.team_nmbr"
                           " FROM league_teams, teams WHERE league_teams.team_nmbr = teams.team_nmbr"
                           " AND league_teams.league_nmbr IN ") +
                leagueList +
                QStringLiteral(" ORDER BY league_teams.league_nmbr, teams.team_name, league_teams.team_nmbr"),
            {}, [&](const SqlRowView& r) { m_membersByName[whole(r, 0)] << whole(r, 1); });

    // The whole table in its stored order, which is quicker than looking each team up; the
    // holdings are then put in the order of the key: by car, then date.
    // The values of a row are read in one visit, and a team's list is looked up only where the team
    // changes: the table runs to the size of the season.
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
                    held = teams.contains(team) ? &m_holdings[team] : nullptr;
                }
                if (!held)
                    return;
                const auto wholeValue = [](const SqlValue& value) {
                    if (value.kind != SqlValue::Integer)
                        throw StandBack{};
                    return int(in32(value.integer));
                };
                const auto dayValue = [](const SqlValue& value) {
                    if (value.kind != SqlValue::Text)
                        throw StandBack{};
                    return day(value.bytes);
                };
                Holding h;
                h.car = wholeValue(v[1]);
                h.efctv = dayValue(v[2]);
                if (v[3].kind != SqlValue::Null)
                    h.term = dayValue(v[3]);
                h.active = wholeValue(v[4]);
                *held << h;
                m_heldCars.insert(h.car);
            });
    for (QList<Holding>& held : m_holdings)
        std::sort(held.begin(), held.end(), [](const Holding& a, const Holding& b) {
            return a.car != b.car ? a.car < b.car : a.efctv < b.efctv;
        });
    if (!m_heldCars.isEmpty()) {
        for (const auto& r : query(QStringLiteral("SELECT car_nmbr, race_type_nmbr, car_type_nmbr FROM cars WHERE"
                                                  " car_nmbr IN ") +
                                   inList(m_heldCars.values()))
                                 .rows)
            m_cars.insert(whole(r[0]), Car{whole(r[1]), whole(r[2])});
    }
    // A result of a car the holdings could not tell apart from an entry of another kind.
    for (auto it = m_results.cbegin(); it != m_results.cend(); ++it)
        if (m_bonusCar != 0 && it.key() == m_bonusCar)
            throw StandBack{};

    for (const auto& r : query(QStringLiteral("SELECT r.race_nmbr FROM races r WHERE ") +
                               raceBeforeCondition(QStringLiteral("r"), raceNmbr) +
                               QStringLiteral(" AND EXISTS (SELECT 1 FROM results x"
                                              " WHERE x.race_nmbr = r.race_nmbr AND x.place = 1)"
                                              " ORDER BY r.race_dt, r.race_nmbr"))
                             .rows)
        m_earlierRacesWithWinner << whole(r[0]);
    // The filler writes a row for each member team that has none in an earlier race with a winner:
    // the rows those races have are read from the key alone, in its order, and the members are
    // looked for among them.
    if (!m_earlierRacesWithWinner.isEmpty()) {
        std::vector<std::tuple<int, int, int>> present; // league, race, team
        present.reserve(size_t(teams.size()) * size_t(m_earlierRacesWithWinner.size()));
        // The engine hands them over in the order of its key, which the search below needs; were that
        // ever to change, they are put in that order here.
        forEach(QStringLiteral("SELECT league_nmbr, race_nmbr, team_nmbr FROM team_results_summary"
                               " WHERE league_nmbr IN ") +
                    leagueList + QStringLiteral(" AND race_nmbr IN ") + inList(m_earlierRacesWithWinner),
                {}, [&](const SqlRowView& r) {
                    const std::array<int, 3> v = wholes<3>(r);
                    present.emplace_back(v[0], v[1], v[2]);
                });
        if (!std::is_sorted(present.begin(), present.end()))
            std::sort(present.begin(), present.end());
        for (auto it = m_membersByName.cbegin(); it != m_membersByName.cend(); ++it) {
            std::vector<int> members(it.value().begin(), it.value().end());
            std::sort(members.begin(), members.end());
            for (int earlier : m_earlierRacesWithWinner) {
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
}

// Every league's rows in a race, in the order they were written, read in one pass over the race
// rather than league by league. A race's rows are written together, so they are read from the
// table in order between the race's first and last row.
const QHash<int, QList<Row>>& Engine::rowsOf(int raceNmbr) {
    auto it = m_rowsOfRace.find(raceNmbr);
    if (it != m_rowsOfRace.end())
        return it->second;
    QHash<int, QList<Row>>& byLeague = m_rowsOfRace[raceNmbr];
    if (raceNmbr == 0)
        return byLeague;
    const SqlRows range = query(QStringLiteral("SELECT (SELECT min(rowid) FROM team_results WHERE race_nmbr = ?),"
                                               " (SELECT max(rowid) FROM team_results WHERE race_nmbr = ?)"),
                                {raceNmbr, raceNmbr});
    if (range.rows.isEmpty() || range.rows[0][0].isNull())
        return byLeague;
    // A league's rows follow each other: the list is looked up only where the league changes.
    int league = 0;
    QList<Row>* rows = nullptr;
    forEach(QStringLiteral("SELECT place, car_nmbr, team_nmbr, points, total_points, league_nmbr FROM team_results"
                           " WHERE rowid BETWEEN ? AND ? AND +race_nmbr = ? ORDER BY rowid"),
            {range.rows[0][0], range.rows[0][1], raceNmbr}, [&](const SqlRowView& r) {
                const std::array<int, 6> v = wholes<6>(r);
                if (!rows || v[5] != league) {
                    league = v[5];
                    rows = &byLeague[league];
                }
                *rows << previousRaceRow({v[0], v[1], v[2], v[3], v[4]});
            });
    return byLeague;
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

// Each car's total for its team after the previous race: the smallest starting total of its rows
// there (total less points) plus the points of each of them. A car without rows there carries 0.
QHash<Key, qint64> Engine::carriedTotals(const QList<Row>& previous) {
    struct Carry {
        qint64 sum = 0, start = 0;
    };
    QHash<Key, Carry> carries;
    for (const Row& row : previous) {
        auto it = carries.find(row.key());
        if (it == carries.end())
            it = carries.insert(row.key(), Carry{0, row.total - row.points});
        it->sum += row.points;
        it->start = std::min(it->start, row.total - row.points);
    }
    QHash<Key, qint64> totals;
    for (auto it = carries.cbegin(); it != carries.cend(); ++it)
        totals.insert(it.key(), it->sum + it->start);
    return totals;
}

QList<Row> Engine::firstRows(const cLeague& league) {
    const ScoringType st = m_scoring.value(league.scoringTypeNmbr());
    const QList<int> byNumber = m_membersByNumber.value(league.leagueNmbr());
    QList<Row> rows;
    rows.reserve(byNumber.size() * 8);

    // 1: one row per result car held by a member team on race day.
    for (int team : byNumber)
        for (const Holding& h : m_holdings.value(team)) {
            if (!h.inForceOn(m_day))
                continue;
            const auto result = m_results.constFind(h.car);
            if (result == m_results.cend())
                continue;
            const Result& res = *result;
            Row row;
            row.place = res.place;
            row.qualified = res.qualified;
            row.car = h.car;
            row.team = team;
            row.adjustment = res.adjustment;
            rows << row;
        }

    // 2 to 4: the bonuses, each set (not added) on the rows of the cars that earn it.
    if (st.exists) {
        for (Row& row : rows) {
            const Result res = m_results.value(row.car);
            if (*st.fastQual != 0 && res.fastQual == 1)
                row.fast = *st.fastQual;
            if (*st.mostLapsLed != 0 && res.lapsLed > 0 && res.lapsLed == m_maxLapsLed && row.place > 0)
                row.most = *st.mostLapsLed;
            if (*st.lapsLed != 0 && res.lapsLed > 0)
                row.laps = *st.lapsLed;
        }
    }
    return rows;
}

LeaguePosting Engine::finish(const cLeague& league, QList<Row> rows) {
    const int leagueNmbr = league.leagueNmbr();
    const int raceNmbr = m_race.raceNmbr();
    const ScoringType st = m_scoring.value(league.scoringTypeNmbr());
    const bool highScore = st.highScore();
    const QList<int> byNumber = m_membersByNumber.value(leagueNmbr);
    const QList<int> byName = m_membersByName.value(leagueNmbr);
    // Only rows written before a site script ran are compared with what they were.
    const QList<Row> stored = m_script.hasStatements() ? rows : QList<Row>();
    int steps = 0;

    // 6: qualifying points of the paying positions.
    for (const auto& [position, points] : st.qual)
        for (Row& row : rows)
            if (row.qualified == position)
                row.qual = points;
    ++steps;

    // 7: points.
    for (Row& row : rows) {
        auto it = st.points.find(row.place);
        row.points =
            in32((it == st.points.end() ? 0 : it->second) + row.laps + row.most + row.fast + row.qual + row.adjustment);
    }
    steps += 1 + int(rows.size());

    // 8: top-finish bonus rows, rule by rule, teams by name; each such team holds the bonus entry.
    for (const ScoringType::Rule& rule : st.rules) {
        if (rule.points == 0)
            continue;
        QHash<int, int> counts;
        for (const Row& row : rows)
            if (row.place <= rule.top && row.place > 0)
                ++counts[row.team];
        for (int member : byName) {
            if (counts.value(member, 0) != rule.cars)
                continue;
            QList<Holding>& held = m_holdings[member];
            const bool holds =
                std::any_of(held.begin(), held.end(), [&](const Holding& h) { return h.car == m_bonusCar; });
            if (!holds) {
                cTeamCar holding;
                holding.setCarNmbr(m_bonusCar);
                holding.setEfctvDt(m_race.raceDate());
                holding.setTeamNmbr(member);
                if (!holding.insertRow())
                    throw StandBack{};
                Holding h;
                h.car = m_bonusCar;
                h.efctv = m_day;
                h.active = holding.active();
                // Kept in the order the key reads them: by car, then date.
                auto at = std::find_if(held.begin(), held.end(), [&](const Holding& other) {
                    return other.car > h.car || (other.car == h.car && other.efctv > h.efctv);
                });
                held.insert(at, h);
                m_cars.insert(m_bonusCar, Car{m_raceType, 3});
            }
            Row row;
            row.car = m_bonusCar;
            row.team = member;
            row.points = rule.points;
            rows << row;
        }
    }
    ++steps;

    // 9: rows of the cars held on race day that have no result.
    const QList<Row> previous = previousRows(league);
    const QHash<Key, qint64> carried = carriedTotals(previous);
    for (int team : byNumber)
        for (const Holding& h : m_holdings.value(team)) {
            if (!h.inForceOn(m_day) || m_results.contains(h.car))
                continue;
            auto car = m_cars.find(h.car);
            if (car == m_cars.end() || car->raceType != m_raceType)
                continue;
            Row row;
            row.place = highScore ? 999 : 0;
            row.car = h.car;
            row.team = team;
            row.status = 2;
            row.total = in32(carried.value(row.key()));
            rows << row;
            ++steps;
        }
    ++steps;

    // 10: each team's lowest finishers dropped.
    if (league.scoringOptionNmbr() == 2) {
        if (league.dropLowest() >= 1) {
            for (int member : byName) {
                std::vector<int> order;
                for (int i = 0; i < rows.size(); ++i) {
                    auto car = m_cars.find(rows[i].car);
                    if (rows[i].team == member && car != m_cars.end() && car->carType < 3)
                        order.push_back(i);
                }
                std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
                    return highScore ? rows[a].points < rows[b].points : rows[a].points > rows[b].points;
                });
                QSet<Key> dropped;
                for (size_t k = 0; k < order.size() && int(k) < league.dropLowest(); ++k)
                    dropped.insert(rows[order[k]].key());
                for (Row& row : rows)
                    if (dropped.contains(row.key()))
                        row.zeroPoints();
                ++steps;
            }
        }
        ++steps;
    }

    // 11: cars the team holds inactive, whatever the holding's dates.
    for (Row& row : rows) {
        const auto held = m_holdings.constFind(row.team);
        if (held != m_holdings.cend() && std::any_of(held->begin(), held->end(), [&](const Holding& h) {
                return h.car == row.car && h.active == 0;
            }))
            row.zeroPoints();
    }
    ++steps;

    // 12: season totals.
    for (Row& row : rows)
        row.total = in32(row.points + carried.value(row.key()));
    steps += 1 + int(rows.size());

    // 13: cars that left their team since the previous race, one row each with the total they had there.
    QSet<Key> present;
    for (const Row& row : rows)
        present.insert(row.key());
    QList<Row> droppedRows;
    for (const Row& old : previous) {
        if (present.contains(old.key()))
            continue;
        present.insert(old.key());
        Row row;
        row.place = m_results.contains(old.car) ? m_results[old.car].place : 0;
        row.car = old.car;
        row.team = old.team;
        row.status = 2;
        row.total = in32(carried.value(old.key()));
        droppedRows << row;
        ++steps;
    }
    rows << droppedRows;
    ++steps;

    // 14: a summary row per team with rows, by team number; 0-point rows for member teams missing
    // from the earlier races of the type that have a winner.
    std::map<int, qint64> sums;
    for (const Row& row : rows)
        sums[row.team] += row.points;
    std::vector<Summary> summaries;
    for (const auto& [team, points] : sums)
        summaries.push_back({raceNmbr, team, in32(points), 0});
    const size_t raceSummaries = summaries.size();
    if (!m_earlierRacesWithWinner.isEmpty() && !byName.isEmpty()) {
        for (int earlier : m_earlierRacesWithWinner)
            for (int member : byName)
                if (m_missingSummaries.count({leagueNmbr, earlier, member}))
                    summaries.push_back({earlier, member, 0, 0});
    }
    steps += int(m_earlierRacesWithWinner.size()) * (int(byName.size()) + 1);
    ++steps;

    // 15: places; equal points share one, the first team opens place 1, and a league whose
    // teams all have 0 points has nobody placed.
    const bool anyPoints = std::any_of(summaries.begin(), summaries.begin() + long(raceSummaries),
                                       [](const Summary& s) { return s.points != 0; });
    std::vector<size_t> order(raceSummaries);
    for (size_t i = 0; i < raceSummaries; ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return highScore ? summaries[a].points > summaries[b].points : summaries[a].points < summaries[b].points;
    });
    qint64 previousPoints = 0;
    int place = 0;
    int counter = 1;
    for (size_t i : order) {
        if (anyPoints && (counter == 1 || summaries[i].points != previousPoints))
            place = counter;
        summaries[i].place = place;
        previousPoints = summaries[i].points;
        ++counter;
        ++steps;
    }
    ++steps;

    return {leagueNmbr, rows, stored, summaries, steps};
}

bool Engine::insertRow(SqlStatement& insert, const Row& row, int leagueNmbr) {
    insert.bind(1, m_race.raceNmbr());
    insert.bind(2, row.place);
    insert.bind(3, row.qualified);
    insert.bind(4, row.car);
    insert.bind(5, row.team);
    insert.bind(6, row.status);
    insert.bind(7, row.fast);
    insert.bind(8, row.laps);
    insert.bind(9, row.most);
    insert.bind(10, row.adjustment);
    insert.bind(11, row.points);
    insert.bind(12, row.qual);
    insert.bind(13, row.total);
    insert.bind(14, leagueNmbr);
    return insert.exec();
}

void Engine::write(const LeaguePosting& posting) {
    // One prepared statement each, values bound as they are: a list of values built for every row
    // cost about as much again as the engine's own insert (bench/posting).
    SqlStatement insert(db(), kInsertRow);
    std::optional<SqlStatement> update;
    for (qsizetype i = 0; i < posting.rows.size(); ++i) {
        const Row& row = posting.rows[i];
        if (row.rowid != 0) {
            // Written before the script ran: only what changed since is written again. No index
            // holds these columns, so only the row itself is touched.
            if (row.sameValues(posting.stored[i]))
                continue;
            if (!update)
                update.emplace(db(), kUpdateRow);
            const qint64 values[] = {row.place, row.qualified,  row.status, row.fast, row.laps,
                                     row.most,  row.adjustment, row.points, row.qual, row.total};
            for (int v = 0; v < 10; ++v)
                update->bind(v + 1, values[v]);
            update->bind(11, row.rowid);
            if (!update->exec())
                throw StandBack{};
            continue;
        }
        if (!insertRow(insert, row, posting.league))
            throw StandBack{};
    }
    SqlStatement summary(db(), kInsertSummary);
    for (const Summary& s : posting.summaries) {
        summary.bind(1, s.race);
        summary.bind(2, s.team);
        summary.bind(3, posting.league);
        summary.bind(4, s.points);
        summary.bind(5, s.place);
        if (!summary.exec())
            throw StandBack{};
    }
}

} // namespace allleagues

using namespace allleagues;

bool postRaceAllLeagues(const cRaces& race, const cLeagueCollection& leagues, const SqlScript& script, bool* stopped) {
    bool stoppedHere = false;
    if (!stopped)
        stopped = &stoppedHere;
    *stopped = false;
    if (!gConnection || !gConnection->getConnection())
        return false;
    // A failure here is not the user's to see: the chain posts the race instead.
    Transaction tx(Transaction::QuietFailures);
    if (!tx.begun())
        return false;
    try {
        Engine engine(race, leagues, script);
        engine.load();
        if (script.hasStatements())
            return engine.postWithScript(stopped) && tx.commit();
        // Every league is worked out before anything is written or the bar moves, so that whatever
        // the chain would do differently (an overflow, a value it reads its own way) is known first.
        std::vector<LeaguePosting> postings;
        for (const cLeague& league : leagues)
            postings.push_back(engine.work(league));
        // The bar moves as each league's rows are written. Only a failing statement can still
        // send the race to the chain, which then counts its own steps again.
        for (const LeaguePosting& posting : postings) {
            engine.write(posting);
            for (int i = 0; i < kStepsToBonuses + 1 + posting.steps; ++i)
                stepProgress();
        }
    } catch (const StandBack&) {
        return false;
    }
    return tx.commit();
}
