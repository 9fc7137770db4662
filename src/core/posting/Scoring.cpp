#include "posting/Scoring.h"

#include "data/Feedback.h"
#include "data/Paths.h"
#include "data/cConnection.h"
#include "data/cLeague.h"
#include "posting/PostingError.h"
#include "posting/PostingMemory.h"
#include "posting/RacePostingEngine.h"
#include "posting/SqlScript.h"
#include "posting/cRaces.h"
#include "posting/cRacesCollection.h"
#include "posting/cResultsCollection.h"
#include "posting/cTeamResults.h"
#include "posting/cTeamResultsSummary.h"

#include <QDir>

#include <exception>

namespace {

// The connection, when the work about to begin is a transaction of its own: then the rows it writes
// are all that its commit writes.
cConnection* ownTransaction() {
    SqlDatabase* db = gConnection ? gConnection->getConnection() : nullptr;
    return db && !db->inTransaction() ? gConnection.get() : nullptr;
}

} // namespace

bool deleteRacePosting(const cRaces& race) {
    cConnection* own = ownTransaction();
    PostingMemory memory = own ? PostingMemory::take(*own) : PostingMemory();
    Transaction tx;
    if (!tx.begun())
        return false;
    cResultsCollection results;
    if (!results.deleteTeamResultsSummary(race.raceNmbr()))
        return false;
    if (!results.deleteTeamResults(race.raceNmbr()))
        return false;
    if (!tx.commit())
        return false;
    if (own) {
        // Only the race's rows went.
        memory.forgetRace(race.raceNmbr());
        PostingMemory::put(*own, std::move(memory));
    }
    return true;
}

namespace {

// True when a statement ended the posting's transaction and with it took back the whole posting.
bool postingEnded() {
    return gConnection && gConnection->getWorkSpace().ended();
}

bool post(const cRaces& race, bool allLeaguesAtOnce, const SqlScript& script, const WriteFailureScope& writes) {
    // A posting that is a transaction of its own keeps what it leaves for the next up to date.
    cConnection* own = ownTransaction();
    PostingMemory memory = own ? PostingMemory::take(*own) : PostingMemory();
    Transaction tx;
    if (!tx.begun())
        return false;
    // Once a write has failed, whatever followed it went on without rows that were never written: the
    // posting is given up whole rather than committed as the league-by-league steps left it.
    const auto written = [&] { return writes.failure() == SqlDatabase::WriteFailure::None; };
    if (!deleteRacePosting(race))
        return false;
    memory.forgetRace(race.raceNmbr());
    cLeagueCollection leagues;
    leagues.load(race.raceTypeNmbr());
    if (allLeaguesAtOnce) {
        bool stopped = false;
        if (postRaceAllLeagues(race, leagues, script, &stopped, own ? &memory : nullptr)) {
            if (!written() || !tx.commit())
                return false;
            if (own)
                PostingMemory::put(*own, std::move(memory));
            return true;
        }
        if (stopped || !written())
            return false; // its box is shown, or is the caller's to show, and the race is as it was
    }
    if (postingEnded()) {
        // A write of the engine's ended the transaction; it shows nothing, so the chain posts the race
        // afresh and shows what stops it.
        tx.rollback();
        return post(race, false, script, writes);
    }
    try {
        for (const cLeague& league : leagues) {
            postRaceForLeague(league, race, script);
            // The statement that ended the transaction has shown its box, and the race is as it was
            // before: the next league must not be posted on top of the old posting.
            if (postingEnded() || !written())
                return false;
        }
    } catch (const PostingStopped&) {
        return false;
    }
    return written() && tx.commit();
}

// The one box of a posting given up because the data file could not be written.
void tellWriteFailure(const cRaces& race, bool hadPosting) {
    const SqlDatabase* db = gConnection->getConnection();
    const QString file = QDir::toNativeSeparators(dataFilePath());
    const QString why =
        db && db->writeFailure() == SqlDatabase::WriteFailure::DiskError
            ? QStringLiteral("the data file '%1' could not be written (%2)").arg(file, db->writeFailureMessage())
            : QStringLiteral("the disk that holds the data file '%1' is full").arg(file);
    showError(QStringLiteral("Error trying to post ") + race.raceName() + QStringLiteral(".\n\nError: ") + why +
              QStringLiteral("; ") + postingGivenUpText(hadPosting) + QStringLiteral("."));
}

bool post(const cRaces& race, bool allLeaguesAtOnce) {
    setStatus(QStringLiteral("Posting Results ") + race.raceName());
    // Asked before anything is touched: a posting given up keeps it, and its box says so.
    const bool hadPosting = racePosted(race.raceNmbr());
    // Read once for the race, before anything is touched: one that cannot be read fails the posting.
    SqlScript script;
    if (!script.read(QStringLiteral("scoring.qv"), race.raceName(), hadPosting))
        return false;
    // A full disk fails every statement after the first that could not write: one box says so, not a
    // box for each of them and for the COMMIT.
    const WriteFailureScope writes(gConnection ? gConnection->getConnection() : nullptr);
    if (post(race, allLeaguesAtOnce, script, writes))
        return true;
    if (writes.failure() != SqlDatabase::WriteFailure::None)
        tellWriteFailure(race, hadPosting);
    return false;
}

} // namespace

bool postRace(const cRaces& race) {
    return post(race, true);
}

bool postRaceLeagueByLeague(const cRaces& race) {
    return post(race, false);
}

bool postRaceForLeague(const cLeague& league, const cRaces& race, const SqlScript& script) {
    Transaction savepoint;
    if (!savepoint.begun())
        return false;
    if (league.scoringOptionNmbr() == 1 || league.scoringOptionNmbr() == 2) {
        if (scoreLeagueRace(league, race, script))
            return savepoint.commit();
        return false;
    }
    showQuorvantiBox(QStringLiteral("Invalid Scoring Method"));
    return false;
}

bool laterRacesDependOn(const cRaces& race) {
    cLeagueCollection leagues;
    return leagues.load(race.raceTypeNmbr(), race.carTypeNmbr()) > 0;
}

bool racePosted(int raceNmbr) {
    IDatabase db;
    return db.OpenResultSet(QStringLiteral("SELECT 1 FROM team_results WHERE race_nmbr = ? LIMIT 1"), {raceNmbr}) &&
           !db.isEOF();
}

void tellPostingRemoved(const QString& raceName) {
    ui().messageBox(QStringLiteral("The posting for ") + raceName +
                        QStringLiteral(" was removed because its results changed.\r\nThe Race must be posted again."),
                    QString::fromLatin1(kProductName), MsgIcon::None, MsgButtons::Ok);
}

int loadRacesCarryingFrom(int raceNmbr, cRacesCollection& later) {
    cRaces race;
    if (!race.load(raceNmbr) || !laterRacesDependOn(race))
        return later.Count();
    return later.loadFutureRaces(raceNmbr);
}

namespace {

bool runScript(const cLeague& league, const cRaces& race, const SqlScript& script) {
    const int leagueNmbr = league.leagueNmbr();
    const int raceNmbr = race.raceNmbr();
    bool stopped = false;
    const bool ran = script.run(leagueNmbr, raceNmbr, &stopped);
    if (stopped)
        throw PostingStopped{};
    return ran;
}

// The chain from step 1, with the script at step 5, or (without a script) from step 6.
bool score(const cLeague& league, const cRaces& race, const SqlScript* script) {
    cTeamResults rows;
    cTeamResultsSummary summary;
    // After each step that ran the bar moves once, before its result is looked at.
    auto ran = [](bool ok) {
        stepProgress();
        return ok;
    };
    try {
        if (script) {
            if (!ran(rows.postForLeague(league, race))) // 1
                return false;
            if (!ran(rows.setFastQualBonus(league, race))) // 2
                return false;
            if (!ran(rows.setMostLapsLedBonus(league, race))) // 3
                return false;
            if (!ran(rows.setLapsLedBonus(league, race))) // 4
                return false;
            // The site script sees the bonuses and can still change what qualifying points and
            // points are worked out from.
            if (!ran(runScript(league, race, *script))) // 5
                return false;
        }
        if (!ran(rows.setQualPointsBonus(league, race))) // 6
            return false;
        if (!ran(rows.setPoints(league, race))) // 7
            return false;
        if (!ran(rows.setTopBonus(league, race))) // 8
            return false;
        if (!ran(rows.insertDNQDrivers(league, race))) // 9
            return false;
        if (league.scoringOptionNmbr() == 2 && !ran(rows.dropLowestFinishers(league, race))) // 10
            return false;
        if (!ran(rows.dropInactiveDrivers(league, race))) // 11
            return false;
        if (!ran(rows.setTotalPoints(league, race))) // 12
            return false;
        if (!ran(rows.insertDroppedDrivers(league, race))) // 13
            return false;
        if (!ran(summary.postForLeague(league, race))) // 14
            return false;
        return ran(summary.setPlace(league, race)); // 15
    } catch (const std::exception& e) {
        setMousePointer(PointerDefault);
        // The error's own description in a plain box under the program's title.
        ui().messageBox(QString::fromStdString(e.what()), QString::fromLatin1(kProductName), MsgIcon::None,
                        MsgButtons::Ok);
        return false;
    }
}

} // namespace

bool scoreLeagueRace(const cLeague& league, const cRaces& race, const SqlScript& script) {
    return score(league, race, &script);
}

bool finishLeagueRace(const cLeague& league, const cRaces& race) {
    return score(league, race, nullptr);
}
