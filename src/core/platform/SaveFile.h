#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

class QSaveFile;

// Ends the writing of a QSaveFile: the file takes its target's place only when every byte written has
// reached the disk. Otherwise the target stays as it was, the unfinished copy is removed, and false comes
// back with the system's reason in *error. (QSaveFile::commit alone would put a copy cut short by a full
// disk in place: a final write that stores only part of its bytes fails without an error of its own.)
bool commitSaveFile(QSaveFile& file, QString* error);
// Replaces the file at path by bytes through a QSaveFile and commitSaveFile; false with the reason, and
// in *kind, when given, whether the file could not be opened (its error) or not be written (WriteError).
bool saveWholeFile(const QString& path, const QByteArray& bytes, QString* error,
                   QFileDevice::FileError* kind = nullptr);
// True when the disk that holds path (or the nearest folder above it that exists) has no room left for a
// file: no free block, or no free entry for a new file.
bool diskIsFull(const QString& path);
