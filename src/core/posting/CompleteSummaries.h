#pragma once

#include <QSet>
#include <utility>

class SqlDatabase;

// What the postings of this session know of the summary rows of earlier races: the (league, race)
// pairs where every member team of the league (of those that exist) has a summary row, so that a
// later posting's filler need not read them again. It holds only while the summaries, the leagues'
// members and the teams are written by no one but the postings that keep it: after any other commit
// of such rows (DataChanges), or on another open of the connection, nothing is known.
class CompleteSummaries {
public:
    using Pairs = QSet<std::pair<int, int>>; // league, race

    // What is known, if it still holds; nothing otherwise. Until put back, nothing is known.
    static Pairs take(SqlDatabase& db);
    // What is known now that the writes that made it so are committed; nothing may have been
    // written to those tables since that commit.
    static void put(SqlDatabase& db, Pairs pairs);
    // Forgets every pair of the race.
    static void forgetRace(Pairs& pairs, int raceNmbr);
};
