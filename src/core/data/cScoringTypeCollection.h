#pragma once

#include "data/IDatabase.h"
#include "data/RowList.h"
#include "data/cScoringType.h"

// Every scoring method, in table order.
class cScoringTypeCollection : public RowList<cScoringType> {
public:
    cScoringType* Add(int scoringTypeNmbr, const QString& scoringTypeName, int lapsLedBonus, int mostLapsLedBonus,
                      int fastQualBonus, const QString& key = QString());
    int load();
    // Loads an empty list first; "" when the number is not in the list.
    QString getScoringTypeName(int scoringTypeNmbr);

private:
    IDatabase m_db;
};
