#pragma once

#include "data/UiServices.h"

#include <QString>
#include <functional>
#include <vector>

class cRaces;

// What the user does to a race's posting, each with what it does to the races after it.
//
// Season totals run from race to race, so when a race's posting changes, the later races of its race
// type that carried their totals from it (loadRacesCarryingFrom) are settled: each that has results is
// offered for posting again, in season order; a race that is declined, every race after it and a race
// without results lose their postings instead, since their totals can no longer be right.
//
// The question is "Do you want to post results for " the name " now?" and, on a line of its own, what No
// leaves unposted: the race, and the races after it when there are any with a posting or results. When
// the race's posting or the race itself went, every later posting is gone before the first question, and
// a race that had one is told so first.
//
// Each use case puts its questions through ask. working(true) comes before races are posted or their
// postings removed and working(false) once that is over, so the caller can show its progress bar and
// hourglass for that stretch only; an empty one shows nothing.

using PostingWork = std::function<void(bool working)>;

// What became of a later race.
enum class LaterRaceFate {
    PostedAgain,   // the user said Yes and it was posted
    PostingFailed, // the user said Yes and its posting was given up; it is as it was before
    Unposted,      // it has no posting now: declined, after a declined race, or without results
};

struct LaterRaceSettled {
    int raceNmbr = 0;
    LaterRaceFate fate = LaterRaceFate::Unposted;
    QString raceName;
};

struct RacePostingOutcome {
    // The user went on past the question asked first; false: nothing was changed.
    bool confirmed = false;
    // The race's own change was made: posted (or, without results, its posting removed), its posting
    // or results cleared, or the race deleted.
    bool done = false;
    // Post Results: the race had results and was posted.
    bool posted = false;
    // Post Results: the race's posting was given up as a whole and the posting it had before stays.
    bool earlierPostingKept = false;
    // The later races that were settled, in season order.
    std::vector<LaterRaceSettled> later;
};

// Post Results: posts the race when it has results, else removes its posting, then settles the later
// races. A posting given up as a whole (its box shown) leaves the later races alone.
RacePostingOutcome postRaceAndSettle(const cRaces& race, const AskUser& ask, const PostingWork& working = {});

// Clear Posting: asks "Are you sure you want to delete the posting for " the name "?" (OK and Cancel,
// titled with the race's name); on OK removes the race's posting in every league and settles the races
// that carried from it. A race without a posting has nothing later to settle.
RacePostingOutcome clearPostingAndSettle(const cRaces& race, const AskUser& ask, const PostingWork& working = {});

// Clear Results: asks "Are you sure you want to delete results for " the name "?"; on OK removes the
// race's results with its posting and settles the races that carried from it or counted from it as a
// race with results.
RacePostingOutcome clearResultsAndSettle(const cRaces& race, const AskUser& ask, const PostingWork& working = {});

// Delete Race, once the delete is confirmed: a race with results asks "Results have been posted for this
// Race." and "Do you want to continue?" (Yes and No, titled with the race's name); then the race is
// deleted and the later races that carried from it are settled.
RacePostingOutcome deleteRaceAndSettle(cRaces& race, const AskUser& ask, const PostingWork& working = {});

// The commands of a race that settle the races after it.
enum class RaceCommand { PostResults, ClearPosting, ClearResults, DeleteRace };

// The status bar's text once the command has run on the race: what it did ("Results Posted Race One"),
// or that it did not ("Posting Not Cleared Race One", "Results Not Posted Race One; the earlier posting of the
// race stays as it was"), then the later races it posted again. The races
// posted are named "A and B", "A to D" for three or more that follow one another without a race left
// out, else "A, B and D". Empty when the user called the command off at its first question.
QString raceCommandStatus(RaceCommand command, const QString& raceName, const RacePostingOutcome& outcome);
