#pragma once

#include "RecordingUi.h"

#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <QVariantList>

// A fresh program folder with a new data file, opened as the program's connection, and a
// recording UI. Everything is closed and removed when it goes out of scope.
class TestDataFile {
public:
    TestDataFile();
    ~TestDataFile();
    bool ok() const { return m_ok; }
    QString folder() const { return m_dir.path(); }
    RecordingUi& ui() { return m_ui; }

    // Runs statements directly (test set-up); fails the test on error.
    static void exec(const QString& sql);
    // One statement with its values bound to the ? placeholders.
    static void exec(const QString& sql, const QVariantList& params);
    // The first column of the first row of a query.
    static QVariant scalar(const QString& sql);
    // The first column of the first row as a number: a COUNT(*), say.
    static int count(const QString& sql) { return scalar(sql).toInt(); }
    // Adds cars first.. to first + count - 1 with long names: a data file of some hundred pages.
    static void addCars(int first, int count);
    // Changes one byte in the middle of the page (counted from 0) of the file at path, as a failing disk
    // or a stray write would.
    static void damagePage(const QString& path, qint64 page);

private:
    QTemporaryDir m_dir;
    RecordingUi m_ui;
    bool m_ok = false;
};
