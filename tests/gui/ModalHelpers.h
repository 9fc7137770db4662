#pragma once

#include "adapters/QtUiServices.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

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

// The program's own message boxes in place of the recorder, for the life of the object: a question
// then runs its event loop as it does for the user, and windows can be activated and refreshed
// inside it. The recorder (or whatever was installed) comes back afterwards.
class RealMessageBoxes {
public:
    explicit RealMessageBoxes(UiServices* restore) : m_restore(restore) { setUi(&m_boxes); }
    ~RealMessageBoxes() { setUi(m_restore); }
    RealMessageBoxes(const RealMessageBoxes&) = delete;
    RealMessageBoxes& operator=(const RealMessageBoxes&) = delete;

private:
    QtUiServices m_boxes;
    UiServices* m_restore;
};

// Answers the next message box as a person does: once it is up and active, the key of the button's
// underlined letter goes to whatever has the focus in it. The text it showed is kept in *shown.
inline void answerNextBox(QMessageBox::StandardButton button, QString* shown = nullptr) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, button, shown, tries] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            if (++*tries > 500) {
                poll->deleteLater();
                QTest::qFail("no message box came up", __FILE__, __LINE__);
            }
            return;
        }
        poll->stop();
        poll->deleteLater();
        if (shown)
            *shown = box->text();
        box->activateWindow();
        if (!QTest::qWaitForWindowActive(box))
            QTest::qFail("the message box did not become active", __FILE__, __LINE__);
        QAbstractButton* b = box->button(button);
        const QString caption = b ? b->text() : QString();
        const qsizetype amp = caption.indexOf(QLatin1Char('&'));
        QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : box;
        if (amp >= 0 && amp + 1 < caption.size())
            QTest::keyClick(focus, caption.at(amp + 1).toLower().toLatin1());
        if (box->isVisible() && b)
            b->click();
    });
    poll->start();
}
