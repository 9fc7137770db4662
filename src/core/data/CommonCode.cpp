#include "data/CommonCode.h"

#include "data/IDatabase.h"
#include "data/Paths.h"
#include "data/cConnection.h"
#include "platform/TextLines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <unistd.h>

int lastMessageAnswer = 0;
QString fileErrorFlag = QStringLiteral("N");

void setStatus() {
    ui().setStatusText(QStringLiteral("Status"));
}
void setStatus(const QString& text) {
    ui().setStatusText(text);
}
void setMousePointer(int code) {
    ui().setPointer(code);
}
int mousePointer() {
    return ui().pointer();
}

namespace {

int showBox(const QString& message, const QString& title, MsgIcon icon, MsgButtons buttons = MsgButtons::Ok) {
    const int previous = ui().pointer();
    if (previous == PointerHourglass)
        ui().setPointer(PointerDefault);
    ui().beep();
    const int answer = ui().messageBox(message, title, icon, buttons);
    ui().setPointer(previous);
    return answer;
}

QString productTitle(const char* suffix) {
    return QString::fromLatin1(kProductName) + QLatin1String(suffix);
}

} // namespace

void showError(const QString& message) {
    lastMessageAnswer = showBox(message, productTitle(" Error"), MsgIcon::Critical);
}

void showInfo(const QString& message) {
    lastMessageAnswer = showBox(message, productTitle(" Message"), MsgIcon::Information);
}

void showStop(const QString& message) {
    lastMessageAnswer = showBox(message, productTitle(" Message"), MsgIcon::Critical);
}

void showQuorvantiBox(const QString& message) {
    showBox(message, productTitle(""), MsgIcon::Critical);
}

void showValidation(const QString& message) {
    showBox(message, productTitle(""), MsgIcon::Critical);
}

int askQuestion(const QString& message, const QString& title, MsgButtons buttons) {
    return showBox(message, title, MsgIcon::None, buttons);
}

void selectAllText() {
    ui().selectFocusedText();
}

void stepProgress() {
    ui().stepProgress();
}

bool isOdd(int n) {
    return (n & 1) != 0;
}

QString getWindowsDir() {
    QString dir = QDir(programFolder()).filePath(QStringLiteral("Sounds"));
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

void playSound(const QString& name) {
    const int previous = ui().pointer();
    if (previous == PointerDefault)
        ui().setPointer(PointerHourglass);
    // A sound shipped with the program is played from its resources; a wave file in the
    // sounds folder of the program folder takes its place when present.
    QString path = getWindowsDir() + name + QStringLiteral(".wav");
    if (!QFileInfo::exists(path))
        path = QStringLiteral(":/sounds/") + name.toLower() + QStringLiteral(".wav");
    if (!ui().playWave(path))
        ui().beep();
    ui().setPointer(previous);
}

// ---- text files ----

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

QStringList splitSqlScript(const QString& script) {
    QStringList pieces;
    QString current;
    bool hasCode = false; // the piece holds more than blanks and comments
    enum class State { Plain, Single, Double, Backquote, Bracket, LineComment, BlockComment } state = State::Plain;
    const int n = int(script.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = script.at(i);
        const QChar next = i + 1 < n ? script.at(i + 1) : QChar();
        switch (state) {
        case State::Plain:
            if (c == QLatin1Char(';')) {
                if (hasCode)
                    pieces << current;
                current.clear();
                hasCode = false;
                continue;
            }
            if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
                state = State::LineComment;
            } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
                state = State::BlockComment;
                current += c;
                current += next;
                ++i;
                continue;
            } else {
                if (!c.isSpace())
                    hasCode = true;
                if (c == QLatin1Char('\''))
                    state = State::Single;
                else if (c == QLatin1Char('"'))
                    state = State::Double;
                else if (c == QLatin1Char('`'))
                    state = State::Backquote;
                else if (c == QLatin1Char('['))
                    state = State::Bracket;
            }
            break;
        case State::Single: // a doubled quote closes and reopens the text: no special case needed
            if (c == QLatin1Char('\''))
                state = State::Plain;
            break;
        case State::Double:
            if (c == QLatin1Char('"'))
                state = State::Plain;
            break;
        case State::Backquote:
            if (c == QLatin1Char('`'))
                state = State::Plain;
            break;
        case State::Bracket:
            if (c == QLatin1Char(']'))
                state = State::Plain;
            break;
        case State::LineComment:
            if (c == QLatin1Char('\n'))
                state = State::Plain;
            break;
        case State::BlockComment:
            if (c == QLatin1Char('*') && next == QLatin1Char('/')) {
                current += c;
                current += next;
                ++i;
                state = State::Plain;
                continue;
            }
            break;
        }
        current += c;
    }
    if (hasCode)
        pieces << current;
    return pieces;
}

bool runSqlScript(const QString& fileName, int leagueNmbr, int raceNmbr, bool* stopped) {
    const QString path = QDir(programFolder()).filePath(fileName);
    const int number = openFile(path);
    if (fileErrorFlag == QLatin1String("Y"))
        return number == -1;
    const QString text = readFile(number);
    if (fileErrorFlag == QLatin1String("Y")) {
        closeFile(number);
        return false;
    }
    closeFile(number);

    QStringList pieces = splitSqlScript(text);
    for (QString& piece : pieces) {
        piece.replace(QStringLiteral("%league_nmbr%"), QString::number(leagueNmbr));
        piece.replace(QStringLiteral("%race_nmbr%"), QString::number(raceNmbr));
    }
    SqlDatabase* db = gConnection ? gConnection->getConnection() : nullptr;
    if (!db) {
        showStatementError(QStringLiteral("The database is not open."), pieces.value(0));
        return false;
    }
    const auto refuse = [&](const QString& why, const QString& piece) {
        showError(QStringLiteral("Error trying to run ") + path + QStringLiteral(".\n\nError: ") + why +
                  QStringLiteral("; the race was not posted: ") + piece.trimmed());
        if (stopped)
            *stopped = true;
        return false;
    };
    // The script runs inside the posting's transaction and may only change rows in it: a statement
    // that ended the transaction would leave the posting half written, one that made a trigger or a
    // table would stay behind for every later posting, a PRAGMA could change the key. Every statement
    // is compiled first, so such a script runs not at all.
    RowsOnlyScope rowsOnly(*db);
    for (const QString& piece : pieces)
        if (!db->compiles(piece) && db->refused())
            return refuse(QStringLiteral("only SELECT, INSERT, UPDATE and DELETE can be used in it"), piece);
    const bool inTransaction = db->inTransaction();
    for (const QString& piece : pieces) {
        const bool ok = db->exec(piece);
        // ON CONFLICT ROLLBACK, or a trigger's RAISE(ROLLBACK), can still end the transaction; all
        // of it is undone then, and nothing more may run as if it were open.
        if (inTransaction && !db->inTransaction())
            return refuse((ok ? QString() : db->lastError() + QStringLiteral("; ")) +
                              QStringLiteral("the statement ended the posting's transaction"),
                          piece);
        if (!ok)
            showStatementError(db->lastError(), piece); // the rest still run
    }
    return true;
}
