#include "posting/PostingMemory.h"

#include "data/DataChanges.h"
#include "platform/SqlDatabase.h"
#include "posting/AllLeagues.h"

namespace {

// When a part was known: the open of the connection, and the last change to the tables it comes from.
struct Mark {
    quint64 open = 0, lastChange = 0;
    bool operator==(const Mark&) const = default;
};

Mark markOf(const SqlDatabase& db, const QStringList& tables) {
    return {db.openSerial(), dataChanges().lastChangeOf(tables)};
}

// Whether a league's race has a summary row for each member.
const QStringList& summaryTables() {
    static const QStringList tables = {QStringLiteral("team_results_summary"), QStringLiteral("league_teams"),
                                       QStringLiteral("teams")};
    return tables;
}

const QStringList& readingTables() {
    static const QStringList tables = {QStringLiteral("team_car"), QStringLiteral("league_teams"),
                                       QStringLiteral("teams"), QStringLiteral("cars")};
    return tables;
}

struct Kept {
    Mark summaries, reading; // of no open until put
    PostingMemory memory;
};

Kept& kept() {
    static Kept memory;
    return memory;
}

} // namespace

PostingMemory::PostingMemory() = default;
PostingMemory::~PostingMemory() = default;
PostingMemory::PostingMemory(PostingMemory&&) noexcept = default;
PostingMemory& PostingMemory::operator=(PostingMemory&&) noexcept = default;

void PostingMemory::forgetRace(int raceNmbr) {
    completeSummaries.removeIf([raceNmbr](const std::pair<int, int>& p) { return p.second == raceNmbr; });
}

PostingMemory PostingMemory::take(const SqlDatabase& db) {
    Kept taken = std::exchange(kept(), Kept{});
    if (taken.summaries != markOf(db, summaryTables()))
        taken.memory.completeSummaries.clear();
    if (taken.reading != markOf(db, readingTables()))
        taken.memory.reading.reset();
    return std::move(taken.memory);
}

void PostingMemory::put(const SqlDatabase& db, PostingMemory memory) {
    kept() = {markOf(db, summaryTables()), markOf(db, readingTables()), std::move(memory)};
}
