#pragma once

#include "data/IDatabase.h"

#include <QString>

// One row of race_type_dm: a racing series. Rows below 500 come with the data file.
class cRaceType {
public:
    cRaceType() = default;
    cRaceType(int nmbr, const QString& name) : m_raceTypeNmbr(nmbr), m_raceTypeName(name) {}

    QString raceTypeName() const { return m_raceTypeName; }
    void setRaceTypeName(const QString& name) { m_raceTypeName = name; }
    int raceTypeNmbr() const { return m_raceTypeNmbr; }
    void setRaceTypeNmbr(int nmbr) { m_raceTypeNmbr = nmbr; }

    // Gives the object the next user number (500 or more) and inserts its row.
    bool insertRow();
    bool updateRow();
    // Deletes only the race type's row; leagues, teams, cars and races keep the number.
    bool deleteRow();
    // insertRow while the object has no number yet (below 1), else updateRow.
    bool CommitChanges();

private:
    IDatabase m_db;
    int m_raceTypeNmbr = 0;
    QString m_raceTypeName;
};
