#include "data/Paths.h"

#include <QDir>
#include <QStandardPaths>

namespace {
QString& folderOverride() {
    static QString folder;
    return folder;
}
} // namespace

QString programFolder() {
    if (!folderOverride().isEmpty())
        return folderOverride();
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

void setProgramFolder(const QString& folder) { folderOverride() = QDir::cleanPath(folder); }

QString dataFilePath() { return QDir(programFolder()).filePath(QString::fromLatin1(kDataFileName)); }
QString reportsDir() { return QDir(programFolder()).filePath(QStringLiteral("Reports")); }
QString backupsDir() { return QDir(programFolder()).filePath(QStringLiteral("Backups")); }
QString importsDir() { return QDir(programFolder()).filePath(QStringLiteral("Imports")); }
QString defaultBackupPath() { return QDir(backupsDir()).filePath(QString::fromLatin1(kDataFileName)); }
