#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <map>

class QLineEdit;

// The date boxes of the pick editor on the kit's leave checks, with two additions. A box left with
// the text it last passed with is not judged again: a stored pick's effective date precedes the
// races posted since, and merely passing through its box must not refuse it. And the buttons that
// act on the boxes keep the focus where it is on a click and run the focused box's check first
// (checkFocused), so a refused entry stops them.
class FocusOutCheck : public QObject {
public:
    explicit FocusOutCheck(QObject* parent) : QObject(parent) {}

    void watch(QLineEdit* box, std::function<bool()> check);
    // Runs the check of the watched box that has the focus; true when none has it or it passes.
    bool checkFocused();
    // Takes every box's present text as passed (after the window fills or empties its boxes).
    void acceptPresentTexts();

private:
    bool run(QLineEdit* box);

    std::map<QLineEdit*, std::function<bool()>> m_checks;
    std::map<QLineEdit*, QString> m_accepted;
};
