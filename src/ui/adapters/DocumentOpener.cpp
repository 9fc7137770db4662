#include "adapters/DocumentOpener.h"

#include "reports/framework/CommonReportCode.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

void installDocumentOpener() {
    setDocumentOpener([](const QString& path) {
        const QUrl url = QFileInfo::exists(path) ? QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath())
                                                 : QUrl::fromUserInput(path);
        return url.isValid() && QDesktopServices::openUrl(url);
    });
}
