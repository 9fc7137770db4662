#pragma once

#include "data/IDatabase.h"
#include "data/RowList.h"
#include "data/cCarType.h"

// The car types. load reads all three; loadNoBonus only cars and drivers, for the lists that
// must not offer the bonus car.
class cCarTypeCollection : public RowList<cCarType> {
public:
    cCarType* Add(int carTypeNmbr, const QString& carTypeName, const QString& key = QString());
    int load();
    int loadNoBonus();
    // Loads all types into an empty list first; "" when the number is not in the list.
    QString getCarTypeName(int carTypeNmbr);

private:
    IDatabase m_db;
};
