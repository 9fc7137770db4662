#include "platform/SaveFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <sys/statvfs.h>
#include <unistd.h>

bool commitSaveFile(QSaveFile& file, QString* error) {
    if (!file.isOpen()) {
        *error = file.errorString();
        return false;
    }
    errno = 0;
    bool ok = file.error() == QFileDevice::NoError && file.flush() && file.error() == QFileDevice::NoError;
    int reason = errno;
    // What the disk has not yet given room to (delayed allocation) fails here rather than after the rename.
    if (ok && ::fdatasync(file.handle()) != 0) {
        ok = false;
        reason = errno;
    }
    if (ok && file.commit())
        return true;
    if (file.error() != QFileDevice::NoError)
        *error = file.errorString();
    else if (reason != 0)
        *error = QString::fromLocal8Bit(std::strerror(reason));
    else
        *error = QStringLiteral("Not every byte could be written.");
    file.cancelWriting();
    return false;
}

bool saveWholeFile(const QString& path, const QByteArray& bytes, QString* error, QFileDevice::FileError* kind) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        if (kind)
            *kind = file.error();
        return false;
    }
    if (kind)
        *kind = QFileDevice::WriteError;
    errno = 0;
    if (file.write(bytes) != bytes.size()) {
        // A write that stores only part of the bytes may come back without an error.
        *error = file.error() != QFileDevice::NoError ? file.errorString()
                 : errno != 0                         ? QString::fromLocal8Bit(std::strerror(errno))
                                                      : QStringLiteral("Not every byte could be written.");
        file.cancelWriting();
        return false;
    }
    return commitSaveFile(file, error);
}

bool diskIsFull(const QString& path) {
    QString existing = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    while (!QFileInfo::exists(existing) && existing != QDir::rootPath())
        existing = QFileInfo(existing).absolutePath();
    struct statvfs st {};
    if (::statvfs(QFile::encodeName(existing).constData(), &st) != 0)
        return false;
    // A file system that keeps no count of its file entries reports none at all, which is not full.
    return st.f_bavail == 0 || (st.f_files > 0 && st.f_favail == 0);
}
