#include "data/cGroupCollection.h"

#include "data/NamedRows.h"

cGroup* cGroupCollection::Add(int groupNmbr, const QString& groupName, int maxNmbr, const QString& key) {
    return append(std::make_unique<cGroup>(groupNmbr, groupName, maxNmbr), key);
}

int cGroupCollection::load() {
    if (m_db.OpenResultSet(QStringLiteral("SELECT * FROM group_dm"))) {
        for (m_db.MoveFirst(); !m_db.isEOF(); m_db.MoveNext())
            Add(m_db.fields.toInt(QStringLiteral("group_nmbr")), m_db.fields.toText(QStringLiteral("group_name")),
                groupLimitFrom(m_db.fields(QStringLiteral("max_nmbr"))));
    }
    return Count();
}

QString cGroupCollection::getGroupName(const QVariant& groupNmbr) {
    int nmbr = 0;
    if (!lookupNumber(groupNmbr, &nmbr))
        return QString();
    if (isEmpty())
        load();
    for (const cGroup& row : *this)
        if (row.groupNmbr() == nmbr)
            return row.groupName();
    return QString();
}
