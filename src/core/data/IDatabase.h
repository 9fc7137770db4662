#pragma once

#include "platform/SqlDatabase.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <QVariant>
#include <vector>

class IDatabase;

// The box of a statement the engine rejected: "Error = " the engine's message " SQL = " the statement.
void showStatementError(const QString& error, const QString& sql);

// The values of a query's rows, kept as the engine gave them: numbers as they are, texts in one block
// of UTF-8. A value becomes a QVariant or QString only when it is read, so a query pays for the
// values its reader uses rather than for every column of every row.
class StoredRows {
public:
    struct Value {
        SqlValue::Kind kind = SqlValue::Null;
        bool nullBytes = false; // a blob the engine gave as no bytes at all
        union {
            qint64 integer;
            double real;
            struct {
                quint32 at;
                quint32 size;
            } bytes;
        };
        Value() : integer(0) {}
    };

    void clear();
    void append(const SqlRowView& row);
    // Rows put together from the values of other rows: the column names first, then each row's values
    // in column order; a row is complete once its last column has its value.
    void setColumns(const QStringList& names);
    void reserve(qsizetype rows) { m_values.reserve(size_t(rows * m_columns.size())); }
    void appendValue(const StoredRows& from, qsizetype row, int column) {
        const Value& v = from.at(row, column);
        Value& stored = m_values.emplace_back(v);
        if (v.kind == SqlValue::Text || v.kind == SqlValue::Blob) {
            const char* const text = from.textAt(v.bytes.at);
            stored.bytes.at = quint32(m_text.size());
            m_text.insert(m_text.end(), text, text + v.bytes.size);
        }
        if (++m_columnsGiven == m_columns.size()) {
            m_columnsGiven = 0;
            ++m_rowCount;
        }
    }
    // Compares two values as the engine's ORDER BY does with the BINARY collation: NULL first, then
    // numbers by value, then texts, then blobs, texts and blobs byte by byte.
    int compare(qsizetype row, int column, const StoredRows& other, qsizetype otherRow, int otherColumn) const;
    // The column of a name as the engine gives it (any letter case); -1 for none.
    int columnOf(QStringView name) const;
    qsizetype rowCount() const { return m_rowCount; }
    const QStringList& columns() const { return m_columns; }
    const Value& at(qsizetype row, int column) const { return m_values[size_t(row * m_columns.size() + column)]; }
    QByteArrayView bytes(const Value& v) const { return QByteArrayView(textAt(v.bytes.at), v.bytes.size); }
    QVariant variant(const Value& v) const;

private:
    // Where a text lies; an empty text, too, lies somewhere (the engine gives none as no place).
    const char* textAt(quint32 at) const { return m_text.empty() ? "" : m_text.data() + at; }

    QStringList m_columns;
    std::vector<Value> m_values; // row after row
    std::vector<SqlValue> m_row; // the row being read
    std::vector<char> m_text;
    qsizetype m_rowCount = 0;
    qsizetype m_columnsGiven = 0; // of the row being put together
};

// A result set over the shared database: one per data object, never shared. It reads a query's
// rows whole and walks them forwards and backwards with the BOF/EOF flags the loaders test.
// The columns of the current row, read by name (case-insensitively). Every read is harmless when
// there is no current row: it gives a null value.
class cFields {
public:
    explicit cFields(const IDatabase& owner) : m_owner(owner) {}
    QVariant operator()(const QString& name) const { return value(name); }
    QVariant value(const QString& name) const;
    bool isNull(const QString& name) const { return value(name).isNull(); }
    // The same as converting value(name), without making the QVariant for the usual kinds.
    int toInt(const QString& name) const;
    qint64 toInt64(const QString& name) const;
    double toDouble(const QString& name) const;
    QString toText(const QString& name) const;
    // The value of the column in the current row as the engine gave it; nullptr when there is none.
    const StoredRows::Value* stored(const QString& name) const;
    // toText of a stored value of the current rows.
    QString text(const StoredRows::Value& value) const;
    // A date column (ISO text); an invalid date for NULL.
    QDate toDate(const QString& name) const;
    int count() const;

private:
    const IDatabase& m_owner;
};

class IDatabase {
public:
    IDatabase() : fields(*this) {}
    IDatabase(const IDatabase&) = delete;
    IDatabase& operator=(const IDatabase&) = delete;

    // Opens a query's rows; false after a box "Error = …SQL = …" (the previous rows stay).
    bool OpenResultSet(const QString& sql, const QVariantList& params = {});
    // Hands each row of a query to visit as the engine gives it, without keeping the rows (the rows
    // of this object stay as they are); false after the same box as OpenResultSet.
    bool forEachRow(const QString& sql, const QVariantList& params,
                    const std::function<void(const SqlRowView&)>& visit);
    // Runs a statement; false after a box "Error = … SQL = …". Rows a statement cannot write
    // because of a key are skipped by the tables' conflict rules, not reported.
    bool execute(const QString& sql, const QVariantList& params = {});

    void MoveFirst();
    void MoveNext();
    void MoveLast();
    void MovePrevious();
    // The BOF and EOF flags ("EOF" itself is a macro of the C library).
    bool isBOF() const { return m_bof; }
    bool isEOF() const { return m_eof; }
    void setBOF(bool v) { m_bof = v; }
    void setEOF(bool v) { m_eof = v; }
    int recordCount() const { return int(m_rows.rowCount()); }
    // The current row's number in storedRows().
    qsizetype position() const { return m_pos; }
    // Rows changed by the last execute.
    int rowsAffected() const { return m_rowsAffected; }

    // Takes rows put together elsewhere as if a query had given them, the first row current.
    void adoptRows(StoredRows rows);
    const StoredRows& storedRows() const { return m_rows; }

    // Compacts the closed data file into destination (empty = the default backup, written back).
    bool compactDatabaseNow(QString& destination);

    cFields fields;

private:
    friend class cFields;
    bool atEnd() const { return m_pos >= m_rows.rowCount(); }
    // The column of a name (any letter case); -1 for none.
    int columnOf(const QString& name) const;
    bool beforeStart() const { return m_rows.rowCount() == 0 || m_pos < 0; }
    // The value of the named column in the current row; nullptr when there is none.
    const StoredRows::Value* current(const QString& name) const;

    StoredRows m_rows;
    QHash<QString, int> m_columnIndex; // lower-case column name -> index
    qsizetype m_pos = 0;
    bool m_bof = false;
    bool m_eof = false;
    int m_rowsAffected = 0;
};
