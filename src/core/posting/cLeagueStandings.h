#pragma once

#include <QString>

// One team's line of a league's standings: its summed race points. Not stored; built by the
// standings list for one request.
class cLeagueStandings {
public:
    // A season's sum can pass what one race's points may hold, so it is kept in 64 bits.
    qint64 points() const { return m_points; }
    void setPoints(qint64 v) { m_points = v; }
    int raceTypeNmbr() const { return m_raceTypeNmbr; }
    void setRaceTypeNmbr(int v) { m_raceTypeNmbr = v; }
    QString teamOwner() const { return m_teamOwner; }
    void setTeamOwner(const QString& v) { m_teamOwner = v; }
    QString teamName() const { return m_teamName; }
    void setTeamName(const QString& v) { m_teamName = v; }
    int teamNmbr() const { return m_teamNmbr; }
    void setTeamNmbr(int v) { m_teamNmbr = v; }

private:
    qint64 m_points = 0;
    int m_raceTypeNmbr = 0;
    QString m_teamOwner;
    QString m_teamName;
    int m_teamNmbr = 0;
};
