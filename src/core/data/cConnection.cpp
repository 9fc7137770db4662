#include "data/cConnection.h"

#include "data/CommonCode.h"
#include "data/DataChanges.h"
#include "data/Paths.h"
#include "data/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::unique_ptr<cConnection> gConnection;

QByteArray dataFileKey() {
    return QByteArrayLiteral("Twerl");
}

namespace {

std::function<void(const char*)>& restoreStepHook() {
    static std::function<void(const char*)> hook;
    return hook;
}

void restoreStep(const char* step) {
    if (restoreStepHook())
        restoreStepHook()(step);
}

// The data holds the user's leagues, teams and owners' contact data: no other local user may read it.
constexpr mode_t kOwnerOnly = S_IRUSR | S_IWUSR;

// Creates an empty file that only its owner can read and write; the engine then fills it, and gives its
// journal the same mode.
bool createOwnerOnly(const QString& path, QString* error) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kOwnerOnly);
    if (fd < 0) {
        *error = QStringLiteral("The file '%1' cannot be created: %2")
                     .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    ::close(fd);
    return true;
}

// Flushes a file, or a folder's entries after a rename, to the disk.
void syncPath(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Puts from in the place of to in one step: at every moment to names either the old file or the new one.
bool renameOver(const QString& from, const QString& to, QString* error) {
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0) {
        *error = QStringLiteral("The file '%1' cannot be replaced: %2")
                     .arg(to, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    syncPath(QFileInfo(to).absolutePath());
    return true;
}

// Copies source to a new owner-only file at target, flushed to the disk.
bool copyOwnerOnly(const QString& source, const QString& target, QString* error) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("The file '%1' cannot be read: %2").arg(source, in.errorString());
        return false;
    }
    if (!createOwnerOnly(target, error))
        return false;
    QFile out(target);
    bool ok = out.open(QIODevice::WriteOnly);
    const qint64 half = in.size() / 2;
    while (ok && !in.atEnd()) {
        const QByteArray chunk = in.read(out.pos() < half ? half - out.pos() : 1 << 20);
        ok = !chunk.isEmpty() && out.write(chunk) == chunk.size();
        if (ok && out.pos() == half && half > 0) {
            out.flush();
            restoreStep("copying");
        }
    }
    ok = ok && out.flush() && ::fsync(out.handle()) == 0;
    if (!ok) {
        *error = QStringLiteral("The file '%1' cannot be written: %2").arg(target, out.errorString());
        out.close();
        QFile::remove(target);
    }
    return ok;
}

// Where a restore puts its copy of the chosen file before it replaces the data file at dataPath.
QString restoringPath(const QString& dataPath) {
    return dataPath + QStringLiteral(".restoring");
}

// Removes every right of other users from the data file at path: only a regular file (not a link, nor
// what a link leads to) that has just opened as the data file. Nothing is added: a read-only file stays so.
void tightenDataFileMode(const QString& path) {
    struct stat st {};
    const QByteArray name = QFile::encodeName(path);
    if (::lstat(name.constData(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & (S_IRWXG | S_IRWXO)))
        ::chmod(name.constData(), st.st_mode & 07700);
}

// Opens the file at path as the program opens its data file: with the key, made owner-only, and brought
// up to this version's schema. False with the words the user is shown, which name shownPath.
bool openAsDataFile(SqlDatabase& db, const QString& path, const QString& shownPath, bool exclusive, QString* message) {
    if (!db.open(path, dataFileKey(), false, exclusive)) {
        *message = db.lastError();
        // The user never types a password: a file that does not open with the program's key is damaged
        // or is some other file, which is not the same trouble as a file another program holds.
        if (db.lastErrorCode() == 26 || db.lastErrorCode() == 11) // SQLITE_NOTADB, SQLITE_CORRUPT
            *message = QStringLiteral("The data file '%1' is damaged or is not a Quorvanti data file.").arg(shownPath);
        else if (db.lastErrorCode() == 5 || db.lastErrorCode() == 6) // busy or locked
            *message = QStringLiteral("The data file '%1' is locked: another program is using it.").arg(shownPath);
        return false;
    }
    // It opened with the key: a data file made before files were kept owner-only is closed to other users
    // from now on, before a migration writes its journal.
    tightenDataFileMode(path);
    if (!migrateSchema(db, message)) {
        db.close();
        return false;
    }
    return true;
}

// The count of rows the user has made: leagues, teams, cars/drivers, races, picks, and the scoring
// methods, race types and groups beyond the shipped ones. -1 when the file cannot be read as a data file.
qint64 userRowCount(SqlDatabase& db) {
    SqlRows rows;
    if (!db.query(QStringLiteral("SELECT (SELECT count(*) FROM leagues) + (SELECT count(*) FROM teams)"
                                 " + (SELECT count(*) FROM cars) + (SELECT count(*) FROM races)"
                                 " + (SELECT count(*) FROM team_car)"
                                 " + (SELECT count(*) FROM scoring_type WHERE scoring_type_nmbr >= 500)"
                                 " + (SELECT count(*) FROM race_type_dm WHERE race_type_nmbr >= 500)"
                                 " + (SELECT count(*) FROM group_dm WHERE group_nmbr >= 500)"),
                  &rows))
        return -1;
    return rows.rows.value(0).value(0).toLongLong();
}

} // namespace

void setRestoreStepHook(std::function<void(const char*)> hook) {
    restoreStepHook() = std::move(hook);
}

QString restoreSidePath() {
    return restoringPath(dataFilePath());
}

// ---- cWorkspace ----

bool cWorkspace::BeginTrans() {
    const bool ok =
        m_depth == 0 ? m_db.exec(QStringLiteral("BEGIN")) : m_db.exec(QStringLiteral("SAVEPOINT qv%1").arg(m_depth));
    if (ok)
        ++m_depth;
    return ok;
}

bool cWorkspace::CommitTrans() {
    if (m_depth == 0)
        return false;
    const bool ok = m_depth == 1 ? m_db.exec(QStringLiteral("COMMIT"))
                                 : m_db.exec(QStringLiteral("RELEASE SAVEPOINT qv%1").arg(m_depth - 1));
    if (ok)
        --m_depth;
    return ok;
}

bool cWorkspace::Rollback() {
    if (m_depth == 0)
        return false;
    bool ok;
    if (m_depth == 1) {
        ok = m_db.exec(QStringLiteral("ROLLBACK"));
    } else {
        const QString name = QStringLiteral("qv%1").arg(m_depth - 1);
        ok = m_db.exec(QStringLiteral("ROLLBACK TO SAVEPOINT %1").arg(name)) &&
             m_db.exec(QStringLiteral("RELEASE SAVEPOINT %1").arg(name));
    }
    --m_depth; // the level is gone either way; a failed ROLLBACK means the engine already ended it
    return ok;
}

Transaction::Transaction(Failures failures) : m_quiet(failures == QuietFailures) {
    if (gConnection && gConnection->getConnection()) {
        m_ws = &gConnection->getWorkSpace();
        m_begun = m_ws->BeginTrans();
    }
    if (!m_begun && !m_quiet)
        showQuorvantiBox(QStringLiteral("Error = %1 SQL = BEGIN TRANSACTION")
                             .arg(gConnection && gConnection->getConnection()
                                      ? gConnection->getConnection()->lastError()
                                      : QStringLiteral("The database is not open.")));
}

Transaction::~Transaction() {
    if (m_begun && !m_done)
        rollback();
}

bool Transaction::commit() {
    if (!m_begun || m_done)
        return false;
    m_done = true;
    if (m_ws->CommitTrans())
        return true;
    if (!m_quiet)
        showQuorvantiBox(QStringLiteral("Error = %1 SQL = COMMIT").arg(gConnection->getConnection()->lastError()));
    m_ws->Rollback();
    return false;
}

void Transaction::rollback() {
    if (!m_begun || m_done)
        return;
    m_done = true;
    m_ws->Rollback();
}

// ---- cConnection ----

cConnection::cConnection() : m_db(std::make_unique<SqlDatabase>()), m_workspace(*m_db) {
    m_db->setWriteListener([](const WrittenTables& written) { dataChanges().note(written); });
}

cConnection::~cConnection() = default;

int cConnection::openAccessConnection() {
    m_workspace.reset();
    QString message;
    if (!openAsDataFile(*m_db, dataFilePath(), dataFilePath(), true, &message)) {
        showQuorvantiBox(message);
        m_status = 1;
        return 1;
    }
    m_status = 0;
    return 0;
}

void cConnection::CloseConnection() {
    m_workspace.reset();
    m_db->close();
    m_status = 1;
}

// ---- CommonCode: connection procedures ----

bool connectDatabase() {
    gConnection = std::make_unique<cConnection>();
    if (gConnection->openAccessConnection() != 0) {
        showQuorvantiBox(QStringLiteral("Unable to connect to Database"));
        return false;
    }
    return true;
}

void deleteFile(const QString& path) {
    QFile::remove(path);
}

bool compactFile(const QString& source, const QString& destination, QString* error) {
    if (QFileInfo(source).canonicalFilePath() == QFileInfo(destination).canonicalFilePath() &&
        QFileInfo::exists(destination)) {
        *error = QStringLiteral("The data file cannot be its own backup.");
        return false;
    }
    const QFileInfo destInfo(destination);
    if (!destInfo.absoluteDir().exists()) {
        *error = QStringLiteral("The folder '%1' does not exist.").arg(destInfo.absolutePath());
        return false;
    }
    const QString temp = destInfo.absoluteFilePath() + QStringLiteral(".part");
    QFile::remove(temp);

    if (!QFileInfo::exists(source)) {
        *error = QStringLiteral("Could not find file '%1'.").arg(source);
        return false;
    }
    // ATTACH inherits the open flags; the copy's file is made owner-only beforehand, so none creates files.
    SqlDatabase db;
    if (!db.open(source, dataFileKey(), false, false)) {
        *error = db.lastError();
        return false;
    }
    if (!createOwnerOnly(temp, error))
        return false;
    SqlRows version;
    const QString escapedTemp = QString(temp).replace(QLatin1Char('\''), QStringLiteral("''"));
    const QString escapedKey = QString::fromUtf8(dataFileKey()).replace(QLatin1Char('\''), QStringLiteral("''"));
    bool exported = db.query(QStringLiteral("PRAGMA user_version"), &version) &&
                    db.exec(QStringLiteral("ATTACH DATABASE '%1' AS backup KEY '%2'").arg(escapedTemp, escapedKey));
    QString exportError;
    if (exported) {
        // The export is one transaction: each of its statements would otherwise commit, and sync
        // the copy to disk, by itself.
        const bool copied =
            db.exec(QStringLiteral("BEGIN")) && db.exec(QStringLiteral("SELECT sqlcipher_export('backup')")) &&
            db.exec(QStringLiteral("PRAGMA backup.user_version = %1").arg(version.rows.value(0).value(0).toInt())) &&
            db.exec(QStringLiteral("COMMIT"));
        if (!copied) {
            exportError = db.lastError();
            db.exec(QStringLiteral("ROLLBACK"));
        }
        exported = copied && db.exec(QStringLiteral("DETACH DATABASE backup"));
    }
    if (!exported) {
        *error = exportError.isEmpty() ? db.lastError() : exportError;
        db.close();
        QFile::remove(temp);
        return false;
    }
    db.close();
    syncPath(temp);

    // Only a complete copy replaces the previous backup, in one step: there is never a moment without one.
    if (!renameOver(temp, destination, error)) {
        QFile::remove(temp);
        return false;
    }
    return true;
}

bool exitBackupWouldLoseData(const QString& backup) {
    SqlDatabase* open = gConnection ? gConnection->getConnection() : nullptr;
    if (!open)
        return true; // nothing the program could open replaces a backup
    if (!QFileInfo::exists(backup) || userRowCount(*open) > 0)
        return false;
    SqlDatabase previous;
    return previous.open(backup, dataFileKey(), false, false) && userRowCount(previous) > 0;
}

bool backupDatabase(const QString& destination) {
    const QString target = destination.isEmpty() ? defaultBackupPath() : destination;
    // A backup is a copy of the data file the program has open, never of a file it could not open.
    if (!gConnection || !gConnection->getConnection()) {
        if (!destination.isEmpty())
            showQuorvantiBox(
                QStringLiteral("The backup to '%1' could not be made.\n\nNo data file is open.").arg(target));
        return false;
    }
    // The backup of every exit keeps the user's data that the data file has lost (a data file found
    // missing and started empty), silently as it always was.
    if (destination.isEmpty() && exitBackupWouldLoseData(target))
        return false;
    gConnection->CloseConnection();
    QString error;
    const bool ok = compactFile(dataFilePath(), target, &error);
    connectDatabase();
    // The backup at exit stays silent, as it always was; a backup the user asked for says why it failed.
    if (!ok && !destination.isEmpty())
        showQuorvantiBox(QStringLiteral("The backup to '%1' could not be made.\n\n%2").arg(target, error));
    return ok;
}

DataFileFound findDataFile(const QString& path) {
    const QString restoring = restoringPath(path);
    if (QFileInfo::exists(path)) {
        // A copy left by a restore that was cut short never replaced the data file, which is whole.
        QFile::remove(restoring);
        return DataFileFound::Present;
    }
    // A restore cut short by an older version of the program left the data aside under this name.
    const QString keptAside = path + QStringLiteral(".before-restore");
    QString error;
    if (QFileInfo::exists(keptAside)) {
        if (renameOver(keptAside, path, &error))
            return DataFileFound::Present;
        showQuorvantiBox(
            QStringLiteral("The data file '%1' could not be put back from '%2'.\n\n%3").arg(path, keptAside, error));
        return DataFileFound::Blocked;
    }
    // Never start an empty data file while the user's data may still wait beside it.
    if (QFileInfo::exists(restoring)) {
        showQuorvantiBox(QStringLiteral("The data file '%1' is missing, and '%2' is left from a restore that was "
                                        "interrupted.\n\nRename that file to %3 to use it, or remove it to start "
                                        "with a new data file.")
                             .arg(path, restoring, QFileInfo(path).fileName()));
        return DataFileFound::Blocked;
    }
    return DataFileFound::Missing;
}

bool createDataFile(const QString& path) {
    QString error;
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QString temp = path + QStringLiteral(".new");
    QFile::remove(temp);
    if (!createOwnerOnly(temp, &error)) {
        showQuorvantiBox(QStringLiteral("The data file '%1' could not be created.\n\n%2").arg(path, error));
        return false;
    }
    {
        SqlDatabase db;
        if (!db.open(temp, dataFileKey(), true, true) || !createSchema(db, &error)) {
            if (error.isEmpty())
                error = db.lastError();
            db.close();
            QFile::remove(temp);
            showQuorvantiBox(QStringLiteral("The data file '%1' could not be created.\n\n%2").arg(path, error));
            return false;
        }
    }
    syncPath(temp);
    if (!renameOver(temp, path, &error)) {
        QFile::remove(temp);
        showQuorvantiBox(QStringLiteral("The data file '%1' could not be created.\n\n%2").arg(path, error));
        return false;
    }
    return true;
}

bool ensureDataFile(const QString& path) {
    const DataFileFound found = findDataFile(path);
    return found == DataFileFound::Present || (found == DataFileFound::Missing && createDataFile(path));
}

bool restoreDataFile(const QString& source, QString* error) {
    const QString data = dataFilePath();
    const QString side = restoreSidePath();
    QFile::remove(side);
    if (!copyOwnerOnly(source, side, error))
        return false;
    restoreStep("copied");
    // The copy passes every check the open makes, and is brought up to date, before it replaces anything:
    // a file the program cannot open never takes the data file's place.
    bool usable = isDataFile(side, error);
    if (usable) {
        SqlDatabase db;
        usable = openAsDataFile(db, side, source, true, error);
    }
    if (!usable) {
        QFile::remove(side);
        return false;
    }
    restoreStep("checked");
    if (!renameOver(side, data, error)) {
        QFile::remove(side);
        return false;
    }
    restoreStep("renamed");
    return true;
}

bool isDataFile(const QString& path, QString* error) {
    SqlDatabase db;
    if (!QFileInfo::exists(path)) {
        *error = QStringLiteral("The file '%1' does not exist.").arg(path);
        return false;
    }
    if (!db.open(path, dataFileKey(), false, false)) {
        *error =
            db.lastErrorCode() == 26 ? QStringLiteral("'%1' is not a Quorvanti data file.").arg(path) : db.lastError();
        return false;
    }
    SqlRows rows;
    if (!db.query(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'race_type_dm'"),
                  &rows) ||
        rows.rows.value(0).value(0).toInt() != 1) {
        *error = QStringLiteral("'%1' is not a Quorvanti data file.").arg(path);
        return false;
    }
    if (!db.query(QStringLiteral("PRAGMA user_version"), &rows) ||
        rows.rows.value(0).value(0).toInt() > kSchemaVersion) {
        *error = QStringLiteral("'%1' was written by a newer version of Quorvanti (schema %2).")
                     .arg(path)
                     .arg(rows.rows.value(0).value(0).toInt());
        return false;
    }
    return true;
}
