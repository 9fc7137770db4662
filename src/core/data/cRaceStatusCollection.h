#pragma once

#include "data/IDatabase.h"
#include "data/RowList.h"
#include "data/cRaceStatus.h"

// The race statuses, in table order.
class cRaceStatusCollection : public RowList<cRaceStatus> {
public:
    cRaceStatus* Add(int raceStatusNmbr, const QString& raceStatusName, const QString& key = QString());
    int load();
    // Loads an empty list first; "" when the number is not in the list.
    QString getraceStatusName(int raceStatusNmbr);

private:
    IDatabase m_db;
};
