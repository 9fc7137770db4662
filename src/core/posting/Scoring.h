#pragma once

#include <QString>

class SqlScript;
class cLeague;
class cRaces;
class cRacesCollection;

// Posting a race: its results scored for every league of its race type.
//
// The whole posting is one transaction: the race's earlier postings are deleted, then each
// league's chain runs inside a savepoint of its own. A league whose chain stops (a failed
// statement, a run-time fault, an invalid scoring option) is rolled back to its savepoint, so it
// holds no rows for the race rather than half-written ones, and the next league is still posted.
// A crash at any moment leaves the race's earlier posting as it was. So does a site script that is
// refused, cannot be read, is stopped by the user or ends the transaction (runSqlScript), and any
// statement that ends it: the posting of the race fails as a whole, after the one box of what stopped
// it. So does a full disk, or a data file that cannot be written, at the first write that fails, with
// one box of its own. Each box says that the race keeps its earlier posting, or, having none, was not
// posted (postingGivenUpText). The script is read once for the race.

// Deletes the race's team result summaries, then its team results, in every league (both or
// neither); true when both deletes succeeded.
bool deleteRacePosting(const cRaces& race);
// Deletes the race's postings and posts it for every league of its race type, all leagues at once
// where it can (see postRaceAllLeagues), else league by league. Failures are shown to the user.
// False when the posting was given up as a whole: the race's postings are as they were.
bool postRace(const cRaces& race);
// The same, always league by league through the scoring chain: the rules as written.
bool postRaceLeagueByLeague(const cRaces& race);
// Posts the race for one league inside a savepoint, with the site script read for the race; true
// when the league's rows were kept. Throws PostingStopped when the script gives up the posting.
bool postRaceForLeague(const cLeague& league, const cRaces& race, const SqlScript& script);
// True when the totals of the races after this one in the season order (cRacesCollection::
// loadFutureRaces) depend on its posting: some league of its race type is scored by its car type,
// so the race is in that league's chain of previous races. Otherwise no league carries anything
// from it and the later races' postings stay right whatever happens to it.
bool laterRacesDependOn(const cRaces& race);
// True when the race has team result rows in some league: a posting, which later races carry their
// totals from. (The summary rows a later posting fills in for an earlier race are none.)
bool racePosted(int raceNmbr);
// The one box telling that the race's changed results took its posting away and that the race
// must be posted again.
void tellPostingRemoved(const QString& raceName);
// The races whose postings carry on from the stored race: the later races of its race type in the
// season order when laterRacesDependOn(race), else none. Read them before the race is deleted. What
// becomes of them when the race's posting changes is settled by the use cases of
// RacePostingUseCases.h.
int loadRacesCarryingFrom(int raceNmbr, cRacesCollection& later);
// The fifteen scoring steps for one league; true when the chain ran to its end.
bool scoreLeagueRace(const cLeague& league, const cRaces& race, const SqlScript& script);
// Steps 6 to 15 of the chain, for a league whose rows the steps up to the site script have written
// (the all-leagues posting hands a league on here where it cannot finish it itself).
bool finishLeagueRace(const cLeague& league, const cRaces& race);
