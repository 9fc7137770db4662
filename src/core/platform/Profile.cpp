#include "platform/Profile.h"

#include "platform/SaveFile.h"
#include "platform/TextLines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace {

// The error numbers file errors have always been reported with.
int fileErrorNumber(QFileDevice::FileError e) {
    switch (e) {
    case QFileDevice::PermissionsError:
        return 70; // permission denied
    case QFileDevice::ReadError:
        return 57; // device I/O error
    case QFileDevice::WriteError:
    case QFileDevice::ResourceError:
        return 61; // disk full or not writable
    default:
        return 75; // path/file access error
    }
}

bool isSectionLine(const QString& line, QString* name) {
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return false;
    const int close = t.indexOf(QLatin1Char(']'));
    if (close < 0)
        return false;
    *name = t.mid(1, close - 1).trimmed();
    return true;
}

// The key of a "key=value" line, or an empty text for any other line.
QString keyOf(const QString& line) {
    const int eq = line.indexOf(QLatin1Char('='));
    if (eq <= 0 || line.trimmed().startsWith(QLatin1Char(';')))
        return QString();
    return line.left(eq).trimmed();
}

bool readLines(const QString& path, QStringList* lines, QString* error, int* errorNumber) {
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = file.errorString();
        *errorNumber = fileErrorNumber(file.error());
        return false;
    }
    // Edited by hand as often as written by the program: any editor's encoding, a byte order mark too.
    const QString text = decodeText(file.readAll());
    if (file.error() != QFileDevice::NoError) {
        *error = file.errorString();
        *errorNumber = fileErrorNumber(file.error());
        return false;
    }
    *lines = text.split(QLatin1Char('\n'));
    if (!lines->isEmpty() && lines->last().isEmpty())
        lines->removeLast();
    for (QString& l : *lines)
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
    return true;
}

} // namespace

bool readProfileString(const QString& path, const QString& section, const QString& key, const QString& defaultValue,
                       int maxChars, QString* value, QString* error, int* errorNumber) {
    QStringList lines;
    if (!readLines(path, &lines, error, errorNumber))
        return false;
    QString found = defaultValue;
    bool inSection = false;
    for (const QString& line : lines) {
        QString name;
        if (isSectionLine(line, &name)) {
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (inSection && keyOf(line).compare(key, Qt::CaseInsensitive) == 0 && !keyOf(line).isEmpty()) {
            found = line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
            if (found.size() >= 2 && found.startsWith(QLatin1Char('"')) && found.endsWith(QLatin1Char('"')))
                found = found.mid(1, found.size() - 2);
            break;
        }
    }
    *value = found.left(maxChars);
    return true;
}

bool writeProfileString(const QString& path, const QString& section, const QString& key, const QString& value,
                        QString* error, int* errorNumber) {
    QStringList lines;
    if (!readLines(path, &lines, error, errorNumber))
        return false;
    const QString entry = key + QLatin1Char('=') + value;
    int sectionLine = -1;
    int insertAt = -1;
    bool written = false;
    for (int i = 0; i < lines.size() && !written; ++i) {
        QString name;
        if (isSectionLine(lines[i], &name)) {
            if (sectionLine >= 0)
                break; // the next section: the key goes at the end of ours
            if (name.compare(section, Qt::CaseInsensitive) == 0) {
                sectionLine = i;
                insertAt = i + 1;
            }
            continue;
        }
        if (sectionLine < 0)
            continue;
        if (!lines[i].trimmed().isEmpty())
            insertAt = i + 1;
        if (keyOf(lines[i]).compare(key, Qt::CaseInsensitive) == 0 && !keyOf(lines[i]).isEmpty()) {
            lines[i] = entry;
            written = true;
        }
    }
    if (!written) {
        if (sectionLine < 0) {
            lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
            lines.append(entry);
        } else {
            lines.insert(insertAt, entry);
        }
    }

    QDir().mkpath(QFileInfo(path).absolutePath());
    // Other programs' sections live in the same file: a copy cut short must never take its place.
    QFileDevice::FileError failure = QFileDevice::NoError;
    if (!saveWholeFile(path, lines.join(QLatin1Char('\n')).toUtf8() + '\n', error, &failure)) {
        *errorNumber = fileErrorNumber(failure);
        return false;
    }
    return true;
}
