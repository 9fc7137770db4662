#include "data/cConnection.h"

#include "data/CommonCode.h"
#include "data/Paths.h"
#include "data/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

std::unique_ptr<cConnection> gConnection;

QByteArray dataFileKey() { return QByteArrayLiteral("Twerl"); }

// ---- cWorkspace ----

bool cWorkspace::BeginTrans() {
    const bool ok = m_depth == 0 ? m_db.exec(QStringLiteral("BEGIN"))
                                 : m_db.exec(QStringLiteral("SAVEPOINT qv%1").arg(m_depth));
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

Transaction::Transaction() {
    if (gConnection && gConnection->getConnection()) {
        m_ws = &gConnection->getWorkSpace();
        m_begun = m_ws->BeginTrans();
    }
    if (!m_begun)
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

cConnection::cConnection() : m_db(std::make_unique<SqlDatabase>()), m_workspace(*m_db) {}

cConnection::~cConnection() = default;

int cConnection::openAccessConnection() {
    m_workspace.reset();
    if (!m_db->open(dataFilePath(), dataFileKey(), false, true)) {
        QString message = m_db->lastError();
        if (m_db->lastErrorCode() == 26) // SQLITE_NOTADB: wrong key or not a data file
            message = QStringLiteral("Not a valid password.");
        else if (m_db->lastErrorCode() == 5 || m_db->lastErrorCode() == 6) // busy or locked
            message = QStringLiteral("The data file '%1' is already in use.").arg(dataFilePath());
        showQuorvantiBox(message);
        m_status = 1;
        return 1;
    }
    QString error;
    if (!migrateSchema(*m_db, &error)) {
        showQuorvantiBox(error);
        m_db->close();
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

void deleteFile(const QString& path) { QFile::remove(path); }

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
    // Opened with the create flag only because ATTACH inherits it and must create the copy.
    SqlDatabase db;
    if (!db.open(source, dataFileKey(), true, false)) {
        *error = db.lastError();
        return false;
    }
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

    // Only a complete copy replaces the previous backup.
    QFile::remove(destination + QStringLiteral(".old"));
    if (QFile::exists(destination) && !QFile::rename(destination, destination + QStringLiteral(".old"))) {
        *error = QStringLiteral("The file '%1' cannot be replaced.").arg(destination);
        QFile::remove(temp);
        return false;
    }
    if (!QFile::rename(temp, destination)) {
        QFile::rename(destination + QStringLiteral(".old"), destination);
        *error = QStringLiteral("The file '%1' cannot be written.").arg(destination);
        QFile::remove(temp);
        return false;
    }
    QFile::remove(destination + QStringLiteral(".old"));
    return true;
}

bool backupDatabase(const QString& destination) {
    const QString target = destination.isEmpty() ? defaultBackupPath() : destination;
    if (gConnection)
        gConnection->CloseConnection();
    QString error;
    const bool ok = compactFile(dataFilePath(), target, &error);
    connectDatabase();
    // The backup at exit stays silent, as it always was; a backup the user asked for says why it failed.
    if (!ok && !destination.isEmpty())
        showQuorvantiBox(QStringLiteral("The backup to '%1' could not be made.\n\n%2").arg(target, error));
    return ok;
}

bool ensureDataFile(const QString& path) {
    if (QFileInfo::exists(path))
        return true;
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QString temp = path + QStringLiteral(".new");
    QFile::remove(temp);
    QString error;
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
    if (!QFile::rename(temp, path)) {
        QFile::remove(temp);
        showQuorvantiBox(QStringLiteral("The data file '%1' could not be created.").arg(path));
        return false;
    }
    return true;
}

bool isDataFile(const QString& path, QString* error) {
    SqlDatabase db;
    if (!QFileInfo::exists(path)) {
        *error = QStringLiteral("The file '%1' does not exist.").arg(path);
        return false;
    }
    if (!db.open(path, dataFileKey(), false, false)) {
        *error = db.lastErrorCode() == 26 ? QStringLiteral("'%1' is not a Quorvanti data file.").arg(path)
                                          : db.lastError();
        return false;
    }
    SqlRows rows;
    if (!db.query(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'race_type_dm'"),
                  &rows) ||
        rows.rows.value(0).value(0).toInt() != 1) {
        *error = QStringLiteral("'%1' is not a Quorvanti data file.").arg(path);
        return false;
    }
    return true;
}
