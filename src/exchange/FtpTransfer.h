#pragma once

#include <QString>

// The program's one FTP client: downloads of series files from the maker's download server and
// uploads of report pages to the user's web server. One session and one connection at a time,
// held here; every caller opens and closes around its own work.
//
// A server is a host name, optionally followed by ":" and a port. Remote folders beginning with "/"
// are absolute; others are relative to the current remote folder (the login folder at first).

// The error numbers the messages are chosen by: the server answered with an error, or the server
// name could not be resolved. Other failures carry other numbers.
constexpr int FtpExtendedError = 12003;
constexpr int FtpNameNotResolved = 12007;

// The folder of the series files on the download server.
inline const char* const kDownloadFolder = "/quorvanti/download/2002/";

// The download server. Its files are reached anonymously.
QString downloadHost();
void setDownloadHost(const QString& host);

void openInternet();
void closeInternet();
// Logs in when a session is open and no connection is; otherwise does nothing. Empty user names
// log in anonymously.
void connectFtp(const QString& server, const QString& user, const QString& password);
bool ftpConnected();
// Shows the message for a failed step and closes the connection and the session.
void reportFtpError(int code, const QString& step);
void changeFtpDirectory(const QString& path);
void listFtpDirectory(const QString& dir);
// Downloads one file into localFolder under the name after remotePath's last "/". A name that is
// not a plain file name is refused.
bool getFtpFile(const QString& remotePath, const QString& localFolder);
// Uploads one file into remoteFolder (the current remote folder when empty) under the name after
// the local path's last separator; true when the server took the whole file.
bool putFtpFile(const QString& localPath, const QString& remoteFolder);
// Fetches one series file from the download server into importsDir(); true when it arrived.
bool downloadFile(const QString& fileName);

// The current remote folder ("" for the login folder); for tests and diagnostics.
QString currentFtpDirectory();
