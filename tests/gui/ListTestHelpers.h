#pragma once

// Set-up shared by the list window tests: the row helpers that put rows straight into the data file,
// and the program's own message boxes answered as a person answers them.

#include "Rows.h"
#include "TestDataFile.h"
#include "adapters/QtUiServices.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>

// While it lives the program shows its real message boxes, each with its own event loop. Every box
// that comes up is recorded and answered with the next of the buttons given, after whileOpen has
// run with the first box on screen (a change stored meanwhile, say); a box beyond the answers is
// closed as Escape closes it, so that a box nobody expected is counted rather than left waiting.
class RealBoxes : public QObject {
public:
    RealBoxes(UiServices& after, QList<QMessageBox::StandardButton> answers, std::function<void()> whileOpen = {})
        : m_after(after), m_answers(std::move(answers)), m_whileOpen(std::move(whileOpen)) {
        setUi(&m_screen);
        connect(&m_poll, &QTimer::timeout, this, &RealBoxes::poll);
        m_poll.start(10);
    }
    ~RealBoxes() override { setUi(&m_after); }

    QStringList texts;

private:
    void poll() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || box == m_answered)
            return;
        m_answered = box;
        texts << box->text();
        if (m_whileOpen)
            std::exchange(m_whileOpen, nullptr)();
        QAbstractButton* button = m_answers.isEmpty() ? box->escapeButton() : box->button(m_answers.takeFirst());
        if (button)
            button->click();
        else
            box->done(0);
    }

    UiServices& m_after;
    QtUiServices m_screen;
    QList<QMessageBox::StandardButton> m_answers;
    std::function<void()> m_whileOpen;
    QTimer m_poll;
    QPointer<QMessageBox> m_answered;
};
