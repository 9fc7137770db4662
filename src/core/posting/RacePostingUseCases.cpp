#include "posting/RacePostingUseCases.h"

#include "data/Paths.h"
#include "posting/Scoring.h"
#include "posting/cRaces.h"
#include "posting/cRacesCollection.h"
#include "posting/cResultsCollection.h"

namespace {

// What changed the posting the later races carried from.
enum class LaterRacesCause {
    Posted,         // the race was posted (again)
    PostingCleared, // its posting was cleared
    ResultsCleared, // its results were cleared, and its posting with them
    RaceDeleted,    // it was deleted
};

// The question about a later race, saying what No does; cause: what took its posting away before it is
// asked (Posted when it kept its posting until now, or had none). laterOnesToo: races after it lose
// theirs too when it is declined.
QString laterRaceQuestion(const QString& raceName, LaterRacesCause cause, const QString& earlierRaceName,
                          bool laterOnesToo) {
    const QString ask = QStringLiteral("Do you want to post results for ") + raceName + QStringLiteral(" now?") +
                        QStringLiteral("\r\nNo leaves ") + raceName +
                        (laterOnesToo ? QStringLiteral(" and the Races after it") : QString()) +
                        QStringLiteral(" unposted.");
    QString removed;
    switch (cause) {
    case LaterRacesCause::Posted:
        return ask;
    case LaterRacesCause::PostingCleared:
        removed = QStringLiteral(" was removed with the posting for ") + earlierRaceName;
        break;
    case LaterRacesCause::ResultsCleared:
        removed = QStringLiteral(" was removed with the results for ") + earlierRaceName;
        break;
    case LaterRacesCause::RaceDeleted:
        removed = QStringLiteral(" was removed when ") + earlierRaceName + QStringLiteral(" was deleted");
        break;
    }
    return QStringLiteral("The posting for ") + raceName + removed + QStringLiteral(".\r\n") + ask;
}

// results: every stored result, loaded or to be loaded.
std::vector<LaterRaceSettled> settleLaterRaces(const cRacesCollection& later, cResultsCollection& results,
                                               LaterRacesCause cause, const QString& earlierRaceName,
                                               const AskUser& ask) {
    // Once the posting they counted from is gone, the later postings are wrong whatever is answered:
    // they go before anything is asked, so that the question tells what has happened.
    const bool removedFirst = cause != LaterRacesCause::Posted;
    std::vector<const cRaces*> races;
    std::vector<bool> hadPosting;
    for (const cRaces& next : later) {
        races.push_back(&next);
        hadPosting.push_back(racePosted(next.raceNmbr()));
    }
    if (removedFirst)
        for (const cRaces* next : races)
            deleteRacePosting(*next);
    std::vector<LaterRaceSettled> settled;
    // Once a race is declined, none after it can be right either.
    bool declined = false;
    for (size_t i = 0; i < races.size(); ++i) {
        const cRaces& next = *races[i];
        if (!declined && results.raceExists(next.raceNmbr())) {
            bool laterOnesToo = false;
            for (size_t j = i + 1; j < races.size() && !laterOnesToo; ++j)
                laterOnesToo = hadPosting[j] || results.raceExists(races[j]->raceNmbr());
            const QString question =
                laterRaceQuestion(next.raceName(), removedFirst && hadPosting[i] ? cause : LaterRacesCause::Posted,
                                  earlierRaceName, laterOnesToo);
            if (ask(question, QString::fromLatin1(kProductName), MsgButtons::YesNo) == AnswerYes) {
                const bool posted = postRace(next);
                settled.push_back(
                    {next.raceNmbr(), posted ? LaterRaceFate::PostedAgain : LaterRaceFate::PostingFailed});
                continue;
            }
            declined = true;
        }
        if (!removedFirst)
            deleteRacePosting(next);
        settled.push_back({next.raceNmbr(), LaterRaceFate::Unposted});
    }
    return settled;
}

// Settles the races read before the change, with the caller's progress shown while it runs.
void settleAfterRemoval(RacePostingOutcome& outcome, const cRacesCollection& later, LaterRacesCause cause,
                        const QString& earlierRaceName, const AskUser& ask, const PostingWork& working) {
    if (later.isEmpty())
        return;
    if (working)
        working(true);
    cResultsCollection results;
    outcome.later = settleLaterRaces(later, results, cause, earlierRaceName, ask);
    if (working)
        working(false);
}

} // namespace

RacePostingOutcome postRaceAndSettle(const cRaces& race, const AskUser& ask, const PostingWork& working) {
    RacePostingOutcome outcome;
    outcome.confirmed = true;
    if (working)
        working(true);
    cResultsCollection results;
    results.load();
    if (results.raceExists(race.raceNmbr())) {
        outcome.done = postRace(race);
        if (!outcome.done) {
            // Given up as a whole, after its box: nothing the later races carry from has changed.
            if (working)
                working(false);
            return outcome;
        }
    } else {
        outcome.done = deleteRacePosting(race);
    }
    // When no league carries totals through this race, the later postings are right as they stand.
    cRacesCollection later;
    loadRacesCarryingFrom(race.raceNmbr(), later);
    outcome.later = settleLaterRaces(later, results, LaterRacesCause::Posted, race.raceName(), ask);
    if (working)
        working(false);
    return outcome;
}

RacePostingOutcome clearPostingAndSettle(const cRaces& race, const AskUser& ask, const PostingWork& working) {
    RacePostingOutcome outcome;
    if (ask(QStringLiteral("Are you sure you want to delete the posting for ") + race.raceName() + QStringLiteral("?"),
            race.raceName(), MsgButtons::OkCancel) != AnswerOk)
        return outcome;
    outcome.confirmed = true;
    // Read before the posting goes: the later races carried their totals from it.
    cRacesCollection later;
    if (racePosted(race.raceNmbr()))
        loadRacesCarryingFrom(race.raceNmbr(), later);
    outcome.done = cResultsCollection().deletePosting(race.raceNmbr());
    if (outcome.done)
        settleAfterRemoval(outcome, later, LaterRacesCause::PostingCleared, race.raceName(), ask, working);
    return outcome;
}

RacePostingOutcome clearResultsAndSettle(const cRaces& race, const AskUser& ask, const PostingWork& working) {
    RacePostingOutcome outcome;
    if (ask(QStringLiteral("Are you sure you want to delete results for ") + race.raceName() + QStringLiteral("?"),
            race.raceName(), MsgButtons::OkCancel) != AnswerOk)
        return outcome;
    outcome.confirmed = true;
    // The later races carried their totals from this posting, and a race with results is the one they
    // count from: without results it is passed over.
    cRacesCollection later;
    if (racePosted(race.raceNmbr()) || cResultsCollection().load(race.raceNmbr()) > 0)
        loadRacesCarryingFrom(race.raceNmbr(), later);
    outcome.done = cResultsCollection().deleteResults(race.raceNmbr());
    if (outcome.done)
        settleAfterRemoval(outcome, later, LaterRacesCause::ResultsCleared, race.raceName(), ask, working);
    return outcome;
}

RacePostingOutcome deleteRaceAndSettle(cRaces& race, const AskUser& ask, const PostingWork& working) {
    RacePostingOutcome outcome;
    const int raceNmbr = race.raceNmbr();
    cResultsCollection results;
    results.load(raceNmbr);
    const bool hasResults = results.raceExists(raceNmbr);
    if (hasResults && ask(QStringLiteral("Results have been posted for this Race.\r\nDo you want to continue?"),
                          race.raceName(), MsgButtons::YesNo) != AnswerYes)
        return outcome;
    outcome.confirmed = true;
    // The later races carried their totals from the race's posting, and counted from it as a race with
    // results: they are read before it goes.
    cRacesCollection later;
    if (hasResults || racePosted(raceNmbr))
        loadRacesCarryingFrom(raceNmbr, later);
    outcome.done = race.deleteRow();
    if (outcome.done)
        settleAfterRemoval(outcome, later, LaterRacesCause::RaceDeleted, race.raceName(), ask, working);
    return outcome;
}
