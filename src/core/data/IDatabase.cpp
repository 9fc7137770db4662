#include "data/IDatabase.h"

#include "data/Feedback.h"
#include "data/Paths.h"
#include "data/cConnection.h"

namespace {
QString notOpenMessage() {
    return QStringLiteral("The database is not open.");
}
} // namespace

void showStatementError(const QString& error, const QString& sql) {
    showQuorvantiBox(QStringLiteral("Error = ") + error + QStringLiteral(" SQL = ") + sql);
}

QVariant cFields::value(const QString& name) const {
    if (m_owner.m_pos < 0 || m_owner.atEnd())
        return QVariant();
    const int column = m_owner.columnOf(name);
    if (column < 0)
        return QVariant();
    return m_owner.m_rows.rows.at(m_owner.m_pos).at(column);
}

int IDatabase::columnOf(const QString& name) const {
    RecentName& recent = m_recentNames[(quintptr(name.constData()) >> 4) % m_recentNames.size()];
    if (recent.name.constData() == name.constData() && recent.name.size() == name.size() && !name.isNull())
        return recent.column;
    const auto it = m_columnIndex.constFind(name.toLower());
    recent.name = name;
    recent.column = it == m_columnIndex.constEnd() ? -1 : *it;
    return recent.column;
}

QDate cFields::toDate(const QString& name) const {
    const QVariant v = value(name);
    if (v.isNull())
        return QDate();
    return QDate::fromString(v.toString().left(10), Qt::ISODate);
}

int cFields::count() const {
    return int(m_owner.m_rows.columns.size());
}

bool IDatabase::OpenResultSet(const QString& sql, const QVariantList& params) {
    SqlDatabase* db = gConnection ? gConnection->getConnection() : nullptr;
    SqlRows rows;
    if (!db || !db->query(sql, &rows, params)) {
        showQuorvantiBox(QStringLiteral("Error = ") + (db ? db->lastError() : notOpenMessage()) +
                         QStringLiteral("SQL = ") + sql);
        return false;
    }
    m_rows = std::move(rows);
    m_columnIndex.clear();
    m_recentNames.fill(RecentName());
    for (int i = 0; i < m_rows.columns.size(); ++i)
        m_columnIndex.insert(m_rows.columns.at(i).toLower(), i);
    m_pos = 0;
    m_eof = m_rows.rows.isEmpty();
    return true;
}

bool IDatabase::execute(const QString& sql, const QVariantList& params) {
    SqlDatabase* db = gConnection ? gConnection->getConnection() : nullptr;
    if (!db || !db->exec(sql, params)) {
        showStatementError(db ? db->lastError() : notOpenMessage(), sql);
        m_rowsAffected = 0;
        return false;
    }
    m_rowsAffected = db->changes();
    return true;
}

void IDatabase::MoveFirst() {
    m_pos = 0;
    m_bof = beforeStart();
    m_eof = atEnd();
}

void IDatabase::MoveNext() {
    if (atEnd()) {
        // Moving past the end again keeps EOF and makes the last row current.
        m_eof = true;
        m_pos = m_rows.rows.isEmpty() ? 0 : m_rows.rows.size() - 1;
        return;
    }
    ++m_pos;
    m_eof = atEnd();
}

void IDatabase::MoveLast() {
    if (!m_rows.rows.isEmpty())
        m_pos = m_rows.rows.size() - 1;
}

void IDatabase::MovePrevious() {
    if (m_pos > 0)
        --m_pos;
    else
        m_pos = 0;
    m_bof = beforeStart();
    m_eof = atEnd();
}

bool IDatabase::compactDatabaseNow(QString& destination) {
    if (destination.isEmpty())
        destination = defaultBackupPath();
    QString error;
    return compactFile(dataFilePath(), destination, &error);
}
