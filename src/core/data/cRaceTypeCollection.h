#pragma once

#include "data/IDatabase.h"
#include "data/RowList.h"
#include "data/cRaceType.h"

#include <QVariant>

// The race types, in table order. Loads append; a lookup loads only an empty list, so the list
// keeps what it read until the collection is replaced.
class cRaceTypeCollection : public RowList<cRaceType> {
public:
    cRaceType* Add(int raceTypeNmbr, const QString& raceTypeName, const QString& key = QString());
    int load();
    // The name of a race type number; "" for empty text, a non-number, or a number without a row.
    QString getRaceTypeName(const QVariant& raceTypeNmbr);

private:
    IDatabase m_db;
};
