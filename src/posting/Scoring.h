#pragma once

class cLeague;
class cRaces;

// Posting a race: its results scored for every league of its race type.
//
// The whole posting is one transaction: the race's earlier postings are deleted, then each
// league's chain runs inside a savepoint of its own. A league whose chain stops (a failed
// statement, a run-time fault, an invalid scoring option) is rolled back to its savepoint, so it
// holds no rows for the race rather than half-written ones, and the next league is still posted.
// A crash at any moment leaves the race's earlier posting as it was. So does a site script that is
// refused or ends the transaction (runSqlScript), and any statement that ends it: the posting of
// the race fails as a whole, after the one box of what stopped it.

// Deletes the race's team result summaries, then its team results, in every league (both or
// neither); true when both deletes succeeded.
bool deleteRacePosting(const cRaces& race);
// Deletes the race's postings and posts it for every league of its race type, all leagues at once
// where it can (see postRaceAllLeagues), else league by league. Failures are shown to the user,
// never returned.
void postRace(const cRaces& race);
// The same, always league by league through the scoring chain: the rules as written.
void postRaceLeagueByLeague(const cRaces& race);
// Posts the race for one league inside a savepoint; true when the league's rows were kept.
bool postRaceForLeague(const cLeague& league, const cRaces& race);
// True when the totals of the races after this one in the season order (cRacesCollection::
// loadFutureRaces) depend on its posting: some league of its race type is scored by its car type,
// so the race is in that league's chain of previous races. Otherwise no league carries anything
// from it and the later races' postings stay right whatever happens to it.
bool laterRacesDependOn(const cRaces& race);
// The fifteen scoring steps for one league; true when the chain ran to its end.
bool scoreLeagueRace(const cLeague& league, const cRaces& race);
