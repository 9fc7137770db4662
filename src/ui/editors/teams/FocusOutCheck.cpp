#include "editors/teams/FocusOutCheck.h"

#include "kit/EditorKit.h"

#include <QApplication>
#include <QLineEdit>

void FocusOutCheck::watch(QLineEdit* box, std::function<bool()> check) {
    m_checks[box] = std::move(check);
    m_accepted[box] = box->text();
    selectAllOnFocus(box);
    installLeaveCheck(box, [this, box] { return run(box); });
}

bool FocusOutCheck::run(QLineEdit* box) {
    if (box->text() == m_accepted[box])
        return true;
    if (!m_checks[box]())
        return false;
    m_accepted[box] = box->text();
    return true;
}

bool FocusOutCheck::checkFocused() {
    auto* box = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    if (!box || m_checks.find(box) == m_checks.end() || run(box))
        return true;
    box->selectAll();
    return false;
}

void FocusOutCheck::acceptPresentTexts() {
    for (auto& [box, text] : m_accepted)
        text = box->text();
}
