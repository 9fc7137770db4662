#pragma once

#include "data/IDatabase.h"

#include <QString>

// One row of group_dm: a class of cars/drivers with the most of them one team may hold at once.
class cGroup {
public:
    cGroup() = default;
    cGroup(int nmbr, const QString& name, int maxNmbr) : m_groupNmbr(nmbr), m_groupName(name), m_maxNmbr(maxNmbr) {}

    QString groupName() const { return m_groupName; }
    void setGroupName(const QString& name) { m_groupName = name; }
    int groupNmbr() const { return m_groupNmbr; }
    void setGroupNmbr(int nmbr) { m_groupNmbr = nmbr; }
    // The limit; -1 (and any negative value) means no limit, 0 that none may be held.
    int maxNmbr() const { return m_maxNmbr; }
    void setMaxNmbr(int maxNmbr) { m_maxNmbr = maxNmbr; }

    // 1 when the row was found. 0 when not: number and limit become -1 and the name stays.
    // A query that fails leaves the object as it was.
    int load(int groupNmbr);
    // Gives the object the next user number (500 or more) and inserts its row.
    bool insertRow();
    bool updateRow();
    // Deletes only the group's row; cars/drivers keep the number.
    bool deleteRow();
    bool CommitChanges();

private:
    IDatabase m_db;
    int m_groupNmbr = 0;
    QString m_groupName;
    int m_maxNmbr = 0;
};

// A group limit column as the objects hold it: NULL means no limit (-1).
inline int groupLimitFrom(const QVariant& value) {
    return value.isNull() ? -1 : value.toInt();
}
