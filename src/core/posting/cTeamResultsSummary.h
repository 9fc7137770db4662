#pragma once

#include "data/IDatabase.h"

class cLeague;
class cRaces;

// One row of team_results_summary (a team's points and place in a race of a league), the last
// two posting steps, and the per-team queries of the reports.
class cTeamResultsSummary {
public:
    int teamPlace() const { return m_teamPlace; }
    void setTeamPlace(int v) { m_teamPlace = v; }
    int points() const { return m_points; }
    void setPoints(int v) { m_points = v; }
    int leagueNmbr() const { return m_leagueNmbr; }
    void setLeagueNmbr(int v) { m_leagueNmbr = v; }
    int teamNmbr() const { return m_teamNmbr; }
    void setTeamNmbr(int v) { m_teamNmbr = v; }
    int raceNmbr() const { return m_raceNmbr; }
    void setRaceNmbr(int v) { m_raceNmbr = v; }

    // The team's summary points in the latest posted race of the league's race type and car
    // type on or before the race's date; 0 when none.
    int pointsForMostRecentRace(int leagueNmbr, int teamNmbr, int raceNmbr);
    // The sum of the team's team_results points in the race; 0 when none.
    int pointsForRace(int leagueNmbr, int teamNmbr, int raceNmbr);
    // Step 14: one row per team with rows in the race, plus 0-point rows for member teams missing
    // from earlier races of the type that have a winner.
    bool postForLeague(const cLeague& league, const cRaces& race);
    // Step 15: places by points; ties share a place.
    bool setPlace(const cLeague& league, const cRaces& race);
    bool insertRow();
    int wins(const cLeague& league, int teamNmbr, int raceNmbr) { return topXs(1, league, teamNmbr, raceNmbr); }
    int top5s(const cLeague& league, int teamNmbr, int raceNmbr) { return topXs(5, league, teamNmbr, raceNmbr); }
    int top10s(const cLeague& league, int teamNmbr, int raceNmbr) { return topXs(10, league, teamNmbr, raceNmbr); }
    int topXs(int x, const cLeague& league, int teamNmbr, int raceNmbr);
    // The team's place in the league's race of the type on the latest date before the race's.
    int placePreviousRace(int leagueNmbr, int teamNmbr, int raceNmbr);

private:
    IDatabase m_db;
    int m_teamPlace = 0;
    int m_points = 0;
    int m_leagueNmbr = 0;
    int m_teamNmbr = 0;
    int m_raceNmbr = 0;
};
