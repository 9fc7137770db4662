#pragma once

#include <QByteArrayView>
#include <QElapsedTimer>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>

struct sqlite3;
struct sqlite3_stmt;

// The rows of one query, read whole, so that a cursor can walk them in both directions.
struct SqlRows {
    QStringList columns;
    QVector<QVector<QVariant>> rows;
};

// One value of a row as the engine holds it: its kind and its number, or its bytes (UTF-8 for a text),
// which stay valid until the next row.
struct SqlValue {
    enum Kind : quint8 { Null, Integer, Real, Text, Blob };
    Kind kind = Null;
    qint64 integer = 0;
    double real = 0;
    QByteArrayView bytes;
};

// One row of a statement being stepped, read in place; valid only while the row is being visited.
class SqlRowView {
public:
    explicit SqlRowView(sqlite3_stmt* stmt) : m_stmt(stmt) {}
    int columnCount() const;
    QString columnName(int column) const;
    // Every value of the row, one per column into out, read in one visit to the engine.
    void values(SqlValue* out) const;
    bool isInteger(int column) const;
    bool isText(int column) const;
    bool isNull(int column) const;
    qint64 integer(int column) const;
    // The value's text as the engine holds it, without a copy; valid until the next row.
    QByteArrayView utf8(int column) const;

private:
    sqlite3_stmt* m_stmt;
};

// The tables a piece of work wrote rows to, named as the schema spells them.
struct WrittenTables {
    QSet<QString> names;
    // Rows were written that the engine did not name (a table emptied as a whole): any table may
    // have changed.
    bool unknown = false;
    bool isEmpty() const { return names.isEmpty() && !unknown; }
};

// A thin owner of one encrypted SQLite connection: open with a key, run statements, read rows.
// Errors come back as false plus the engine's code and message; nothing here talks to the user.
class SqlDatabase {
public:
    SqlDatabase() = default;
    ~SqlDatabase();
    SqlDatabase(const SqlDatabase&) = delete;
    SqlDatabase& operator=(const SqlDatabase&) = delete;

    // Opens (or, with create, creates) the file and applies the key. With exclusive the connection
    // takes and keeps the file's exclusive lock, so no other process can open the file meanwhile.
    bool open(const QString& path, const QByteArray& key, bool create, bool exclusive);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    const QString& path() const { return m_path; }

    // Runs every statement of the text; values in params bind to the ? placeholders of a
    // single statement. Prepared statements are cached by their text when params are given.
    bool exec(const QString& sql, const QVariantList& params = {});
    bool query(const QString& sql, SqlRows* out, const QVariantList& params = {});
    // Steps through the rows of one query and hands each to visit as it is read, without keeping
    // them; for reads too large to hold whole. An exception thrown by visit leaves the statement
    // reset and passes on.
    bool forEachRow(const QString& sql, const QVariantList& params,
                    const std::function<void(const SqlRowView&)>& visit);
    // Runs a whole script in one call (statements separated by ";"), as the engine parses it.
    bool execScript(const QString& script);
    // Reads every page of the file from the disk's side (what the connection holds of it is let go first),
    // one after the other, through the engine's check of each page's code, without walking its tables:
    // false at a page that fails it, with SQLITE_CORRUPT. No more than a few pages are held at a time.
    bool readEveryPage();

    // While on, only statements that read and change rows compile (SELECT, INSERT, REPLACE, UPDATE,
    // DELETE); anything else (beginning or ending a transaction, a savepoint, creating, changing or
    // dropping a table, index, view or trigger, PRAGMA, ATTACH, DETACH, ANALYZE, REINDEX) fails to
    // compile with SQLITE_AUTH. They may call only the engine's ordinary scalar, aggregate and date
    // functions: nothing that loads code, hands out an address, or copies the data file out, and not
    // printf, which cannot be held to the value limit. With tables given, they may read and change
    // those tables only. The engine asks about every object a statement names, its triggers'
    // statements included, so no spelling or quoting gets past it.
    // Switching costs nothing: the connection keeps one authorizer from open to close, so the
    // statements it has prepared are never compiled again on this account.
    void setRowsOnly(bool on, const QStringList& tables = {});
    // Compiles every statement of the text in turn without running any; false with the engine's error at
    // the first that does not compile (SQLITE_AUTH when rows-only refused it).
    bool compiles(const QString& sql);
    // True when the last compiles() failed because rows-only refused a statement.
    bool refused() const { return m_refused; }
    // What rows-only refused, when it was a table or a function: "the table publish", "the function
    // load_extension"; empty for a kind of statement.
    const QString& refusal() const { return m_refusal; }
    // The tables the statements compiled since rows-only was switched on may insert into, update or
    // delete from (in lower case).
    const QSet<QString>& tablesChanged() const { return m_tablesChanged; }
    // From now on a running statement asks check, now and then, whether to stop; once it says so the
    // statement stops with SQLITE_INTERRUPT, and so does every statement after it while the check is
    // set. An empty check stops the asking. For text from outside the program that could otherwise
    // run without end, which only the user can tell from work that takes long. The engine asks only
    // between the steps of its program, never inside a function: LIKE, GLOB, instr, replace and the
    // trims with characters to trim are the connection's own (SqlFunctions.h), which ask too, and the
    // value limit bounds what any other function can be given to work through in one call.
    void setStopCheck(std::function<bool()> check);
    // True when the check said stop since it was set.
    bool stopped() const { return m_stopped; }
    // Asks the check, the first time at once and then at most once every kStopAskMs; true once it has
    // said stop. The connection's own functions ask here, since the engine does not stop them.
    bool stopAsked();
    // Often enough that a window shown while a statement runs answers a key and repaints at once,
    // seldom enough that the asking costs nothing beside the statement.
    static constexpr int kStopAskMs = 50;
    // From now on a statement that would make a text or blob (or read a row) longer than bytes stops
    // with SQLITE_TOOBIG; 0 gives the engine's own limit back.
    void setValueLimit(int bytes);
    // True when the last statement that failed stopped at the value limit.
    bool valueTooLong() const;
    // True while a transaction is open: after BEGIN and before the COMMIT or ROLLBACK that ends it,
    // whoever ran that (a statement's ON CONFLICT ROLLBACK and a trigger's RAISE(ROLLBACK) end it too).
    bool inTransaction() const;

    int lastErrorCode() const { return m_errorCode; }
    const QString& lastError() const { return m_error; }
    // While on, the first statement that fails because it could not write the data file or its journal is
    // remembered: the disk is full, or it failed to write (a read that failed is neither). From then on every
    // statement fails at once with the same error while no transaction is open, written nothing: at such a
    // failure the engine may end the transaction, and a statement run after it would be committed on its own.
    // Switching it on or off forgets the failure.
    enum class WriteFailure { None, DiskFull, DiskError };
    void setWatchWriteFailures(bool on);
    WriteFailure writeFailure() const { return m_writeFailure; }
    // The engine's message of that failure.
    const QString& writeFailureMessage() const { return m_writeFailureMessage; }
    int changes() const;
    // Rows inserted, updated or deleted since the connection opened.
    int totalChanges() const;
    qint64 lastInsertRowId() const;
    sqlite3* handle() const { return m_db; }

    static QString engineVersion();

    // Called once rows written through this connection are committed, after the statement that
    // committed them (one run outside a transaction, or the COMMIT), with the tables they belong to.
    // Rows a rollback took back are never told.
    void setWriteListener(std::function<void(const WrittenTables&)> listener) { m_writeListener = std::move(listener); }

private:
    friend class SqlStatement;
    bool fail(int code, const QString& message);
    bool fail();
    bool failNul();
    // True, with the remembered write failure as the last error, when no statement may run after it.
    bool failsAfterWriteFailure();
    sqlite3_stmt* cached(const QString& sql);
    bool bindAll(sqlite3_stmt* stmt, const QVariantList& params);
    // Prepares (or takes from the cache) and binds one statement, hands it to run, and resets or
    // finalizes it afterwards.
    bool runQuery(const QString& sql, const QVariantList& params, const std::function<bool(sqlite3_stmt*)>& run);
    bool stepEach(sqlite3_stmt* stmt, const std::function<void(const SqlRowView&)>& visit);
    bool stepAll(sqlite3_stmt* stmt, SqlRows* out);
    // Tells the write listener of the rows committed since it was last told.
    void noteWrites();
    void watchWrites();
    static void rowWritten(void* self, int operation, const char* database, const char* table, qint64 rowid);
    static int committing(void* self);
    static void rolledBack(void* self);

    sqlite3* m_db = nullptr;
    QString m_path;
    int m_errorCode = 0;
    QString m_error;
    QHash<QString, sqlite3_stmt*> m_cache;
    std::function<void(const WrittenTables&)> m_writeListener;
    int m_totalChanges = 0;
    // Rows written since the last noteWrites, as the engine named them one by one.
    qint64 m_rowsSeen = 0;
    QByteArray m_lastTable;
    WrittenTables m_uncommitted;
    WrittenTables m_committed;
    bool m_refused = false; // rows-only refused something since compiles() began
    bool m_watchWriteFailures = false;
    WriteFailure m_writeFailure = WriteFailure::None;
    QString m_writeFailureMessage;

    // The connection's one authorizer and its progress handler.
    static int authorize(void* self, int action, const char* arg1, const char* arg2, const char* database,
                         const char* trigger);
    static int checkStop(void* self);
    bool installOwnFunctions();
    bool m_rowsOnly = false;
    QSet<QString> m_tables; // with rows-only: the only tables statements may use; empty for any
    QString m_refusal;      // the table or function it refused
    QSet<QString> m_tablesChanged;
    std::function<bool()> m_stopCheck;
    QElapsedTimer m_sinceAsked; // invalid until the check is first asked
    bool m_stopped = false;
    int m_engineValueLimit = 0; // while a value limit is set: the engine's own, to give back
};

// Rows-only (see SqlDatabase::setRowsOnly) for as long as it lives.
class RowsOnlyScope {
public:
    explicit RowsOnlyScope(SqlDatabase& db, const QStringList& tables = {}) : m_db(db) {
        m_db.setRowsOnly(true, tables);
    }
    ~RowsOnlyScope() { m_db.setRowsOnly(false); }
    RowsOnlyScope(const RowsOnlyScope&) = delete;
    RowsOnlyScope& operator=(const RowsOnlyScope&) = delete;

private:
    SqlDatabase& m_db;
};

// A stop check (see SqlDatabase::setStopCheck) for as long as it lives.
class StopCheckScope {
public:
    StopCheckScope(SqlDatabase& db, std::function<bool()> check) : m_db(db) { m_db.setStopCheck(std::move(check)); }
    ~StopCheckScope() { m_db.setStopCheck({}); }
    StopCheckScope(const StopCheckScope&) = delete;
    StopCheckScope& operator=(const StopCheckScope&) = delete;

private:
    SqlDatabase& m_db;
};

// Write failures watched (see SqlDatabase::setWatchWriteFailures) for as long as it lives; db may be null.
class WriteFailureScope {
public:
    explicit WriteFailureScope(SqlDatabase* db) : m_db(db) {
        if (m_db)
            m_db->setWatchWriteFailures(true);
    }
    ~WriteFailureScope() {
        if (m_db)
            m_db->setWatchWriteFailures(false);
    }
    WriteFailureScope(const WriteFailureScope&) = delete;
    WriteFailureScope& operator=(const WriteFailureScope&) = delete;
    SqlDatabase::WriteFailure failure() const { return m_db ? m_db->writeFailure() : SqlDatabase::WriteFailure::None; }

private:
    SqlDatabase* m_db;
};

// A value limit (see SqlDatabase::setValueLimit) for as long as it lives.
class ValueLimitScope {
public:
    ValueLimitScope(SqlDatabase& db, int bytes) : m_db(db) { m_db.setValueLimit(bytes); }
    ~ValueLimitScope() { m_db.setValueLimit(0); }
    ValueLimitScope(const ValueLimitScope&) = delete;
    ValueLimitScope& operator=(const ValueLimitScope&) = delete;

private:
    SqlDatabase& m_db;
};

// One statement of the connection's cache, run again and again with values bound straight from
// the caller's variables: for work that writes a great many rows one by one (an import), where
// building a list of values for every row would cost more than the row itself. Valid while the
// connection stays open. Values are numbered from 1, as the statement's ? placeholders.
class SqlStatement {
public:
    SqlStatement(SqlDatabase& db, const QString& sql);
    // Whoever listens for writes hears of this statement's once, here, rather than after every run.
    ~SqlStatement();
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;

    // False when the statement could not be prepared; the reason is the database's last error.
    bool isValid() const { return m_stmt != nullptr; }
    const QString& sql() const { return m_sql; }
    void bind(int index, int value);
    void bind(int index, qint64 value);
    void bind(int index, double value);
    // A null text is bound as an empty text, never as NULL.
    void bind(int index, QStringView text);
    void bindNull(int index);
    // Runs the statement with the values bound since the last run; false with the engine's error
    // in the database.
    bool exec();
    // Rows changed by the last run.
    int changes() const;

private:
    SqlDatabase& m_db;
    QString m_sql;
    sqlite3_stmt* m_stmt = nullptr;
};
