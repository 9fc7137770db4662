#include "exchange/PublishWeb.h"

#include "data/Paths.h"
#include "exchange/FtpTransfer.h"

#include <QDir>
#include <QFileInfo>

PublishLocation splitLocation(const QString& location) {
    const qsizetype slash = location.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return {location, QStringLiteral("/")};
    return {location.left(slash), location.mid(slash + 1)};
}

PublishResult publishReports(const QString& location, const QString& user, const QString& password,
                             const QString& reportFolder, const std::function<void(const QString&)>& status) {
    const PublishLocation target = splitLocation(location);
    PublishResult result;
    QStringList pages;
    const QDir folder(reportFolder);
    if (!reportFolder.isEmpty()) {
        // Nothing to send is said before any connection is tried, not passed off as a publish.
        if (!QFileInfo(reportFolder).isDir()) {
            exchangeMessage(QStringLiteral("The folder ") + reportFolder + QStringLiteral(" does not exist."));
            return result;
        }
        // A link in the folder may lead to any file of the user's (a page is never written as one): only
        // the folder's own pages go to the server.
        pages = folder.entryList({QStringLiteral("*.html")}, QDir::Files | QDir::NoSymLinks, QDir::Name);
        if (pages.isEmpty()) {
            exchangeMessage(QStringLiteral("There are no pages (*.html) to publish in ") + reportFolder +
                            QLatin1Char('.'));
            return result;
        }
    }
    openInternet();
    connectFtp(target.host, user, password);
    if (reportFolder.isEmpty()) {
        putFtpFile(QString(), target.folder); // tells the user to pick a folder
        if (status)
            status(QStringLiteral("Transfering "));
    } else if (ftpConnected()) {
        bool first = true;
        for (const QString& page : pages) {
            // The first page enters the remote folder; the rest follow it there.
            const QString path = folder.filePath(page);
            if (!putFtpFile(path, first ? target.folder : QString()))
                break; // already reported, and the connection is closed
            first = false;
            ++result.sent;
            if (status)
                status(QStringLiteral("Transfering ") + path);
        }
        result.complete = result.sent == pages.size();
    }
    closeInternet();
    return result;
}
