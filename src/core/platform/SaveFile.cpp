#include "platform/SaveFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

std::atomic<quint64> syncs{0};

constexpr qint64 kBufferSize = 64 * 1024;

// The name a copy or a link to it takes beside the target: the target's name, a dot and six letters
// or digits (the report folder removes such names that killed runs left).
QByteArray besideName(const QByteArray& target) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray name = target + '.';
    for (int i = 0; i < 6; ++i)
        name += letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
    return name;
}

// The file a chain of links ends at, as QFileInfo names it; the path itself when it is no link or the
// chain does not end.
QString resolvedTarget(const QString& path) {
    QFileInfo info(path);
    int depth = 128;
    while (--depth > 0 && info.isSymLink())
        info.setFile(info.symLinkTarget());
    return depth > 0 ? info.filePath() : path;
}

int openNamedCopy(const QByteArray& target, QByteArray* name, mode_t mode) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        *name = besideName(target);
        const int fd = ::open(name->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

} // namespace

quint64 savedFileSyncs() {
    return syncs.load();
}

SaveFile::SaveFile(const QString& path) : m_path(path) {}

SaveFile::~SaveFile() {
    cancelWriting();
}

bool SaveFile::fail(QFileDevice::FileError kind, int reason) {
    if (m_error == QFileDevice::NoError) {
        m_error = kind;
        m_errorString = qt_error_string(reason);
    }
    return false;
}

bool SaveFile::open() {
    cancelWriting();
    m_error = QFileDevice::NoError;
    m_errorString.clear();
    m_buffer.clear();
    if (m_path.isEmpty())
        return fail(QFileDevice::OpenError, ENOENT);
    m_target = QFile::encodeName(resolvedTarget(m_path));
    struct stat existing {};
    const bool exists = ::stat(m_target.constData(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return fail(QFileDevice::OpenError, EISDIR);
    if (exists && ::access(m_target.constData(), W_OK) != 0)
        return fail(QFileDevice::OpenError, errno);
    // Until an existing target's permissions are copied, no one else may read the copy.
    const mode_t mode = exists ? 0600 : 0666;
    const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(m_target)).absolutePath());
    // An unnamed copy is given its name through /proc; without it the copy is named from the start.
    static const bool canNameUnnamed = ::access("/proc/self/fd", X_OK) == 0;
    m_fd = canNameUnnamed ? ::open(folder.constData(), O_WRONLY | O_TMPFILE | O_CLOEXEC, mode) : -1;
    if (m_fd < 0) {
        // File systems without unnamed files (and old systems) refuse the flag itself; anything else is
        // the folder's answer for a named copy too.
        const int reason = canNameUnnamed ? errno : EOPNOTSUPP;
        if (reason != EOPNOTSUPP && reason != EISDIR && reason != EINVAL)
            return fail(QFileDevice::OpenError, reason);
        m_fd = openNamedCopy(m_target, &m_tempName, mode);
        if (m_fd < 0)
            return fail(QFileDevice::OpenError, errno);
    }
    if (exists)
        ::fchmod(m_fd, existing.st_mode & 07777);
    m_buffer.reserve(kBufferSize);
    return true;
}

bool SaveFile::writeOut(const char* data, qint64 size) {
    while (size > 0) {
        errno = 0;
        const ssize_t n = ::write(m_fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        // A write that stores nothing without a reason is a full disk that said nothing.
        if (n <= 0)
            return fail(QFileDevice::WriteError, n < 0 ? errno : ENOSPC);
        data += n;
        size -= n;
    }
    return true;
}

qint64 SaveFile::write(const char* data, qint64 size) {
    if (m_fd < 0) {
        fail(QFileDevice::WriteError, EBADF);
        return -1;
    }
    if (m_error != QFileDevice::NoError)
        return -1;
    if (m_buffer.size() + size > kBufferSize) {
        if (!flush())
            return -1;
        if (size >= kBufferSize)
            return writeOut(data, size) ? size : -1;
    }
    m_buffer.append(data, size);
    return size;
}

bool SaveFile::flush() {
    if (m_fd < 0)
        return fail(QFileDevice::WriteError, EBADF);
    if (m_error != QFileDevice::NoError)
        return false;
    const bool ok = writeOut(m_buffer.constData(), m_buffer.size());
    m_buffer.clear();
    return ok;
}

void SaveFile::cancelWriting() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_tempName.isEmpty())
        ::unlink(m_tempName.constData());
    m_tempName.clear();
    m_buffer.clear();
}

bool SaveFile::putInPlace() {
    if (!m_tempName.isEmpty()) {
        // Errors a network file system holds back until the file is closed come before the rename.
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0)
            return fail(QFileDevice::WriteError, errno);
        if (::rename(m_tempName.constData(), m_target.constData()) != 0)
            return fail(QFileDevice::RenameError, errno);
        m_tempName.clear();
        return true;
    }
    // An unnamed copy gets a name through the process's view of its descriptor: straight the target's
    // when there is none yet, otherwise one beside it that the rename then moves over the target.
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_fd);
    if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, m_target.constData(), AT_SYMLINK_FOLLOW) == 0)
        return true;
    if (errno != EEXIST)
        return fail(QFileDevice::RenameError, errno);
    QByteArray beside;
    for (int attempt = 0; attempt < 100; ++attempt) {
        beside = besideName(m_target);
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, beside.constData(), AT_SYMLINK_FOLLOW) == 0)
            break;
        if (errno != EEXIST)
            return fail(QFileDevice::RenameError, errno);
        beside.clear();
    }
    if (beside.isEmpty())
        return fail(QFileDevice::RenameError, EEXIST);
    if (::rename(beside.constData(), m_target.constData()) != 0) {
        const int reason = errno;
        ::unlink(beside.constData());
        return fail(QFileDevice::RenameError, reason);
    }
    return true;
}

bool commitSaveFile(SaveFile& file, QString* error, bool durable) {
    bool ok = file.isOpen() && file.error() == QFileDevice::NoError && file.flush();
    if (ok && durable) {
        ++syncs;
        while (!(ok = ::fdatasync(file.m_fd) == 0) && errno == EINTR) {
        }
        if (!ok)
            file.fail(QFileDevice::WriteError, errno);
    }
    if (ok && file.putInPlace()) {
        file.cancelWriting(); // closes the descriptor; the copy has its name now
        return true;
    }
    if (!file.isOpen() && file.error() == QFileDevice::NoError)
        file.fail(QFileDevice::WriteError, EBADF);
    *error = file.errorString();
    file.cancelWriting();
    return false;
}

bool saveWholeFile(const QString& path, const QByteArray& bytes, QString* error, QFileDevice::FileError* kind) {
    SaveFile file(path);
    if (!file.open()) {
        *error = file.errorString();
        if (kind)
            *kind = file.error();
        return false;
    }
    if (kind)
        *kind = QFileDevice::WriteError;
    if (file.write(bytes) != bytes.size()) {
        *error = file.errorString();
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
