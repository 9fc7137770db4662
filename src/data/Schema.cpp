#include "data/Schema.h"

#include "platform/SqlDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// The schema scripts are compiled in as resources and run in the order of their names.
QStringList schemaScripts() {
    QStringList names = QDir(QStringLiteral(":/schema")).entryList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name);
    for (QString& n : names)
        n.prepend(QStringLiteral(":/schema/"));
    return names;
}

} // namespace

bool createSchema(SqlDatabase& db, QString* error) {
    const QStringList scripts = schemaScripts();
    if (scripts.isEmpty()) {
        *error = QStringLiteral("The program holds no schema.");
        return false;
    }
    if (!db.exec(QStringLiteral("BEGIN"))) {
        *error = db.lastError();
        return false;
    }
    for (const QString& name : scripts) {
        QFile f(name);
        if (!f.open(QIODevice::ReadOnly) || !db.execScript(QString::fromUtf8(f.readAll()))) {
            *error = QStringLiteral("%1: %2").arg(QFileInfo(name).fileName(), db.lastError());
            db.exec(QStringLiteral("ROLLBACK"));
            return false;
        }
    }
    if (!db.exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion)) || !db.exec(QStringLiteral("COMMIT"))) {
        *error = db.lastError();
        db.exec(QStringLiteral("ROLLBACK"));
        return false;
    }
    return true;
}

bool migrateSchema(SqlDatabase& db, QString* error) {
    SqlRows rows;
    if (!db.query(QStringLiteral("PRAGMA user_version"), &rows)) {
        *error = db.lastError();
        return false;
    }
    const int version = rows.rows.value(0).value(0).toInt();
    if (version > kSchemaVersion) {
        *error = QStringLiteral("The data file was written by a newer version of Quorvanti (schema %1).").arg(version);
        return false;
    }
    // Version 1 is the first; later versions add their steps here, each in its own transaction.
    if (version < 1) {
        *error = QStringLiteral("The data file has no schema version; it is not a Quorvanti data file.");
        return false;
    }
    return true;
}
