#pragma once

#include "data/IDatabase.h"
#include "data/RowList.h"
#include "posting/cTeamResults.h"

#include <QDate>
#include <optional>

class cLeague;
class cRaces;

// An ordered list of team_results rows with the queries that fill it. Every load appends and
// returns the new count; rows are read in the order they were written unless an order is asked.
class cTeamResultsCollection {
public:
    // nullptr when the key is already in use.
    cTeamResults* Add(int teamNmbr, int carNmbr, int raceNmbr, int leagueNmbr, int place, int fastQualBonus,
                      int lapsLedBonus, int mostLapsLedBonus, int points, int totalPoints, int currentStatus,
                      int qualPoints, int qualified, int adjustment, const QString& key = QString());
    cTeamResults* Item(int position) const { return m_rows.Item(position); }
    cTeamResults* Item(const QString& key) const { return m_rows.Item(key); }
    int Count() const { return m_rows.Count(); }
    void Remove(int position) { m_rows.Remove(position); }
    void Remove(const QString& key) { m_rows.Remove(key); }
    auto begin() const { return m_rows.begin(); }
    auto end() const { return m_rows.end(); }
    void clear() { m_rows.clear(); }

    // direction is "asc" or "desc" (ordered by place); empty for the order the rows were written in.
    int load(int leagueNmbr, std::optional<int> raceNmbr = {}, std::optional<int> teamNmbr = {},
             const QString& direction = QString());
    // Only rows of cars and drivers (never the bonus car), ordered by points in the direction.
    int loadNoBonusCars(int leagueNmbr, std::optional<int> raceNmbr = {}, std::optional<int> teamNmbr = {},
                        const QString& direction = QString());
    // Rows of the league's previous race (cRaces::previousRaceNmbr) whose car no longer has a row
    // for that team in this race.
    int loadDroppedDrivers(const cLeague& league, const cRaces& race);
    // The league's rows in its previous race (cRaces::previousRaceNmbr): the race totals carry from.
    int loadPreviousRace(const cLeague& league, const cRaces& race);
    // The league's rows in its race type's races up to and including the race in the season order, every team.
    int loadPreviousRaces(const cLeague& league, const cRaces& race, int teamNmbr);

    // The total of the first held row of the car and team; 0 when none.
    int getTotalPoints(int carNmbr, int teamNmbr) const;
    // The car's season total for the team after the one race whose rows the list holds: what its
    // rows started from plus the points of every one of them; 0 when none. Beyond 32 bits:
    // std::overflow_error.
    int carriedTotal(int carNmbr, int teamNmbr) const;
    bool resultsForTeamExists(int leagueNmbr, int teamNmbr);
    bool resultsForCarExistsAfterDate(int teamNmbr, int carNmbr, const QDate& date);

    // Sums over the held rows of a team and car. Kept in 32 bits; beyond that std::overflow_error.
    int sumFastQualBonus(int teamNmbr, int carNmbr) const;
    int sumLapsLedBonus(int teamNmbr, int carNmbr) const;
    int sumMostLapsLedBonus(int teamNmbr, int carNmbr) const;
    int sumQualPoints(int teamNmbr, int carNmbr) const;

private:
    int loadSql(const QString& sql, const QVariantList& params = {});
    template <class F> int sum(int teamNmbr, int carNmbr, F field) const;

    IDatabase m_db;
    RowList<cTeamResults> m_rows;
};
