// Publishing a report folder by FTP: how long the pages take to reach the server, each confirmed there
// before it counts.
//
//   publish          300 pages of 12 KB to a pyftpdlib server this program starts, three rounds
//   publish --small  20 pages, one round (a quick proof that it runs)
//   publish --server HOST:PORT --user NAME --password WORD
//                    to a server already running (vsftpd, say), into its login folder

#include "../tests/core/LocalFtpServer.h"
#include "TestDataFile.h"
#include "exchange/PublishWeb.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>

namespace {

// A page of about `bytes` bytes that differs from its neighbours, as report pages do.
QByteArray page(int n, int bytes) {
    QByteArray html = "<html><body><table>\r\n";
    for (int row = 0; html.size() < bytes - 32; ++row)
        html += "<tr><td>" + QByteArray::number(n) + "</td><td>Team " + QByteArray::number(row) + "</td><td>" +
                QByteArray::number(row * 7 % 1000) + "</td></tr>\r\n";
    return html + "</table></body></html>\r\n";
}

const char* argAfter(int argc, char** argv, const char* name) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return argv[i + 1];
    return nullptr;
}

} // namespace

int main(int argc, char** argv) {
    const bool small = argc > 1 && std::strcmp(argv[1], "--small") == 0;
    const int pages = small ? 20 : 300;
    const int rounds = small ? 1 : 3;
    TestDataFile data;
    QTemporaryDir root;
    if (!data.ok() || !root.isValid())
        return 1;
    const QString folder = QDir(data.folder()).filePath("Reports");
    QDir().mkpath(folder);
    for (int n = 0; n < pages; ++n) {
        QFile f(QDir(folder).filePath(QStringLiteral("rd%1.html").arg(n, 4, 10, QLatin1Char('0'))));
        if (!f.open(QIODevice::WriteOnly) || f.write(page(n, 12 * 1024)) < 0)
            return 1;
    }

    QString address = QString::fromLocal8Bit(argAfter(argc, argv, "--server"));
    QString user = QString::fromLocal8Bit(argAfter(argc, argv, "--user"));
    QString password = QString::fromLocal8Bit(argAfter(argc, argv, "--password"));
    LocalFtpServer server;
    if (address.isEmpty()) {
        if (!LocalFtpServer::available()) {
            std::printf("publish: no python3 with pyftpdlib, nothing measured\n");
            return 0;
        }
        user = QStringLiteral("tester");
        password = QStringLiteral("s3cret");
        if (!server.start(root.path(), true, user, password))
            return 1;
        address = server.address();
    }

    for (int round = 1; round <= rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        const PublishResult result = publishReports(address, user, password, folder, {});
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        std::printf("round %d: %d pages of 12 KB to %s in %.0f ms (%.2f ms a page), %d sent%s\n", round, pages,
                    qPrintable(address), ms, ms / pages, result.sent, result.complete ? "" : ", INCOMPLETE");
        for (const auto& box : data.ui().boxes)
            std::printf("  box: %s\n", qPrintable(box.text));
        if (!result.complete)
            return 1;
    }
    return 0;
}
