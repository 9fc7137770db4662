#include "posting/RacePostingEngine.h"

#include "data/Feedback.h"
#include "data/cTeamCar.h"
#include "posting/AllLeagues.h"

#include <algorithm>
#include <numeric>

namespace allleagues {

// Looked up, not copied, for every league: copies of the points tables and holding lists took a
// share of working a race out (bench/posting).
const ScoringType& Engine::scoringOf(const cLeague& league) const {
    static const ScoringType none;
    const auto it = m_scoring.constFind(league.scoringTypeNmbr());
    return it == m_scoring.cend() ? none : *it;
}

const QList<Holding>& Engine::holdingsOf(int team) const {
    static const QList<Holding> none;
    const auto it = m_read.holdings.constFind(team);
    return it == m_read.holdings.cend() ? none : *it;
}

LeagueRace Engine::startLeague(const cLeague& league, QList<Row> rows) const {
    LeagueRace lr(league, scoringOf(league));
    lr.highScore = lr.scoring.highScore();
    lr.byNumber = m_read.membersByNumber.value(league.leagueNmbr());
    lr.byName = m_read.membersByName.value(league.leagueNmbr());
    lr.posting.league = league.leagueNmbr();
    lr.posting.rows = std::move(rows);
    return lr;
}

QList<Row> Engine::firstRows(const cLeague& league) {
    LeagueRace lr = startLeague(league, {});
    postForLeague(lr);       // 1
    setFastQualBonus(lr);    // 2
    setMostLapsLedBonus(lr); // 3
    setLapsLedBonus(lr);     // 4
    return std::move(lr.rows());
}

LeaguePosting Engine::finish(const cLeague& league, QList<Row> rows) {
    LeagueRace lr = startLeague(league, std::move(rows));
    // Only rows written before a site script ran are compared with what they were.
    if (m_script.hasStatements())
        lr.posting.stored = lr.rows();
    setQualPointsBonus(lr); // 6
    setPoints(lr);          // 7
    setTopBonus(lr);        // 8
    lr.previous = previousRows(league);
    lr.carries = carriedTotals(lr.previous);
    insertDNQDrivers(lr);     // 9
    dropLowestFinishers(lr);  // 10
    dropInactiveDrivers(lr);  // 11
    setTotalPoints(lr);       // 12
    insertDroppedDrivers(lr); // 13
    postSummaryForLeague(lr); // 14
    setPlace(lr);             // 15
    return std::move(lr.posting);
}

// One row per result car held by a member team on race day.
void Engine::postForLeague(LeagueRace& lr) {
    lr.rows().reserve(lr.byNumber.size() * 8);
    for (int team : lr.byNumber)
        for (const Holding& h : holdingsOf(team)) {
            if (!h.inForceOn(m_day))
                continue;
            const auto result = m_results.constFind(h.car);
            if (result == m_results.cend())
                continue;
            Row row;
            row.place = result->place;
            row.qualified = result->qualified;
            row.car = h.car;
            row.team = team;
            row.adjustment = result->adjustment;
            lr.rows() << row;
        }
}

// The bonuses of steps 2 to 4 are each set, not added, on the rows of the cars that earn them.
void Engine::setFastQualBonus(LeagueRace& lr) {
    if (!lr.scoring.exists || *lr.scoring.fastQual == 0)
        return;
    for (Row& row : lr.rows())
        if (m_results.value(row.car).fastQual == 1)
            row.fast = *lr.scoring.fastQual;
}

void Engine::setMostLapsLedBonus(LeagueRace& lr) {
    if (!lr.scoring.exists || *lr.scoring.mostLapsLed == 0)
        return;
    for (Row& row : lr.rows()) {
        const int lapsLed = m_results.value(row.car).lapsLed;
        if (lapsLed > 0 && lapsLed == m_maxLapsLed && row.place > 0)
            row.most = *lr.scoring.mostLapsLed;
    }
}

void Engine::setLapsLedBonus(LeagueRace& lr) {
    if (!lr.scoring.exists || *lr.scoring.lapsLed == 0)
        return;
    for (Row& row : lr.rows())
        if (m_results.value(row.car).lapsLed > 0)
            row.laps = *lr.scoring.lapsLed;
}

// Qualifying points of the paying positions.
void Engine::setQualPointsBonus(LeagueRace& lr) {
    for (const auto& [position, points] : lr.scoring.qual)
        for (Row& row : lr.rows())
            if (row.qualified == position)
                row.qual = points;
    ++lr.posting.steps;
}

void Engine::setPoints(LeagueRace& lr) {
    const std::map<int, qint64>& table = lr.scoring.points;
    for (Row& row : lr.rows()) {
        const auto it = table.find(row.place);
        row.points =
            in32((it == table.end() ? 0 : it->second) + row.laps + row.most + row.fast + row.qual + row.adjustment);
    }
    lr.posting.steps += 1 + int(lr.rows().size());
}

// Top-finish bonus rows, rule by rule, teams by name; each such team holds the bonus entry.
void Engine::setTopBonus(LeagueRace& lr) {
    for (const ScoringType::Rule& rule : lr.scoring.rules) {
        if (rule.points == 0)
            continue;
        QHash<int, int> counts;
        for (const Row& row : lr.rows())
            if (row.place <= rule.top && row.place > 0)
                ++counts[row.team];
        for (int member : lr.byName) {
            if (counts.value(member, 0) != rule.cars)
                continue;
            holdBonusCar(member);
            Row row;
            row.car = m_bonusCar;
            row.team = member;
            row.points = rule.points;
            lr.rows() << row;
        }
    }
    ++lr.posting.steps;
}

void Engine::holdBonusCar(int member) {
    QList<Holding>& held = m_read.holdings[member];
    if (std::any_of(held.begin(), held.end(), [&](const Holding& h) { return h.car == m_bonusCar; }))
        return;
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
    m_read.cars.insert(m_bonusCar, Car{m_raceType, 3});
}

namespace {

// The car's total for its team after the previous race; 0 for a car that had no row there.
qint64 carriedTotal(const LeagueRace& lr, const Key& key) {
    const auto it = lr.carries.constFind(key);
    return it == lr.carries.cend() ? 0 : it->total();
}

} // namespace

// Rows of the cars of the race type held on race day that have no result.
void Engine::insertDNQDrivers(LeagueRace& lr) {
    for (int team : lr.byNumber)
        for (const Holding& h : holdingsOf(team)) {
            if (!h.inForceOn(m_day) || m_results.contains(h.car))
                continue;
            const auto car = m_read.cars.constFind(h.car);
            if (car == m_read.cars.cend() || car->raceType != m_raceType)
                continue;
            Row row;
            row.place = lr.highScore ? 999 : 0;
            row.car = h.car;
            row.team = team;
            row.status = 2;
            row.total = in32(carriedTotal(lr, row.key()));
            lr.rows() << row;
            ++lr.posting.steps;
        }
    ++lr.posting.steps;
}

// Each team's lowest finishers, under scoring option 2 only.
void Engine::dropLowestFinishers(LeagueRace& lr) {
    if (lr.league.scoringOptionNmbr() != 2)
        return;
    if (lr.league.dropLowest() >= 1)
        for (int member : lr.byName) {
            dropTeamsLowest(lr, member);
            ++lr.posting.steps;
        }
    ++lr.posting.steps;
}

// The team's car and driver rows with the fewest points (the most, where fewer is better), the first
// of equals first, and every other row of their cars with them.
void Engine::dropTeamsLowest(LeagueRace& lr, int member) {
    QList<Row>& rows = lr.rows();
    std::vector<int> order;
    for (int i = 0; i < rows.size(); ++i) {
        if (rows[i].team != member)
            continue;
        const auto car = m_read.cars.constFind(rows[i].car);
        if (car != m_read.cars.cend() && car->carType < 3)
            order.push_back(i);
    }
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return lr.highScore ? rows[a].points < rows[b].points : rows[a].points > rows[b].points;
    });
    QSet<Key> dropped;
    for (size_t k = 0; k < order.size() && int(k) < lr.league.dropLowest(); ++k)
        dropped.insert(rows[order[k]].key());
    for (Row& row : rows)
        if (row.team == member && dropped.contains(row.key()))
            row.zeroPoints();
}

// Cars the team holds inactive, whatever the holding's dates.
void Engine::dropInactiveDrivers(LeagueRace& lr) {
    for (Row& row : lr.rows()) {
        const QList<Holding>& held = holdingsOf(row.team);
        if (std::any_of(held.begin(), held.end(), [&](const Holding& h) { return h.car == row.car && h.active == 0; }))
            row.zeroPoints();
    }
    ++lr.posting.steps;
}

// Season totals. Each car of the previous race met here is marked for step 13.
void Engine::setTotalPoints(LeagueRace& lr) {
    for (Row& row : lr.rows()) {
        const auto carry = lr.carries.find(row.key());
        qint64 total = row.points;
        if (carry != lr.carries.end()) {
            total += carry->total();
            carry->inRace = true;
        }
        row.total = in32(total);
    }
    lr.posting.steps += 1 + int(lr.rows().size());
}

// Cars that left their team since the previous race, one row each with the total they had there.
void Engine::insertDroppedDrivers(LeagueRace& lr) {
    for (const PreviousRow& old : std::as_const(lr.previous)) {
        Carry& carry = lr.carries[old.key()];
        if (carry.inRace)
            continue;
        carry.inRace = true;
        const auto result = m_results.constFind(old.car);
        Row row;
        row.place = result == m_results.cend() ? 0 : result->place;
        row.car = old.car;
        row.team = old.team;
        row.status = 2;
        row.total = in32(carry.total());
        lr.rows() << row;
        ++lr.posting.steps;
    }
    ++lr.posting.steps;
}

// A summary row per team with rows, by team number, then the filler's.
void Engine::postSummaryForLeague(LeagueRace& lr) {
    std::map<int, qint64> sums;
    for (const Row& row : lr.rows())
        sums[row.team] += row.points;
    for (const auto& [team, points] : sums)
        lr.posting.summaries.push_back({m_race.raceNmbr(), team, in32(points), 0});
    lr.raceSummaries = lr.posting.summaries.size();
    lr.posting.everyMemberInRace =
        std::all_of(lr.byName.begin(), lr.byName.end(), [&](int member) { return sums.count(member) > 0; });
    fillEarlierRaces(lr);
    ++lr.posting.steps;
}

// 0-point rows for the member teams missing from the earlier races of the type that have a winner.
void Engine::fillEarlierRaces(LeagueRace& lr) {
    const int leagueNmbr = lr.league.leagueNmbr();
    for (int earlier : m_earlierRacesWithWinner)
        for (int member : lr.byName)
            if (m_missingSummaries.count({leagueNmbr, earlier, member}))
                lr.posting.summaries.push_back({earlier, member, 0, 0});
    lr.posting.steps += int(m_earlierRacesWithWinner.size()) * (int(lr.byName.size()) + 1);
}

// Places in the race: equal points share one, the first team opens place 1, and a league whose
// teams all have 0 points has nobody placed.
void Engine::setPlace(LeagueRace& lr) {
    std::vector<Summary>& summaries = lr.posting.summaries;
    const bool anyPoints = std::any_of(summaries.begin(), summaries.begin() + long(lr.raceSummaries),
                                       [](const Summary& s) { return s.points != 0; });
    std::vector<size_t> order(lr.raceSummaries);
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return lr.highScore ? summaries[a].points > summaries[b].points : summaries[a].points < summaries[b].points;
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
        ++lr.posting.steps;
    }
    ++lr.posting.steps;
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

// One prepared statement each, values bound as they are: a list of values built for every row cost
// about as much again as the engine's own insert (bench/posting).
void Engine::write(const LeaguePosting& posting) {
    SqlStatement insert(db(), kInsertRow);
    std::optional<SqlStatement> update;
    for (qsizetype i = 0; i < posting.rows.size(); ++i) {
        const Row& row = posting.rows[i];
        if (row.rowid != 0)
            updateRow(update, row, posting.stored[i]);
        else if (!insertRow(insert, row, posting.league))
            throw StandBack{};
    }
    writeSummaries(posting);
}

// Only what changed since is written again. No index holds these columns, so only the row itself is
// touched.
void Engine::updateRow(std::optional<SqlStatement>& update, const Row& row, const Row& stored) {
    if (row.sameValues(stored))
        return;
    if (!update)
        update.emplace(db(), kUpdateRow);
    const qint64 values[] = {row.place, row.qualified,  row.status, row.fast, row.laps,
                             row.most,  row.adjustment, row.points, row.qual, row.total};
    for (int v = 0; v < 10; ++v)
        update->bind(v + 1, values[v]);
    update->bind(11, row.rowid);
    if (!update->exec())
        throw StandBack{};
}

void Engine::writeSummaries(const LeaguePosting& posting) {
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

void Engine::learn(const std::vector<LeaguePosting>& postings, PostingMemory& memory) const {
    // The filler has left every member a row in each earlier race with a winner.
    QSet<std::pair<int, int>>& complete = memory.keep<CompleteSummaries>().pairs;
    for (const cLeague& league : m_leagues)
        for (int earlier : m_earlierRacesWithWinner)
            complete.insert({league.leagueNmbr(), earlier});
    for (const LeaguePosting& posting : postings)
        if (posting.everyMemberInRace)
            complete.insert({posting.league, m_race.raceNmbr()});
    // The bonus entries' holdings it wrote are among them.
    memory.keep<Reading>() = m_read;
    // The rows of the races it read and of the race as it wrote them, in the order it wrote them.
    RaceRows& rows = memory.keep<RaceRows>();
    rows = m_rowsOfRace;
    QHash<int, QList<PreviousRow>>& written = rows.byRace[m_race.raceNmbr()];
    for (const LeaguePosting& posting : postings) {
        QList<PreviousRow>& league = written[posting.league];
        league.reserve(posting.rows.size());
        for (const Row& row : posting.rows)
            league << PreviousRow{row.car, row.team, row.points, row.total};
    }
}

// Every league is worked out before anything is written or the bar moves, so that whatever the chain
// would do differently (an overflow, a value it reads its own way) is known first. The bar moves as
// each league's rows are written. Only a failing statement can still send the race to the chain, which
// then counts its own steps again.
void Engine::postAllLeagues(PostingMemory* memory) {
    std::vector<LeaguePosting> postings;
    for (const cLeague& league : m_leagues)
        postings.push_back(work(league));
    for (const LeaguePosting& posting : postings) {
        write(posting);
        for (int i = 0; i < kStepsToBonuses + 1 + posting.steps; ++i)
            stepProgress();
    }
    if (memory)
        learn(postings, *memory);
}

} // namespace allleagues

using namespace allleagues;

bool postRaceAllLeagues(const cRaces& race, const cLeagueCollection& leagues, const SqlScript& script, bool* stopped,
                        PostingMemory* memory) {
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
        Engine engine(race, leagues, script, memory);
        engine.load();
        if (script.hasStatements()) {
            // What a script changes is not followed so far.
            if (memory)
                *memory = PostingMemory();
            return engine.postWithScript(stopped) && tx.commit();
        }
        engine.postAllLeagues(memory);
    } catch (const StandBack&) {
        return false;
    }
    return tx.commit();
}
