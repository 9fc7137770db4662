#include "posting/RacePostingUseCases.h"

#include "data/Paths.h"
#include "posting/PostingError.h"
#include "posting/Scoring.h"
#include "posting/cRaces.h"
#include "posting/cRacesCollection.h"
#include "posting/cResultsCollection.h"

#include <QStringList>

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
                settled.push_back({next.raceNmbr(), posted ? LaterRaceFate::PostedAgain : LaterRaceFate::PostingFailed,
                                   next.raceName()});
                continue;
            }
            declined = true;
        }
        if (!removedFirst)
            deleteRacePosting(next);
        settled.push_back({next.raceNmbr(), LaterRaceFate::Unposted, next.raceName()});
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
        outcome.done = outcome.posted = postRace(race);
        if (!outcome.done) {
            // Given up as a whole, after its box: nothing the later races carry from has changed, and the race
            // has the posting it had.
            outcome.earlierPostingKept = racePosted(race.raceNmbr());
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

namespace {

// The names of the races of a season's stretch that were posted, in its order.
QString postedRacesText(const std::vector<std::pair<QString, bool>>& stretch) {
    QStringList names;
    qsizetype first = -1, last = -1;
    for (qsizetype i = 0; i < qsizetype(stretch.size()); ++i)
        if (stretch[size_t(i)].second) {
            names << stretch[size_t(i)].first;
            first = first < 0 ? i : first;
            last = i;
        }
    if (names.size() >= 3 && last - first + 1 == names.size())
        return names.first() + QStringLiteral(" to ") + names.last();
    if (names.size() >= 2)
        return names.mid(0, names.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") + names.last();
    return names.value(0);
}

} // namespace

QString raceCommandStatus(RaceCommand command, const QString& raceName, const RacePostingOutcome& outcome) {
    if (!outcome.confirmed)
        return QString();
    std::vector<std::pair<QString, bool>> stretch;
    QString text;
    switch (command) {
    case RaceCommand::PostResults:
        if (outcome.posted)
            stretch.emplace_back(raceName, true);
        else
            text = QStringLiteral("Results Not Posted ") + raceName +
                   (outcome.earlierPostingKept ? QStringLiteral("; ") + postingGivenUpText(true) : QString());
        break;
    case RaceCommand::ClearPosting:
        text = (outcome.done ? QStringLiteral("Posting Cleared ") : QStringLiteral("Posting Not Cleared ")) + raceName;
        break;
    case RaceCommand::ClearResults:
        text = (outcome.done ? QStringLiteral("Results Cleared ") : QStringLiteral("Results Not Cleared ")) + raceName;
        break;
    case RaceCommand::DeleteRace:
        text = (outcome.done ? QStringLiteral("Race Deleted ") : QStringLiteral("Race Not Deleted ")) + raceName;
        break;
    }
    bool anyPosted = !stretch.empty();
    for (const LaterRaceSettled& later : outcome.later) {
        stretch.emplace_back(later.raceName, later.fate == LaterRaceFate::PostedAgain);
        anyPosted = anyPosted || later.fate == LaterRaceFate::PostedAgain;
    }
    if (!anyPosted)
        return text;
    const QString posted = QStringLiteral("Results Posted ") + postedRacesText(stretch);
    return text.isEmpty() ? posted : text + QStringLiteral("; ") + posted;
}
