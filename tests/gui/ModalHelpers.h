#pragma once

#include <QApplication>
#include <QTimer>
#include <QtTest>
#include <functional>

// Runs f on the modal window of type W once it is up (the next time the event loop turns), then
// closes that window if f left it open, so that a failed check never leaves a test waiting.
template <class W> void whileModal(std::function<void(W*)> f) {
    QTimer::singleShot(0, [f] {
        auto* w = qobject_cast<W*>(QApplication::activeModalWidget());
        if (!w) {
            QTest::qFail("no modal window of the expected kind", __FILE__, __LINE__);
            return;
        }
        w->activateWindow();
        if (QTest::qWaitForWindowActive(w))
            f(w);
        if (w->isVisible())
            w->done(0);
    });
}

inline void settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}
