#pragma once

#include <QObject>

class QSocketNotifier;

// Turns the signals with which a desktop session ends the program (SIGTERM at a logout or shutdown,
// SIGHUP when its terminal goes) into a Qt signal delivered by the event loop, so that the program can
// end as a close of its main window does. The handlers only write a byte into a socket pair: nothing else
// may run inside a signal handler. While it lives the handlers stay installed; afterwards the signals end
// the program at once again.
class SessionEnd : public QObject {
    Q_OBJECT

public:
    explicit SessionEnd(QObject* parent = nullptr);
    ~SessionEnd() override;

    bool installed() const { return m_notifier != nullptr; }

signals:
    void requested();

private:
    void readSignal();

    QSocketNotifier* m_notifier = nullptr;
};
