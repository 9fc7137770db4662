#pragma once

#include <QApplication>
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

// Runs f on the modal window of type W once it is up (the next time the event loop turns) and
// active, then closes that window if f left it open, so that a failed check never leaves a test
// waiting.
template <class W> void whileModal(std::function<void(W*)> f) {
    QTimer::singleShot(0, [f] {
        auto* w = qobject_cast<W*>(QApplication::activeModalWidget());
        if (!w) {
            QTest::qFail("no modal window of the expected kind", __FILE__, __LINE__);
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
