#include "exchange/FtpTransfer.h"

#include "data/CommonCode.h"
#include "data/Paths.h"
#include "data/cConnection.h"
#include "platform/SaveFile.h"

#include <QDir>
#include <QFile>
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

// What a page travels under until it is complete.
QString partName(const QString& name) {
    return name + QStringLiteral(".part");
}

// The module state. The session is a libcurl handle: it keeps the logged-in connection alive from
// one transfer to the next, so "connected" means the login has succeeded on it.
struct FtpState {
    CURL* session = nullptr;
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

// Server replies reach libcurl's header callback; the last one is the reply an error is about.
size_t keepReply(char* data, size_t size, size_t count, void*) {
    QString line = QString::fromLatin1(data, qsizetype(size * count)).trimmed();
    if (line.size() >= 3 && line.at(0).isDigit() && line.at(1).isDigit() && line.at(2).isDigit())
        ftp().lastResponse = line;
    return size * count;
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

size_t writeTo(char* data, size_t size, size_t count, void* target) {
    const qint64 n = static_cast<SaveFile*>(target)->write(data, qint64(size * count));
    return n < 0 ? 0 : size_t(n); // a short write ends the transfer with an error
}

size_t readFrom(char* buffer, size_t size, size_t count, void* source) {
    const qint64 n = static_cast<QFile*>(source)->read(buffer, qint64(size * count));
    return n < 0 ? CURL_READFUNC_ABORT : size_t(n);
}

// Runs one request on the session with the login and the options every request shares; true when
// libcurl reports success.
bool perform(const QString& url, const std::function<void(CURL*)>& setup) {
    FtpState& s = ftp();
    if (!s.session)
        return false;
    static char errorBuffer[CURL_ERROR_SIZE];
    errorBuffer[0] = '\0';
    s.lastResponse.clear();
    s.lastResponseCode = 0;
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
    s.lastResult = curl_easy_perform(h);
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

} // namespace

void exchangeMessage(const QString& text) {
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

bool ftpConnected() {
    return ftp().connected;
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
    if (!s.session) {
        s.lastResult = CURLE_FAILED_INIT;
        s.lastDescription = QString::fromUtf8(curl_easy_strerror(CURLE_FAILED_INIT));
        reportFtpError(lastErrorCode(), QStringLiteral("InternetOpen"));
    }
}

void closeInternet() {
    FtpState& s = ftp();
    if (s.session)
        curl_easy_cleanup(s.session); // closes the connection with it
    s.session = nullptr;
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
    if (probeDirectory(target))
        s.directory = target;
    else
        reportFtpError(lastErrorCode(), QStringLiteral("rcd"));
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
    const bool ok = perform(fileUrl(ftp().directory, name), [&file](CURL* h) {
        curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, writeTo);
        curl_easy_setopt(h, CURLOPT_WRITEDATA, &file);
    });
    QString error;
    if (!ok || !commitSaveFile(file, &error)) {
        file.cancelWriting();
        if (ok) {
            ftp().lastResult = CURLE_WRITE_ERROR;
            ftp().lastResponseCode = 0;
            ftp().lastDescription = error + QStringLiteral(" (") + localPath + QLatin1Char(')');
        }
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
    // Sends the file under remoteName; the commands in after run once the server has all of it.
    const auto upload = [&s, &file](const QString& remoteName, curl_slist* after) {
        file.seek(0);
        const bool sent = perform(fileUrl(s.directory, remoteName), [&file, after](CURL* h) {
            curl_easy_setopt(h, CURLOPT_UPLOAD, 1L);
            curl_easy_setopt(h, CURLOPT_READFUNCTION, readFrom);
            curl_easy_setopt(h, CURLOPT_READDATA, &file);
            curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, curl_off_t(file.size()));
            curl_easy_setopt(h, CURLOPT_POSTQUOTE, after);
        });
        if (s.session)
            curl_easy_setopt(s.session, CURLOPT_POSTQUOTE, nullptr); // the list goes after this
        return sent;
    };
    bool ok = false;
    if (!s.renamesRefused) {
        // Uploaded under a temporary name and renamed once the server has all of it: a lost connection
        // leaves the page that was live before, never a truncated one.
        const QByteArray renameFrom = (QStringLiteral("RNFR ") + partName(name)).toUtf8();
        const QByteArray renameTo = (QStringLiteral("RNTO ") + name).toUtf8();
        curl_slist* rename = curl_slist_append(nullptr, renameFrom.constData());
        rename = curl_slist_append(rename, renameTo.constData());
        ok = upload(partName(name), rename);
        curl_slist_free_all(rename);
        if (ok || s.lastResult != CURLE_QUOTE_ERROR || !s.session) {
            if (!ok)
                reportFtpError(lastErrorCode(), QStringLiteral("FtpPutFile"));
            return ok;
        }
        // The server will not rename (at all, or onto a file that exists); the live page is still as it
        // was. From here on pages go straight to their names, as such servers have always been written to.
        s.renamesRefused = true;
        ok = upload(name, nullptr);
        const FtpState failure = s;
        // The complete copy under the temporary name goes where the server lets it.
        const QByteArray remove = (QStringLiteral("DELE ") + partName(name)).toUtf8();
        curl_slist* cleanup = curl_slist_append(nullptr, remove.constData());
        if (s.session)
            perform(folderUrl(s.directory), [cleanup](CURL* h) {
                curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
                curl_easy_setopt(h, CURLOPT_POSTQUOTE, cleanup);
            });
        if (s.session)
            curl_easy_setopt(s.session, CURLOPT_POSTQUOTE, nullptr);
        curl_slist_free_all(cleanup);
        if (!ok) {
            s.lastResult = failure.lastResult;
            s.lastResponseCode = failure.lastResponseCode;
            s.lastResponse = failure.lastResponse;
            s.lastDescription = failure.lastDescription;
        }
    } else {
        ok = upload(name, nullptr);
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
    return true;
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
