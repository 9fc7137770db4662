#include "data/Schema.h"

#include "data/NewNumber.h"
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

// One migration step: its statements and the new version in one transaction.
bool migrateStep(SqlDatabase& db, int toVersion, const QString& statements, QString* error) {
    if (db.exec(QStringLiteral("BEGIN")) && db.execScript(statements) &&
        db.exec(QStringLiteral("PRAGMA user_version = %1").arg(toVersion)) && db.exec(QStringLiteral("COMMIT")))
        return true;
    *error = QStringLiteral("The data file could not be brought up to date: %1").arg(db.lastError());
    db.exec(QStringLiteral("ROLLBACK"));
    return false;
}

// The statements that move a status at `number` named other than `shippedName` (one its owner added, which
// the races at that number read) to the first free number from FirstUserNumber, its races with it, so that
// the number can carry the shipped status. The races move first, while the free number is still free.
QString moveAddedStatusOff(int number, const char* shippedName) {
    const QString freeNumber =
        QStringLiteral("(SELECT min(n) FROM (SELECT %1 AS n UNION ALL SELECT race_status_nmbr + 1"
                       " FROM race_status_dm WHERE race_status_nmbr >= %1)"
                       " WHERE n NOT IN (SELECT race_status_nmbr FROM race_status_dm))")
            .arg(FirstUserNumber);
    const QString added = QStringLiteral("race_status_nmbr = %1 AND race_status_name IS NOT '%2'")
                              .arg(number)
                              .arg(QLatin1String(shippedName));
    return QStringLiteral("UPDATE races SET race_status_nmbr = %1 WHERE race_status_nmbr = %2 AND EXISTS"
                          " (SELECT 1 FROM race_status_dm WHERE %3);"
                          "UPDATE race_status_dm SET race_status_nmbr = %1 WHERE %3;")
        .arg(freeNumber, QString::number(number), added);
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
    if (!db.exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion)) ||
        !db.exec(QStringLiteral("COMMIT"))) {
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
    // 2: no index of the team results leads with the team, since every posting added to those all
    // over: the (team, car) one is keyed by race first and the summaries' team one is gone.
    if (version < 2 && !migrateStep(db, 2,
                                    QStringLiteral("DROP INDEX IF EXISTS team_results_team_car;"
                                                   "DROP INDEX IF EXISTS team_results_summary_team;"
                                                   "CREATE INDEX IF NOT EXISTS team_results_race_team_car"
                                                   " ON team_results (race_nmbr, team_nmbr, car_nmbr);"),
                                    error))
        return false;
    // 3: the statuses are numbered as the race's pages print them (1 "Unofficial", 3 "Qualifying"), and a
    // race without a chosen status (0: new, or brought by an import) is "Scheduled". Each race keeps what
    // it says: a status the file's owner added at 0 or 5 first moves off the number this version needs;
    // then where a status still carries its shipped name, its races move to that status's new number
    // (1 "Scheduled" to 0, 3 "Postponed" to 5) before the number takes its new name. A status renamed since
    // it was shipped keeps its number and its name.
    if (version < 3 &&
        !migrateStep(db, 3,
                     moveAddedStatusOff(0, "Scheduled") + moveAddedStatusOff(5, "Postponed") +
                         QStringLiteral("UPDATE races SET race_status_nmbr = 0 WHERE race_status_nmbr = 1 AND EXISTS"
                                        " (SELECT 1 FROM race_status_dm WHERE race_status_nmbr = 1"
                                        " AND race_status_name = 'Scheduled');"
                                        "UPDATE races SET race_status_nmbr = 5 WHERE race_status_nmbr = 3 AND EXISTS"
                                        " (SELECT 1 FROM race_status_dm WHERE race_status_nmbr = 3"
                                        " AND race_status_name = 'Postponed');"
                                        "UPDATE race_status_dm SET race_status_name = 'Unofficial'"
                                        " WHERE race_status_nmbr = 1 AND race_status_name = 'Scheduled';"
                                        "UPDATE race_status_dm SET race_status_name = 'Qualifying'"
                                        " WHERE race_status_nmbr = 3 AND race_status_name = 'Postponed';"
                                        "INSERT OR IGNORE INTO race_status_dm VALUES (0, 'Scheduled');"
                                        "INSERT OR IGNORE INTO race_status_dm VALUES (5, 'Postponed');"),
                     error))
        return false;
    return true;
}
