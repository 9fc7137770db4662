#pragma once

#include "adapters/QtUiServices.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

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

// While it lives, the program's boxes are the real ones (a QMessageBox running its own event loop,
// over the active window), and each is answered once it is up by a click on the next button of
// `answers` (its default button when none is left). texts and titles keep what the boxes said;
// whileOpen runs inside each box's event loop, before the click.
class AnsweredBoxes {
public:
    explicit AnsweredBoxes(QList<QMessageBox::StandardButton> answers = {})
        : m_answers(std::move(answers)), m_previous(&ui()) {
        setUi(&m_qt);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { answerOpenBox(); });
        m_timer.start(20);
    }
    ~AnsweredBoxes() {
        m_timer.stop();
        setUi(m_previous);
    }
    AnsweredBoxes(const AnsweredBoxes&) = delete;
    AnsweredBoxes& operator=(const AnsweredBoxes&) = delete;

    QStringList texts;
    QStringList titles;
    std::function<void(QMessageBox*)> whileOpen;

private:
    void answerOpenBox() {
        // The click below may run events, this timer's among them, while the box is still up: that
        // box is being answered already.
        if (m_answering)
            return;
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        const QScopedValueRollback answering(m_answering, true);
        texts << box->text();
        titles << box->windowTitle();
        if (whileOpen)
            whileOpen(box);
        QAbstractButton* button = m_answers.isEmpty() ? box->defaultButton() : box->button(m_answers.takeFirst());
        if (!button) {
            QTest::qFail("the box has no such button", __FILE__, __LINE__);
            box->reject();
            return;
        }
        QTest::mouseClick(button, Qt::LeftButton);
    }

    QList<QMessageBox::StandardButton> m_answers;
    bool m_answering = false;
    UiServices* m_previous;
    QtUiServices m_qt;
    QTimer m_timer;
};

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
        if (!QTest::qWaitForWindowActive(box, kWindowWait))
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
