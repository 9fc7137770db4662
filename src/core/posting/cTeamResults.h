#pragma once

#include "data/IDatabase.h"

class cLeague;
class cRaces;

// One row of team_results (what a car earned for a team in a race of a league) and the scoring
// steps that write a league's rows for a race. The steps work on the table, not on the fields.
class cTeamResults {
public:
    int currentStatus() const { return m_currentStatus; }
    void setCurrentStatus(int v) { m_currentStatus = v; }
    int adjustment() const { return m_adjustment; }
    void setAdjustment(int v) { m_adjustment = v; }
    int totalPoints() const { return m_totalPoints; }
    void setTotalPoints(int v) { m_totalPoints = v; }
    int points() const { return m_points; }
    void setPoints(int v) { m_points = v; }
    int qualPoints() const { return m_qualPoints; }
    void setQualPoints(int v) { m_qualPoints = v; }
    int mostLapsLedBonus() const { return m_mostLapsLedBonus; }
    void setMostLapsLedBonus(int v) { m_mostLapsLedBonus = v; }
    int lapsLedBonus() const { return m_lapsLedBonus; }
    void setLapsLedBonus(int v) { m_lapsLedBonus = v; }
    int fastQualBonus() const { return m_fastQualBonus; }
    void setFastQualBonus(int v) { m_fastQualBonus = v; }
    int place() const { return m_place; }
    void setPlace(int v) { m_place = v; }
    int qualified() const { return m_qualified; }
    void setQualified(int v) { m_qualified = v; }
    int leagueNmbr() const { return m_leagueNmbr; }
    void setLeagueNmbr(int v) { m_leagueNmbr = v; }
    int raceNmbr() const { return m_raceNmbr; }
    void setRaceNmbr(int v) { m_raceNmbr = v; }
    int carNmbr() const { return m_carNmbr; }
    void setCarNmbr(int v) { m_carNmbr = v; }
    int teamNmbr() const { return m_teamNmbr; }
    void setTeamNmbr(int v) { m_teamNmbr = v; }

    // The team's counted rows placed 1 (1 to 5, 1 to 10) in the league's races up to the race's date.
    int wins(const cLeague& league, int teamNmbr, int raceNmbr);
    int top5s(const cLeague& league, int teamNmbr, int raceNmbr);
    int top10s(const cLeague& league, int teamNmbr, int raceNmbr);

    bool insertRow(int raceNmbr, int place, int qualified, int carNmbr, int teamNmbr, int currentStatus,
                   int fastQualBonus, int lapsLedBonus, int mostLapsLedBonus, int adjustment, int points,
                   int qualPoints, int totalPoints, int leagueNmbr);
    // Writes the object's values back to every row with its four numbers.
    bool update();

    // The scoring chain, in the order the posting runs it. Each returns false after a failed
    // statement (its box shown); a run-time fault (a points sum beyond 32 bits, an empty bonus
    // amount) is thrown as PostingError for the chain to report.
    bool postForLeague(const cLeague& league, const cRaces& race);        // step 1
    bool setFastQualBonus(const cLeague& league, const cRaces& race);     // step 2
    bool setMostLapsLedBonus(const cLeague& league, const cRaces& race);  // step 3
    bool setLapsLedBonus(const cLeague& league, const cRaces& race);      // step 4
    bool setQualPointsBonus(const cLeague& league, const cRaces& race);   // step 6
    bool setPoints(const cLeague& league, const cRaces& race);            // step 7
    bool setTopBonus(const cLeague& league, const cRaces& race);          // step 8
    bool insertDNQDrivers(const cLeague& league, const cRaces& race);     // step 9
    bool dropLowestFinishers(const cLeague& league, const cRaces& race);  // step 10
    bool dropInactiveDrivers(const cLeague& league, const cRaces& race);  // step 11
    bool setTotalPoints(const cLeague& league, const cRaces& race);       // step 12
    bool insertDroppedDrivers(const cLeague& league, const cRaces& race); // step 13

    // The latest race of the type that has posted rows; 0 when none.
    int currentRaceNmbr(int raceTypeNmbr);

private:
    bool checkedRowCount(const QString& column, const cLeague& league, const cRaces& race, int* rows);
    enum class Bonus { FastQual, MostLapsLed, LapsLed };
    bool setBonus(Bonus bonus, const cLeague& league, const cRaces& race);
    int countTopFinishes(int n, const cLeague& league, int teamNmbr, int raceNmbr);

    IDatabase m_db;
    int m_teamNmbr = 0;
    int m_carNmbr = 0;
    int m_raceNmbr = 0;
    int m_leagueNmbr = 0;
    int m_place = 0;
    int m_fastQualBonus = 0;
    int m_lapsLedBonus = 0;
    int m_mostLapsLedBonus = 0;
    int m_points = 0;
    int m_qualPoints = 0;
    int m_totalPoints = 0;
    int m_currentStatus = 0;
    int m_qualified = 0;
    int m_adjustment = 0;
};
