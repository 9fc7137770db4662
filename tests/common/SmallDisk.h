#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>

// A disk of a few KiB (a tmpfs mounted on a folder of its own), for writes that run out of room, or a
// read-only one, which refuses writes even to root. Mounting needs root: without it ok() is false and
// why() says so, for the test to skip with.
class SmallDisk {
public:
    // Mounted on a folder of its own, or over the folder at (whose files it hides while mounted).
    explicit SmallDisk(int kib, bool readOnly = false, const QString& at = QString()) : m_at(at) {
        if (!m_dir.isValid() && m_at.isEmpty()) {
            m_why = QStringLiteral("no temporary folder");
            return;
        }
        const QByteArray options = "size=" + QByteArray::number(kib) + "k,mode=0777";
        m_mounted = ::mount("tmpfs", QFile::encodeName(path()).constData(), "tmpfs", readOnly ? MS_RDONLY : 0,
                            options.constData()) == 0;
        if (!m_mounted)
            m_why = QStringLiteral("a small disk cannot be mounted (that needs root): ") +
                    QString::fromLocal8Bit(std::strerror(errno));
    }
    ~SmallDisk() {
        if (m_mounted)
            ::umount2(QFile::encodeName(path()).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool ok() const { return m_mounted; }
    QString why() const { return m_why; }
    QString path() const { return m_at.isEmpty() ? m_dir.path() : m_at; }

    // Takes up every byte left with a file of its own.
    void fill() const {
        QFile filler(QDir(path()).filePath(QStringLiteral(".filler")));
        if (!filler.open(QIODevice::Append))
            return;
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
        filler.close();
        // What is left is smaller than a block.
        QFile rest(QDir(path()).filePath(QStringLiteral(".filler2")));
        if (rest.open(QIODevice::Append))
            while (rest.write("f", 1) == 1 && rest.flush()) {
            }
    }

private:
    QTemporaryDir m_dir;
    QString m_at;
    bool m_mounted = false;
    QString m_why;
};
