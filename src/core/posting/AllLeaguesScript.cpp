#include "data/Feedback.h"
#include "posting/AllLeagues.h"
#include "posting/PostingError.h"
#include "posting/Scoring.h"

namespace allleagues {

bool Engine::insertFirstRows(QList<Row>& rows, int leagueNmbr) {
    SqlStatement insert(db(), kInsertRow);
    if (!insert.isValid())
        return false;
    for (Row& row : rows) {
        if (!insertRow(insert, row, leagueNmbr))
            return false;
        row.rowid = db().lastInsertRowId();
    }
    return true;
}

bool Engine::removeFirstRows(const QList<Row>& rows) {
    if (rows.isEmpty())
        return true;
    // Written one after the other, they hold the highest row ids: the next rows get the same ones
    // again, as after a rollback.
    return db().exec(QStringLiteral("DELETE FROM team_results WHERE rowid BETWEEN ? AND ?"),
                     {rows.first().rowid, rows.last().rowid});
}

bool Engine::holdsRowsOfRace(int leagueNmbr) {
    return !query(QStringLiteral("SELECT 1 FROM team_results INDEXED BY team_results_league_race"
                                 " WHERE league_nmbr = ? AND race_nmbr = ? LIMIT 1"),
                  {leagueNmbr, m_race.raceNmbr()})
                .rows.isEmpty();
}

namespace {

bool hasDuplicateKeys(const QList<Row>& rows) {
    QSet<Key> keys;
    for (const Row& row : rows) {
        if (keys.contains(row.key()))
            return true;
        keys.insert(row.key());
    }
    return false;
}

} // namespace

// The rows written before the script are read by their row ids, one after the other; the league's
// rows of the race are then only counted in their index, to be sure the script added none elsewhere.
QList<Row> Engine::readBack(const cLeague& league, const QList<Row>& written, int* touched) {
    const int leagueNmbr = league.leagueNmbr();
    QList<Row> rows;
    *touched = 0;
    if (written.isEmpty()) {
        if (holdsRowsOfRace(leagueNmbr))
            throw StandBack{}; // rows the script added
        return rows;
    }
    const bool duplicates = hasDuplicateKeys(written);
    QHash<Key, Row> firstOfKey;
    int seen = 0;
    forEach(QStringLiteral("SELECT rowid, place, qualified, car_nmbr, team_nmbr, current_status, fast_qual_bonus,"
                           " laps_led_bonus, most_laps_led_bonus, adjustment, points, qual_points, total_points,"
                           " league_nmbr, race_nmbr FROM team_results WHERE rowid BETWEEN ? AND ?"),
            {written.first().rowid, written.last().rowid}, [&](const SqlRowView& r) {
                ++seen;
                const std::optional<Row> row = readBackRow(r, written, leagueNmbr, touched);
                if (!row)
                    return;
                // Step 10 writes one row's values over every row of its car and team; the engine
                // only zeroes them, which is the same while they are alike.
                if (duplicates) {
                    auto alike = firstOfKey.constFind(row->key());
                    if (alike == firstOfKey.constEnd())
                        firstOfKey.insert(row->key(), *row);
                    else if (!alike->sameValues(*row))
                        throw StandBack{};
                }
                rows << *row;
            });
    const SqlRows count = query(QStringLiteral("SELECT count(*) FROM team_results INDEXED BY team_results_league_race"
                                               " WHERE league_nmbr = ? AND race_nmbr = ?"),
                                {leagueNmbr, m_race.raceNmbr()});
    if (count.rows.isEmpty() || whole(count.rows[0][0]) != rows.size())
        throw StandBack{}; // rows the script added or moved here, which the chain's steps would read as well
    *touched += int(written.size()) - seen; // removed
    return rows;
}

std::optional<Row> Engine::readBackRow(const SqlRowView& r, const QList<Row>& written, int leagueNmbr, int* touched) {
    if (!r.isInteger(13) || r.integer(13) != leagueNmbr || !r.isInteger(14) || r.integer(14) != m_race.raceNmbr()) {
        // Moved to another league or race: gone from this one, and come to the rows of a race that
        // later leagues may carry their totals from.
        ++*touched;
        m_scriptChangesResults = true;
        return std::nullopt;
    }
    const qint64 at = r.integer(0) - written.first().rowid;
    if (at < 0 || at >= written.size() || written[qsizetype(at)].rowid != r.integer(0))
        throw StandBack{}; // not one of the rows written before the script
    const Row& was = written[qsizetype(at)];
    Row row;
    row.rowid = was.rowid;
    row.place = whole(r, 1);
    row.qualified = whole(r, 2);
    row.car = whole(r, 3);
    row.team = whole(r, 4);
    row.status = whole(r, 5);
    row.fast = whole(r, 6);
    row.laps = whole(r, 7);
    row.most = whole(r, 8);
    row.adjustment = whole(r, 9);
    row.points = whole(r, 10);
    row.qual = whole(r, 11);
    row.total = whole(r, 12);
    // A row moved to another car or team the chain's steps might read in ways of their own.
    if (row.car != was.car || row.team != was.team)
        throw StandBack{};
    if (!row.sameValues(was))
        ++*touched;
    return row;
}

Engine::Posted Engine::postLeagueWithScript(const cLeague& league) {
    QList<Row> rows = firstRows(league);
    if (!insertFirstRows(rows, league.leagueNmbr())) {
        rows.removeIf([](const Row& row) { return row.rowid == 0; });
        if (postingEnded() || !removeFirstRows(rows))
            return Posted::GiveUp;
        return Posted::ToChain;
    }
    for (int i = 0; i < kStepsToBonuses; ++i)
        stepProgress();
    return runSqlScript(league, rows);
}

// The league's savepoint, as the chain's: a league its later steps give up holds no rows for the race.
// It is held over the script and the chain's later steps only, and the first rows are then removed by
// hand: a savepoint held over the engine's own writes made them cost twice as much.
// written: the rows of steps 1 to 4 as they are again after a rollback, whatever the script did.
Engine::Posted Engine::runSqlScript(const cLeague& league, const QList<Row>& written) {
    Transaction savepoint(Transaction::QuietFailures);
    if (!savepoint.begun())
        return Posted::GiveUp;
    bool stopped = false;
    QSet<QString> changed;
    const int changesBefore = db().totalChanges();
    m_script.run(league.leagueNmbr(), m_race.raceNmbr(), &stopped, &changed);
    stepProgress();
    if (stopped)
        return Posted::Stopped;
    // What the script left is where the chain would go on from; where the engine cannot work the
    // league out from there, the chain's steps 6 to 15 do, as if the chain had posted it all along.
    const std::optional<LeaguePosting> posting =
        finishAfterScript(league, written, changed, db().totalChanges() - changesBefore);
    if (posting)
        return writeAfterScript(savepoint, *posting);
    return finishByChain(savepoint, league, written);
}

std::optional<LeaguePosting> Engine::finishAfterScript(const cLeague& league, QList<Row> rows,
                                                       const QSet<QString>& changed, int changes) {
    if (!engineCanFollow(changed))
        return std::nullopt;
    try {
        if (changes != 0 && changed.contains(QStringLiteral("team_results"))) {
            int touched = 0;
            rows = readBack(league, rows, &touched);
            // The engine counts a change for every row it changed, removed or moved. When each
            // change is one of the league's rows of the race, the rows of other races, which
            // later leagues carry their totals from, are as they were.
            if (touched != changes)
                m_scriptChangesResults = true;
        }
        return finish(league, std::move(rows));
    } catch (const StandBack&) {
        return std::nullopt;
    }
}

Engine::Posted Engine::writeAfterScript(Transaction& savepoint, const LeaguePosting& posting) {
    if (!savepoint.commit())
        return Posted::GiveUp;
    // A write failing now would leave the league neither as the chain leaves it nor as it was.
    try {
        write(posting);
    } catch (const StandBack&) {
        return Posted::GiveUp;
    }
    for (int i = 0; i < posting.steps; ++i)
        stepProgress();
    return Posted::Itself;
}

Engine::Posted Engine::finishByChain(Transaction& savepoint, const cLeague& league, const QList<Row>& written) {
    const bool kept = finishLeagueRace(league, m_race);
    if (postingEnded())
        return Posted::Stopped; // the chain's statement has shown its box
    if (kept) {
        if (!savepoint.commit())
            return Posted::GiveUp;
    } else {
        savepoint.rollback();
        if (postingEnded() || !removeFirstRows(written))
            return Posted::GiveUp;
    }
    return Posted::ByChain;
}

bool Engine::postWithScript(bool* stopped) {
    // Once the chain has had a league, the rows and holdings it wrote are its own: the engine no
    // longer knows them, and the chain posts the rest.
    bool chain = false;
    try {
        for (const cLeague& league : m_leagues) {
            // An earlier league's script that changed rows beyond its own may have brought rows of
            // the race into this league, which the chain's steps score as the league's own from its
            // first step on, and which the engine does not know.
            if (!chain && m_scriptChangesResults && holdsRowsOfRace(league.leagueNmbr()))
                chain = true;
            if (!chain) {
                switch (postLeagueWithScript(league)) {
                case Posted::Itself:
                    continue;
                case Posted::ByChain:
                    chain = true;
                    continue;
                case Posted::ToChain:
                    chain = true;
                    break;
                case Posted::Stopped:
                    *stopped = true;
                    return false;
                case Posted::GiveUp:
                    return false;
                }
            }
            postRaceForLeague(league, m_race, m_script);
            if (postingEnded()) {
                *stopped = true; // after the box of the statement that ended it
                return false;
            }
        }
    } catch (const PostingStopped&) {
        *stopped = true;
        return false;
    }
    return true;
}

} // namespace allleagues
