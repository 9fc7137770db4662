#pragma once

#include <QString>

// One row of race_status_dm.
class cRaceStatus {
public:
    cRaceStatus() = default;
    cRaceStatus(int nmbr, const QString& name) : m_raceStatusNmbr(nmbr), m_raceStatusName(name) {}

    QString raceStatusName() const { return m_raceStatusName; }
    void setRaceStatusName(const QString& name) { m_raceStatusName = name; }
    int raceStatusNmbr() const { return m_raceStatusNmbr; }
    void setRaceStatusNmbr(int nmbr) { m_raceStatusNmbr = nmbr; }

private:
    int m_raceStatusNmbr = 0;
    QString m_raceStatusName;
};
