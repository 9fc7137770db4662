#include "data/IDatabase.h"

#include "data/Feedback.h"
#include "data/Paths.h"
#include "data/cConnection.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {
QString notOpenMessage() {
    return QStringLiteral("The database is not open.");
}

SqlDatabase* openDatabase() {
    return gConnection ? gConnection->getConnection() : nullptr;
}

// Once a statement could not write the data file while that is watched (WriteFailureScope), no statement shows
// its box: the work that watches gives itself up whole and says so once, where a box for each statement that
// then fails would not say what became of it.
bool afterWriteFailure() {
    const SqlDatabase* db = openDatabase();
    return db && db->writeFailure() != SqlDatabase::WriteFailure::None;
}
} // namespace

void showStatementError(const QString& error, const QString& sql) {
    if (!afterWriteFailure())
        showQuorvantiBox(QStringLiteral("Error = ") + error + QStringLiteral(" SQL = ") + sql);
}

void StoredRows::clear() {
    m_columns.clear();
    m_values.clear();
    m_text.clear();
    m_rowCount = 0;
}

void StoredRows::append(const SqlRowView& row) {
    if (m_rowCount == 0) {
        const int columns = row.columnCount();
        for (int c = 0; c < columns; ++c)
            m_columns << row.columnName(c);
        m_row.resize(size_t(columns));
    }
    row.values(m_row.data());
    for (const SqlValue& v : m_row) {
        Value& stored = m_values.emplace_back();
        stored.kind = v.kind;
        switch (v.kind) {
        case SqlValue::Integer:
            stored.integer = v.integer;
            break;
        case SqlValue::Real:
            stored.real = v.real;
            break;
        case SqlValue::Text:
        case SqlValue::Blob:
            stored.nullBytes = v.bytes.data() == nullptr;
            stored.bytes = {quint32(m_text.size()), quint32(v.bytes.size())};
            m_text.insert(m_text.end(), v.bytes.data(), v.bytes.data() + v.bytes.size());
            break;
        case SqlValue::Null:
            break;
        }
    }
    ++m_rowCount;
}

void StoredRows::setColumns(const QStringList& names) {
    clear();
    m_columns = names;
    m_columnsGiven = 0;
}

int StoredRows::compare(qsizetype row, int column, const StoredRows& other, qsizetype otherRow, int otherColumn) const {
    const Value& a = at(row, column);
    const Value& b = other.at(otherRow, otherColumn);
    // The engine's order of the kinds: NULL, the numbers (integers and reals together), texts, blobs.
    auto rank = [](SqlValue::Kind k) {
        switch (k) {
        case SqlValue::Null:
            return 0;
        case SqlValue::Integer:
        case SqlValue::Real:
            return 1;
        case SqlValue::Text:
            return 2;
        case SqlValue::Blob:
            break;
        }
        return 3;
    };
    const int ra = rank(a.kind), rb = rank(b.kind);
    if (ra != rb)
        return ra < rb ? -1 : 1;
    if (ra == 0)
        return 0;
    if (ra == 1) {
        if (a.kind == SqlValue::Integer && b.kind == SqlValue::Integer)
            return a.integer < b.integer ? -1 : a.integer > b.integer ? 1 : 0;
        // An integer against a real is compared as two reals, as the engine does.
        const double x = a.kind == SqlValue::Real ? a.real : double(a.integer);
        const double y = b.kind == SqlValue::Real ? b.real : double(b.integer);
        return x < y ? -1 : x > y ? 1 : 0;
    }
    const QByteArrayView x = bytes(a), y = other.bytes(b);
    const qsizetype common = std::min(x.size(), y.size());
    const int c = common > 0 ? std::memcmp(x.data(), y.data(), size_t(common)) : 0;
    if (c != 0)
        return c < 0 ? -1 : 1;
    return x.size() < y.size() ? -1 : x.size() > y.size() ? 1 : 0;
}

int StoredRows::columnOf(QStringView name) const {
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant StoredRows::variant(const Value& v) const {
    switch (v.kind) {
    case SqlValue::Integer:
        return QVariant(qlonglong(v.integer));
    case SqlValue::Real:
        return QVariant(v.real);
    case SqlValue::Text:
        return QVariant(QString::fromUtf8(bytes(v)));
    case SqlValue::Blob:
        return QVariant(v.nullBytes ? QByteArray() : bytes(v).toByteArray());
    case SqlValue::Null:
        break;
    }
    return QVariant();
}

const StoredRows::Value* IDatabase::current(const QString& name) const {
    if (m_pos < 0 || atEnd())
        return nullptr;
    const int column = columnOf(name);
    if (column < 0)
        return nullptr;
    return &m_rows.at(m_pos, column);
}

QVariant cFields::value(const QString& name) const {
    const StoredRows::Value* v = m_owner.current(name);
    return v ? m_owner.m_rows.variant(*v) : QVariant();
}

// The readers below give what converting the QVariant would give; they take the short way for the
// kinds a query mostly gives them.
int cFields::toInt(const QString& name) const {
    const StoredRows::Value* v = m_owner.current(name);
    if (!v || v->kind == SqlValue::Null)
        return 0;
    if (v->kind == SqlValue::Integer && v->integer >= std::numeric_limits<int>::min() &&
        v->integer <= std::numeric_limits<int>::max())
        return int(v->integer);
    return m_owner.m_rows.variant(*v).toInt();
}

qint64 cFields::toInt64(const QString& name) const {
    const StoredRows::Value* v = m_owner.current(name);
    if (!v || v->kind == SqlValue::Null)
        return 0;
    if (v->kind == SqlValue::Integer)
        return v->integer;
    return m_owner.m_rows.variant(*v).toLongLong();
}

double cFields::toDouble(const QString& name) const {
    const StoredRows::Value* v = m_owner.current(name);
    if (!v || v->kind == SqlValue::Null)
        return 0;
    if (v->kind == SqlValue::Real)
        return v->real;
    if (v->kind == SqlValue::Integer)
        return double(v->integer);
    return m_owner.m_rows.variant(*v).toDouble();
}

const StoredRows::Value* cFields::stored(const QString& name) const {
    return m_owner.current(name);
}

QString cFields::text(const StoredRows::Value& v) const {
    switch (v.kind) {
    case SqlValue::Null:
        return QString();
    case SqlValue::Text:
        return QString::fromUtf8(m_owner.m_rows.bytes(v));
    case SqlValue::Integer:
        return QString::number(v.integer);
    case SqlValue::Real:
    case SqlValue::Blob:
        break;
    }
    return m_owner.m_rows.variant(v).toString();
}

QString cFields::toText(const QString& name) const {
    const StoredRows::Value* v = m_owner.current(name);
    return v ? text(*v) : QString();
}

int IDatabase::columnOf(const QString& name) const {
    // The names a reader asks for are mostly written as the query gives them, in lower case.
    const auto it = m_columnIndex.constFind(name);
    if (it != m_columnIndex.constEnd())
        return *it;
    return m_columnIndex.value(name.toLower(), -1);
}

QDate cFields::toDate(const QString& name) const {
    const QVariant v = value(name);
    if (v.isNull())
        return QDate();
    return QDate::fromString(v.toString().left(10), Qt::ISODate);
}

int cFields::count() const {
    return int(m_owner.m_rows.columns().size());
}

bool IDatabase::OpenResultSet(const QString& sql, const QVariantList& params) {
    // The rows are read into a fresh store, so that a query that fails leaves the previous rows.
    StoredRows rows;
    if (!forEachRow(sql, params, [&](const SqlRowView& row) { rows.append(row); }))
        return false;
    adoptRows(std::move(rows));
    return true;
}

bool IDatabase::forEachRow(const QString& sql, const QVariantList& params,
                           const std::function<void(const SqlRowView&)>& visit) {
    SqlDatabase* db = openDatabase();
    if (!db || !db->forEachRow(sql, params, visit)) {
        if (!afterWriteFailure())
            showQuorvantiBox(QStringLiteral("Error = ") + (db ? db->lastError() : notOpenMessage()) +
                             QStringLiteral("SQL = ") + sql);
        return false;
    }
    return true;
}

void IDatabase::adoptRows(StoredRows rows) {
    m_rows = std::move(rows);
    m_columnIndex.clear();
    for (int i = 0; i < m_rows.columns().size(); ++i)
        m_columnIndex.insert(m_rows.columns().at(i).toLower(), i);
    m_pos = 0;
    m_eof = m_rows.rowCount() == 0;
}

bool IDatabase::execute(const QString& sql, const QVariantList& params) {
    SqlDatabase* db = openDatabase();
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
        m_pos = m_rows.rowCount() == 0 ? 0 : m_rows.rowCount() - 1;
        return;
    }
    ++m_pos;
    m_eof = atEnd();
}

void IDatabase::MoveLast() {
    if (m_rows.rowCount() != 0)
        m_pos = m_rows.rowCount() - 1;
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
