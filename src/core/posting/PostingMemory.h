#pragma once

#include <QSet>
#include <memory>
#include <utility>

class SqlDatabase;

namespace allleagues {
struct Reading;
}

// What one posting leaves for the next to go by instead of reading it again. Read at every posting,
// the season's summaries made a race cost more the later it was in the season (11 ms at race 30 of
// bench/posting), and the leagues' members and holdings took 6 to 7 ms of every posting. Each part
// holds only while nothing but the postings that keep it up to date writes the tables it comes from:
// after any other commit of their rows (DataChanges), or on another open of the connection, that part
// is gone.
struct PostingMemory {
    PostingMemory();
    ~PostingMemory();
    PostingMemory(PostingMemory&&) noexcept;
    PostingMemory& operator=(PostingMemory&&) noexcept;

    using Pairs = QSet<std::pair<int, int>>; // league, race

    // The (league, race) pairs where every member team of the league (of those that exist) has a
    // summary row.
    Pairs completeSummaries;
    // The members of a race type's leagues, their holdings and the cars they hold, as the all-leagues
    // posting last read them and wrote the bonus entries' holdings; null when not known.
    std::unique_ptr<allleagues::Reading> reading;

    // Forgets what was known of the race's summaries, which were removed.
    void forgetRace(int raceNmbr);

    // What is kept, of each part that still holds; until put back, nothing is kept.
    static PostingMemory take(const SqlDatabase& db);
    // Keeps what is known once the writes that made it so are committed; nothing may have been written
    // since that commit.
    static void put(const SqlDatabase& db, PostingMemory memory);
};
