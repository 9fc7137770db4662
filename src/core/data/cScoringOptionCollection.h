#pragma once

#include "data/IDatabase.h"
#include "data/RowList.h"
#include "data/cScoringOption.h"

// The scoring options, in table order.
class cScoringOptionCollection : public RowList<cScoringOption> {
public:
    cScoringOption* Add(int scoringOptionNmbr, const QString& scoringOptionName, const QString& key = QString());
    int load();
    // Loads an empty list first; "" when the number is not in the list.
    QString getScoringOptionName(int scoringOptionNmbr);

private:
    IDatabase m_db;
};
