#pragma once

#include "platform/SqlDatabase.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <QVariant>
#include <array>

class IDatabase;

// The box of a statement the engine rejected: "Error = " the engine's message " SQL = " the statement.
void showStatementError(const QString& error, const QString& sql);

// The columns of the current row, read by name (case-insensitively). Every read is harmless when
// there is no current row: it gives a null value.
class cFields {
public:
    explicit cFields(const IDatabase& owner) : m_owner(owner) {}
    QVariant operator()(const QString& name) const { return value(name); }
    QVariant value(const QString& name) const;
    bool isNull(const QString& name) const { return value(name).isNull(); }
    int toInt(const QString& name) const { return value(name).toInt(); }
    qint64 toInt64(const QString& name) const { return value(name).toLongLong(); }
    double toDouble(const QString& name) const { return value(name).toDouble(); }
    QString toText(const QString& name) const { return value(name).toString(); }
    // A date column (ISO text); an invalid date for NULL.
    QDate toDate(const QString& name) const;
    int count() const;

private:
    const IDatabase& m_owner;
};

// A result set over the shared database: one per data object, never shared. It reads a query's
// rows whole and walks them forwards and backwards with the BOF/EOF flags the loaders test.
class IDatabase {
public:
    IDatabase() : fields(*this) {}
    IDatabase(const IDatabase&) = delete;
    IDatabase& operator=(const IDatabase&) = delete;

    // Opens a query's rows; false after a box "Error = …SQL = …" (the previous rows stay).
    bool OpenResultSet(const QString& sql, const QVariantList& params = {});
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
    int recordCount() const { return int(m_rows.rows.size()); }
    // Rows changed by the last execute.
    int rowsAffected() const { return m_rowsAffected; }

    // Compacts the closed data file into destination (empty = the default backup, written back).
    bool compactDatabaseNow(QString& destination);

    cFields fields;

private:
    friend class cFields;
    bool atEnd() const { return m_pos >= m_rows.rows.size(); }
    // The column of a name (any letter case); -1 for none.
    int columnOf(const QString& name) const;
    bool beforeStart() const { return m_rows.rows.isEmpty() || m_pos < 0; }

    SqlRows m_rows;
    QHash<QString, int> m_columnIndex; // lower-case column name -> index
    // Names asked for lately, by where their text lies: the names are mostly literals, asked for again
    // for every row. The copy held keeps the text where it is and as it is.
    struct RecentName {
        QString name;
        int column = -1;
    };
    mutable std::array<RecentName, 64> m_recentNames;
    qsizetype m_pos = 0;
    bool m_bof = false;
    bool m_eof = false;
    int m_rowsAffected = 0;
};
