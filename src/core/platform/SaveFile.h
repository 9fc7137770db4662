#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

// A file written beside its target that takes the target's place only once it is complete. The bytes
// go to a copy in the target's folder (an unnamed file where the file system has them, otherwise
// target.XXXXXX); commitSaveFile puts the copy in place with one rename, so a reader meets the old file
// or the new one, never a part. A target that is a symbolic link is written through the link, and an
// existing target's permissions pass to its replacement.
class SaveFile {
public:
    explicit SaveFile(const QString& path);
    // A copy that was not committed is removed: the target stays as it was.
    ~SaveFile();
    SaveFile(const SaveFile&) = delete;
    SaveFile& operator=(const SaveFile&) = delete;

    // Makes the copy; false with error() and errorString() when the folder refuses it.
    bool open();
    bool isOpen() const { return m_fd >= 0; }
    // The target as given.
    QString fileName() const { return m_path; }

    // Buffered; the whole size, or -1 with the error set when the disk refused part of it.
    qint64 write(const char* data, qint64 size);
    qint64 write(const QByteArray& bytes) { return write(bytes.constData(), bytes.size()); }
    // Hands the buffered bytes to the system; false with the error set.
    bool flush();

    QFileDevice::FileError error() const { return m_error; }
    QString errorString() const { return m_errorString; }
    // Drops the copy; the target stays as it was.
    void cancelWriting();

private:
    friend bool commitSaveFile(SaveFile& file, QString* error, bool durable);
    bool fail(QFileDevice::FileError kind, int reason);
    bool writeOut(const char* data, qint64 size);
    bool putInPlace();

    QString m_path;
    QByteArray m_target;   // the resolved target, encoded
    QByteArray m_tempName; // the named copy; empty for an unnamed one
    int m_fd = -1;
    QByteArray m_buffer;
    QFileDevice::FileError m_error = QFileDevice::NoError;
    QString m_errorString;
};

// Ends the writing of a SaveFile: the file takes its target's place only when every byte written has
// reached the system and, when durable, the disk (one fdatasync: what the disk has not yet given room
// to, as with delayed allocation, fails there rather than after the rename). Otherwise the target stays
// as it was, the unfinished copy is removed, and false comes back with the system's reason in *error.
// Without durable the replace is still whole for every reader; only a machine that stops at once may
// find the folder without the newest copies.
bool commitSaveFile(SaveFile& file, QString* error, bool durable = true);
// Replaces the file at path by bytes through a SaveFile and a durable commitSaveFile; false with the
// reason, and in *kind, when given, whether the file could not be opened (its error) or not be written
// (WriteError).
bool saveWholeFile(const QString& path, const QByteArray& bytes, QString* error,
                   QFileDevice::FileError* kind = nullptr);
// True when the disk that holds path (or the nearest folder above it that exists) has no room left for a
// file: no free block, or no free entry for a new file.
bool diskIsFull(const QString& path);

// How many times the checked save has asked the system to put a file's bytes on the disk since the
// program started; a caller compares two readings.
quint64 savedFileSyncs();
