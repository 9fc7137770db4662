#include "TestDataFile.h"

#include "data/Paths.h"
#include "data/cConnection.h"

#include <QDir>
#include <QFile>
#include <cstdio>
#include <cstdlib>

TestDataFile::TestDataFile() {
    setProgramFolder(m_dir.path());
    QDir(m_dir.path()).mkpath(QStringLiteral("Backups"));
    QDir(m_dir.path()).mkpath(QStringLiteral("Reports"));
    QDir(m_dir.path()).mkpath(QStringLiteral("Imports"));
    m_ok = ensureDataFile(dataFilePath()) && connectDatabase();
    m_ui.clear();
}

TestDataFile::~TestDataFile() {
    if (gConnection)
        gConnection->CloseConnection();
    gConnection.reset();
}

void TestDataFile::exec(const QString& sql) {
    exec(sql, {});
}

void TestDataFile::exec(const QString& sql, const QVariantList& params) {
    SqlDatabase* db = gConnection ? gConnection->getConnection() : nullptr;
    if (!db || !db->exec(sql, params)) {
        std::fprintf(stderr, "test set-up failed: %s\n%s\n", qPrintable(db ? db->lastError() : QString()),
                     qPrintable(sql));
        std::abort();
    }
}

QVariant TestDataFile::scalar(const QString& sql) {
    SqlDatabase* db = gConnection ? gConnection->getConnection() : nullptr;
    SqlRows rows;
    if (!db || !db->query(sql, &rows)) {
        std::fprintf(stderr, "test query failed: %s\n%s\n", qPrintable(db ? db->lastError() : QString()),
                     qPrintable(sql));
        std::abort();
    }
    return rows.rows.isEmpty() ? QVariant() : rows.rows.first().value(0);
}

void TestDataFile::addCars(int first, int count) {
    exec(QStringLiteral("WITH RECURSIVE n(x) AS (SELECT %1 UNION ALL SELECT x + 1 FROM n WHERE x < %2)"
                        " INSERT INTO cars (car_nmbr, race_type_nmbr, car_type_nmbr, car_txt, driver_name, sponsor)"
                        " SELECT x, 1, 1, x, 'Driver ' || x, substr(hex(randomblob(60)), 1, 100) FROM n")
             .arg(first)
             .arg(first + count - 1));
}

void TestDataFile::damagePage(const QString& path, qint64 page) {
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite) || f.size() < (page + 1) * 4096) {
        std::fprintf(stderr, "test set-up failed: %s has no page %lld\n", qPrintable(path), page);
        std::abort();
    }
    const qint64 at = page * 4096 + 1000;
    f.seek(at);
    char byte = 0;
    f.getChar(&byte);
    f.seek(at);
    f.putChar(char(byte ^ 0x5a));
}
