#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QString>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#ifndef FTP_PYTHON
#define FTP_PYTHON ""
#endif

// This process has a file open in folder, other than `except`, that holds some bytes: a download
// is arriving (the file being written may have no name in the folder yet).
inline bool arrivingIn(const QString& folder, const QString& except) {
    const QString prefix = QDir(folder).canonicalPath() + QLatin1Char('/');
    for (const QFileInfo& fd : QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::System | QDir::Files)) {
        const QString target = fd.symLinkTarget();
        if (target.startsWith(prefix) && !target.endsWith(QLatin1Char('/') + except) &&
            QFileInfo(fd.filePath()).size() > 0)
            return true;
    }
    return false;
}

// A pyftpdlib server on 127.0.0.1 and a port of the system's choosing, serving root. With a user it
// asks for that user and password; without one it lets anyone in anonymously. Writable only when
// asked. With bytesPerSecond it sends and takes file data no faster than that, so that a test can
// act while a transfer is under way. It dies with the test process.
class LocalFtpServer {
public:
    static bool available() { return QByteArray(FTP_PYTHON).size() > 0; }

    // Ways some servers misbehave or are set up, played on request.
    enum class Quirk {
        None,
        NoRenameOver,             // refuses to rename onto a file that exists
        NoRenames,                // a user without the right to rename
        NoRenamesStoresOnlyParts, // no renames, and stores only names ending in ".part"
        EndlessListing,           // a folder listing of 64 MB of names
        BlankListing,             // a folder listing of 64 MB of blank lines
        CutsDownloads,            // sends half of each file and reports the transfer complete
        NoSize,                   // does not answer SIZE
        NoSizeCutsDownloads,      // both of the above
        NoSizeNoListing,          // answers neither SIZE nor LIST
        EndlessDownloads,         // no SIZE, and every file it sends goes on without end
        KeepsPartOfUploads,       // keeps the first quarter of each upload and reports it complete
        NoRenamesKeepsParts,      // no renames, and keeps the first quarter of uploads not named ".part"
        DeniesFolders,            // refuses to enter any folder below the login folder
        NoSizeKeepsParts,         // no SIZE, and keeps the first quarter of each upload
        NoListingKeepsParts,      // neither SIZE nor LIST, and keeps the first quarter of each upload
        NoRenamesNoSizeKeeps,     // no renames, no SIZE, and keeps the first quarter of uploads not named ".part"
        TakesOnlyUploads,         // answers neither SIZE nor LIST, and sends no file
        FakeRenames,              // answers renames as done without making them
        NoSizeFakeRenames,        // no SIZE, and answers renames without making them
        NoListingFakeRenames,     // neither SIZE nor LIST, and answers renames without making them
        NoListingSpoilsUploads,   // neither SIZE nor LIST, and keeps each upload with its letters' case swapped
        ClaimsLargeSize,          // gives every file's size as 41,943,040 bytes
    };

    bool start(const QString& root, bool writable, const QString& user = QString(), const QString& password = QString(),
               int bytesPerSecond = 0, Quirk quirk = Quirk::None) {
        if (!available() || !m_log.isValid())
            return false;
        const QString logPath = m_log.filePath(QStringLiteral("ftpd.log"));
        std::vector<std::string> args = {FTP_PYTHON,  "-u", "-m", "pyftpdlib", "-i",
                                         "127.0.0.1", "-p", "0",  "-d",        root.toStdString()};
        if (writable)
            args.push_back("-w");
        if (!user.isEmpty()) {
            args.insert(args.end(), {"-u", user.toStdString(), "-P", password.toStdString()});
        }
        const char* quirks[] = {
            "",           "strict",           "norename",         "partonly",     "endless",          "blanks",
            "cut",        "nosize",           "nosizecut",        "nosizenolist", "endlessfile",      "keepspart",
            "keepsnamed", "denycwd",          "nosizekeeps",      "nolistkeeps",  "nosizekeepsnamed", "uploadsonly",
            "fakerename", "nosizefakerename", "nolistfakerename", "nolistspoils", "claimslarge"};
        const bool renames = quirk != Quirk::NoRenames && quirk != Quirk::NoRenamesStoresOnlyParts &&
                             quirk != Quirk::NoRenamesKeepsParts && quirk != Quirk::NoRenamesNoSizeKeeps;
        if (bytesPerSecond > 0 || quirk != Quirk::None)
            args = {FTP_PYTHON,
                    "-u",
                    "-c",
                    kScriptedServer,
                    root.toStdString(),
                    writable ? (renames ? "elradfmwMT" : "elradmwMT") : "elr",
                    user.toStdString(),
                    password.toStdString(),
                    std::to_string(bytesPerSecond),
                    quirks[int(quirk)]};
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        const std::string log = logPath.toStdString();
        m_pid = fork();
        if (m_pid == 0) {
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            // The server reads its working folder at every CWD; the test's may be a folder since removed, as
            // may the root it serves.
            if (chdir("/") != 0)
                _exit(127);
            const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(fd, 1);
            dup2(fd, 2);
            execv(argv[0], argv.data());
            _exit(127);
        }
        if (m_pid < 0)
            return false;
        // It logs its port once it listens.
        const QRegularExpression ready(QStringLiteral(">>> starting FTP server on 127\\.0\\.0\\.1:(\\d+)"));
        for (int i = 0; i < 750; ++i) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return false;
            }
            QFile f(logPath);
            if (f.open(QIODevice::ReadOnly)) {
                const auto m = ready.match(QString::fromUtf8(f.readAll()));
                if (m.hasMatch()) {
                    m_port = m.captured(1).toInt();
                    return true;
                }
            }
            QThread::msleep(20);
        }
        stop();
        return false;
    }

    void stop() {
        if (m_pid <= 0)
            return;
        kill(m_pid, SIGTERM);
        for (int i = 0; i < 250; ++i) {
            if (waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
                m_pid = -1;
                return;
            }
            QThread::msleep(20);
        }
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

    ~LocalFtpServer() { stop(); }

    // Sends the server process a signal: SIGSTOP stalls it as a hung server would, SIGCONT lets it
    // go on, SIGKILL drops its connections as a lost line would.
    void signal(int sig) {
        if (m_pid > 0)
            kill(m_pid, sig);
    }

    int port() const { return m_port; }
    // What the server has logged: its commands and transfers ("NLST /x completed=0 bytes=...").
    QString log() const {
        QFile f(m_log.filePath(QStringLiteral("ftpd.log")));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    // The server as the FTP client names it.
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(m_port); }

private:
    static constexpr const char* kScriptedServer = R"(
import logging, os, sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import BufferedIteratorProducer, FTPHandler, ThrottledDTPHandler
from pyftpdlib.log import config_logging
from pyftpdlib.servers import FTPServer
root, perm, user, password, rate, quirk = sys.argv[1:7]
strict = quirk == "strict"
listed = {"bytes": 0, "completed": 0}
cut = quirk in ("cut", "nosizecut")
nosize = quirk in ("nosize", "nosizecut", "nosizenolist", "endlessfile", "nosizekeeps", "nolistkeeps", "nosizekeepsnamed", "uploadsonly",
                   "nosizefakerename", "nolistfakerename", "nolistspoils")
nolist = quirk in ("nosizenolist", "nolistkeeps", "uploadsonly", "nolistfakerename", "nolistspoils")
fakerename = quirk in ("fakerename", "nosizefakerename", "nolistfakerename")
keeps = quirk in ("keepspart", "nosizekeeps", "nolistkeeps")
keepsnamed = quirk in ("keepsnamed", "nosizekeepsnamed")
def endless():
    chunk = b"11;1;1;1;\"x\";;;;\r\n" * 4096
    while True:
        yield chunk
def listing():
    line = b"\r\n" * 64 if quirk == "blanks" else b"".join(b"series%05d.qvi\r\n" % i for i in range(4))
    listed.update(bytes=0, completed=0)
    for i in range((64 << 20) // len(line)):
        listed["bytes"] += len(line)
        yield line
    listed["completed"] = 1
config_logging(level=logging.INFO)
authorizer = DummyAuthorizer()
if user:
    authorizer.add_user(user, password, root, perm=perm)
else:
    authorizer.add_anonymous(root, perm=perm)
class Handler(FTPHandler):
    def ftp_RNTO(self, path):
        if fakerename and self._rnfr:
            self._rnfr = None
            self.respond("250 Renaming ok.")
            return
        if strict and os.path.exists(path):
            self.respond("550 Cannot create a file when that file already exists.")
            self._rnfr = None
            return
        return FTPHandler.ftp_RNTO(self, path)
    def ftp_STOR(self, file, mode="w"):
        if quirk == "partonly" and not file.endswith(".part"):
            self.respond("550 Not enough privileges.")
            return
        return FTPHandler.ftp_STOR(self, file, mode)
    def ftp_SIZE(self, path):
        if nosize:
            self.respond("502 Command not implemented.")
            return
        if quirk == "claimslarge":
            self.respond("213 41943040")
            return
        return FTPHandler.ftp_SIZE(self, path)
    def ftp_LIST(self, path):
        if nolist:
            self.respond("502 Command not implemented.")
            return
        return FTPHandler.ftp_LIST(self, path)
    def ftp_CWD(self, path):
        if quirk == "denycwd" and os.path.realpath(path) != os.path.realpath(root):
            self.respond("550 Permission denied.")
            return
        return FTPHandler.ftp_CWD(self, path)
    def ftp_RETR(self, file):
        if quirk == "uploadsonly":
            self.respond("550 Not enough privileges.")
            return
        if quirk == "endlessfile":
            self.push_dtp_data(BufferedIteratorProducer(endless()), isproducer=True, cmd="RETR")
            return file
        if cut:
            with open(file, "rb") as f:
                data = f.read()
            self.push_dtp_data(data[: len(data) // 2], cmd="RETR")
            return file
        return FTPHandler.ftp_RETR(self, file)
    def on_file_received(self, file):
        if keeps or (keepsnamed and not file.endswith(".part")):
            os.truncate(file, os.path.getsize(file) // 4)
        if quirk == "nolistspoils":
            with open(file, "rb+") as f:
                data = f.read().swapcase()
                f.seek(0)
                f.write(data)
    def ftp_NLST(self, path):
        if quirk in ("endless", "blanks"):
            self._listing = path
            self.push_dtp_data(BufferedIteratorProducer(listing()), isproducer=True, cmd="NLST")
            return path
        return FTPHandler.ftp_NLST(self, path)
    def _on_dtp_close(self):
        # Listings are not logged as transfers: how much of the endless one went out is logged here.
        if getattr(self, "_listing", None):
            self.log("NLST %s completed=%d bytes=%d" % (self._listing, listed["completed"], listed["bytes"]))
            self._listing = None
        return FTPHandler._on_dtp_close(self)
Handler.authorizer = authorizer
if int(rate) > 0:
    class Dtp(ThrottledDTPHandler):
        read_limit = int(rate)
        write_limit = int(rate)
    Handler.dtp_handler = Dtp
FTPServer(("127.0.0.1", 0), Handler).serve_forever()
)";

    QTemporaryDir m_log;
    pid_t m_pid = -1;
    int m_port = 0;
};
