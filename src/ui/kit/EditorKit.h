#pragma once

#include <QDate>
#include <QDialog>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

class QAbstractButton;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

// What every editor window shares.
//
//  EditorDialog        a modal QDialog with "&OK", "&Cancel" and "&Apply", a changed flag and the
//                      save question; subclasses store in applyChanges() and name the question's title.
//  selectAllOnFocus    a text box selects its whole text whenever it gets the focus.
//  installLeaveCheck   runs a check when a box loses the focus; a refused entry gets the focus back.
//  checkNumberText     the "Invalid Entry" rule of number boxes and number cells (NumberRule).
//  checkDateText       the same for date boxes: blank passes, a date is rewritten in the short form.
//  makeKeyLabel        a label whose click shows "<Entity> number is <n>".
//
// Messages go through showValidation / askQuestion / ui(), so tests answer them with RecordingUi.

// ---- the editor window ----

class EditorDialog : public QDialog {
    Q_OBJECT

public:
    explicit EditorDialog(QWidget* parent = nullptr);
    ~EditorDialog() override;

    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* applyButton() const { return m_apply; }
    // The row of the three buttons, right-aligned; put it at the bottom of the window's layout.
    QHBoxLayout* buttonRow() const { return m_buttons; }

    // Edits count only while the window is visible: filling the controls before it is shown, and
    // building grids silently, is no edit. While visible: sets the changed flag and enables Apply.
    void markChanged();
    // Sets or clears the flag regardless of visibility (Apply is left alone).
    void setChanged(bool changed) { m_changed = changed; }
    bool isChanged() const { return m_changed; }

    // Stores through applyChanges(); on success clears the changed flag and disables Apply.
    bool apply();

    // Every way of closing ends here: the window below gets the activation back.
    void done(int result) override;

    // A click on OK or Apply then leaves the focus where it is, so a box is not checked on leaving
    // and then again by the save the button runs; Tab still reaches the buttons.
    void keepFocusOnButtonClicks();

    // What Yes in the save question does after storing: close whatever the store gave (the
    // default), close only when the store succeeded (so a refused save loses nothing), or stay open.
    enum class AfterSaveQuestionYes { Close, CloseWhenSaved, StayOpen };
    void setAfterSaveQuestionYes(AfterSaveQuestionYes v) { m_afterYes = v; }

    // A window without a default button: Enter in a box presses nothing. Every push button of the
    // window then loses autoDefault, since the dialog would otherwise make the first one the default.
    void setNoDefaultButton();

protected:
    // Stores the edited object; true on success. A refusal shows its own message.
    virtual bool applyChanges() = 0;
    // The title of "Do you want to save changes": the edited object's name as it stands.
    virtual QString saveQuestionTitle() const = 0;
    // Whether Cancel asks the save question; the changed flag unless an editor keeps several.
    virtual bool hasUnsavedChanges() const { return m_changed; }

    // OK: when Apply is enabled, apply and stay open on failure; then close (accept).
    virtual void okClicked();
    // Cancel (and Esc, and the close box): with unsaved changes ask "Do you want to save changes" (Yes,
    // No, Cancel): Cancel stays, Yes applies and then follows AfterSaveQuestionYes, No closes. Without
    // changes: close. reject() itself closes without a question, for the callers that must end the window.
    virtual void cancelClicked();

    // The window opens with the focus in its first field (the buttons are created before the
    // fields, and the first keys typed must not land on OK).
    void showEvent(QShowEvent* event) override;

private:
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QPushButton* m_apply;
    QHBoxLayout* m_buttons;
    bool m_changed = false;
    // Puts the focus into the first field of the tab just shown when it is not there already.
    void focusIntoTab(QTabWidget* tabs);

    AfterSaveQuestionYes m_afterYes = AfterSaveQuestionYes::Close;
    bool m_noDefault = false;
    bool m_tabsWatched = false;
};

// Escape and the close box press the window's Cancel button, so that they ask where Cancel asks and
// the question's Cancel keeps the window open with the edit; the editors have it from EditorDialog.
// A child that takes Escape for itself (an open drop-down list, the date picker, a cell editor of a
// list) keeps it. While Cancel is disabled, Escape does what a click on it does (nothing) and the
// close box is left to the window.
void makeEscapeAndCloseBoxCancel(QDialog* dialog, QAbstractButton* cancel);

// Hands the activation to the window below a modal window that has just closed: its parent's
// window, with the focus where it was there. A window closed right after a message box of its own
// (Escape, "Do you want to save changes", No) would otherwise leave no window active until a click,
// as the box took the activation with it; keys and shortcuts then reach nothing.
void activateWindowBelow(QWidget* closed);

// Ctrl+Tab and Ctrl+PgDn show the next enabled tab, Ctrl+Shift+Tab and Ctrl+PgUp the one before, from
// the last to the first and back, wherever the focus is in the window: a box, a list or a button.
void installTabSwitchKeys(QTabWidget* tabs);

// Tab walks the widgets in this order (as they stand on screen); the rest of the chain stays.
void setTabChain(const QList<QWidget*>& widgets);

// The first field of a window (or of a part of one, such as a tab's page) in Tab order: the first
// widget in it that takes the focus by Tab and is neither a push button nor a tab bar; nullptr
// when there is none.
QWidget* firstField(QWidget* container);

// ---- text boxes ----

// The whole text is selected whenever the box gets the focus, by mouse too.
void selectAllOnFocus(QLineEdit* box);

// Runs check when the box loses the focus while its window is visible. When check returns false
// (having shown its message and emptied or kept the text), the box gets the focus back with its whole
// text selected. The check is skipped while the focus moves to another window (a message box, a
// drop-down list), while a refused box is being given the focus back, and when the focus goes to a
// widget marked with skipLeaveChecks() (an editor's Cancel button).
void installLeaveCheck(QLineEdit* box, std::function<bool()> check);
// Focus moving to this widget runs no leave check (a Cancel button that drops the edits anyway).
void skipLeaveChecks(QWidget* widget);
// Runs the leave check of the box the user was typing in, as if it were left now: the box that has
// the focus, or a box left for a widget that skips the checks (Cancel) or hidden by a tab switch.
// A refused box gets the focus back with its text selected. True when there is nothing to check or
// the check passes. Every save path calls it first, so a typed entry is never stored unchecked.
bool checkFocusedBox(QWidget* window);
// Puts the focus into a field (a text box with its whole text selected) without running the leave
// check of the box that loses it: a save that refused a field shows only its own message.
void focusWithoutLeaveChecks(QWidget* field);

// How a number box or cell treats its text when it is left.
struct NumberRule {
    enum class Blank { Keep, Zero, Refuse };
    Blank blank = Blank::Zero;     // a text that is blank after trimming
    bool allowNegative = true;     // false: a number below 0 is refused
    bool wholeOnly = false;        // true: fractions are refused
    std::optional<double> minimum; // further bounds (16-bit cells: -32768 and 32767)
    std::optional<double> maximum;
    bool emptyOnRefusal = true; // a refused text is emptied (false: kept and selected)
    QString message = QStringLiteral("Invalid Entry");
};

// The number a text stands for, as the number boxes read it: plain decimal text, blanks around it
// allowed, thousands commas allowed; nullopt when it is not a number.
std::optional<double> numberFromText(const QString& text);
// Applies the rule to the box: a blank becomes "0" (Blank::Zero); a refused text shows the rule's
// message (critical, "Quorvanti") and is emptied when the rule says so. False when refused.
bool checkNumberText(QLineEdit* box, const NumberRule& rule = {});
// Installs checkNumberText as the box's leave check.
void installNumberCheck(QLineEdit* box, const NumberRule& rule = {});

// Money boxes. showMoney puts an amount into the box in its edit form; readMoney gives back the
// amount the box stands for: the one shown while its text is still the one shown (so an amount is
// never re-read from what was put there for it), else the text as the user typed it, read in the
// user's own form only. False when the typed text is no amount.
class Currency;
void showMoney(QLineEdit* box, Currency amount);
bool readMoney(const QLineEdit* box, Currency* amount);

// A date box left: blank passes (an invalid date in *date); a date is rewritten in the short form and
// passes; anything else shows "Invalid Entry" and is refused with its text kept.
bool checkDateText(QLineEdit* box, QDate* date = nullptr);

// ---- key labels ----

// A click on the label shows prefix followed by number() in a plain box titled "Quorvanti"
// (prefix such as "Race number is ").
void makeKeyLabel(QLabel* label, const QString& prefix, std::function<int()> number);

// A plain box: no icon, OK only, titled "Quorvanti".
void showPlainBox(const QString& text);
