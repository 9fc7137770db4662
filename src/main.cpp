#include "data/CommonCode.h"
#include "data/Paths.h"
#include "data/cConnection.h"
#include "platform/gui/QtUiServices.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvanti"));
    QApplication::setOrganizationName(QStringLiteral("Quorvanti"));
    QtUiServices services;
    setUi(&services);

    QDir().mkpath(programFolder());
    if (!ensureDataFile(dataFilePath()) || !connectDatabase())
        return 1;

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Quorvanti"));
    auto* status = new QLabel(QStringLiteral("Status"));
    window.statusBar()->addWidget(status, 1);
    services.setStatusLabel(status);
    window.resize(900, 600);
    window.show();
    const int rc = app.exec();
    backupDatabase(QString());
    if (gConnection)
        gConnection->CloseConnection();
    return rc;
}
