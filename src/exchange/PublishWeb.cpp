#include "exchange/PublishWeb.h"

#include "exchange/FtpTransfer.h"

#include <QDir>

PublishLocation splitLocation(const QString& location) {
    const qsizetype slash = location.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return {location, QStringLiteral("/")};
    return {location.left(slash), location.mid(slash + 1)};
}

int publishReports(const QString& location, const QString& user, const QString& password,
                   const QString& reportFolder, const std::function<void(const QString&)>& status) {
    const PublishLocation target = splitLocation(location);
    openInternet();
    connectFtp(target.host, user, password);
    int sent = 0;
    if (reportFolder.isEmpty()) {
        putFtpFile(QString(), target.folder); // tells the user to pick a folder
        if (status)
            status(QStringLiteral("Transfering "));
    } else {
        const QDir folder(reportFolder);
        const QStringList pages =
            folder.entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
        bool first = true;
        for (const QString& page : pages) {
            // The first page enters the remote folder; the rest follow it there.
            const QString path = folder.filePath(page);
            if (!putFtpFile(path, first ? target.folder : QString()))
                break; // already reported, and the connection is closed
            first = false;
            ++sent;
            if (status)
                status(QStringLiteral("Transfering ") + path);
        }
    }
    closeInternet();
    return sent;
}
