#pragma once

#include "data/IDatabase.h"
#include "data/RowList.h"
#include "posting/cTeamResultsSummary.h"

#include <optional>

// A list of team_results_summary rows.
class cTeamResultsSummaryCollection {
public:
    // nullptr when the key is already in use.
    cTeamResultsSummary* Add(int raceNmbr, int teamNmbr, int leagueNmbr, int points, int teamPlace,
                             const QString& key = QString());
    cTeamResultsSummary* Item(int position) const { return m_rows.Item(position); }
    cTeamResultsSummary* Item(const QString& key) const { return m_rows.Item(key); }
    int Count() const { return m_rows.Count(); }
    void Remove(int position) { m_rows.Remove(position); }
    void Remove(const QString& key) { m_rows.Remove(key); }
    auto begin() const { return m_rows.begin(); }
    auto end() const { return m_rows.end(); }

    // Ordered by points, largest first when highScore; equal points in the order written.
    int load(int leagueNmbr, std::optional<int> raceNmbr, std::optional<int> teamNmbr, bool highScore);
    int loadTeam(int teamNmbr);
    // Both load only when the list is empty; otherwise they answer from what it holds.
    bool leagueExists(int leagueNmbr);
    bool teamExists(int teamNmbr);

private:
    int loadSql(const QString& sql);

    IDatabase m_db;
    RowList<cTeamResultsSummary> m_rows;
};
