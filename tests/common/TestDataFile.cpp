#include "TestDataFile.h"

#include "data/Paths.h"
#include "data/cConnection.h"

#include <QDir>
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
    SqlDatabase* db = gConnection ? gConnection->getConnection() : nullptr;
    if (!db || !db->exec(sql)) {
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
