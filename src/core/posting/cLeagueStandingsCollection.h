#pragma once

#include "data/IDatabase.h"
#include "data/RowList.h"
#include "posting/cLeagueStandings.h"

// A league's standings after (load) or before (loadPrevious) a race: one line per team that has
// race summaries in the league, in standings order (largest sum first when more is better).
class cLeagueStandingsCollection {
public:
    // nullptr when the key is already in use.
    cLeagueStandings* Add(int teamNmbr, const QString& teamName, const QString& teamOwner, int raceTypeNmbr,
                          qint64 points, const QString& key = QString());
    cLeagueStandings* Item(int position) const { return m_rows.Item(position); }
    cLeagueStandings* Item(const QString& key) const { return m_rows.Item(key); }
    int Count() const { return m_rows.Count(); }
    void Remove(int position) { m_rows.Remove(position); }
    void Remove(const QString& key) { m_rows.Remove(key); }
    auto begin() const { return m_rows.begin(); }
    auto end() const { return m_rows.end(); }

    // Races of the league's race type up to and including the race in the season order.
    int load(int leagueNmbr, int raceNmbr, bool highScore);
    // Races of the league's race type before the race in the season order.
    int loadPrevious(int leagueNmbr, int raceNmbr, bool highScore);
    // As load, for the one team's line only (a page of one team need not sum every team's).
    int loadTeam(int leagueNmbr, int raceNmbr, int teamNmbr);
    // The team's 1-based position in the list; teams with equal sums get consecutive positions.
    int placeForTeam(int teamNmbr) const;
    // The team's summed points; 0 when the team has no line.
    qint64 pointsForTeam(int teamNmbr) const;

private:
    int loadWith(const QString& racesTest, int leagueNmbr, bool highScore);
    void loadFromResultSet();

    IDatabase m_db;
    RowList<cLeagueStandings> m_rows;
};
