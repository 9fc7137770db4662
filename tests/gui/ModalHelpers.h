#pragma once

#include "adapters/QtUiServices.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
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
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
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
    UiServices* m_previous;
    QtUiServices m_qt;
    QTimer m_timer;
};
