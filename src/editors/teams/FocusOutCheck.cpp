#include "editors/teams/FocusOutCheck.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>

void FocusOutCheck::watch(QLineEdit* box, std::function<bool()> check) {
    m_checks[box] = std::move(check);
    m_accepted[box] = box->text();
    box->installEventFilter(this);
}

bool FocusOutCheck::check(QLineEdit* box) {
    auto it = m_checks.find(box);
    if (it == m_checks.end() || m_checking || box->text() == m_accepted[box])
        return true;
    // Taking the focus back makes another box lose it; that is not the user leaving it.
    m_checking = true;
    const bool ok = it->second();
    if (ok) {
        m_accepted[box] = box->text();
    } else {
        box->setFocus(Qt::OtherFocusReason);
        box->selectAll();
    }
    m_checking = false;
    return ok;
}

void FocusOutCheck::acceptPresentTexts() {
    for (auto& [box, text] : m_accepted)
        text = box->text();
}

bool FocusOutCheck::checkFocused() {
    auto* box = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    return !box || check(box);
}

bool FocusOutCheck::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        // Every box selects its whole text when it gets the focus.
        auto* box = static_cast<QLineEdit*>(watched);
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
            QMetaObject::invokeMethod(box, &QLineEdit::selectAll, Qt::QueuedConnection);
    } else if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // A message box or menu taking the focus is not the user leaving the box.
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return false;
        if (m_passTo.contains(QApplication::focusWidget()))
            return false;
        check(static_cast<QLineEdit*>(watched));
    }
    return false;
}
