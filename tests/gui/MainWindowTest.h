#pragma once

#include "RecordingUi.h"
#include "app/Settings.h"
#include "data/cConnection.h"
#include "shell/frmMain.h"

#include <QCryptographicHash>
#include <QFile>
#include <QObject>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

// A test of the main window as the program runs it: its own data and settings folders in a temporary
// folder, started and closed as the program starts and ends.
class MainWindowTest : public QObject {
protected:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<RecordingUi> m_ui;
    std::unique_ptr<frmMain> m_main;
    // Closes the welcome windows a start shows.
    QTimer m_closer;

    QString dataFolder() const { return m_dir->filePath(QStringLiteral("Data Folder")); }

    // Starts the main window as the program does.
    bool start() {
        settings = SettingsRecord{};
        m_main = std::make_unique<frmMain>(nullptr, 1);
        return m_main->startUp();
    }

    // Closes it as the user would, and the data file with it.
    void stop() {
        if (m_main)
            m_main->close();
        m_main.reset();
        gConnection.reset();
    }

    static QByteArray fileHash(const QString& path) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
    }
};
