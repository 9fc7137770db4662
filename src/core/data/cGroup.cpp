#include "data/cGroup.h"

#include "data/NewNumber.h"
#include "data/SqlText.h"

int cGroup::load(int groupNmbr) {
    if (!m_db.OpenResultSet(QStringLiteral(" SELECT * FROM group_dm  WHERE group_nmbr = ") +
                            QString::number(groupNmbr)))
        return 0;
    if (m_db.isEOF()) {
        m_groupNmbr = -1;
        m_maxNmbr = -1;
        return 0;
    }
    m_groupName = m_db.fields.toText(QStringLiteral("group_name"));
    m_groupNmbr = m_db.fields.toInt(QStringLiteral("group_nmbr"));
    m_maxNmbr = groupLimitFrom(m_db.fields(QStringLiteral("max_nmbr")));
    return 1;
}

bool cGroup::insertRow() {
    int nmbr = 0;
    if (!newUserNumber(m_db, QStringLiteral("SELECT MAX(group_nmbr) as max_group_nmbr FROM group_dm "),
                       QStringLiteral("max_group_nmbr"), &nmbr))
        return false;
    const int previous = m_groupNmbr;
    m_groupNmbr = nmbr;
    const bool ok =
        m_db.execute(QStringLiteral("INSERT INTO group_dm  (group_nmbr,  max_nmbr,  group_name)  VALUES (") +
                     QString::number(m_groupNmbr) + QLatin1Char(',') + QString::number(m_maxNmbr) + QLatin1Char(',') +
                     sqlText(m_groupName) + QLatin1Char(')'));
    // Without a stored row the object must stay "new", or the next save would update nothing.
    if (!ok)
        m_groupNmbr = previous;
    return ok;
}

bool cGroup::updateRow() {
    return m_db.execute(QStringLiteral("UPDATE group_dm  set group_name = ") + sqlText(m_groupName) +
                        QStringLiteral(", max_nmbr = ") + QString::number(m_maxNmbr) +
                        QStringLiteral(" WHERE group_nmbr = ") + QString::number(m_groupNmbr));
}

bool cGroup::deleteRow() {
    return m_db.execute(QStringLiteral("DELETE FROM group_dm  WHERE group_nmbr = ") + QString::number(m_groupNmbr));
}

bool cGroup::CommitChanges() {
    return m_groupNmbr < 1 ? insertRow() : updateRow();
}
