#pragma once

class SqlScript;
class cLeagueCollection;
class cRaces;

// Posts a race for all of its leagues at once: everything the scoring chain reads is read once
// for the race, every league's rows are worked out in memory exactly as the chain would write
// them, and the rows are written in the chain's order (so that their row ids are the chain's
// too). The progress bar moves as often as under the chain.
//
// With a site script the leagues are posted one after the other, as the chain posts them: each
// league's rows are written as far as the script's step, the script runs on them, and the rest is
// worked out from the rows it left. Where the engine cannot follow what the script left (a row it
// added, a value that is not a whole number, an overflow), the chain's later steps finish that
// league, and the chain posts the leagues after it. A league into which an earlier league's script
// brought rows of the race is the chain's from its first step, as are the leagues after it.
//
// It stands back, having written nothing and shown nothing, whenever the chain could behave
// differently: a site script that would be refused or changes other tables the posting reads, a
// league with an invalid scoring option, a value that is not a whole number where the chain reads
// one, a sum beyond 32 bits, a missing bonus entry, or any statement that fails. The caller then
// posts league by league. All of these but a failing write are found before the bar first moves.
// Must run inside the posting's transaction, after the race's earlier postings were deleted.
//
// False with *stopped set when the script or a statement gave up the posting as a whole, after
// its box: the caller's transaction is to be rolled back and nothing more posted.
bool postRaceAllLeagues(const cRaces& race, const cLeagueCollection& leagues, const SqlScript& script,
                        bool* stopped = nullptr);
