#include "platform/SqlDatabase.h"

#include "platform/SqlFunctions.h"

#include <QDate>
#include <QDateTime>
#include <cstring>
#include <sqlite3.h>

#if SQLITE_VERSION_NUMBER > 3015002
#warning "sqlite3.h is not the SQLCipher header; the data file would not be encrypted"
#endif

SqlDatabase::~SqlDatabase() {
    close();
}

QString SqlDatabase::engineVersion() {
    return QString::fromUtf8(sqlite3_libversion());
}

bool SqlDatabase::fail(int code, const QString& message) {
    m_errorCode = code;
    m_error = message;
    return false;
}

bool SqlDatabase::failNul() {
    // The engine reads text only up to a NUL character and would leave the rest unread.
    return fail(SQLITE_MISUSE, QStringLiteral("The statement holds a NUL character."));
}

bool SqlDatabase::fail() {
    if (!m_db)
        return fail(SQLITE_MISUSE, QStringLiteral("The database is not open."));
    // The extended code tells a read that failed from a write, with extended result codes off too.
    const int extended = sqlite3_extended_errcode(m_db);
    const int code = extended & 0xff;
    const QString message = QString::fromUtf8(sqlite3_errmsg(m_db));
    const bool readFailed = extended == SQLITE_IOERR_READ || extended == SQLITE_IOERR_SHORT_READ;
    if (m_watchWriteFailures && m_writeFailure == WriteFailure::None &&
        (code == SQLITE_FULL || (code == SQLITE_IOERR && !readFailed))) {
        m_writeFailure = code == SQLITE_FULL ? WriteFailure::DiskFull : WriteFailure::DiskError;
        m_writeFailureMessage = message;
    }
    return fail(code, message);
}

void SqlDatabase::setWatchWriteFailures(bool on) {
    m_watchWriteFailures = on;
    m_writeFailure = WriteFailure::None;
    m_writeFailureMessage.clear();
}

bool SqlDatabase::failsAfterWriteFailure() {
    if (m_writeFailure == WriteFailure::None || inTransaction())
        return false;
    fail(m_writeFailure == WriteFailure::DiskFull ? SQLITE_FULL : SQLITE_IOERR, m_writeFailureMessage);
    return true;
}

bool SqlDatabase::open(const QString& path, const QByteArray& key, bool create, bool exclusive) {
    close();
    m_errorCode = 0;
    m_error.clear();
    // The program uses a connection from one thread only: the engine need not lock it at every call
    // (a report run asks for a few million values, each once).
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    int rc = sqlite3_open_v2(path.toUtf8().constData(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        QString msg = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("out of memory");
        if (rc == SQLITE_CANTOPEN)
            msg = QStringLiteral("Could not find file '%1'.").arg(path);
        sqlite3_close(m_db);
        m_db = nullptr;
        return fail(rc, msg);
    }
    m_path = path;
    sqlite3_extended_result_codes(m_db, 0);
    watchWrites();

    // The cipher settings are spelled out so that files stay readable if the engine's defaults move.
    // The defaults apply to every database this connection attaches as well (backups).
    const QByteArray escapedKey = QByteArray(key).replace('\'', "''");
    const QByteArray setup = "PRAGMA cipher_default_page_size = 4096;"
                             "PRAGMA cipher_default_kdf_iter = 64000;"
                             "PRAGMA key = '" +
                             escapedKey +
                             "';"
                             "PRAGMA cipher_page_size = 4096;"
                             "PRAGMA kdf_iter = 64000;";
    if (sqlite3_exec(m_db, setup.constData(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        fail();
        close();
        return false;
    }
    SqlRows rows;
    if (!query(QStringLiteral("PRAGMA cipher_version"), &rows) || rows.rows.isEmpty() ||
        rows.rows.first().value(0).toString().isEmpty()) {
        fail(SQLITE_MISUSE, QStringLiteral("The database engine has no encryption."));
        close();
        return false;
    }
    // The first read proves the key; a wrong key fails here with SQLITE_NOTADB.
    const char* firstRead = exclusive ? "PRAGMA locking_mode = EXCLUSIVE; SELECT count(*) FROM sqlite_master;"
                                      : "SELECT count(*) FROM sqlite_master;";
    if (sqlite3_exec(m_db, firstRead, nullptr, nullptr, nullptr) != SQLITE_OK) {
        fail();
        const int code = m_errorCode;
        const QString msg = m_error;
        close();
        return fail(code, msg);
    }
    if (exclusive) {
        // An empty write transaction takes the exclusive lock, which exclusive locking mode keeps.
        if (sqlite3_exec(m_db, "BEGIN EXCLUSIVE; COMMIT;", nullptr, nullptr, nullptr) != SQLITE_OK) {
            fail();
            const int code = m_errorCode;
            const QString msg = m_error;
            close();
            return fail(code, msg);
        }
    }
    sqlite3_exec(m_db, "PRAGMA foreign_keys = OFF;", nullptr, nullptr, nullptr);
    // 16 MiB of page cache: posting a race updates three indexes of the season's result rows, and
    // with the engine's 2 MiB the same pages were read and decrypted over and over. Measured with
    // bench/posting: 8 MiB helped less, 32 MiB no more.
    sqlite3_exec(m_db, "PRAGMA cache_size = -16384;", nullptr, nullptr, nullptr);
    // Installed once: installing an authorizer makes the engine compile every prepared statement
    // again, which switching rows-only on and off for each run of a script would otherwise cost.
    sqlite3_set_authorizer(m_db, &SqlDatabase::authorize, this);
    if (!installOwnFunctions()) {
        fail();
        close();
        return false;
    }
    return true;
}

void SqlDatabase::close() {
    for (sqlite3_stmt* s : std::as_const(m_cache))
        sqlite3_finalize(s);
    m_cache.clear();
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    m_path.clear();
}

int SqlDatabase::changes() const {
    return m_db ? sqlite3_changes(m_db) : 0;
}

int SqlDatabase::totalChanges() const {
    return m_db ? sqlite3_total_changes(m_db) : 0;
}

qint64 SqlDatabase::lastInsertRowId() const {
    return m_db ? sqlite3_last_insert_rowid(m_db) : 0;
}

bool SqlDatabase::bindAll(sqlite3_stmt* stmt, const QVariantList& params) {
    if (params.size() != sqlite3_bind_parameter_count(stmt))
        return fail(
            SQLITE_RANGE,
            QStringLiteral("Expected %1 values, got %2.").arg(sqlite3_bind_parameter_count(stmt)).arg(params.size()));
    for (int i = 0; i < params.size(); ++i) {
        const QVariant& v = params.at(i);
        int rc = SQLITE_OK;
        const int idx = i + 1;
        if (v.isNull()) {
            rc = sqlite3_bind_null(stmt, idx);
        } else {
            switch (v.typeId()) {
            case QMetaType::Bool:
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::Short:
            case QMetaType::UShort:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
            case QMetaType::UChar:
            case QMetaType::Char:
                rc = sqlite3_bind_int64(stmt, idx, v.toLongLong());
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                rc = sqlite3_bind_double(stmt, idx, v.toDouble());
                break;
            case QMetaType::QDate: {
                const QByteArray iso = v.toDate().toString(Qt::ISODate).toUtf8();
                rc = sqlite3_bind_text(stmt, idx, iso.constData(), iso.size(), SQLITE_TRANSIENT);
                break;
            }
            case QMetaType::QByteArray: {
                const QByteArray b = v.toByteArray();
                rc = sqlite3_bind_blob(stmt, idx, b.constData(), b.size(), SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QByteArray t = v.toString().toUtf8();
                rc = sqlite3_bind_text(stmt, idx, t.constData(), t.size(), SQLITE_TRANSIENT);
                break;
            }
            }
        }
        if (rc != SQLITE_OK)
            return fail();
    }
    return true;
}

bool SqlDatabase::stepEach(sqlite3_stmt* stmt, const std::function<void(const SqlRowView&)>& visit) {
    const SqlRowView row(stmt);
    for (;;) {
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_DONE)
            return true;
        if (rc != SQLITE_ROW)
            return fail();
        if (visit)
            visit(row);
    }
}

bool SqlDatabase::stepAll(sqlite3_stmt* stmt, SqlRows* out) {
    if (!out)
        return stepEach(stmt, nullptr);
    const int ncol = sqlite3_column_count(stmt);
    out->columns.clear();
    out->rows.clear();
    for (int c = 0; c < ncol; ++c)
        out->columns << QString::fromUtf8(sqlite3_column_name(stmt, c));
    return stepEach(stmt, [&](const SqlRowView&) {
        QVector<QVariant> row(ncol);
        for (int c = 0; c < ncol; ++c) {
            switch (sqlite3_column_type(stmt, c)) {
            case SQLITE_INTEGER:
                row[c] = QVariant(qlonglong(sqlite3_column_int64(stmt, c)));
                break;
            case SQLITE_FLOAT:
                row[c] = QVariant(sqlite3_column_double(stmt, c));
                break;
            case SQLITE_TEXT:
                row[c] = QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c)),
                                                    sqlite3_column_bytes(stmt, c)));
                break;
            case SQLITE_BLOB:
                row[c] = QVariant(
                    QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, c)), sqlite3_column_bytes(stmt, c)));
                break;
            default:
                break;
            }
        }
        out->rows.push_back(std::move(row));
    });
}

sqlite3_stmt* SqlDatabase::cached(const QString& sql) {
    auto it = m_cache.constFind(sql);
    if (it != m_cache.constEnd()) {
        sqlite3_reset(*it);
        sqlite3_clear_bindings(*it);
        return *it;
    }
    sqlite3_stmt* stmt = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(m_db, text.constData(), text.size(), &stmt, nullptr) != SQLITE_OK) {
        fail();
        return nullptr;
    }
    if (!stmt) {
        fail(SQLITE_MISUSE, QStringLiteral("The statement is empty."));
        return nullptr;
    }
    m_cache.insert(sql, stmt);
    return stmt;
}

bool SqlDatabase::exec(const QString& sql, const QVariantList& params) {
    if (!m_db)
        return fail();
    if (failsAfterWriteFailure())
        return false;
    if (!params.isEmpty())
        return runQuery(sql, params, [&](sqlite3_stmt* stmt) { return stepEach(stmt, nullptr); });
    const QByteArray text = sql.toUtf8();
    if (text.contains('\0'))
        return failNul();
    const char* p = text.constData();
    const char* end = p + text.size();
    bool ranOne = false;
    while (p < end) {
        sqlite3_stmt* stmt = nullptr;
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(m_db, p, int(end - p), &stmt, &tail) != SQLITE_OK)
            return fail();
        if (!stmt && (!tail || tail <= p))
            break; // nothing the engine reads as a statement is left
        p = tail;
        if (!stmt)
            continue; // blank text or a comment
        ranOne = true;
        const bool ok = stepAll(stmt, nullptr);
        sqlite3_finalize(stmt);
        noteWrites();
        if (!ok)
            return false;
    }
    if (!ranOne)
        return fail(SQLITE_MISUSE, QStringLiteral("The statement is empty."));
    return true;
}

bool SqlDatabase::query(const QString& sql, SqlRows* out, const QVariantList& params) {
    return runQuery(sql, params, [&](sqlite3_stmt* stmt) { return stepAll(stmt, out); });
}

bool SqlDatabase::runQuery(const QString& sql, const QVariantList& params,
                           const std::function<bool(sqlite3_stmt*)>& run) {
    if (!m_db)
        return fail();
    if (failsAfterWriteFailure())
        return false;
    sqlite3_stmt* stmt = nullptr;
    const bool keep = !params.isEmpty();
    if (keep) {
        stmt = cached(sql);
        if (!stmt)
            return false;
    } else {
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(m_db, text.constData(), text.size(), &stmt, nullptr) != SQLITE_OK)
            return fail();
        if (!stmt)
            return fail(SQLITE_MISUSE, QStringLiteral("The query is empty."));
    }
    // A cached statement is only reset, a one-off one finalized, however the run ends.
    struct Done {
        sqlite3_stmt* stmt;
        bool keep;
        ~Done() { keep ? sqlite3_reset(stmt) : sqlite3_finalize(stmt); }
    } done{stmt, keep};
    const bool ok = (!keep || bindAll(stmt, params)) && run(stmt);
    noteWrites();
    return ok;
}

void SqlDatabase::watchWrites() {
    m_totalChanges = 0;
    m_rowsSeen = 0;
    m_lastTable.clear();
    m_uncommitted = {};
    m_committed = {};
    sqlite3_update_hook(m_db, &SqlDatabase::rowWritten, this);
    sqlite3_commit_hook(m_db, &SqlDatabase::committing, this);
    sqlite3_rollback_hook(m_db, &SqlDatabase::rolledBack, this);
}

void SqlDatabase::rowWritten(void* self, int, const char*, const char* table, qint64) {
    auto* db = static_cast<SqlDatabase*>(self);
    ++db->m_rowsSeen;
    // Work writes many rows of one table in a row; the set is touched only when the table changes.
    if (db->m_lastTable != table) {
        db->m_lastTable = table;
        db->m_uncommitted.names.insert(QString::fromUtf8(table));
    }
}

int SqlDatabase::committing(void* self) {
    auto* db = static_cast<SqlDatabase*>(self);
    db->m_committed.names.unite(db->m_uncommitted.names);
    db->m_committed.unknown = db->m_committed.unknown || db->m_uncommitted.unknown;
    db->m_uncommitted = {};
    db->m_lastTable.clear();
    return 0; // the commit goes ahead
}

void SqlDatabase::rolledBack(void* self) {
    auto* db = static_cast<SqlDatabase*>(self);
    db->m_uncommitted = {};
    db->m_lastTable.clear();
}

void SqlDatabase::noteWrites() {
    if (!m_db)
        return;
    // The count covers every row an INSERT, UPDATE or DELETE touched since the connection opened.
    // The engine names each row's table as it writes it, except where it empties a table whole:
    // rows counted but not named leave every table in doubt.
    const int total = sqlite3_total_changes(m_db);
    if (total - m_totalChanges > m_rowsSeen)
        (inTransaction() ? m_uncommitted : m_committed).unknown = true;
    m_totalChanges = total;
    m_rowsSeen = 0;
    if (m_committed.isEmpty())
        return;
    const WrittenTables written = std::exchange(m_committed, WrittenTables{});
    if (m_writeListener)
        m_writeListener(written);
}

int SqlRowView::columnCount() const {
    return sqlite3_column_count(m_stmt);
}

QString SqlRowView::columnName(int column) const {
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

void SqlRowView::values(SqlValue* out) const {
    // The values are read as the engine holds them, with the connection held once for the row rather
    // than once for each thing asked of each column.
    sqlite3_mutex* const mutex = sqlite3_db_mutex(sqlite3_db_handle(m_stmt));
    sqlite3_mutex_enter(mutex);
    const int columns = sqlite3_column_count(m_stmt);
    for (int c = 0; c < columns; ++c) {
        sqlite3_value* const v = sqlite3_column_value(m_stmt, c);
        SqlValue& value = out[c];
        switch (sqlite3_value_type(v)) {
        case SQLITE_INTEGER:
            value = {SqlValue::Integer, sqlite3_value_int64(v), 0, {}};
            break;
        case SQLITE_FLOAT:
            value = {SqlValue::Real, 0, sqlite3_value_double(v), {}};
            break;
        case SQLITE_TEXT: {
            const auto* chars = reinterpret_cast<const char*>(sqlite3_value_text(v));
            value = {SqlValue::Text, 0, 0, QByteArrayView(chars, sqlite3_value_bytes(v))};
            break;
        }
        case SQLITE_BLOB: {
            const auto* bytes = static_cast<const char*>(sqlite3_value_blob(v));
            value = {SqlValue::Blob, 0, 0, QByteArrayView(bytes, sqlite3_value_bytes(v))};
            break;
        }
        default:
            value = {};
            break;
        }
    }
    sqlite3_mutex_leave(mutex);
}

bool SqlRowView::isInteger(int column) const {
    return sqlite3_column_type(m_stmt, column) == SQLITE_INTEGER;
}

bool SqlRowView::isText(int column) const {
    return sqlite3_column_type(m_stmt, column) == SQLITE_TEXT;
}

bool SqlRowView::isNull(int column) const {
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

qint64 SqlRowView::integer(int column) const {
    return sqlite3_column_int64(m_stmt, column);
}

QByteArrayView SqlRowView::utf8(int column) const {
    const auto* chars = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return QByteArrayView(chars, sqlite3_column_bytes(m_stmt, column));
}

bool SqlDatabase::forEachRow(const QString& sql, const QVariantList& params,
                             const std::function<void(const SqlRowView&)>& visit) {
    return runQuery(sql, params, [&](sqlite3_stmt* stmt) { return stepEach(stmt, visit); });
}

namespace {

// The engine's ordinary functions: scalar, aggregate and date. Nothing that loads code, reads or
// writes a file, hands out an address (fts3_tokenizer), copies the data file out
// (sqlcipher_export), or tells how the engine was built. Nor printf: the engine builds a number as wide
// as the format asks (two billion digits) before it looks at the value limit, for seconds and
// gigabytes where no stop reaches it, and gives NULL where the text passes the limit, which a
// statement then stores without a word. Work on rows has no need of it.
bool ordinaryFunction(const char* name) {
    static const char* const kNames[] = {"abs",           "avg",          "changes",
                                         "char",          "coalesce",     "count",
                                         "current_date",  "current_time", "current_timestamp",
                                         "date",          "datetime",     "glob",
                                         "group_concat",  "hex",          "ifnull",
                                         "instr",         "julianday",    "last_insert_rowid",
                                         "length",        "like",         "likelihood",
                                         "likely",        "lower",        "ltrim",
                                         "max",           "min",          "nullif",
                                         "quote",         "random",       "randomblob",
                                         "replace",       "round",        "rtrim",
                                         "soundex",       "strftime",     "substr",
                                         "sum",           "time",         "total",
                                         "total_changes", "trim",         "typeof",
                                         "unicode",       "unlikely",     "upper",
                                         "zeroblob"};
    if (!name)
        return false;
    for (const char* known : kNames)
        if (sqlite3_stricmp(name, known) == 0)
            return true;
    return false;
}

} // namespace

int SqlDatabase::authorize(void* self, int action, const char* arg1, const char* arg2, const char*, const char*) {
    auto* db = static_cast<SqlDatabase*>(self);
    if (!db->m_rowsOnly)
        return SQLITE_OK;
    const QString table = arg1 ? QString::fromUtf8(arg1).toLower() : QString();
    const bool tableAllowed = !table.isEmpty() && (db->m_tables.isEmpty() || db->m_tables.contains(table));
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_RECURSIVE:
        return SQLITE_OK;
    case SQLITE_READ:
        if (tableAllowed)
            return SQLITE_OK;
        db->m_refusal = QStringLiteral("the table ") + QString::fromUtf8(arg1);
        break;
    case SQLITE_INSERT:
    case SQLITE_UPDATE:
    case SQLITE_DELETE:
        if (tableAllowed) {
            db->m_tablesChanged.insert(table);
            return SQLITE_OK;
        }
        db->m_refusal = QStringLiteral("the table ") + QString::fromUtf8(arg1);
        break;
    case SQLITE_FUNCTION:
        if (ordinaryFunction(arg2))
            return SQLITE_OK;
        db->m_refusal = QStringLiteral("the function ") + QString::fromUtf8(arg2);
        break;
    default:
        break;
    }
    db->m_refused = true;
    return SQLITE_DENY;
}

void SqlDatabase::setRowsOnly(bool on, const QStringList& tables) {
    m_rowsOnly = on;
    m_tables.clear();
    for (const QString& t : tables)
        m_tables.insert(t.toLower());
    m_tablesChanged.clear();
}

bool SqlDatabase::stopAsked() {
    if (m_stopped)
        return true;
    if (!m_stopCheck || (m_sinceAsked.isValid() && m_sinceAsked.elapsed() < kStopAskMs))
        return false;
    m_sinceAsked.start();
    m_stopped = m_stopCheck();
    return m_stopped;
}

int SqlDatabase::checkStop(void* self) {
    // Non-zero: the statement stops with SQLITE_INTERRUPT.
    return static_cast<SqlDatabase*>(self)->stopAsked() ? 1 : 0;
}

void SqlDatabase::setStopCheck(std::function<bool()> check) {
    m_stopCheck = std::move(check);
    m_stopped = false;
    m_sinceAsked.invalidate();
    if (!m_db)
        return;
    // Asked every hundred steps of the engine's program, where the clock is all that is looked at
    // until the check is due: a step never takes long, and a statement of a few steps costs nothing.
    if (m_stopCheck)
        sqlite3_progress_handler(m_db, 100, &SqlDatabase::checkStop, this);
    else
        sqlite3_progress_handler(m_db, 0, nullptr, nullptr);
}

void SqlDatabase::setValueLimit(int bytes) {
    if (!m_db)
        return;
    if (bytes > 0) {
        const int engines = sqlite3_limit(m_db, SQLITE_LIMIT_LENGTH, bytes);
        if (m_engineValueLimit == 0)
            m_engineValueLimit = engines;
    } else if (m_engineValueLimit > 0) {
        sqlite3_limit(m_db, SQLITE_LIMIT_LENGTH, m_engineValueLimit);
        m_engineValueLimit = 0;
    }
}

bool SqlDatabase::valueTooLong() const {
    return m_errorCode == SQLITE_TOOBIG;
}

bool SqlDatabase::installOwnFunctions() {
    return installConnectionFunctions(m_db, this);
}

bool SqlDatabase::compiles(const QString& sql) {
    if (!m_db)
        return fail();
    const QByteArray text = sql.toUtf8();
    m_refused = false;
    m_refusal.clear();
    if (text.contains('\0'))
        return failNul();
    const char* p = text.constData();
    const char* end = p + text.size();
    while (p < end) {
        sqlite3_stmt* stmt = nullptr;
        const char* tail = nullptr;
        const QSet<QString> changedBefore = m_tablesChanged; // a statement that does not compile changes nothing
        const int rc = sqlite3_prepare_v2(m_db, p, int(end - p), &stmt, &tail);
        sqlite3_finalize(stmt);
        if (m_refused || rc != SQLITE_OK)
            m_tablesChanged = changedBefore;
        // A refusal counts even where the statement then failed to compile for another reason.
        if (m_refused)
            return fail(SQLITE_AUTH, QStringLiteral("not authorized"));
        if (rc != SQLITE_OK)
            return fail();
        if (!stmt && (!tail || tail <= p))
            break;
        p = tail;
    }
    return true;
}

bool SqlDatabase::inTransaction() const {
    return m_db && !sqlite3_get_autocommit(m_db);
}

namespace {

// Files that keep nothing: what is written to them is dropped, and they read as empty. The engine's copy of a
// database into one reads every page of the source and holds none of it for longer than a page takes.
sqlite3_vfs* droppingFiles() {
    static const sqlite3_io_methods kMethods = {
        .iVersion = 1,
        .xClose = [](sqlite3_file*) { return SQLITE_OK; },
        .xRead =
            [](sqlite3_file*, void* buffer, int amount, sqlite3_int64) {
                std::memset(buffer, 0, size_t(amount));
                return SQLITE_IOERR_SHORT_READ;
            },
        .xWrite = [](sqlite3_file*, const void*, int, sqlite3_int64) { return SQLITE_OK; },
        .xTruncate = [](sqlite3_file*, sqlite3_int64) { return SQLITE_OK; },
        .xSync = [](sqlite3_file*, int) { return SQLITE_OK; },
        .xFileSize =
            [](sqlite3_file*, sqlite3_int64* size) {
                *size = 0;
                return SQLITE_OK;
            },
        .xLock = [](sqlite3_file*, int) { return SQLITE_OK; },
        .xUnlock = [](sqlite3_file*, int) { return SQLITE_OK; },
        .xCheckReservedLock =
            [](sqlite3_file*, int* reserved) {
                *reserved = 0;
                return SQLITE_OK;
            },
        .xFileControl = [](sqlite3_file*, int, void*) { return SQLITE_NOTFOUND; },
        .xSectorSize = [](sqlite3_file*) { return 4096; },
        .xDeviceCharacteristics = [](sqlite3_file*) { return 0; },
        // Version 1 of the methods: none of the shared memory nor of the mapped pages.
        .xShmMap = nullptr,
        .xShmLock = nullptr,
        .xShmBarrier = nullptr,
        .xShmUnmap = nullptr,
        .xFetch = nullptr,
        .xUnfetch = nullptr,
    };
    static sqlite3_vfs* const vfs = [] {
        static sqlite3_vfs dropping = *sqlite3_vfs_find(nullptr);
        dropping.zName = "quorvanti-dropping";
        dropping.szOsFile = sizeof(sqlite3_file);
        dropping.xOpen = [](sqlite3_vfs*, const char*, sqlite3_file* file, int flags, int* outFlags) {
            file->pMethods = &kMethods;
            if (outFlags)
                *outFlags = flags;
            return SQLITE_OK;
        };
        dropping.xDelete = [](sqlite3_vfs*, const char*, int) { return SQLITE_OK; };
        dropping.xAccess = [](sqlite3_vfs*, const char*, int, int* result) {
            *result = 0;
            return SQLITE_OK;
        };
        dropping.xFullPathname = [](sqlite3_vfs*, const char* name, int size, char* out) {
            sqlite3_snprintf(size, out, "%s", name);
            return SQLITE_OK;
        };
        dropping.pNext = nullptr;
        sqlite3_vfs_register(&dropping, 0);
        return &dropping;
    }();
    return vfs;
}

} // namespace

bool SqlDatabase::readEveryPage() {
    SqlRows cacheSize;
    if (!query(QStringLiteral("PRAGMA cache_size"), &cacheSize))
        return false;
    // Pages read once need no room to stay: on both sides a cache of a few pages, which are used over and over,
    // reads the file faster than one that takes new memory for every page. Copied into a database in memory,
    // which holds every page, the exit backup took half as long again (bench/backup).
    sqlite3_exec(m_db, "PRAGMA cache_size = 16;", nullptr, nullptr, nullptr);
    sqlite3_db_release_memory(m_db);
    sqlite3* pages = nullptr;
    int rc = sqlite3_open_v2("pages", &pages, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, droppingFiles()->zName);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(pages, "PRAGMA cache_size = 16; PRAGMA journal_mode = OFF;", nullptr, nullptr, nullptr);
    sqlite3_backup* reading = rc == SQLITE_OK ? sqlite3_backup_init(pages, "main", m_db, "main") : nullptr;
    if (reading) {
        rc = sqlite3_backup_step(reading, -1);
        sqlite3_backup_finish(reading);
    }
    int code = reading ? rc : pages ? sqlite3_errcode(pages) : SQLITE_NOMEM;
    // The copy reports a page that fails its check as a plain error; nothing else in reading a file gives one.
    if (code == SQLITE_ERROR && reading)
        code = SQLITE_CORRUPT;
    const QString message = pages ? QString::fromUtf8(sqlite3_errmsg(pages)) : QStringLiteral("out of memory");
    sqlite3_close(pages);
    exec(QStringLiteral("PRAGMA cache_size = %1").arg(cacheSize.rows.value(0).value(0).toLongLong()));
    return code == SQLITE_DONE || fail(code, message);
}

bool SqlDatabase::execScript(const QString& script) {
    if (!m_db)
        return fail();
    char* err = nullptr;
    const int rc = sqlite3_exec(m_db, script.toUtf8().constData(), nullptr, nullptr, &err);
    // A script that stopped part way may still have changed rows.
    noteWrites();
    if (rc != SQLITE_OK) {
        const QString msg = err ? QString::fromUtf8(err) : QString();
        sqlite3_free(err);
        return fail(sqlite3_errcode(m_db), msg);
    }
    return true;
}

SqlStatement::SqlStatement(SqlDatabase& db, const QString& sql) : m_db(db), m_sql(sql) {
    if (db.m_db)
        m_stmt = db.cached(sql);
    else
        db.fail();
}

void SqlStatement::bind(int index, int value) {
    sqlite3_bind_int(m_stmt, index, value);
}

void SqlStatement::bind(int index, qint64 value) {
    sqlite3_bind_int64(m_stmt, index, value);
}

void SqlStatement::bind(int index, double value) {
    sqlite3_bind_double(m_stmt, index, value);
}

void SqlStatement::bind(int index, QStringView text) {
    // The engine reads a null pointer as NULL.
    static const char16_t empty[] = u"";
    sqlite3_bind_text16(m_stmt, index, text.isNull() ? empty : text.utf16(), int(text.size() * 2), SQLITE_TRANSIENT);
}

void SqlStatement::bindNull(int index) {
    sqlite3_bind_null(m_stmt, index);
}

bool SqlStatement::exec() {
    if (!m_stmt || m_db.failsAfterWriteFailure())
        return false;
    const bool ok = m_db.stepEach(m_stmt, nullptr);
    sqlite3_reset(m_stmt);
    return ok;
}

SqlStatement::~SqlStatement() {
    m_db.noteWrites();
}

int SqlStatement::changes() const {
    return m_db.changes();
}
