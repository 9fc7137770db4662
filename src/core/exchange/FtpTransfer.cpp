#include "exchange/FtpTransfer.h"

#include "data/Feedback.h"
#include "data/Paths.h"
#include "data/Regional.h"
#include "data/cConnection.h"
#include "platform/SaveFile.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

#include <curl/curl.h>

#include <functional>
#include <mutex>

namespace {

QString& downloadHostSetting() {
    static QString host = QLatin1String(kDefaultDownloadHost);
    return host;
}

QString& downloadFolderSetting() {
    static QString folder = QLatin1String(kDownloadFolder);
    return folder;
}

int& downloadTimeLimitSetting() {
    static int seconds = kDownloadMinutes * 60;
    return seconds;
}

// What a page travels under until it is complete.
QString partName(const QString& name) {
    return name + QStringLiteral(".part");
}

// How often a transfer lets the event loop run, in milliseconds.
constexpr int kAnswerEveryMs = 40;
// The time a failed upload's temporary copy is given to be deleted: the failure is said after it.
constexpr int kCleanupMs = 10000;

// The module state. The session is a libcurl handle: it keeps the logged-in connection alive from
// one transfer to the next, so "connected" means the login has succeeded on it. Its requests are
// driven through a multi handle, which keeps that connection between them too.
struct FtpState {
    CURL* session = nullptr;
    CURLM* driver = nullptr;
    bool busy = false;    // a request is under way
    bool stopped = false; // the program is ending: no request runs, and the one under way ends
    bool connected = false;
    QString server;
    QString user;
    QString password;
    QString directory; // "" = the login folder; "/..." absolute; otherwise relative to the login folder
    // What the last transfer left behind, for reportFtpError.
    CURLcode lastResult = CURLE_OK;
    long lastResponseCode = 0;
    QString lastResponse;    // the server's last reply line
    QString lastDescription; // libcurl's or the file system's words for the failure
    QStringList replies;     // the last line of each reply during the last request, in order (answeredSizes)
    bool overtime = false;   // the last request was stopped at its deadline
    // The server has refused to rename an upload onto its name: pages go straight to their names.
    bool renamesRefused = false;
};

FtpState& ftp() {
    static FtpState state;
    return state;
}

// A name that stays inside the folder it is put in.
bool isPlainFileName(const QString& name) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20)
            return false;
    return true;
}

// Joins a folder onto the current one and tidies it: no empty or "." pieces, no trailing "/".
QString resolveDirectory(const QString& current, const QString& path) {
    const bool absolute = path.startsWith(QLatin1Char('/')) || (path.isEmpty() && current.startsWith(QLatin1Char('/')));
    QStringList pieces;
    if (!path.startsWith(QLatin1Char('/')))
        pieces = current.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& p : path.split(QLatin1Char('/'), Qt::SkipEmptyParts))
        if (p != QLatin1String("."))
            pieces.append(p);
    return (absolute ? QStringLiteral("/") : QString()) + pieces.join(QLatin1Char('/'));
}

// The URL of a folder, ending in "/". Each piece is percent-encoded so that names with "#", "?",
// "%" or blanks stay names; an absolute folder starts from the server's root ("%2F").
QString folderUrl(const QString& directory) {
    QString url = QStringLiteral("ftp://") + ftp().server + QLatin1Char('/');
    if (directory.startsWith(QLatin1Char('/')))
        url += QStringLiteral("%2F");
    for (const QString& p : directory.split(QLatin1Char('/'), Qt::SkipEmptyParts))
        url += QString::fromLatin1(QUrl::toPercentEncoding(p)) + QLatin1Char('/');
    return url;
}

QString fileUrl(const QString& directory, const QString& name) {
    return folderUrl(directory) + QString::fromLatin1(QUrl::toPercentEncoding(name));
}

// Server replies reach libcurl's header callback; the last one is the reply an error is about. A reply
// of several lines ends with the one whose code is followed by a blank.
size_t keepReply(char* data, size_t size, size_t count, void*) {
    QString line = QString::fromLatin1(data, qsizetype(size * count)).trimmed();
    if (line.size() >= 3 && line.at(0).isDigit() && line.at(1).isDigit() && line.at(2).isDigit()) {
        ftp().lastResponse = line;
        if (line.size() == 3 || line.at(3) == QLatin1Char(' '))
            ftp().replies.append(line);
    }
    return size * count;
}

// The size in an answer to SIZE; -1 when the server gave none.
qint64 sizeFromReply(const QString& reply) {
    if (!reply.startsWith(QLatin1String("213 ")))
        return -1;
    bool ok = false;
    const qint64 bytes = reply.mid(4).trimmed().toLongLong(&ok);
    return ok && bytes >= 0 ? bytes : -1;
}

// The commands that ask the server the sizes of names, to end a request with: answeredSizes reads the
// answers by their place. The "*" lets a server that will not answer SIZE go on with the request.
QStringList sizeQuestions(const QStringList& names) {
    QStringList commands;
    for (const QString& name : names)
        commands.append(QStringLiteral("*SIZE ") + name);
    return commands;
}

curl_slist* commandList(const QStringList& commands) {
    curl_slist* list = nullptr;
    for (const QString& c : commands)
        list = curl_slist_append(list, c.toUtf8().constData());
    return list;
}

// The sizes the server gave to the `count` SIZE commands that ended the last request, in their order;
// -1 for each it gave none.
QList<qint64> answeredSizes(qsizetype count) {
    const QStringList& replies = ftp().replies;
    QList<qint64> sizes;
    for (qsizetype i = replies.size() - count; i < replies.size(); ++i)
        sizes.append(i < 0 ? -1 : sizeFromReply(replies.at(i)));
    return sizes;
}

// How much of a folder listing has been read, and whether it named anything.
struct ListingPeek {
    bool sawName = false;
    size_t bytes = 0;
};

// The listing is read only to learn whether the folder is empty: its first name settles that, and a
// server that sends blanks without end is not read beyond a ceiling either. Ending the transfer early
// is what returning less than was given does.
size_t peekListing(char* data, size_t size, size_t count, void* target) {
    auto* peek = static_cast<ListingPeek*>(target);
    const size_t n = size * count;
    for (size_t i = 0; i < n && !peek->sawName; ++i)
        peek->sawName = !QChar::isSpace(uchar(data[i]));
    peek->bytes += n;
    return peek->sawName || peek->bytes >= kListingCeiling ? 0 : n;
}

// A download as it arrives.
struct Arrival {
    SaveFile* file = nullptr;
    qint64 bytes = 0;
    bool tooLarge = false;
};

size_t writeArrival(char* data, size_t size, size_t count, void* target) {
    auto* arrival = static_cast<Arrival*>(target);
    const qint64 n = qint64(size * count);
    // A server that streams without end would fill the disk. The size it claims plays no part here: what
    // arrived is compared with it once the transfer has ended.
    if (arrival->bytes + n > kSeriesFileCeiling) {
        arrival->tooLarge = true;
        return 0;
    }
    const qint64 written = arrival->file->write(data, n);
    if (written > 0)
        arrival->bytes += written;
    return written < 0 ? 0 : size_t(written); // a short write ends the transfer with an error
}

// A folder listing read until the lines of some files have come, or to its end.
struct ListingSearch {
    QStringList names;
    QList<qint64> sizes; // for each name, -1 until its line has come
    QByteArray pending;  // the part of the listing after its last complete line
    size_t bytes = 0;
    bool whole = false; // read to its end: a name without a line is not in the folder

    explicit ListingSearch(const QStringList& files) : names(files), sizes(files.size(), -1) {}
    bool allFound() const { return !sizes.contains(-1); }
    void look(const QByteArray& lines) {
        for (qsizetype i = 0; i < names.size(); ++i)
            if (sizes.at(i) < 0)
                sizes[i] = sizeFromListing(lines, names.at(i));
    }
};

size_t searchListing(char* data, size_t size, size_t count, void* target) {
    auto* search = static_cast<ListingSearch*>(target);
    const size_t n = size * count;
    search->bytes += n;
    search->pending.append(data, qsizetype(n));
    const qsizetype lastEnd = search->pending.lastIndexOf('\n');
    if (lastEnd >= 0) {
        search->look(search->pending.left(lastEnd + 1));
        search->pending.remove(0, lastEnd + 1);
    }
    // Stopping early is what returning less than was given does.
    return search->allFound() || search->bytes >= kSizeListingCeiling ? 0 : n;
}

size_t readFrom(char* buffer, size_t size, size_t count, void* source) {
    const qint64 n = static_cast<QFile*>(source)->read(buffer, qint64(size * count));
    return n < 0 ? CURL_READFUNC_ABORT : size_t(n);
}

// The transfers run on the window's thread, so the window would freeze for as long as a server
// takes. Between slices of a transfer its repaints, timers and window-manager messages are handled;
// keys and clicks wait until the transfer is over, so none can start a second transfer inside this
// one or close the window beneath it.
void keepAnswering() {
    static QElapsedTimer since;
    if (since.isValid() && since.elapsed() < kAnswerEveryMs)
        return;
    since.start();
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// Drives the session's request to its end, or to the deadline; libcurl's outcome of it.
CURLcode drive(CURL* h, const QDeadlineTimer& deadline) {
    FtpState& s = ftp();
    if (curl_multi_add_handle(s.driver, h) != CURLM_OK)
        return CURLE_FAILED_INIT;
    CURLcode result = CURLE_FAILED_INIT;
    for (;;) {
        int running = 0;
        if (curl_multi_perform(s.driver, &running) != CURLM_OK)
            break;
        bool done = false;
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(s.driver, &queued))
            if (message->msg == CURLMSG_DONE && message->easy_handle == h) {
                result = message->data.result;
                done = true;
            }
        if (done || running == 0)
            break;
        if (deadline.hasExpired()) {
            s.overtime = true;
            result = CURLE_OPERATION_TIMEDOUT;
            break; // taking the request off the driver ends it and closes its connection
        }
        curl_multi_poll(s.driver, nullptr, 0, kAnswerEveryMs, nullptr);
        keepAnswering();
        if (s.stopped) {
            result = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
    }
    curl_multi_remove_handle(s.driver, h);
    return result;
}

// Runs one request on the session with the login and the options every request shares; true when
// libcurl reports success. A request still under way at the deadline is stopped.
bool perform(const QString& url, const std::function<void(CURL*)>& setup,
             const QDeadlineTimer& deadline = QDeadlineTimer(QDeadlineTimer::Forever)) {
    FtpState& s = ftp();
    if (!s.session || s.stopped)
        return false;
    // The event loop runs during a request, but user input, the only way to start one, waits.
    Q_ASSERT(!s.busy);
    static char errorBuffer[CURL_ERROR_SIZE];
    errorBuffer[0] = '\0';
    s.lastResponse.clear();
    s.lastResponseCode = 0;
    s.replies.clear();
    s.overtime = false;
    CURL* h = s.session;
    curl_easy_reset(h); // options only: the connection and its login stay
    const QByteArray urlBytes = url.toUtf8();
    const QByteArray user = s.user.toUtf8();
    const QByteArray password = s.password.toUtf8();
    curl_easy_setopt(h, CURLOPT_URL, urlBytes.constData());
    // Credentials go in as options, never into the URL, so no message or log can show them.
    if (!s.user.isEmpty()) {
        curl_easy_setopt(h, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(h, CURLOPT_PASSWORD, password.constData());
    }
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    // A server that stops answering or stops sending is given up on, however large the file;
    // a slow transfer that still moves goes on.
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, long(kFtpStallSeconds));
    curl_easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(kFtpStallSeconds));
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, long(kFtpStallSeconds));
    curl_easy_setopt(h, CURLOPT_FTP_USE_EPSV, 1L); // passive mode
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, keepReply);
    setup(h);
    s.busy = true;
    s.lastResult = drive(h, deadline);
    s.busy = false;
    // The callers' command lists go once the request is over.
    curl_easy_setopt(h, CURLOPT_QUOTE, nullptr);
    curl_easy_setopt(h, CURLOPT_PREQUOTE, nullptr);
    curl_easy_setopt(h, CURLOPT_POSTQUOTE, nullptr);
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &s.lastResponseCode);
    s.lastDescription =
        errorBuffer[0] ? QString::fromUtf8(errorBuffer) : QString::fromUtf8(curl_easy_strerror(s.lastResult));
    return s.lastResult == CURLE_OK;
}

// The error number of the last failed request, in the client's terms.
int lastErrorCode() {
    const FtpState& s = ftp();
    if (s.lastResult == CURLE_COULDNT_RESOLVE_HOST)
        return FtpNameNotResolved;
    if (s.lastResponseCode >= 400)
        return FtpExtendedError;
    return 100000 + int(s.lastResult);
}

// The folder exists on the server and can be entered.
bool probeDirectory(const QString& directory) {
    return perform(folderUrl(directory), [](CURL* h) { curl_easy_setopt(h, CURLOPT_NOBODY, 1L); });
}

// Sends the commands, in order, in the current remote folder; true when the server accepted each.
bool runCommands(const QStringList& commands,
                 const QDeadlineTimer& deadline = QDeadlineTimer(QDeadlineTimer::Forever)) {
    curl_slist* list = commandList(commands);
    const bool ok = perform(
        folderUrl(ftp().directory),
        [list](CURL* h) {
            curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
            curl_easy_setopt(h, CURLOPT_POSTQUOTE, list);
        },
        deadline);
    curl_slist_free_all(list);
    return ok;
}

// What the last request left for reportFtpError, kept across a request made after a failure.
struct Outcome {
    CURLcode result;
    long responseCode;
    QString response;
    QString description;
};
Outcome lastOutcome() {
    const FtpState& s = ftp();
    return {s.lastResult, s.lastResponseCode, s.lastResponse, s.lastDescription};
}
void restoreOutcome(const Outcome& o) {
    FtpState& s = ftp();
    s.lastResult = o.result;
    s.lastResponseCode = o.responseCode;
    s.lastResponse = o.response;
    s.lastDescription = o.description;
}

// Deletes what a failed upload left under a temporary name, where the server still answers and allows
// it. A server that has stopped answering is not waited for again.
void removeLeftover(const QString& remoteName) {
    if (!ftp().session || ftp().lastResult == CURLE_OPERATION_TIMEDOUT)
        return;
    const Outcome failure = lastOutcome();
    runCommands({QStringLiteral("DELE ") + remoteName}, QDeadlineTimer(kCleanupMs));
    restoreOutcome(failure);
}

// The sizes of the files `names` of the current remote folder as its listing gives them; -1 for a file
// the listing has no line for, or when it cannot be read.
ListingSearch listedSizes(const QStringList& names, const QDeadlineTimer& deadline) {
    ListingSearch search(names);
    search.whole = perform(
        folderUrl(ftp().directory),
        [&search](CURL* h) {
            curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, searchListing);
            curl_easy_setopt(h, CURLOPT_WRITEDATA, &search);
        },
        deadline);
    if (search.whole)
        search.look(search.pending); // a last line without a line end
    return search;
}

// The size the server gives the file `name` of the current remote folder: its answer to the SIZE that
// ended the last request, else the file's line in the folder listing; -1 when it gives neither.
qint64 remoteSize(const QString& name, const QDeadlineTimer& deadline = QDeadlineTimer(QDeadlineTimer::Forever)) {
    const qint64 answered = answeredSizes(1).first();
    return answered >= 0 ? answered : listedSizes({name}, deadline).sizes.first();
}

// A file read back from the server, kept up to a most.
struct ReadBack {
    QByteArray bytes;
    qint64 most = 0;
};

size_t keepReadBack(char* data, size_t size, size_t count, void* target) {
    auto* back = static_cast<ReadBack*>(target);
    const qint64 n = qint64(size * count);
    const qint64 room = back->most - back->bytes.size();
    back->bytes.append(data, qsizetype(std::min(n, room)));
    return n <= room ? size_t(n) : 0; // what goes beyond the most ends the transfer
}

// How the server's copy of an upload compares with the page that was sent.
enum class Held { Page, Part, Other, Unknown };

// Compares the server's copy `remoteName` with the page: by `size`, the size the server gives it, else
// (-1) by reading it back byte for byte. A server that does neither has confirmed nothing. *stored is the
// size of a copy shorter than the page.
Held heldByServer(const QString& remoteName, qint64 size, QFile& page, qint64 pageBytes, qint64* stored) {
    *stored = size;
    if (*stored >= 0)
        return *stored == pageBytes ? Held::Page : *stored < pageBytes ? Held::Part : Held::Other;
    ReadBack back;
    back.most = pageBytes + 1; // one byte beyond tells a longer copy
    const bool read = perform(fileUrl(ftp().directory, remoteName), [&back](CURL* h) {
        curl_easy_setopt(h, CURLOPT_IGNORE_CONTENT_LENGTH, 1L); // no SIZE of libcurl's own
        curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, keepReadBack);
        curl_easy_setopt(h, CURLOPT_WRITEDATA, &back);
    });
    if (!read && !(ftp().lastResult == CURLE_WRITE_ERROR && back.bytes.size() == back.most))
        return Held::Unknown;
    page.seek(0);
    if (back.bytes == page.read(back.most))
        return Held::Page;
    if (back.bytes.size() >= pageBytes)
        return Held::Other;
    *stored = back.bytes.size();
    return Held::Part;
}

// Compares the live page `name` with the page once the server has answered the rename of its temporary
// copy `part` as done, by the answers to the SIZE of each that ended the rename's request, else by the
// folder listing, else by reading the live page back. A server may answer a rename without making it and
// keep the old page, which may be of the page's size: a size proves the rename only once the temporary
// copy is known to be gone, and otherwise the live page is read back. *partLeft: the temporary copy may
// still be there.
Held heldAfterRename(const QString& name, const QString& part, QFile& page, qint64 pageBytes, bool* partLeft) {
    const QList<qint64> answered = answeredSizes(2); // the temporary copy's, then the live page's
    qint64 live = answered.at(1);
    *partLeft = answered.at(0) >= 0;
    if (answered.at(0) < 0 && live < 0) {
        const ListingSearch listed = listedSizes({name, part}, QDeadlineTimer(QDeadlineTimer::Forever));
        live = listed.sizes.at(0);
        *partLeft = !listed.whole || listed.sizes.at(1) >= 0;
    }
    qint64 stored = -1;
    return heldByServer(name, live == pageBytes && *partLeft ? -1 : live, page, pageBytes, &stored);
}

// Says that the server's copy of the page `name` is not confirmed as the page, and what that left on the
// server: the live page as it was, or, sent straight to its name, the page itself. Ends the session.
bool sayUnconfirmed(Held held, const QString& name, qint64 stored, qint64 pageBytes, bool straight) {
    QString text;
    switch (held) {
    case Held::Part:
        text = QStringLiteral("The server stored %1 of the %2 bytes of %3: %4 Publish again later.")
                   .arg(numberText(stored), numberText(pageBytes), name,
                        straight ? QStringLiteral("the page %1 on the server is incomplete.").arg(name)
                                 : QStringLiteral("the page on the server was left as it was."));
        break;
    case Held::Other:
        text = QStringLiteral("The server's copy of %1 is not the page that was sent: %2 Publish again later.")
                   .arg(name, straight ? QStringLiteral("the page %1 on the server is damaged.").arg(name)
                                       : QStringLiteral("the page on the server was left as it was."));
        break;
    default:
        text = QStringLiteral("The server gives no size for %1 (neither to SIZE nor in its folder listing) and did not "
                              "send it back, so whether it has all of it cannot be told: %2 Publish again later, or "
                              "to a server that gives the sizes of its files.")
                   .arg(name, straight ? QStringLiteral("the page %1 on the server may be incomplete.").arg(name)
                                       : QStringLiteral("the page on the server was left as it was."));
        break;
    }
    exchangeMessage(text);
    closeInternet();
    return false;
}

} // namespace

void exchangeMessage(const QString& text) {
    // What a stopped transfer, and the import or publish it served, would report is no news to a user
    // who is leaving the program.
    if (ftp().stopped)
        return;
    const int pointer = mousePointer();
    if (pointer == PointerHourglass)
        setMousePointer(PointerDefault);
    ui().messageBox(text, QLatin1String(kProductName), MsgIcon::None, MsgButtons::Ok);
    if (pointer == PointerHourglass)
        setMousePointer(pointer);
}

QString downloadHost() {
    return downloadHostSetting();
}
void setDownloadHost(const QString& host) {
    downloadHostSetting() = host.trimmed().isEmpty() ? QLatin1String(kDefaultDownloadHost) : host.trimmed();
}
QString downloadFolder() {
    return downloadFolderSetting();
}
void setDownloadFolder(const QString& folder) {
    QString f = folder.trimmed();
    if (f.isEmpty())
        f = QLatin1String(kDownloadFolder);
    if (!f.startsWith(QLatin1Char('/')))
        f.prepend(QLatin1Char('/'));
    if (!f.endsWith(QLatin1Char('/')))
        f += QLatin1Char('/');
    downloadFolderSetting() = f;
}

int downloadTimeLimit() {
    return downloadTimeLimitSetting();
}
void setDownloadTimeLimit(int seconds) {
    downloadTimeLimitSetting() = seconds;
}

bool ftpConnected() {
    return ftp().connected;
}
void stopTransfers(bool stop) {
    ftp().stopped = stop;
}
bool transfersStopped() {
    return ftp().stopped;
}
bool transferUnderWay() {
    return ftp().busy;
}
QString currentFtpDirectory() {
    return ftp().directory;
}

void openInternet() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    FtpState& s = ftp();
    if (s.session)
        return;
    s.session = curl_easy_init();
    s.driver = curl_multi_init();
    if (!s.session || !s.driver) {
        if (s.session)
            curl_easy_cleanup(s.session);
        if (s.driver)
            curl_multi_cleanup(s.driver);
        s.session = nullptr;
        s.driver = nullptr;
        s.lastResult = CURLE_FAILED_INIT;
        s.lastDescription = QString::fromUtf8(curl_easy_strerror(CURLE_FAILED_INIT));
        reportFtpError(lastErrorCode(), QStringLiteral("InternetOpen"));
    }
}

void closeInternet() {
    FtpState& s = ftp();
    if (s.session)
        curl_easy_cleanup(s.session);
    if (s.driver)
        curl_multi_cleanup(s.driver); // closes the connection it kept
    s.session = nullptr;
    s.driver = nullptr;
    s.connected = false;
    s.server.clear();
    s.user.clear();
    s.password.clear();
    s.directory.clear();
    s.renamesRefused = false;
}

void connectFtp(const QString& server, const QString& user, const QString& password) {
    FtpState& s = ftp();
    if (s.connected || !s.session)
        return;
    s.server = server;
    s.user = user;
    s.password = password;
    s.directory.clear();
    // Logging in is all a request for the login folder without its listing does.
    s.connected = probeDirectory(QString());
    if (!s.connected)
        reportFtpError(lastErrorCode(), QStringLiteral("InternetConnect"));
}

void reportFtpError(int code, const QString& step, const QString& after) {
    const FtpState& s = ftp();
    const auto exchangeMessage = [&after](const QString& text) {
        ::exchangeMessage(after.isEmpty() ? text : text + QStringLiteral("\n\n") + after);
    };
    if (code == FtpExtendedError) {
        const QString text = s.lastResponse;
        const QString responseCode = text.left(3);
        const QString responseText = text.mid(4);
        if (text.contains(QLatin1String("The system cannot find the file specified"), Qt::CaseInsensitive) ||
            s.lastResult == CURLE_REMOTE_FILE_NOT_FOUND)
            exchangeMessage(QStringLiteral("File not found. Try back later."));
        else if (text.contains(QLatin1String("The system cannot find the path specified"), Qt::CaseInsensitive) ||
                 s.lastResult == CURLE_REMOTE_ACCESS_DENIED) // a folder the server would not enter
            exchangeMessage(QStringLiteral("Unable to process. Check your username, password and location."));
        else
            exchangeMessage(step + QStringLiteral(" Extd Err: ") + responseCode + QLatin1Char(' ') + responseText);
    } else if (code == FtpNameNotResolved) {
        exchangeMessage(
            QStringLiteral("Error Connecting to FTP Server. Make sure you specified the correct server name."));
    } else if (s.lastResult == CURLE_OPERATION_TIMEDOUT) {
        exchangeMessage(QStringLiteral("The FTP server has not answered for %1 seconds; the transfer was given up. "
                                       "Try back later.")
                            .arg(kFtpStallSeconds));
    } else {
        // A refused connection, a timeout or a local file that cannot be read would otherwise end a
        // download or a publish without a word, as if it had worked.
        exchangeMessage(step + QStringLiteral(" Err: ") + s.lastDescription);
    }
    closeInternet();
}

void changeFtpDirectory(const QString& path) {
    FtpState& s = ftp();
    if (!s.connected)
        return; // the failed connection has been reported already
    QString p = path;
    const QString host = downloadHost();
    if (!host.isEmpty() && p.contains(host))
        p.remove(0, host.size()); // the host is expected at the front
    if (p.isEmpty())
        p = QStringLiteral("/");
    const QString target = resolveDirectory(s.directory, p);
    if (probeDirectory(target)) {
        s.directory = target;
    } else if (s.user.isEmpty() && s.server == host && lastErrorCode() == FtpExtendedError) {
        // The download server is entered anonymously: there is no user name or password to check.
        exchangeMessage(QStringLiteral("Folder %1 not found on the download server. Try back later.").arg(p));
        closeInternet();
    } else {
        reportFtpError(lastErrorCode(), QStringLiteral("rcd"));
    }
}

void listFtpDirectory(const QString& dir) {
    if (!dir.isEmpty())
        changeFtpDirectory(dir);
    if (!ftp().connected)
        return; // the folder change has already been reported
    ListingPeek peek;
    bool ok = perform(folderUrl(ftp().directory), [&peek](CURL* h) {
        curl_easy_setopt(h, CURLOPT_DIRLISTONLY, 1L);
        curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, peekListing);
        curl_easy_setopt(h, CURLOPT_WRITEDATA, &peek);
    });
    const bool readEnough = peek.sawName || peek.bytes >= kListingCeiling;
    if (!ok && ftp().lastResult == CURLE_WRITE_ERROR && readEnough)
        ok = true; // the listing was cut short on purpose
    if (!ok)
        reportFtpError(lastErrorCode(), QStringLiteral("FtpFindFirstFile"));
    else if (!readEnough)
        exchangeMessage(QStringLiteral("This directory is empty!"));
}

bool getFtpFile(const QString& remotePath, const QString& localFolder) {
    if (!ftp().connected) {
        exchangeMessage(QStringLiteral("Internet connection not found.\r\nConnect to the Internet and try again."));
        return false;
    }
    const qsizetype slash = remotePath.lastIndexOf(QLatin1Char('/'));
    const QString folder = slash < 0 ? QString() : remotePath.left(slash + 1);
    const QString name = slash < 0 ? remotePath : remotePath.mid(slash + 1);
    // The name becomes a local file name: nothing may lead out of the local folder.
    if (!isPlainFileName(name))
        return false;
    changeFtpDirectory(folder);
    if (!ftp().connected)
        return false;

    const QString localPath = QDir(localFolder).filePath(name);
    // The file appears under its name only once it has arrived whole; until then an older copy
    // stays as it was.
    SaveFile file(localPath);
    if (!file.open()) {
        ftp().lastResult = CURLE_WRITE_ERROR;
        ftp().lastResponseCode = 0;
        ftp().lastDescription = file.errorString() + QStringLiteral(" (") + localPath + QLatin1Char(')');
        reportFtpError(lastErrorCode(), QStringLiteral("FtpGetFile"));
        return false;
    }
    const int limit = downloadTimeLimit();
    const QDeadlineTimer deadline(qint64(limit) * 1000);
    Arrival arrival;
    arrival.file = &file;
    curl_slist* afterRetr = commandList(sizeQuestions({name}));
    const bool ok = perform(
        fileUrl(ftp().directory, name),
        [&arrival, afterRetr](CURL* h) {
            // libcurl's own SIZE takes a refusal for a missing file; asked by the program, a refusal only
            // means the size is looked up in the listing.
            curl_easy_setopt(h, CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
            curl_easy_setopt(h, CURLOPT_POSTQUOTE, afterRetr);
            curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, writeArrival);
            curl_easy_setopt(h, CURLOPT_WRITEDATA, &arrival);
        },
        deadline);
    curl_slist_free_all(afterRetr);
    const auto stoppedAfter = QStringLiteral("The download of %1 was stopped after %2. Try back later.")
                                  .arg(name, limit % 60 == 0 ? QStringLiteral("%1 minutes").arg(limit / 60)
                                                             : QStringLiteral("%1 seconds").arg(limit));
    const auto refuse = [&file](const QString& text) {
        file.cancelWriting();
        exchangeMessage(text);
        closeInternet();
        return false;
    };
    if (arrival.tooLarge)
        return refuse(QStringLiteral("The download of %1 was stopped at %2 MB: no series file is that large. "
                                     "Try back later.")
                          .arg(name)
                          .arg(kSeriesFileCeiling >> 20));
    if (ftp().overtime)
        return refuse(stoppedAfter);
    if (!ok) {
        file.cancelWriting();
        reportFtpError(lastErrorCode(), QStringLiteral("FtpGetFile"));
        return false;
    }
    // A server that closes the data connection early may still report the transfer complete: only the
    // size it gives tells a whole file from part of one.
    const qint64 expected = remoteSize(name, deadline);
    if (ftp().overtime)
        return refuse(stoppedAfter);
    if (expected < 0)
        return refuse(QStringLiteral("The download server gives no size for %1 (neither to SIZE nor in its folder "
                                     "listing), so whether all of it arrived cannot be told. Trying again will not "
                                     "change that: the server must give the sizes of its files.")
                          .arg(name));
    if (expected != arrival.bytes)
        return refuse(QStringLiteral("%1 did not arrive whole: the download server gives its size as %2 bytes, "
                                     "and %3 bytes arrived. Try back later.")
                          .arg(name, numberText(expected), numberText(arrival.bytes)));
    QString error;
    if (!commitSaveFile(file, &error)) {
        ftp().lastResult = CURLE_WRITE_ERROR;
        ftp().lastResponseCode = 0;
        ftp().lastDescription = error + QStringLiteral(" (") + localPath + QLatin1Char(')');
        reportFtpError(lastErrorCode(), QStringLiteral("FtpGetFile"));
        return false;
    }
    return true;
}

bool putFtpFile(const QString& localPath, const QString& remoteFolder) {
    FtpState& s = ftp();
    if (!s.connected)
        return false;
    if (localPath.isEmpty()) {
        exchangeMessage(QStringLiteral("Please select a local file to put"));
        return false;
    }
    if (!remoteFolder.isEmpty()) {
        const QString target = resolveDirectory(s.directory, remoteFolder);
        if (!probeDirectory(target)) {
            exchangeMessage(QStringLiteral("Location (FTP Site) not found. Check spelling of Location."));
            closeInternet();
            return false;
        }
        s.directory = target;
    }
    // Only the file's own name goes to the server, whichever separator the path uses.
    const qsizetype cut = std::max(localPath.lastIndexOf(QLatin1Char('/')), localPath.lastIndexOf(QLatin1Char('\\')));
    const QString name = localPath.mid(cut + 1);

    QFile file(localPath);
    if (!isPlainFileName(name) || !file.open(QIODevice::ReadOnly)) {
        s.lastResult = CURLE_READ_ERROR;
        s.lastResponseCode = 0;
        s.lastDescription = (file.errorString().isEmpty() ? QStringLiteral("Cannot read") : file.errorString()) +
                            QStringLiteral(" (") + localPath + QLatin1Char(')');
        reportFtpError(lastErrorCode(), QStringLiteral("FtpPutFile"));
        return false;
    }
    const qint64 pageBytes = file.size();
    // Sends the file under remoteName, asking its size on the server once it is there.
    const auto upload = [&s, &file, pageBytes](const QString& remoteName) {
        file.seek(0);
        curl_slist* after = commandList(sizeQuestions({remoteName}));
        const bool sent = perform(fileUrl(s.directory, remoteName), [&file, after, pageBytes](CURL* h) {
            curl_easy_setopt(h, CURLOPT_UPLOAD, 1L);
            curl_easy_setopt(h, CURLOPT_READFUNCTION, readFrom);
            curl_easy_setopt(h, CURLOPT_READDATA, &file);
            curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, curl_off_t(pageBytes));
            curl_easy_setopt(h, CURLOPT_POSTQUOTE, after);
        });
        curl_slist_free_all(after);
        return sent;
    };
    // A server may answer an upload as complete and keep only part of it, so its word is not taken for it.
    qint64 stored = -1;
    Held held = Held::Unknown;
    const auto sendStraight = [&] {
        if (!upload(name))
            return false;
        held = heldByServer(name, remoteSize(name), file, pageBytes, &stored);
        return true;
    };
    bool ok = false;
    if (!s.renamesRefused) {
        // Uploaded under a temporary name and renamed once the server confirms it has all of it: a lost
        // connection, a copy cut short or one the server does not confirm leaves the page that was live
        // before, never a truncated one.
        const QString part = partName(name);
        if (!upload(part)) {
            removeLeftover(part);
            reportFtpError(lastErrorCode(), QStringLiteral("FtpPutFile"));
            return false;
        }
        held = heldByServer(part, remoteSize(part), file, pageBytes, &stored);
        if (held != Held::Page) {
            removeLeftover(part);
            return sayUnconfirmed(held, name, stored, pageBytes, false);
        }
        // The server's word for the rename is not taken for it either: the page counts once it is confirmed
        // under its name as it was under the temporary one.
        if (runCommands(QStringList{QStringLiteral("RNFR ") + part, QStringLiteral("RNTO ") + name} +
                        sizeQuestions({part, name}))) {
            bool partLeft = true;
            const Held live = heldAfterRename(name, part, file, pageBytes, &partLeft);
            if (partLeft)
                removeLeftover(part); // the page the server did not rename, or a copy it kept beside the page
            if (live == Held::Page)
                return true;
            exchangeMessage(QStringLiteral("The server said it renamed %1 to %2, but it does not show %2 as the page "
                                           "that was sent. Publish again later.")
                                .arg(part, name));
            closeInternet();
            return false;
        }
        if (s.lastResult != CURLE_QUOTE_ERROR || !s.session) {
            removeLeftover(part);
            reportFtpError(lastErrorCode(), QStringLiteral("FtpPutFile"));
            return false;
        }
        // The server will not rename (at all, or onto a file that exists); the live page is still as it
        // was. From here on pages go straight to their names, as such servers have always been written to.
        s.renamesRefused = true;
        ok = sendStraight();
        // The complete copy under the temporary name goes where the server lets it.
        removeLeftover(part);
    } else {
        ok = sendStraight();
    }
    if (!ok) {
        // Sent straight to its name, the page on the server may now be cut short or gone.
        reportFtpError(lastErrorCode(), QStringLiteral("FtpPutFile"),
                       QStringLiteral("The server does not allow %1 to be sent under a temporary name and renamed, so "
                                      "it was sent straight to its name, and that failed: the page %1 on the server "
                                      "may be incomplete. Publish again when the server can be reached.")
                           .arg(name));
        return false;
    }
    return held == Held::Page || sayUnconfirmed(held, name, stored, pageBytes, true);
}

bool downloadFile(const QString& fileName) {
    // Series files are plain names inside the download folder; anything else would fetch from
    // elsewhere on the server.
    if (!isPlainFileName(fileName))
        return false;
    const QString host = downloadHost();
    const QString folder = host + downloadFolder();
    QDir().mkpath(importsDir());
    // Each step that fails has said so and closed the session; the steps after it would only
    // repeat the news.
    openInternet();
    connectFtp(host, QString(), QString());
    if (ftpConnected())
        listFtpDirectory(folder);
    const bool ok = ftpConnected() && getFtpFile(folder + fileName, importsDir());
    closeInternet();
    return ok;
}

qint64 sizeFromListing(const QByteArray& listing, const QString& name) {
    // "-rw-r--r--   1 owner group   4194304 Mar 01 10:00 name", the group left out by some servers; the
    // date is followed by one blank and the name. Lines of folders and links are not a file's.
    static const QRegularExpression unixLine(QStringLiteral(
        R"(^-\S{9}\S*\s+\d+\s+\S+\s+(?:\S+\s+)?(\d+)\s+\S{3}\s+\d{1,2}\s+(?:\d{1,2}:\d{2}|\d{4}) (.+)$)"));
    // "03-01-24  10:00AM             4194304 name"; a folder has "<DIR>" where the size is.
    static const QRegularExpression dosLine(
        QStringLiteral(R"(^\d{1,2}-\d{1,2}-\d{2,4}\s+\d{1,2}:\d{2}\s*(?:[AaPp][Mm])?\s+(\d+) +(.+)$)"));
    for (QByteArray bytes : listing.split('\n')) {
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        const QString line = QString::fromUtf8(bytes);
        for (const QRegularExpression* form : {&unixLine, &dosLine}) {
            const QRegularExpressionMatch m = form->match(line);
            // Some servers pad the name column with more than one blank.
            if (!m.hasMatch() || (m.captured(2) != name && m.captured(2).trimmed() != name))
                continue;
            bool ok = false;
            const qint64 size = m.captured(1).toLongLong(&ok);
            if (ok)
                return size;
        }
    }
    return -1;
}
