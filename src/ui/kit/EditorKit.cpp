#include "kit/EditorKit.h"

#include "data/Feedback.h"
#include "data/SqlText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QShowEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <cmath>

namespace {

const char* const kSkipLeaveChecks = "qvSkipLeaveChecks";

// True while a refused box is being given the focus back: the box that had just taken the focus
// loses it again, and its own check must not run a second box on top of the first.
bool g_refocusing = false;

// A box left without its check (for Cancel, or hidden by a tab switch): checked by the next save.
QPointer<QLineEdit> g_unchecked;

class SelectAllFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            // Deferred: a mouse click places the cursor after the focus arrives and would undo it.
            QPointer<QLineEdit> box = qobject_cast<QLineEdit*>(watched);
            QMetaObject::invokeMethod(
                watched,
                [box] {
                    if (box && box->hasFocus())
                        box->selectAll();
                },
                Qt::QueuedConnection);
        }
        return false;
    }
};

// Keeps a button from acting on the click whose press moved the focus out of a refused box: the
// refusal has put the focus back, and the save or post the button runs must not go ahead.
class SwallowClick : public QObject {
public:
    // Only the press being delivered now: when the refusal's message box took the release, the
    // next click on the button must act again.
    explicit SwallowClick(QObject* button) : QObject(button) {
        QTimer::singleShot(0, this, [this] { deleteLater(); });
    }
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            return true;
        case QEvent::MouseButtonRelease:
            deleteLater();
            return true;
        default:
            return false;
        }
    }
};

class LeaveCheckFilter : public QObject {
public:
    LeaveCheckFilter(QLineEdit* box, std::function<bool()> check)
        : QObject(box), m_box(box), m_check(std::move(check)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != m_box || event->type() != QEvent::FocusOut)
            return false;
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return false;
        if (g_refocusing || !m_box->window()->isVisible())
            return false;
        if (!m_box->isVisible()) {
            g_unchecked = m_box;
            return false;
        }
        if (QWidget* next = QApplication::focusWidget(); next && next->property(kSkipLeaveChecks).toBool()) {
            g_unchecked = m_box;
            return false;
        }
        if (g_unchecked == m_box)
            g_unchecked = nullptr;
        if (m_check())
            return false;
        if (reason == Qt::MouseFocusReason)
            if (auto* button = qobject_cast<QAbstractButton*>(QApplication::focusWidget()))
                button->installEventFilter(new SwallowClick(button));
        // Given back after the focus change under way has finished. Posted to the application, not
        // the box, so the flag is cleared even when the window is gone before the call runs.
        QPointer<QLineEdit> box = m_box;
        g_refocusing = true;
        QMetaObject::invokeMethod(
            qApp,
            [box] {
                if (box) {
                    box->setFocus(Qt::OtherFocusReason);
                    box->selectAll();
                }
                g_refocusing = false;
            },
            Qt::QueuedConnection);
        return false;
    }

    bool runCheck() { return m_check(); }

private:
    QLineEdit* m_box;
    std::function<bool()> m_check;
};

// Sees the keys and the close request that reach the dialog itself: Escape arrives here only when
// the widget with the focus has not taken it. The dialog's own accept() and reject() close it
// without passing here (the dialog keeps that close event to itself), so a window that ends itself
// asks nothing.
class CancelKeysFilter : public QObject {
public:
    CancelKeysFilter(QDialog* dialog, QAbstractButton* cancel) : QObject(dialog), m_dialog(dialog), m_cancel(cancel) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != m_dialog || !m_cancel)
            return false;
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() != Qt::Key_Escape || key->modifiers() != Qt::NoModifier)
                return false;
            m_cancel->click();
            return true;
        }
        if (event->type() != QEvent::Close || !m_dialog->isVisible() || !m_cancel->isEnabled())
            return false;
        QPointer<QDialog> dialog = m_dialog;
        m_cancel->click();
        // Still open: the question was answered Cancel, or Yes with a save that was refused.
        if (dialog && dialog->isVisible())
            event->ignore();
        else
            event->accept();
        return true;
    }

private:
    QDialog* m_dialog;
    QPointer<QAbstractButton> m_cancel;
};

LeaveCheckFilter* leaveCheckOf(QObject* box) {
    if (!box)
        return nullptr;
    for (QObject* child : box->children())
        if (auto* filter = dynamic_cast<LeaveCheckFilter*>(child))
            return filter;
    return nullptr;
}

} // namespace

// ---- EditorDialog ----

EditorDialog::EditorDialog(QWidget* parent) : QDialog(parent) {
    setModal(true);
    m_ok = new QPushButton(QStringLiteral("&OK"), this);
    m_cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    m_apply = new QPushButton(QStringLiteral("&Apply"), this);
    m_ok->setObjectName(QStringLiteral("cmdOK"));
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));
    m_apply->setObjectName(QStringLiteral("cmdApply"));
    m_ok->setDefault(true);
    m_apply->setEnabled(false);
    skipLeaveChecks(m_cancel);
    makeEscapeAndCloseBoxCancel(this, m_cancel);
    m_buttons = new QHBoxLayout;
    m_buttons->addStretch(1);
    m_buttons->addWidget(m_ok);
    m_buttons->addWidget(m_cancel);
    m_buttons->addWidget(m_apply);
    connect(m_ok, &QPushButton::clicked, this, [this] { okClicked(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { cancelClicked(); });
    connect(m_apply, &QPushButton::clicked, this, [this] { apply(); });
}

EditorDialog::~EditorDialog() {
    // A window that places its buttons itself never puts the button row into a layout.
    if (!m_buttons->parent())
        delete m_buttons;
}

void EditorDialog::markChanged() {
    if (!isVisible())
        return;
    m_changed = true;
    m_apply->setEnabled(true);
}

bool EditorDialog::apply() {
    if (!checkFocusedBox(this) || !applyChanges())
        return false;
    m_changed = false;
    m_apply->setEnabled(false);
    return true;
}

void EditorDialog::okClicked() {
    if (m_apply->isEnabled() && !apply())
        return;
    accept();
}

void EditorDialog::cancelClicked() {
    if (!hasUnsavedChanges()) {
        reject();
        return;
    }
    switch (askQuestion(QStringLiteral("Do you want to save changes"), saveQuestionTitle(), MsgButtons::YesNoCancel)) {
    case AnswerYes:
        if (apply() ? m_afterYes != AfterSaveQuestionYes::StayOpen : m_afterYes == AfterSaveQuestionYes::Close)
            reject();
        break;
    case AnswerNo:
        reject();
        break;
    default:
        break;
    }
}

void EditorDialog::done(int result) {
    QDialog::done(result);
    activateWindowBelow(this);
}

void EditorDialog::setNoDefaultButton() {
    m_noDefault = true;
    m_ok->setDefault(false);
}

void EditorDialog::showEvent(QShowEvent* event) {
    if (m_noDefault) {
        for (QPushButton* b : findChildren<QPushButton*>()) {
            if (b->window() == this) {
                b->setDefault(false);
                b->setAutoDefault(false);
            }
        }
    }
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    // Filled since the window took its size, a drop-down list may need more room for its longest
    // entry: the window grows to what its fields ask for, never shrinks.
    resize(size().expandedTo(sizeHint()));
    if (!m_tabsWatched) {
        m_tabsWatched = true;
        for (QTabWidget* tabs : findChildren<QTabWidget*>()) {
            if (tabs->window() != this)
                continue;
            connect(tabs, &QTabWidget::currentChanged, this, [this, tabs] { focusIntoTab(tabs); });
            if (tabs->count() > 1)
                installTabSwitchKeys(tabs);
        }
    }
    if (QWidget* field = firstField(this)) {
        field->setFocus(Qt::TabFocusReason);
        if (auto* box = qobject_cast<QLineEdit*>(field))
            box->selectAll();
    }
}

void EditorDialog::focusIntoTab(QTabWidget* tabs) {
    // After the window's own handling of the switch (which may switch back and refocus a field):
    // a click on a tab leaves the focus on whatever followed the hidden page, often a button.
    QPointer<QTabWidget> watched = tabs;
    QMetaObject::invokeMethod(
        this,
        [this, watched] {
            QWidget* page = watched ? watched->currentWidget() : nullptr;
            if (!page || !isVisible())
                return;
            QWidget* focus = QApplication::focusWidget();
            // The page itself takes the focus when none of its fields could (a disabled frame).
            const bool inField =
                focus && focus != page && page->isAncestorOf(focus) && (focus->focusPolicy() & Qt::TabFocus);
            if (inField || focus == watched->tabBar())
                return;
            if (QWidget* field = firstField(page))
                focusWithoutLeaveChecks(field);
        },
        Qt::QueuedConnection);
}

// ---- text boxes ----

void selectAllOnFocus(QLineEdit* box) {
    box->installEventFilter(new SelectAllFilter(box));
}

void installLeaveCheck(QLineEdit* box, std::function<bool()> check) {
    box->installEventFilter(new LeaveCheckFilter(box, std::move(check)));
}

void makeEscapeAndCloseBoxCancel(QDialog* dialog, QAbstractButton* cancel) {
    dialog->installEventFilter(new CancelKeysFilter(dialog, cancel));
}

void activateWindowBelow(QWidget* closed) {
    QWidget* parent = closed->parentWidget();
    QWidget* below = parent ? parent->window() : nullptr;
    if (!below || !below->isVisible() || closed->isVisible())
        return;
    // A modal window other than the one below (opened above it meanwhile) keeps the activation.
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != below)
        return;
    below->activateWindow();
}

void installTabSwitchKeys(QTabWidget* tabs) {
    const auto step = [tabs](int by) {
        const int count = tabs->count();
        for (int i = 1; i < count; ++i) {
            const int next = ((tabs->currentIndex() + by * i) % count + count) % count;
            if (tabs->isTabEnabled(next)) {
                tabs->setCurrentIndex(next);
                return;
            }
        }
    };
    // A shortcut of the window, so that a box or list that takes Ctrl+Tab for itself is passed by.
    const struct {
        QKeyCombination key;
        int by;
    } keys[] = {{Qt::CTRL | Qt::Key_Tab, 1},
                {Qt::CTRL | Qt::Key_PageDown, 1},
                {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, -1},
                {Qt::CTRL | Qt::Key_PageUp, -1}};
    for (const auto& k : keys) {
        auto* shortcut = new QShortcut(QKeySequence(k.key), tabs);
        shortcut->setContext(Qt::WindowShortcut);
        const int by = k.by;
        QObject::connect(shortcut, &QShortcut::activated, tabs, [step, by] { step(by); });
    }
}

void setTabChain(const QList<QWidget*>& widgets) {
    QWidget* previous = nullptr;
    for (QWidget* w : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

QWidget* firstField(QWidget* container) {
    QWidget* window = container->window();
    for (QWidget* w = window->nextInFocusChain(); w && w != window; w = w->nextInFocusChain()) {
        if (w->window() != window || !container->isAncestorOf(w) || !(w->focusPolicy() & Qt::TabFocus) ||
            !w->isEnabled() || !w->isVisibleTo(container))
            continue;
        if (qobject_cast<QPushButton*>(w) || qobject_cast<QTabBar*>(w) || qobject_cast<QTabWidget*>(w))
            continue;
        return w;
    }
    return nullptr;
}

bool checkFocusedBox(QWidget* window) {
    QLineEdit* box = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    if (!leaveCheckOf(box) || box->window() != window)
        box = g_unchecked;
    LeaveCheckFilter* filter = leaveCheckOf(box);
    if (!filter || box->window() != window || g_refocusing)
        return true;
    if (box == g_unchecked)
        g_unchecked = nullptr;
    if (filter->runCheck())
        return true;
    focusWithoutLeaveChecks(box);
    // A box on a tab being left is shown again only once the caller has switched back.
    QPointer<QLineEdit> refused = box;
    QMetaObject::invokeMethod(
        qApp,
        [refused] {
            if (refused && refused->isVisible() && !refused->hasFocus())
                focusWithoutLeaveChecks(refused);
        },
        Qt::QueuedConnection);
    return false;
}

void skipLeaveChecks(QWidget* widget) {
    widget->setProperty(kSkipLeaveChecks, true);
}

void focusWithoutLeaveChecks(QWidget* field) {
    const bool wasRefocusing = g_refocusing;
    g_refocusing = true;
    field->setFocus(Qt::OtherFocusReason);
    if (auto* box = qobject_cast<QLineEdit*>(field))
        box->selectAll();
    g_refocusing = wasRefocusing;
}

std::optional<double> numberFromText(const QString& text) {
    static const QRegularExpression number(QStringLiteral(R"(^[+-]?(\d{1,3}(,\d{3})+|\d*)(\.\d*)?([eE][+-]?\d+)?$)"));
    const QString t = text.trimmed();
    if (t.isEmpty() || !number.match(t).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(QString(t).remove(QLatin1Char(',')), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool checkNumberText(QLineEdit* box, const NumberRule& rule) {
    const QString text = box->text();
    bool refused = false;
    if (text.trimmed().isEmpty()) {
        if (rule.blank == NumberRule::Blank::Zero) {
            box->setText(QStringLiteral("0"));
            return true;
        }
        refused = rule.blank == NumberRule::Blank::Refuse;
    } else {
        const std::optional<double> value = numberFromText(text);
        refused = !value || (!rule.allowNegative && *value < 0) || (rule.wholeOnly && std::trunc(*value) != *value) ||
                  (rule.minimum && *value < *rule.minimum) || (rule.maximum && *value > *rule.maximum);
    }
    if (!refused)
        return true;
    showValidation(rule.message);
    if (rule.emptyOnRefusal)
        box->clear();
    return false;
}

void installNumberCheck(QLineEdit* box, const NumberRule& rule) {
    installLeaveCheck(box, [box, rule] { return checkNumberText(box, rule); });
}

namespace {
const char* const kShownAmount = "qvShownAmount";
const char* const kShownText = "qvShownText";
} // namespace

void showMoney(QLineEdit* box, Currency amount) {
    const QString text = moneyEditText(amount);
    box->setProperty(kShownAmount, QVariant::fromValue<qint64>(amount.units()));
    box->setProperty(kShownText, text);
    box->setText(text);
}

bool readMoney(const QLineEdit* box, Currency* amount) {
    const QVariant shown = box->property(kShownAmount);
    if (shown.isValid() && box->text() == box->property(kShownText).toString()) {
        *amount = Currency::fromUnits(shown.toLongLong());
        return true;
    }
    return parseMoney(box->text(), amount);
}

bool checkDateText(QLineEdit* box, QDate* date) {
    if (date)
        *date = QDate();
    if (box->text().trimmed().isEmpty())
        return true;
    const QDate d = parseDate(box->text());
    if (!d.isValid()) {
        showValidation(dateRefusal(QStringLiteral("Invalid Entry")));
        return false;
    }
    box->setText(shortDate(d));
    if (date)
        *date = d;
    return true;
}

// ---- key labels ----

namespace {

class KeyLabelFilter : public QObject {
public:
    KeyLabelFilter(QLabel* label, QString prefix, std::function<int()> number)
        : QObject(label), m_prefix(std::move(prefix)), m_number(std::move(number)) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            showPlainBox(m_prefix + QString::number(m_number()));
            return true;
        }
        return false;
    }

private:
    QString m_prefix;
    std::function<int()> m_number;
};

} // namespace

void makeKeyLabel(QLabel* label, const QString& prefix, std::function<int()> number) {
    label->installEventFilter(new KeyLabelFilter(label, prefix, std::move(number)));
}

void showPlainBox(const QString& text) {
    ui().messageBox(text, QStringLiteral("Quorvanti"), MsgIcon::None, MsgButtons::Ok);
}

void EditorDialog::keepFocusOnButtonClicks() {
    m_ok->setFocusPolicy(Qt::TabFocus);
    m_apply->setFocusPolicy(Qt::TabFocus);
}
