#include "data/TextFiles.h"

#include "data/Feedback.h"
#include "platform/TextLines.h"

#include <QFile>
#include <QFileInfo>
#include <map>
#include <memory>

QString fileErrorFlag = QStringLiteral("N");

namespace {

std::map<int, std::unique_ptr<QFile>>& openFiles() {
    static std::map<int, std::unique_ptr<QFile>> files;
    return files;
}

// Numbers and descriptions of the file errors, as the messages have always shown them.
int errorNumber(QFileDevice::FileError e) {
    switch (e) {
    case QFileDevice::PermissionsError:
        return 70; // permission denied
    case QFileDevice::ReadError:
        return 57; // device I/O error
    case QFileDevice::OpenError:
        return 75; // path/file access error
    default:
        return 75;
    }
}

QString fileMessage(const char* what, const QString& target, int number, const QString& description) {
    return QStringLiteral("Error trying to %1 %2.\n\nError: %3/%4")
        .arg(QLatin1String(what), target)
        .arg(number)
        .arg(description);
}

} // namespace

int getReportFileHandle() {
    int n = 1;
    for (const auto& [number, file] : openFiles()) {
        if (number != n)
            break;
        ++n;
    }
    return n;
}

int openFile(const QString& path) {
    fileErrorFlag = QStringLiteral("N");
    const QFileInfo info(path);
    if (!info.exists()) {
        fileErrorFlag = QStringLiteral("Y");
        return -1;
    }
    const int number = getReportFileHandle();
    auto file = std::make_unique<QFile>(path);
    // A folder cannot be read as text, and a pipe or a device would be read from without end or wait
    // for a writer forever.
    const bool notAFile = !info.isFile();
    if (notAFile || !file->open(QIODevice::ReadOnly)) {
        const QString description = notAFile ? QStringLiteral("Path/File access error") : file->errorString();
        showError(fileMessage("open", path, notAFile ? 75 : errorNumber(file->error()), description));
        fileErrorFlag = QStringLiteral("Y");
        return 0;
    }
    openFiles()[number] = std::move(file);
    return number;
}

OpenedTextFile::OpenedTextFile(const QString& path)
    : m_number(openFile(path)), m_open(fileErrorFlag != QLatin1String("Y")) {}

OpenedTextFile::~OpenedTextFile() {
    if (m_open)
        closeFile(m_number);
}

QString readFile(int fileNumber) {
    fileErrorFlag = QStringLiteral("N");
    auto it = openFiles().find(fileNumber);
    if (it == openFiles().end()) {
        showError(fileMessage("read", QString::number(fileNumber), 52, QStringLiteral("Bad file name or number")));
        fileErrorFlag = QStringLiteral("Y");
        return QString();
    }
    const QByteArray bytes = it->second->readAll();
    if (it->second->error() != QFileDevice::NoError)
        reportReadFailure(fileNumber);
    return decodeText(bytes);
}

QFile* openedFile(int fileNumber) {
    auto it = openFiles().find(fileNumber);
    return it == openFiles().end() ? nullptr : it->second.get();
}

void reportReadFailure(int fileNumber) {
    QFile* file = openedFile(fileNumber);
    if (file)
        showError(fileMessage("read", QString::number(fileNumber), errorNumber(file->error()), file->errorString()));
    else
        showError(fileMessage("read", QString::number(fileNumber), 52, QStringLiteral("Bad file name or number")));
    fileErrorFlag = QStringLiteral("Y");
}

void closeFile(int fileNumber) {
    fileErrorFlag = QStringLiteral("N");
    auto it = openFiles().find(fileNumber);
    if (it == openFiles().end()) {
        showError(fileMessage("close", QString::number(fileNumber), 52, QStringLiteral("Bad file name or number")));
        fileErrorFlag = QStringLiteral("Y");
        return;
    }
    it->second->close();
    openFiles().erase(it);
}
