#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
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
    // Or a disk whose files cannot have a second name (link() answers EPERM), as FAT and exFAT drives: an exFAT
    // image on a loop device, mounted through FUSE (root, a loop device, Debian's exfatprogs and exfat-fuse).
    struct Exfat {};
    SmallDisk(Exfat, int mib, const QString& at = QString()) : m_at(at), m_image(m_dir.path() + ".exfat") {
        QProcess sh;
        sh.start("sh", {"-c", QStringLiteral("PATH=$PATH:/usr/sbin; truncate -s %1M '%2' && mkfs.exfat '%2' && dev=$("
                                             "losetup -f --show '%2') && { mount.exfat-fuse $dev '%3' || { losetup -d "
                                             "$dev; exit 1; }; }")
                                  .arg(mib)
                                  .arg(m_image, path())});
        m_mounted = sh.waitForFinished(30000) && sh.exitStatus() == QProcess::NormalExit && sh.exitCode() == 0;
        if (!m_mounted)
            m_why = "no exFAT disk here: " + QString::fromLocal8Bit(sh.readAllStandardError()).trimmed();
    }
    ~SmallDisk() {
        if (m_mounted)
            ::umount2(QFile::encodeName(path()).constData(), MNT_DETACH);
        if (!m_image.isEmpty()) // let go once the file system has closed it
            QProcess::execute("sh", {"-c", "PATH=$PATH:/usr/sbin; losetup -d $(losetup -n -O NAME -j '" + m_image +
                                               "'); rm -f '" + m_image + "'"});
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
    QString m_image; // an exFAT disk's, beside the folder it is mounted on
    bool m_mounted = false;
    QString m_why;
};
