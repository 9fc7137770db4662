#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QtTest>
#include <functional>

// The longest a test waits for the window manager to activate a window or for the keyboard focus to
// follow. On a busy machine that can take seconds; a test that passes waits only as long as it must.
inline constexpr int kWindowWait = 20000;

// Makes w's window the active one and waits until it is.
inline bool activeNow(QWidget* w) {
    w->activateWindow();
    return QTest::qWaitForWindowActive(w, kWindowWait);
}

namespace modal_detail {

// Closes a modal window of any kind, as its own Cancel would.
inline void closeModal(QWidget* w) {
    if (auto* dialog = qobject_cast<QDialog*>(w))
        dialog->done(0);
    else
        w->close();
}

// Closes the modal window that the test's action opened (one other than `before`, which was up
// already), now or as soon as it opens while the current test function runs: a window of another
// kind than expected, or one that comes late, must not leave the test waiting on it.
inline void closeOpenedSince(QPointer<QWidget> before) {
    const QByteArray test = QByteArray(QTest::currentTestFunction()) + '/' + QTest::currentDataTag();
    auto* poll = new QTimer(qApp);
    const QDeadlineTimer deadline(kWindowWait);
    auto check = [poll, before, deadline, test] {
        QWidget* modal = QApplication::activeModalWidget();
        const bool opened = modal && modal != before.data();
        const bool sameTest = test == QByteArray(QTest::currentTestFunction()) + '/' + QTest::currentDataTag();
        if (opened && sameTest)
            closeModal(modal);
        if (opened || !sameTest || deadline.hasExpired()) {
            poll->stop();
            poll->deleteLater();
        }
    };
    QObject::connect(poll, &QTimer::timeout, check);
    poll->start(10);
    check();
}

} // namespace modal_detail

// Runs f on the modal window of type W once it is up (the next time the event loop turns) and
// active, then closes that window if f left it open, so that a failed check never leaves a test
// waiting. Without one, the test fails, and whatever window its action opened instead, or later, is
// closed too.
template <class W> void whileModal(std::function<void(W*)> f) {
    QPointer<QWidget> before = QApplication::activeModalWidget();
    QTimer::singleShot(0, [f, before] {
        auto* w = qobject_cast<W*>(QApplication::activeModalWidget());
        if (!w) {
            QTest::qFail("no modal window of the expected kind", __FILE__, __LINE__);
            modal_detail::closeOpenedSince(before);
            return;
        }
        QPointer<W> open(w);
        if (activeNow(w))
            f(w);
        else
            QTest::qFail("the modal window did not become active", __FILE__, __LINE__);
        if (open && open->isVisible())
            open->done(0);
    });
}

inline void settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}
