#include "adapters/DocumentOpener.h"
#include "adapters/QtTranslations.h"
#include "adapters/QtUiServices.h"
#include "data/UiServices.h"
#include "shell/Commands.h"
#include "shell/frmMain.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvanti"));
    QApplication::setOrganizationName(QStringLiteral("Quorvanti"));
    QApplication::setApplicationVersion(QStringLiteral("3.0.0"));
    installQtTranslations();
    QtUiServices services;
    setUi(&services);
    installDocumentOpener();
    installCommands();

    int rc = 1;
    {
        frmMain window;
        if (window.startUp())
            rc = app.exec();
    }
    setUi(nullptr);
    return rc;
}
