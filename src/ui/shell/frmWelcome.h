#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;
class QPushButton;

// Shown modally on the first run; plays its greeting sound once it is up.
class frmWelcome : public QDialog {
    Q_OBJECT

public:
    explicit frmWelcome(QWidget* parent = nullptr);

    QLabel* Greeting1() const { return m_greeting1; }
    QLabel* Greeting2() const { return m_greeting2; }
    QPushButton* BUT_Continue() const { return m_continue; }

    void done(int result) override;

private:
    QLabel* m_greeting1;
    QLabel* m_greeting2;
    QPushButton* m_continue;
    QTimer m_tada;
};
