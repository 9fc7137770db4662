#pragma once

#include "data/IDatabase.h"
#include "data/RowList.h"
#include "data/cGroup.h"

#include <QVariant>

// Every car/driver group, in table order.
class cGroupCollection : public RowList<cGroup> {
public:
    cGroup* Add(int groupNmbr, const QString& groupName, int maxNmbr, const QString& key = QString());
    // Appends every group (a NULL limit as -1) and returns the count.
    int load();
    // Loads an empty list first; "" for empty text, a non-number, -1 (no group) or a number without a row.
    QString getGroupName(const QVariant& groupNmbr);

private:
    IDatabase m_db;
};
