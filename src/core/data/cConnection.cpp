#include "data/cConnection.h"

#include "data/DataChanges.h"
#include "data/Feedback.h"
#include "data/IDatabase.h"
#include "data/Paths.h"
#include "data/Schema.h"
#include "platform/SaveFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <thread>
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
// journal the same mode. Messages name shown, when given, in place of path.
bool createOwnerOnly(const QString& path, QString* error, const QString& shown = QString()) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kOwnerOnly);
    if (fd < 0) {
        *error = QStringLiteral("The file '%1' cannot be created: %2")
                     .arg(shown.isEmpty() ? path : shown, QString::fromLocal8Bit(std::strerror(errno)));
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

QString fullDiskText(const QString& file) {
    return QStringLiteral("The disk that holds '%1' is full.").arg(QFileInfo(file).absolutePath());
}

// Copies source to a new owner-only file at target, flushed to the disk; never over a file that is there.
// halfwayStep, when given, is passed to the restore's step hook once half of the bytes are written. Messages
// name shown, when given, in place of target: a temporary name means nothing to the user.
bool copyOwnerOnly(const QString& source, const QString& target, QString* error, const char* halfwayStep = nullptr,
                   const QString& shown = QString()) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("The file '%1' cannot be read: %2").arg(source, in.errorString());
        return false;
    }
    const QString named = shown.isEmpty() ? target : shown;
    if (!createOwnerOnly(target, error, named))
        return false;
    QFile out(target);
    bool ok = out.open(QIODevice::WriteOnly);
    const qint64 half = halfwayStep ? in.size() / 2 : -1;
    constexpr qint64 kChunk = 1 << 20;
    QByteArray buffer(kChunk, Qt::Uninitialized);
    while (ok && !in.atEnd()) {
        const qint64 want = out.pos() < half ? qMin(kChunk, half - out.pos()) : kChunk;
        const qint64 got = in.read(buffer.data(), want);
        if (got <= 0) {
            *error = QStringLiteral("The file '%1' cannot be read: %2").arg(source, in.errorString());
            out.close();
            QFile::remove(target);
            return false;
        }
        ok = out.write(buffer.constData(), got) == got;
        if (ok && out.pos() == half && half > 0) {
            out.flush();
            restoreStep(halfwayStep);
        }
    }
    // Every byte of the source, and the disk has them: a write cut short by a full disk may not say so.
    errno = 0;
    ok = ok && out.flush() && out.size() == in.size() && ::fsync(out.handle()) == 0;
    if (!ok && diskIsFull(target)) {
        *error = fullDiskText(target);
        out.close();
        QFile::remove(target);
    } else if (!ok) {
        *error = QStringLiteral("The file '%1' cannot be written: %2")
                     .arg(named, out.error() != QFileDevice::NoError ? out.errorString()
                                 : errno != 0                        ? QString::fromLocal8Bit(std::strerror(errno))
                                              : QStringLiteral("not every byte could be written."));
        out.close();
        QFile::remove(target);
    }
    return ok;
}

// Where a restore puts its copy of the chosen file before it replaces the data file at dataPath.
QString restoringPath(const QString& dataPath) {
    return dataPath + QStringLiteral(".restoring");
}

// The file that a restore, or a new data file, replaces. A data file that is a link stays a link: the file
// it leads to is replaced, in its own folder. Only a link whose target's folder is not there (a drive not
// connected) is replaced itself, as the start-up's question about the missing data file offers.
QString fileToReplace(const QString& dataPath) {
    const QFileInfo info(dataPath);
    if (!info.isSymLink())
        return dataPath;
    if (info.exists())
        return info.canonicalFilePath();
    const QString target = info.symLinkTarget();
    return QFileInfo(target).absoluteDir().exists() ? target : dataPath;
}

// The file a backup at path is written to: a backup that is a link (to another drive, say) stays one, and
// the file it leads to takes the copy, in its own folder. Empty, with the reason, for a link into a folder
// that is not there: a local file in its place would be a backup nobody looks for.
QString backupFile(const QString& path, QString* error) {
    const QString file = fileToReplace(path);
    if (!QFileInfo(file).isSymLink())
        return file;
    *error = QStringLiteral("'%1' is a link to '%2', which cannot be reached (is its drive connected?).")
                 .arg(path, QFileInfo(path).symLinkTarget());
    return QString();
}

// Removes every right of other users from the data file at path: only a regular file (not a link, nor
// what a link leads to) that has just opened as the data file. Nothing is added: a read-only file stays so.
void tightenDataFileMode(const QString& path) {
    struct stat st {};
    const QByteArray name = QFile::encodeName(path);
    if (::lstat(name.constData(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & (S_IRWXG | S_IRWXO)))
        ::chmod(name.constData(), st.st_mode & 07700);
}

// Why the file at path cannot be a data file before the engine is asked, or empty. The engine would take a
// file of no bytes for a new database and write its first page into it.
QString refusedBeforeOpening(const QString& path, const QString& shownPath) {
    const QFileInfo info(path);
    if (info.isDir())
        return QStringLiteral("'%1' is a folder, not a Quorvanti data file.").arg(shownPath);
    if (info.isFile() && info.size() == 0)
        return QStringLiteral("'%1' is empty: it holds none of Quorvanti's data.").arg(shownPath);
    return QString();
}

// Opens the file at path as the program opens its data file: with the key, made owner-only, and brought
// up to this version's schema. False with the words the user is shown, which name shownPath.
bool openAsDataFile(SqlDatabase& db, const QString& path, const QString& shownPath, bool exclusive, QString* message,
                    bool* damaged = nullptr) {
    *message = refusedBeforeOpening(path, shownPath);
    if (!message->isEmpty())
        return false;
    if (!db.open(path, dataFileKey(), false, exclusive)) {
        *message = db.lastError();
        switch (db.lastErrorCode()) {
        case 26: // SQLITE_NOTADB
        case 11: // SQLITE_CORRUPT
            // The user never types a password: a file that does not open with the program's key is damaged
            // or is some other file, which is not the same trouble as a file another program holds.
            *message = QStringLiteral("The data file '%1' is damaged or is not a Quorvanti data file.").arg(shownPath);
            if (damaged)
                *damaged = true;
            break;
        case 5: // SQLITE_BUSY
        case 6: // SQLITE_LOCKED
            *message = QStringLiteral("The data file '%1' is locked: another program is using it.").arg(shownPath);
            break;
        case 8: // SQLITE_READONLY: the engine fell back to reading only, and taking the file for itself failed
            *message = QStringLiteral("The data file '%1' is read-only: Quorvanti must be able to save to it. Check "
                                      "that the file may be written and that its drive is not write-protected.")
                           .arg(shownPath);
            break;
        case 13: // SQLITE_FULL
            *message = QStringLiteral("The disk that holds the data file '%1' is full.").arg(shownPath);
            break;
        case 14: // SQLITE_CANTOPEN
            if (QFileInfo::exists(path))
                *message = QStringLiteral("The data file '%1' cannot be opened: Quorvanti may not read and write it.")
                               .arg(shownPath);
            break;
        default:
            break;
        }
        return false;
    }
    // It opened with the key: a data file made before files were kept owner-only is closed to other users
    // from now on, before a migration writes its journal.
    tightenDataFileMode(path);
    if (!migrateSchema(db, message)) {
        if (db.lastErrorCode() == 8)
            *message =
                QStringLiteral("The data file '%1' is read-only: Quorvanti must be able to save to it.").arg(shownPath);
        db.close();
        return false;
    }
    return true;
}

// The count of rows the user has made: leagues and their teams, teams, cars/drivers, races and their
// results, picks, and the scoring methods, race types and groups beyond the shipped ones. -1 when the file
// cannot be read as a data file.
qint64 userRowCount(SqlDatabase& db) {
    SqlRows rows;
    if (!db.query(QStringLiteral("SELECT (SELECT count(*) FROM leagues) + (SELECT count(*) FROM teams)"
                                 " + (SELECT count(*) FROM league_teams)"
                                 " + (SELECT count(*) FROM cars) + (SELECT count(*) FROM races)"
                                 " + (SELECT count(*) FROM results) + (SELECT count(*) FROM team_car)"
                                 " + (SELECT count(*) FROM scoring_type WHERE scoring_type_nmbr >= 500)"
                                 " + (SELECT count(*) FROM race_type_dm WHERE race_type_nmbr >= 500)"
                                 " + (SELECT count(*) FROM group_dm WHERE group_nmbr >= 500)"),
                  &rows))
        return -1;
    return rows.rows.value(0).value(0).toLongLong();
}

// userRowCount of the data file at path; -1 when it cannot be read.
qint64 userRowCountOf(const QString& path) {
    SqlDatabase db;
    return db.open(path, dataFileKey(), false, false) ? userRowCount(db) : -1;
}

// A backup carries the count of the user's rows it was written with, beside the size and the time of
// change it had then: opening a backup to count its rows costs as much as all the rest of the exit
// backup of a large file (the key is derived anew for every opening). The record goes with the file
// itself, through renames and links, and is not copied with it; one that is missing, unreadable or
// older than the file's last change means the backup is counted.
const char* const kRowsRecord = "user.quorvanti.rows";

QByteArray fileStamp(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return QByteArray();
    return QByteArray::number(qint64(st.st_size)) + ' ' + QByteArray::number(qint64(st.st_mtim.tv_sec)) + '.' +
           QByteArray::number(qint64(st.st_mtim.tv_nsec));
}

void rememberRows(const QString& path, qint64 rows) {
    const QByteArray stamp = fileStamp(path);
    if (rows < 0 || stamp.isEmpty())
        return;
    const QByteArray record = QByteArray::number(rows) + ' ' + stamp;
    // A file system without such records leaves the backup to be counted at the next exit.
    ::setxattr(QFile::encodeName(path).constData(), kRowsRecord, record.constData(), size_t(record.size()), 0);
}

qint64 rememberedRows(const QString& path) {
    char record[128];
    const ssize_t n = ::getxattr(QFile::encodeName(path).constData(), kRowsRecord, record, sizeof record);
    if (n <= 0)
        return -1;
    const QByteArray text(record, qsizetype(n));
    const qsizetype blank = text.indexOf(' ');
    bool ok = false;
    const qint64 rows = text.left(blank).toLongLong(&ok);
    return ok && blank > 0 && rows >= 0 && text.mid(blank + 1) == fileStamp(path) ? rows : -1;
}

// The user's rows in the backup at path: as remembered, else counted; -1 when it cannot be read. A file
// of no bytes holds none.
qint64 backupRowCount(const QString& path) {
    if (QFileInfo(path).size() == 0)
        return 0;
    const qint64 remembered = rememberedRows(path);
    return remembered >= 0 ? remembered : userRowCountOf(path);
}

// A backup of `theirs` rows is worth more than a new one of `mine` when it holds more than twice as many:
// a data file lost and started again, not the ordinary deletions of a season.
bool holdsClearlyMore(qint64 theirs, qint64 mine) {
    return theirs > 0 && (mine < 0 || mine * 2 < theirs);
}

// What the check found wrong with the data file since it was opened; empty when nothing.
QString& knownDamage() {
    static QString damage;
    return damage;
}

QString damagedText(const QString& path, bool dataFile) {
    return (dataFile ? QStringLiteral("The data file '%1' is damaged: some of its pages cannot be read.")
                     : QStringLiteral("'%1' is damaged: some of its pages cannot be read."))
        .arg(path);
}

// True when the engine finds the open file whole. The quick check reads every page, which finds any page
// changed on the disk (each carries a code of its contents); the full one also compares every index with
// its table. A page that cannot be read at all fails the check's statement itself.
bool isWhole(SqlDatabase& db, bool full) {
    SqlRows rows;
    if (!db.query(full ? QStringLiteral("PRAGMA integrity_check(1)") : QStringLiteral("PRAGMA quick_check(1)"), &rows))
        return false;
    return rows.rows.size() == 1 && rows.rows[0].value(0).toString() == QLatin1String("ok");
}

// The codes with which the engine reports a page it cannot use (a page that fails its check comes back as
// out of memory).
bool isDamageCode(int code) {
    return code == 7 || code == 11 || code == 26; // SQLITE_NOMEM, SQLITE_CORRUPT, SQLITE_NOTADB
}

// How a data file's pages stand.
struct PageCounts {
    qint64 pages = 0;
    qint64 freePages = 0;
    qint64 pageSize = 0;
    // Rebuilding a file costs many times a copy of its bytes; only much free space is worth it.
    bool worthRebuilding() const { return freePages * 10 > pages; }
};

bool readPageCounts(SqlDatabase& db, PageCounts* out) {
    SqlRows rows;
    const auto value = [&](const QString& pragma, qint64* v) {
        if (!db.query(pragma, &rows) || rows.rows.isEmpty())
            return false;
        *v = rows.rows[0].value(0).toLongLong();
        return true;
    };
    return value(QStringLiteral("PRAGMA page_count"), &out->pages) &&
           value(QStringLiteral("PRAGMA freelist_count"), &out->freePages) &&
           value(QStringLiteral("PRAGMA page_size"), &out->pageSize) && out->pageSize > 0;
}

// Writes into temp (an owner-only file made beforehand) a copy of db's file rebuilt row by row: encrypted
// with the same key, without free pages, with the same schema version.
bool exportCopy(SqlDatabase& db, const QString& temp, QString* error) {
    SqlRows version;
    const QString escapedTemp = QString(temp).replace(QLatin1Char('\''), QStringLiteral("''"));
    const QString escapedKey = QString::fromUtf8(dataFileKey()).replace(QLatin1Char('\''), QStringLiteral("''"));
    bool exported = db.query(QStringLiteral("PRAGMA user_version"), &version) &&
                    db.exec(QStringLiteral("ATTACH DATABASE '%1' AS backup KEY '%2'").arg(escapedTemp, escapedKey));
    QString exportError;
    int exportCode = 0;
    if (exported) {
        // The export is one transaction: each of its statements would otherwise commit, and sync
        // the copy to disk, by itself.
        const bool copied =
            db.exec(QStringLiteral("BEGIN")) && db.exec(QStringLiteral("SELECT sqlcipher_export('backup')")) &&
            db.exec(QStringLiteral("PRAGMA backup.user_version = %1").arg(version.rows.value(0).value(0).toInt())) &&
            db.exec(QStringLiteral("COMMIT"));
        if (!copied) {
            exportError = db.lastError();
            exportCode = db.lastErrorCode();
            db.exec(QStringLiteral("ROLLBACK"));
        }
        exported = copied && db.exec(QStringLiteral("DETACH DATABASE backup"));
    }
    if (!exported) {
        const int code = exportError.isEmpty() ? db.lastErrorCode() : exportCode;
        *error = isDamageCode(code)      ? damagedText(db.path(), true)
                 : code == 13            ? fullDiskText(temp) // SQLITE_FULL
                 : exportError.isEmpty() ? db.lastError()
                                         : exportError;
        return false;
    }
    syncPath(temp);
    return true;
}

// Where a copy of file is kept instead of being replaced: in the folder of like, named after like with the
// time file was last written (quorvanti30-2026-03-01-181502.qv), and never a name already in use.
QString datedPath(const QString& file, const QString& like) {
    const QFileInfo info(like);
    const QString stem = QDir(info.absolutePath())
                             .filePath(info.completeBaseName() + QLatin1Char('-') +
                                       QFileInfo(file).lastModified().toString(QStringLiteral("yyyy-MM-dd-HHmmss")));
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    QString path = stem + suffix;
    for (int n = 2; QFileInfo::exists(path) || QFileInfo(path).isSymLink(); ++n)
        path = stem + QStringLiteral("-%1").arg(n) + suffix;
    return path;
}

// Gives the whole file at from the name datedPath gives file: the name is first made exclusively, as an empty
// file (the next name where another file came to be there meanwhile), and the rename then puts from in its
// place. No file that was there is written over, and no second name is asked of the file system, which FAT and
// exFAT drives and some network shares cannot give. A stop between the two steps leaves an empty file under
// the name, which holds nothing and is never offered as a backup. claimedStep, when given, is passed to the
// restore's step hook between them. *keptAs gets the name.
bool moveToDatedName(const QString& from, const QString& file, const QString& like, QString* keptAs, QString* error,
                     const char* claimedStep = nullptr) {
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        *keptAs = datedPath(file, like);
        fd = ::open(QFile::encodeName(*keptAs).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kOwnerOnly);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        *error = QStringLiteral("The file '%1' cannot be created: %2")
                     .arg(*keptAs, QString::fromLocal8Bit(std::strerror(errno)));
        keptAs->clear();
        return false;
    }
    ::close(fd);
    if (claimedStep)
        restoreStep(claimedStep);
    if (!renameOver(from, *keptAs, error)) {
        QFile::remove(*keptAs);
        keptAs->clear();
        return false;
    }
    return true;
}

// Copies file whole, with the time it was last written, under the name datedPath(file, like) gives it (see
// moveToDatedName): a copy cut short is never under that name, so it never passes for a kept file.
bool keepCopy(const QString& file, const QString& like, QString* keptAs, QString* error) {
    const QString shown = datedPath(file, like);
    const QString part = shown + QStringLiteral(".part");
    QFile::remove(part);
    bool kept = copyOwnerOnly(file, part, error, nullptr, shown);
    if (kept) {
        QFile copy(part);
        if (copy.open(QIODevice::ReadWrite))
            copy.setFileTime(QFileInfo(file).lastModified(), QFileDevice::FileModificationTime);
        copy.close();
        kept = moveToDatedName(part, file, like, keptAs, error, "claimed");
    }
    QFile::remove(part);
    return kept;
}

// Puts a complete copy at temp in the place of destination in one step. The previous file at destination,
// when keptAs is given, is first moved beside it under its time (keptBackupPath), whose name *keptAs gets:
// it is under one of the two names at every moment.
bool replaceWithCopy(const QString& temp, const QString& destination, QString* keptAs, QString* error) {
    if (keptAs && QFileInfo::exists(destination)) {
        QString why;
        if (!moveToDatedName(destination, destination, destination, keptAs, &why)) {
            *error = QStringLiteral("The backup '%1' holds more of your data than the data file, and it could not "
                                    "be kept beside the new one.\n\n%2")
                         .arg(destination, why);
            return false;
        }
    }
    return renameOver(temp, destination, error);
}

// True when the engine reads every page of the file at path (see SqlDatabase::readEveryPage); a file of no
// bytes has none to read, and is no data file.
bool readsEveryPage(const QString& path) {
    SqlDatabase db;
    return refusedBeforeOpening(path, path).isEmpty() && db.open(path, dataFileKey(), false, false) &&
           db.readEveryPage();
}

// How a backup was written, or why not.
struct BackupWriting {
    qint64 rows = -1;     // the user's rows of the copy, remembered with it; -1 when not known
    bool damaged = false; // set when the source was found damaged
};

// Writes the backup of the data file at source to destination (see compactFile); keptAs, when given, gets the
// name the file at destination is kept under beside the new one (replaceWithCopy). open, when given, is the
// program's connection to it, with no transaction under way, which the caller closes afterwards: the copy is
// made while it is still open, which spares opening the file a second time (the key is derived anew for every
// opening).
bool writeBackup(SqlDatabase* open, const QString& source, const QString& destination, QString* keptAs,
                 BackupWriting* writing, QString* error) {
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
    const QString file = backupFile(destInfo.absoluteFilePath(), error);
    if (file.isEmpty())
        return false;
    const QString temp = file + QStringLiteral(".part");
    QFile::remove(temp);

    if (!QFileInfo::exists(source)) {
        *error = QStringLiteral("Could not find file '%1'.").arg(source);
        return false;
    }
    *error = refusedBeforeOpening(source, source);
    if (!error->isEmpty())
        return false;
    // ATTACH inherits the open flags; the copy's file is made owner-only beforehand, so none creates files.
    SqlDatabase own;
    SqlDatabase& db = open ? *open : own;
    const auto sourceFailed = [&] {
        writing->damaged = isDamageCode(db.lastErrorCode());
        *error = writing->damaged ? damagedText(source, true) : db.lastError();
        return false;
    };
    PageCounts counts;
    if ((!open && !own.open(source, dataFileKey(), false, false)) || !readPageCounts(db, &counts))
        return sourceFailed();
    // The file's bytes are a copy only while they are all the engine wrote: no transaction is under way (an
    // opening has rolled back what one cut short left), and no page lies beyond the ones it counts.
    const bool byPage =
        !counts.worthRebuilding() && !db.inTransaction() && QFileInfo(source).size() == counts.pages * counts.pageSize;
    bool written;
    if (byPage) {
        // Every page the copy takes is read through the engine's check of its code: a page that went bad on
        // the disk after the data file was checked would be copied with its bytes, and the backup it replaced
        // would be the last good copy. The bytes are copied while the engine reads, which takes the exit backup
        // from 2.5 to 1.7 times a plain copy (bench/backup). The plainer engine's own backup straight into the
        // new file, one pass, is 5.5 to 6 times a plain copy alone: it encrypts every page anew on its way out.
        // The copy's own handle on the file, once closed, drops the engine's lock on it (locks belong to the
        // process): the caller closes the connection next.
        bool copied = false;
        std::thread copier([&] { copied = copyOwnerOnly(source, temp, error); });
        const bool whole = db.readEveryPage();
        copier.join();
        written = whole ? copied : sourceFailed();
    } else {
        written = createOwnerOnly(temp, error) && exportCopy(db, temp, error);
        writing->damaged = !written && *error == damagedText(db.path(), true);
        // The rebuilt copy is read back before it replaces anything; the source is read as well only to say
        // which of the two is damaged.
        if (written && !readsEveryPage(temp)) {
            written = false;
            writing->damaged = !db.readEveryPage() && isDamageCode(db.lastErrorCode());
            *error = writing->damaged ? damagedText(source, true)
                                      : QStringLiteral("The copy could not be read back whole from the disk that "
                                                       "holds '%1': that disk may be failing.")
                                            .arg(QFileInfo(file).absolutePath());
        }
    }
    if (written)
        rememberRows(temp, writing->rows);
    // Only a complete copy replaces the previous backup, in one step: there is never a moment without one.
    if (!written || !replaceWithCopy(temp, file, keptAs, error)) {
        QFile::remove(temp);
        return false;
    }
    return true;
}

} // namespace

void setRestoreStepHook(std::function<void(const char*)> hook) {
    restoreStepHook() = std::move(hook);
}

QString restoreSidePath() {
    return restoringPath(fileToReplace(dataFilePath()));
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
        showStatementError(gConnection->getConnection()->lastError(), QStringLiteral("COMMIT"));
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

int cConnection::openAccessConnection(QString* damage) {
    m_workspace.reset();
    QString message;
    bool damaged = false;
    if (!openAsDataFile(*m_db, dataFilePath(), dataFilePath(), true, &message, &damaged)) {
        if (damage && damaged)
            *damage = message;
        else
            showQuorvantiBox(message);
        m_status = 1;
        return 1;
    }
    m_status = 0;
    return 0;
}

void cConnection::CloseConnection() {
    m_workspace.reset();
    m_postingMemory.reset(); // the file may be written or replaced before it opens again
    m_db->close();
    m_status = 1;
}

// ---- connection procedures ----

bool connectDatabase(QString* damage) {
    gConnection = std::make_unique<cConnection>();
    if (gConnection->openAccessConnection(damage) != 0) {
        if (!damage || damage->isEmpty())
            showQuorvantiBox(QStringLiteral("Unable to connect to Database"));
        return false;
    }
    return true;
}

void deleteFile(const QString& path) {
    QFile::remove(path);
}

bool compactFile(const QString& source, const QString& destination, QString* error) {
    BackupWriting writing;
    return writeBackup(nullptr, source, destination, nullptr, &writing, error);
}

bool exitBackupWouldLoseData(const QString& backup, BackupRows* rows) {
    SqlDatabase* open = gConnection ? gConnection->getConnection() : nullptr;
    if (!open)
        return true; // nothing the program could open replaces a backup
    BackupRows counted;
    counted.dataFile = userRowCount(*open);
    QString unreachable;
    const QString file = backupFile(backup, &unreachable);
    const bool there = !file.isEmpty() && QFileInfo(file).isFile();
    if (there)
        counted.backup = backupRowCount(file);
    if (rows)
        *rows = counted;
    // A backup that cannot be read may hold anything: its count is unknown, never none.
    return there && (counted.backup < 0 || holdsClearlyMore(counted.backup, counted.dataFile));
}

QString keptBackupPath(const QString& backup) {
    return datedPath(backup, backup);
}

QString keptDataFilePath() {
    return datedPath(fileToReplace(dataFilePath()), defaultBackupPath());
}

QString backupToOffer() {
    const QString backup = defaultBackupPath();
    if (QFileInfo::exists(backup))
        return backup;
    // The names keptBackupPath and keptDataFilePath give; newest first, by the time each was last written.
    const QFileInfo like(backup);
    const QRegularExpression dated(
        QStringLiteral("^%1-\\d{4}-\\d{2}-\\d{2}-\\d{6}(-\\d+)?\\.%2$")
            .arg(QRegularExpression::escape(like.completeBaseName()), QRegularExpression::escape(like.suffix())));
    for (const QFileInfo& copy : QDir(backupsDir()).entryInfoList(QDir::Files, QDir::Time))
        if (dated.match(copy.fileName()).hasMatch() && readsEveryPage(copy.filePath()))
            return copy.filePath();
    return QString();
}

bool backupDatabase(const QString& destination, bool reopen) {
    const bool atExit = destination.isEmpty();
    const QString target = atExit ? defaultBackupPath() : destination;
    // A backup is never written over with a damaged copy: the one there stays, and the box says so.
    const auto notMade = [&target](const QString& why, bool damaged = false) {
        showQuorvantiBox(QStringLiteral("The backup to '%1' could not be made.\n\n%2").arg(target, why) +
                         (damaged && QFileInfo::exists(target)
                              ? QStringLiteral("\n\nThe backup that is there was kept as it was.")
                              : QString()));
        return false;
    };
    // A backup is a copy of the data file the program has open, never of a file it could not open.
    SqlDatabase* open = gConnection ? gConnection->getConnection() : nullptr;
    if (!open)
        return atExit ? false : notMade(QStringLiteral("No data file is open."));
    // A copy of a damaged file would pass for a good one, and take the place of a backup that is whole.
    if (!knownDamage().isEmpty())
        return notMade(knownDamage(), true);
    // Without its folder the backup of every exit is not made, and not reported, as it always was.
    if (atExit && !QFileInfo(target).absoluteDir().exists())
        return false;
    // The last good backup is never lost: one that holds clearly more of the user's rows (the data file
    // was lost and started again), or one that cannot be read to tell, stays beside the new one. The data
    // file's count goes with the copy, as the backup's count at the next exit.
    BackupRows rows;
    const bool keep = atExit && exitBackupWouldLoseData(target, &rows);
    if (!atExit)
        rows.dataFile = userRowCount(*open);
    // What a transaction under way has written is not the user's yet: closing takes it back, as it always did.
    if (open->inTransaction()) {
        gConnection->CloseConnection();
        open = nullptr;
    }
    QString error;
    BackupWriting writing;
    writing.rows = rows.dataFile;
    QString keptAs;
    const bool ok = writeBackup(open, dataFilePath(), target, keep ? &keptAs : nullptr, &writing, &error);
    gConnection->CloseConnection();
    // Damage found in the copy is the data file's: no later backup is made of it either.
    if (writing.damaged)
        knownDamage() = damagedText(dataFilePath(), true);
    if (reopen)
        connectDatabase();
    if (!ok)
        return notMade(error, writing.damaged);
    if (!keptAs.isEmpty()) {
        const QString mine = rows.dataFile < 0 ? QStringLiteral("an unknown number") : QString::number(rows.dataFile);
        const QString why =
            rows.backup < 0
                ? QStringLiteral("The backup %1 could not be read, so how much of your data it holds cannot be told. "
                                 "It was kept as %2, and the new backup was written beside it.\n\nIf data is "
                                 "missing, keep %2: it may still hold it.")
                      .arg(target, keptAs)
                : QStringLiteral("The backup %1 held more of your data than the data file does now (%2 entries "
                                 "against %3). It was kept as %4, and the new backup was written beside it.\n\n"
                                 "If data is missing, choose Restore Data File... in the System menu and open %4.")
                      .arg(target)
                      .arg(rows.backup)
                      .arg(mine, keptAs);
        ui().messageBox(why, QStringLiteral("Quorvanti"), MsgIcon::Information, MsgButtons::Ok);
    }
    return true;
}

DataFileFound findDataFile(const QString& path) {
    const QString restoring = restoringPath(path);
    const QFileInfo info(path);
    if (info.exists()) {
        // A copy left by a restore that was cut short never replaced the data file, which is whole.
        QFile::remove(restoring);
        QFile::remove(restoringPath(fileToReplace(path)));
        return info.isFile() && info.size() == 0 ? DataFileFound::Empty : DataFileFound::Present;
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
    const QString file = fileToReplace(path);
    const QString temp = file + QStringLiteral(".new");
    QFile::remove(temp);
    if (!createOwnerOnly(temp, &error)) {
        showQuorvantiBox(QStringLiteral("The data file '%1' could not be created.\n\n%2").arg(path, error));
        return false;
    }
    {
        SqlDatabase db;
        if (!db.open(temp, dataFileKey(), true, true) || !createSchema(db, &error)) {
            if (db.lastErrorCode() == 13) // SQLITE_FULL
                error = fullDiskText(temp);
            else if (error.isEmpty())
                error = db.lastError();
            db.close();
            QFile::remove(temp);
            showQuorvantiBox(QStringLiteral("The data file '%1' could not be created.\n\n%2").arg(path, error));
            return false;
        }
    }
    syncPath(temp);
    if (!renameOver(temp, file, &error)) {
        QFile::remove(temp);
        showQuorvantiBox(QStringLiteral("The data file '%1' could not be created.\n\n%2").arg(path, error));
        return false;
    }
    knownDamage().clear();
    return true;
}

bool ensureDataFile(const QString& path) {
    const DataFileFound found = findDataFile(path);
    if (found == DataFileFound::Empty)
        showQuorvantiBox(QStringLiteral("The data file '%1' is empty: it holds none of Quorvanti's data.").arg(path));
    return found == DataFileFound::Present || (found == DataFileFound::Missing && createDataFile(path));
}

bool restoreDataFile(const QString& source, QString* error, QString* kept) {
    const QString data = fileToReplace(dataFilePath());
    const QString side = restoringPath(data);
    if (kept)
        kept->clear();
    QFile::remove(side);
    // The copy is named as the data file it becomes: its own name means nothing to the user.
    if (!copyOwnerOnly(source, side, error, "copying", data))
        return false;
    restoreStep("copied");
    // The copy passes every check the open makes, is read whole, and is brought up to date, before it
    // replaces anything: a file the program cannot open, or one that is damaged, never takes the data
    // file's place.
    bool usable = isDataFile(side, error, source);
    if (usable) {
        SqlDatabase db;
        usable = db.open(side, dataFileKey(), false, false) && isWhole(db, true);
        if (!usable)
            *error = damagedText(source, false);
    }
    if (usable) {
        SqlDatabase db;
        usable = openAsDataFile(db, side, source, true, error);
    }
    if (!usable) {
        QFile::remove(side);
        return false;
    }
    restoreStep("checked");
    // What the restore replaces is kept beside the backups first, damaged or not: it may hold what the backup
    // does not. A file of no bytes holds nothing.
    QString keptAs;
    const qint64 size = QFileInfo(data).isFile() ? QFileInfo(data).size() : 0;
    if (size > 0) {
        QString why;
        if (!keepCopy(data, defaultBackupPath(), &keptAs, &why)) {
            *error = QStringLiteral("The data file '%1' was not replaced: a copy of it could not be kept as %2.\n\n%3")
                         .arg(data, keptDataFilePath(), why);
            QFile::remove(side);
            return false;
        }
        restoreStep("kept");
    }
    // Through a link the restored data takes the place of the file the link leads to, with that file's rights.
    struct stat st {};
    if (data != dataFilePath() && ::stat(QFile::encodeName(data).constData(), &st) == 0)
        ::chmod(QFile::encodeName(side).constData(), st.st_mode & 07777);
    QString why;
    if (!renameOver(side, data, &why)) {
        QFile::remove(side);
        // The kept copy goes only while the data file is there as it was: a rename that failed half way
        // (some file systems remove the file replaced first) leaves the copy as the data file's only one.
        if (QFileInfo(data).size() == size) {
            QFile::remove(keptAs);
            *error = QStringLiteral("The data file '%1' was not replaced, and is as it was: the restored copy could "
                                    "not take its place.\n\n%2")
                         .arg(data, why);
        } else {
            *error = QStringLiteral("The data file '%1' could not be replaced by the restored copy. The data file as "
                                    "it was is kept as %2.\n\n%3")
                         .arg(data, keptAs, why);
        }
        return false;
    }
    if (kept)
        *kept = keptAs;
    knownDamage().clear();
    restoreStep("renamed");
    return true;
}

bool isDataFile(const QString& path, QString* error, const QString& shown) {
    SqlDatabase db;
    const QString named = shown.isEmpty() ? path : shown;
    if (!QFileInfo::exists(path)) {
        *error = QStringLiteral("The file '%1' does not exist.").arg(named);
        return false;
    }
    *error = refusedBeforeOpening(path, named);
    if (!error->isEmpty())
        return false;
    if (!db.open(path, dataFileKey(), false, false)) {
        *error =
            db.lastErrorCode() == 26 ? QStringLiteral("'%1' is not a Quorvanti data file.").arg(named) : db.lastError();
        return false;
    }
    SqlRows rows;
    if (!db.query(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'race_type_dm'"),
                  &rows) ||
        rows.rows.value(0).value(0).toInt() != 1) {
        *error = QStringLiteral("'%1' is not a Quorvanti data file.").arg(named);
        return false;
    }
    if (!db.query(QStringLiteral("PRAGMA user_version"), &rows) ||
        rows.rows.value(0).value(0).toInt() > kSchemaVersion) {
        *error = QStringLiteral("'%1' was written by a newer version of Quorvanti (schema %2).")
                     .arg(named)
                     .arg(rows.rows.value(0).value(0).toInt());
        return false;
    }
    return true;
}

QString checkOpenDataFile() {
    SqlDatabase* db = gConnection ? gConnection->getConnection() : nullptr;
    if (!db)
        return QString();
    knownDamage() = isWhole(*db, false) ? QString() : damagedText(dataFilePath(), true);
    return knownDamage();
}

QString dataFileDamage() {
    return knownDamage();
}
