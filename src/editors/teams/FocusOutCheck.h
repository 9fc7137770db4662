#pragma once

#include <QObject>
#include <QSet>
#include <functional>
#include <map>

class QLineEdit;
class QWidget;

// Checks a text box when the focus leaves it with a text other than the one last accepted; a
// refused entry takes the focus back with its text selected. A stored date the user only passes
// through is not judged again (an old pick's effective date precedes the races posted since). Buttons that act on the boxes do not take the focus on a click: they call
// checkFocused() first, so a refused entry stops them just as leaving the box would.
class FocusOutCheck : public QObject {
public:
    explicit FocusOutCheck(QObject* parent) : QObject(parent) {}

    void watch(QLineEdit* box, std::function<bool()> check);
    // Leaving a box for this widget (the Cancel button) skips the check.
    void passWhenFocusGoesTo(QWidget* widget) { m_passTo.insert(widget); }
    // Runs the check of the watched box that has the focus; true when none has it or it passes.
    bool checkFocused();
    // Runs the box's check as leaving it would, with the focus put back on a refusal.
    bool check(QLineEdit* box);
    // Takes every box's present text as accepted (after the window fills or empties its boxes).
    void acceptPresentTexts();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::map<QLineEdit*, std::function<bool()>> m_checks;
    std::map<QLineEdit*, QString> m_accepted;
    QSet<QWidget*> m_passTo;
    bool m_checking = false;
};
