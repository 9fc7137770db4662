#pragma once

class cLeagueCollection;
class cRaces;

// Posts a race for all of its leagues at once: everything the scoring chain reads is read once
// for the race, every league's rows are worked out in memory exactly as the chain would write
// them, and the rows are written in the chain's order (so that their row ids are the chain's
// too). The progress bar moves as often as under the chain.
//
// It stands back, having written nothing and shown nothing, whenever the chain could behave
// differently: a site script, a league with an invalid scoring option, a value that is not a whole
// number where the chain reads one, a sum beyond 32 bits, a missing bonus entry, or any statement
// that fails. The caller then posts league by league. All of these but a failing write are found
// before the bar first moves. Must run inside the posting's transaction, after the race's earlier
// postings were deleted.
bool postRaceAllLeagues(const cRaces& race, const cLeagueCollection& leagues);
