#include "exchange/frmPublishWeb.h"

#include "data/Feedback.h"
#include "data/Paths.h"
#include "exchange/PublishWeb.h"
#include "exchange/cPublish.h"
#include "reports/framework/frmBrowser.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmPublishWeb::frmPublishWeb(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Publish to Web"));
    setModal(true);

    auto* label1 = new QLabel(QStringLiteral("Specify the location to Publish your reports to:"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    txtWeb = new QLineEdit(this);
    txtWeb->setObjectName(QStringLiteral("txtWeb"));
    txtWeb->setMinimumWidth(360);

    auto* frame1 = new QGroupBox(QStringLiteral("Authentication"), this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    auto* label3 = new QLabel(QStringLiteral("Username:"), frame1);
    label3->setObjectName(QStringLiteral("Label3"));
    txtUserName = new QLineEdit(frame1);
    txtUserName->setObjectName(QStringLiteral("txtUserName"));
    auto* label4 = new QLabel(QStringLiteral("Password:"), frame1);
    label4->setObjectName(QStringLiteral("Label4"));
    txtPassWord = new QLineEdit(frame1);
    txtPassWord->setObjectName(QStringLiteral("txtPassWord"));
    // Shown as dots, so that it is not read off the screen.
    txtPassWord->setEchoMode(QLineEdit::Password);
    auto* auth = new QGridLayout(frame1);
    auth->addWidget(label3, 0, 0);
    auth->addWidget(txtUserName, 0, 1);
    auth->addWidget(label4, 1, 0);
    auth->addWidget(txtPassWord, 1, 1);

    auto* label2 = new QLabel(QStringLiteral("Specify folder to Publish:"), this);
    label2->setObjectName(QStringLiteral("Label2"));
    txtReportFolder = new QLineEdit(this);
    txtReportFolder->setObjectName(QStringLiteral("txtReportFolder"));
    cmdBrowse = new QPushButton(QStringLiteral("&Browse..."), this);
    cmdBrowse->setObjectName(QStringLiteral("cmdBrowse"));
    cmdBrowse->setAutoDefault(false);

    lblStatus = new QLabel(QStringLiteral("Status"), this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setFrameShape(QFrame::StyledPanel);
    cmdPublish = new QPushButton(QStringLiteral("&Publish"), this);
    cmdPublish->setObjectName(QStringLiteral("cmdPublish"));
    cmdPublish->setAutoDefault(false);
    cmdCancel = new QPushButton(QStringLiteral("&Close"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(txtReportFolder, 1);
    folderRow->addWidget(cmdBrowse);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdPublish);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label1);
    layout->addWidget(txtWeb);
    layout->addWidget(frame1);
    layout->addWidget(label2);
    layout->addLayout(folderRow);
    layout->addWidget(lblStatus);
    layout->addLayout(buttons);

    cPublish settings;
    settings.load();
    txtUserName->setText(settings.username());
    txtPassWord->setText(settings.password());
    txtWeb->setText(settings.location());
    txtReportFolder->setText(reportsDir());

    connect(cmdPublish, &QPushButton::clicked, this, &frmPublishWeb::publishClicked);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdBrowse, &QPushButton::clicked, this, [this] {
        frmBrowser picker(this);
        picker.showWith(1); // the report folder; OK makes the choice the program's report folder
        txtReportFolder->setText(reportsDir());
    });
}

void frmPublishWeb::publishClicked() {
    if (m_publishing)
        return;
    // The event loop runs between pages so that the status repaints; a second Publish or a Close
    // meanwhile would pull the connection from under the pages still to go.
    m_publishing = true;
    for (QPushButton* b : {cmdPublish, cmdCancel, cmdBrowse})
        b->setEnabled(false);
    setMousePointer(PointerHourglass);
    // Stored before the connection is tried, so what was typed is kept even when it fails.
    cPublish settings;
    settings.setLocation(txtWeb->text());
    settings.setUsername(txtUserName->text());
    settings.setPassword(txtPassWord->text());
    settings.CommitChanges();

    const PublishResult result = publishReports(
        txtWeb->text(), txtUserName->text(), txtPassWord->text(), txtReportFolder->text(), [this](const QString& text) {
            lblStatus->setText(text);
            QCoreApplication::processEvents(); // repaint the label between pages
        });
    if (result.complete)
        lblStatus->setText(result.sent == 1 ? QStringLiteral("1 file sent.")
                                            : QStringLiteral("%1 files sent.").arg(result.sent));
    else
        lblStatus->setText(QStringLiteral("Status"));
    setMousePointer(PointerDefault);
    for (QPushButton* b : {cmdPublish, cmdCancel, cmdBrowse})
        b->setEnabled(true);
    m_publishing = false;
}

void frmPublishWeb::reject() {
    if (!m_publishing) // Esc and the window's close button wait for the publish like Close does
        QDialog::reject();
}

void frmPublishWeb::closeEvent(QCloseEvent* event) {
    if (m_publishing)
        event->ignore();
    else
        QDialog::closeEvent(event);
}
