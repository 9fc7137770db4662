#include "data/Paths.h"

#include <QDir>
#include <QStandardPaths>
#include <optional>

namespace {
QString& folderOverride() {
    static QString folder;
    return folder;
}
std::optional<QString>& reportsOverride() {
    static std::optional<QString> folder;
    return folder;
}
std::optional<QString>& backupsOverride() {
    static std::optional<QString> folder;
    return folder;
}
} // namespace

QString programFolder() {
    if (!folderOverride().isEmpty())
        return folderOverride();
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

void setProgramFolder(const QString& folder) {
    folderOverride() = QDir::cleanPath(folder);
    reportsOverride().reset();
    backupsOverride().reset();
}

void setReportsDir(const QString& folder) {
    reportsOverride() = folder;
}
void setBackupsDir(const QString& folder) {
    backupsOverride() = folder;
}

QString dataFilePath() {
    return QDir(programFolder()).filePath(QString::fromLatin1(kDataFileName));
}
QString reportsDir() {
    return reportsOverride() ? *reportsOverride() : QDir(programFolder()).filePath(QStringLiteral("Reports"));
}
QString backupsDir() {
    return backupsOverride() ? *backupsOverride() : QDir(programFolder()).filePath(QStringLiteral("Backups"));
}
QString importsDir() {
    return QDir(programFolder()).filePath(QStringLiteral("Imports"));
}
QString defaultBackupPath() {
    return QDir(backupsDir()).filePath(QString::fromLatin1(kDataFileName));
}
