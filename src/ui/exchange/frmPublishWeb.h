#pragma once

#include <QDialog>

class QCloseEvent;
class QLabel;
class QLineEdit;
class QPushButton;

// "Publish to Web": uploads the report folder's pages to the user's web server with the stored
// location, user name and password, which it saves on every publish.
class frmPublishWeb : public QDialog {
    Q_OBJECT

public:
    explicit frmPublishWeb(QWidget* parent = nullptr);

    QLineEdit* txtWeb = nullptr;
    QLineEdit* txtUserName = nullptr;
    QLineEdit* txtPassWord = nullptr;
    QLineEdit* txtReportFolder = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QLabel* lblStatus = nullptr;
    QPushButton* cmdPublish = nullptr;
    QPushButton* cmdCancel = nullptr;

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void publishClicked();
    bool m_publishing = false;
};
