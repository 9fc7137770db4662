#include "posting/CompleteSummaries.h"

#include "data/DataChanges.h"
#include "platform/SqlDatabase.h"

namespace {

// When what is known was known: the open of the connection, and the last change to the tables
// whose rows decide whether a league's race has a summary row for each member.
struct Mark {
    quint64 open = 0, lastChange = 0;
    bool operator==(const Mark&) const = default;
};

Mark markOf(const SqlDatabase& db) {
    static const QStringList tables = {QStringLiteral("team_results_summary"), QStringLiteral("league_teams"),
                                       QStringLiteral("teams")};
    return {db.openSerial(), dataChanges().lastChangeOf(tables)};
}

struct Memory {
    Mark mark; // of no open until put
    CompleteSummaries::Pairs pairs;
};

Memory& memory() {
    static Memory known;
    return known;
}

} // namespace

CompleteSummaries::Pairs CompleteSummaries::take(SqlDatabase& db) {
    Memory taken = std::exchange(memory(), Memory{});
    return taken.mark == markOf(db) ? std::move(taken.pairs) : Pairs{};
}

void CompleteSummaries::put(SqlDatabase& db, Pairs pairs) {
    memory() = {markOf(db), std::move(pairs)};
}

void CompleteSummaries::forgetRace(Pairs& pairs, int raceNmbr) {
    pairs.removeIf([raceNmbr](const std::pair<int, int>& p) { return p.second == raceNmbr; });
}
