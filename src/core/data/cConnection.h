#pragma once

#include "platform/SqlDatabase.h"

#include <QString>
#include <functional>
#include <memory>

// Transactions on the one connection. Begin/commit/rollback nest: the outermost level is a real
// transaction, inner levels are savepoints, so a unit of work that replaces a set of rows can run
// inside a posting's transaction and still roll back only its own part.
class cWorkspace {
public:
    explicit cWorkspace(SqlDatabase& db) : m_db(db) {}
    bool BeginTrans();
    bool CommitTrans();
    bool Rollback();
    int depth() const { return m_depth; }
    // True when levels are open here but the engine's transaction is gone: a statement ended it (an
    // ON CONFLICT ROLLBACK, a trigger's RAISE(ROLLBACK)) and took back everything since BEGIN. Nothing
    // may be written then as if it were still open: it would be committed on its own.
    bool ended() const { return m_depth > 0 && !m_db.inTransaction(); }
    // Forgets every open level; used when the connection is closed under an open transaction.
    void reset() { m_depth = 0; }

private:
    SqlDatabase& m_db;
    int m_depth = 0;
};

// Rolls back in its destructor unless committed. A failed begin or commit shows the engine's message
// unless the caller reports failure its own way.
class Transaction {
public:
    enum Failures { ShowFailures, QuietFailures };
    explicit Transaction(Failures failures = ShowFailures);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    bool begun() const { return m_begun; }
    bool commit();
    void rollback();

private:
    cWorkspace* m_ws = nullptr;
    bool m_quiet = false;
    bool m_begun = false;
    bool m_done = false;
};

// What a layer above keeps of the open data file from one piece of work to the next (what one posting
// leaves for the next): the connection holds it for as long as the file stays open.
class ConnectionMemory {
public:
    virtual ~ConnectionMemory() = default;
};

// The one connection to the data file.
class cConnection {
public:
    cConnection();
    ~cConnection();

    // 0 on success; 1 after a box with the engine's message. Given damage, a file that cannot be opened
    // because it is damaged (or is no data file) shows no box: *damage gets the words.
    int openAccessConnection(QString* damage = nullptr);
    void CloseConnection();
    int connectionStatus() const { return m_status; }
    // The open database, or nullptr while none is open.
    SqlDatabase* getConnection() { return m_db->isOpen() ? m_db.get() : nullptr; }
    cWorkspace& getWorkSpace() { return m_workspace; }
    // What posting keeps between postings (posting/PostingMemory.h); none once the connection closes.
    std::unique_ptr<ConnectionMemory>& postingMemory() { return m_postingMemory; }
    QString getUserID() const { return QString(); }
    int openConnection() { return 0; }
    int openADOConnection() { return 0; }

private:
    std::unique_ptr<SqlDatabase> m_db;
    cWorkspace m_workspace;
    std::unique_ptr<ConnectionMemory> m_postingMemory;
    int m_status = 0;
};

// The program's connection; replaced by connectDatabase.
extern std::unique_ptr<cConnection> gConnection;

// The key the data file and its backups are encrypted with.
QByteArray dataFileKey();

// Creates a new connection in gConnection and opens the data file; false after the boxes. Given damage, a
// data file too damaged to open is said in *damage instead, with no box, so that the backup can be offered.
bool connectDatabase(QString* damage = nullptr);
// Closes the connection, writes a copy of the data file to the destination (empty = the default backup; see
// compactFile), and reopens unless told not to (the program's exit, which closes it next). A failed backup is
// reported in a box, except the default one into a "Backups" folder that is not there. Nothing is written while
// no data file is open, nor of a data file found damaged: by the check, or as it is copied (compactFile). The default
// backup stays beside the new one under a dated name (keptBackupPath), and the user is told so, where
// exitBackupWouldLoseData says so.
bool backupDatabase(const QString& destination, bool reopen = true);
// The user's rows (leagues, teams and their leagues, cars and drivers, races and results, picks, and the
// scoring methods, race types and groups beyond the shipped ones) on each side of the exit backup; -1 where
// they could not be counted, or where there is no backup.
struct BackupRows {
    qint64 dataFile = -1;
    qint64 backup = -1;
};
// True when the open data file may not replace the backup at path as it is: no data file is open, the
// backup cannot be read to count its rows, or the data file holds clearly fewer of them than the backup
// (less than half). The backup's count is the one remembered with it when it was written, else counted.
// rows, when given, gets both counts.
bool exitBackupWouldLoseData(const QString& backup, BackupRows* rows = nullptr);
// Where the exit backup keeps a fuller backup it would otherwise replace: beside it, named after the time
// it was written, and never a name already in use.
QString keptBackupPath(const QString& backup);
// Where a restore keeps the data file it replaces: beside the backups, named as keptBackupPath names them.
QString keptDataFilePath();
// The backup the start offers for a data file that is missing or damaged: the one every exit writes, else the
// newest of the dated copies beside it (keptBackupPath, keptDataFilePath) whose every page reads; a kept
// damaged data file is never one. Empty when there is none.
QString backupToOffer();
// Deletes a file, ignoring every failure.
void deleteFile(const QString& path);

// Whether a data file is at path. One that a restore cut short left aside is put back first. Blocked
// (after a box) when none may be created: the copy of an interrupted restore waits beside the missing file.
// Empty: a file of no bytes, which holds none of the user's data and must not be taken for a data file.
enum class DataFileFound { Present, Missing, Blocked, Empty };
DataFileFound findDataFile(const QString& path);
// Creates the data file from the schema, readable by its owner only; false after a box when it cannot.
bool createDataFile(const QString& path);
// findDataFile, and createDataFile when it is missing; false after a box.
bool ensureDataFile(const QString& path);
// Replaces the closed data file by a copy of source: the copy is written beside the data file
// (restoreSidePath), checked whole (every page read, the indexes compared with their tables), opened as
// the data file is opened (schema version, migration), and renamed over the data file in one step, so
// that at every moment the data file is either the old one or the restored one. A data file that is a
// link keeps its link: the file it leads to is the one replaced. The data file replaced is kept first, as it
// is, under keptDataFilePath() (or the next free name, should a file take that one meanwhile), whose name *kept
// gets (empty when there was none to keep); where it cannot be kept, it is not replaced. False with the reason in
// *error, which names source, the data file untouched.
bool restoreDataFile(const QString& source, QString* error, QString* kept = nullptr);
QString restoreSidePath();
// Called with "copying", "copied", "checked", "claimed" (the kept copy's name made, the copy not yet under it),
// "kept" and "renamed" as the restore passes each step (tests).
void setRestoreStepHook(std::function<void(const char*)> hook);
// Writes a compacted, encrypted copy of the closed file at source to destination. A file with little free
// space is copied page for page (its bytes, under the same key) while the engine reads each of its pages
// through the check of the page's code; one with much is rebuilt without it, and the rebuilt copy is read
// back the same way. The copy is built in a temporary file beside the destination, flushed to the disk, and
// renamed over it only once it has passed, so the previous copy survives a failure. A destination that is a link stays
// one: the file it leads to is replaced. On failure returns false with the reason in *error.
bool compactFile(const QString& source, const QString& destination, QString* error);
// True when the file opens with the program's key and holds a data file's schema of this version or an
// older one. *error names shown, when given, in place of path.
bool isDataFile(const QString& path, QString* error, const QString& shown = QString());

// Reads every page of the open data file (the engine's quick check, a fraction of a second on a file of
// 50 MB). Empty when it is whole; otherwise what is wrong, which is remembered for the rest of the run
// (dataFileDamage) until a restore or a new data file replaces the file.
QString checkOpenDataFile();
// What the last check found wrong with the data file; empty when it found nothing.
QString dataFileDamage();
