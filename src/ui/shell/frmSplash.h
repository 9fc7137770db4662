#pragma once

#include <QDialog>
#include <QTimer>

// Shown modally at every start-up; closes itself when its timer fires.
class frmSplash : public QDialog {
    Q_OBJECT

public:
    static constexpr int kShowMilliseconds = 4000;
    // The interval is for tests only; the program always shows the splash for kShowMilliseconds.
    explicit frmSplash(QWidget* parent = nullptr, int milliseconds = kShowMilliseconds);

    QTimer* STart_Timer() { return &m_timer; }

    // Shows the splash modally until its timer closes it. The timer starts only once the window is
    // up: closed while it was still being shown, QDialog::exec would wait for ever on a hidden window.
    int exec() override;

private:
    QTimer m_timer;
};
