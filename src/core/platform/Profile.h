#pragma once

#include <QString>

// Profile (INI) files read and written one key at a time: "[section]" lines followed by "key=value"
// lines. Section and key names match whatever their case; everything else in the file is kept as it is.

// Reads the value of the key, without the blanks around it and cut to maxChars characters. A missing
// file, section or key yields defaultValue. False (with the reason) only when the file exists but
// cannot be read.
bool readProfileString(const QString& path, const QString& section, const QString& key, const QString& defaultValue,
                       int maxChars, QString* value, QString* error, int* errorNumber);

// Writes "key=value" exactly as given (blanks included), adding the section and the key when missing,
// and creating the file and its folder when needed. The file is replaced only once the new text is
// complete. False with the reason when it cannot be written.
bool writeProfileString(const QString& path, const QString& section, const QString& key, const QString& value,
                        QString* error, int* errorNumber);
