#pragma once

#include <QByteArray>
#include <QString>

// The program's one FTP client: downloads of series files from the maker's download server and
// uploads of report pages to the user's web server. One session and one connection at a time,
// held here; every caller opens and closes around its own work.
//
// A transfer runs on the caller's thread. While it is under way the thread's event loop runs every few
// hundredths of a second, keys and clicks held back until it ends: windows repaint and answer their
// window manager, and nothing a person does can start a second transfer inside the first.
//
// A server is a host name, optionally followed by ":" and a port. Remote folders beginning with "/"
// are absolute; others are relative to the current remote folder (the login folder at first).

// The error numbers the messages are chosen by: the server answered with an error, or the server
// name could not be resolved. Other failures carry other numbers.
constexpr int FtpExtendedError = 12003;
constexpr int FtpNameNotResolved = 12007;

// The folder of the series files on the download server, unless the settings name another.
inline const char* const kDownloadFolder = "/quorvanti/download/2002/";
// The download server until the settings name a real one: not a real host, so downloads fail
// with the server-name message.
inline const char* const kDefaultDownloadHost = "download.quorvanti.invalid";

// A transfer that moves no data for this long is given up.
constexpr int kFtpStallSeconds = 30;
// The most of a folder listing read to learn whether the folder is empty.
constexpr size_t kListingCeiling = 64 * 1024;
// The most of a folder listing read to find a file's size in it.
constexpr size_t kSizeListingCeiling = 4 * 1024 * 1024;
// No series file comes near this; a download that goes beyond it is stopped.
constexpr qint64 kSeriesFileCeiling = 32 * 1024 * 1024;
// A download that has not ended after this long is stopped, however steadily it moves: series files
// are a few kilobytes.
constexpr int kDownloadMinutes = 5;

// The download server (host, optionally ":" and a port) and the folder of its series files. Its
// files are reached anonymously. Setting an empty value puts the default back.
QString downloadHost();
void setDownloadHost(const QString& host);
QString downloadFolder();
void setDownloadFolder(const QString& folder);

// How long a download may take, in seconds: kDownloadMinutes unless a test shortens it.
int downloadTimeLimit();
void setDownloadTimeLimit(int seconds);

// The boxes of the downloads, imports and publishing: OK only, no icon, the application's title. The
// hourglass makes way while the box is up. None while transfers are stopped.
void exchangeMessage(const QString& text);

void openInternet();
void closeInternet();
// Logs in when a session is open and no connection is; otherwise does nothing. Empty user names
// log in anonymously.
void connectFtp(const QString& server, const QString& user, const QString& password);
bool ftpConnected();
// The program is ending: the transfer under way ends at its next look at the event loop, none starts, and
// the exchange's boxes say nothing, until stopTransfers(false) (a new start).
void stopTransfers(bool stop = true);
bool transfersStopped();
// A request is running (its event loop turning beneath the caller).
bool transferUnderWay();
// Shows the message for a failed step and closes the connection and the session.
// after, when given, follows the message in the box.
void reportFtpError(int code, const QString& step, const QString& after = QString());
void changeFtpDirectory(const QString& path);
// Says "This directory is empty!" when the folder lists no name; reads no more of the listing than its
// first name, and at most kListingCeiling bytes.
void listFtpDirectory(const QString& dir);
// Downloads one file into localFolder under the name after remotePath's last "/". A name that is
// not a plain file name is refused. A local copy of that name is replaced only once the new one is
// known to have arrived whole: as many bytes as the server gives as its size (its answer to SIZE, else
// the file's line in the folder listing); otherwise the box says how many arrived. A file beyond
// kSeriesFileCeiling, or still arriving after kDownloadMinutes, is stopped. After any failure, said in one
// box, the previous copy is still there.
bool getFtpFile(const QString& remotePath, const QString& localFolder);
// Uploads one file into remoteFolder (the current remote folder when empty) under the name after
// the local path's last separator; true when the server confirms it has the whole file. The file travels
// under a temporary name and takes its own only once confirmed, so a page on the server is never half
// there: by the server's answer to SIZE, else the copy's line in the folder listing, else the copy read
// back and compared byte for byte. After the rename the page is confirmed the same way under its own name,
// a size counting only once the temporary copy is gone (an old page of the same size would pass it). A
// copy shorter than the file or other than it, one the server does not confirm, and a rename the server
// answers without making, is a failure said in one box. A server that refuses the rename keeps its live
// page; the file then goes straight to its name, as do the rest of the session's files, each checked the
// same way and a page found cut short there named in the box. The temporary copy of a failed upload is
// deleted where the server allows.
bool putFtpFile(const QString& localPath, const QString& remoteFolder);
// Fetches one series file from the download server into importsDir(); true when it arrived. The
// first step that fails is reported, in one box, and ends the download.
bool downloadFile(const QString& fileName);

// The current remote folder ("" for the login folder); for tests and diagnostics.
QString currentFtpDirectory();

// The size of the plain file `name` as a folder listing (LIST, in the Unix or the DOS form) gives it;
// -1 when no line of the listing is that file's.
qint64 sizeFromListing(const QByteArray& listing, const QString& name);
