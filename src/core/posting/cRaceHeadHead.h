#pragma once

#include "data/IDatabase.h"

// One head-to-head pairing of two teams of a league in a race (a row of `race_head_head`).
class cRaceHeadHead {
public:
    cRaceHeadHead() = default;
    cRaceHeadHead(const cRaceHeadHead&) = delete;
    cRaceHeadHead& operator=(const cRaceHeadHead&) = delete;

    int raceNmbr() const { return m_raceNmbr; }
    void setRaceNmbr(int v) { m_raceNmbr = v; }
    int leagueNmbr() const { return m_leagueNmbr; }
    void setLeagueNmbr(int v) { m_leagueNmbr = v; }
    int teamNmbr1() const { return m_teamNmbr1; }
    void setTeamNmbr1(int v) { m_teamNmbr1 = v; }
    int teamnmbr2() const { return m_teamNmbr2; }
    void setTeamnmbr2(int v) { m_teamNmbr2 = v; }

    // Fills the object from the first matching pairing; false (unchanged) when there is none.
    bool load(int raceNmbr, int teamNmbr1, int teamNmbr2);
    // A pairing is never updated, only stored.
    bool CommitChanges() { return insertRow(); }
    bool insertRow();
    bool deleteRow();

private:
    friend class cRaceHeadHeadCollection;
    void loadFromResultSet();

    int m_raceNmbr = 0;
    int m_leagueNmbr = 0;
    int m_teamNmbr1 = 0;
    int m_teamNmbr2 = 0;
    IDatabase m_db;
};
