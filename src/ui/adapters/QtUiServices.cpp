#include "adapters/QtUiServices.h"

#include "data/DataChanges.h"
#include "data/Paths.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>
#ifdef QV_HAVE_MULTIMEDIA
#include <QEventLoop>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>
#endif

namespace {

// The width a window needs for the window manager's frame to show the whole of its title: the
// managers draw the title bold, and put the window's icon and its buttons, each a square about as
// high as the title's line, beside it.
int widthForTitle(const QString& title) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    font.setBold(true);
    const QFontMetrics metrics(font);
    return metrics.horizontalAdvance(title) + 6 * metrics.height();
}

} // namespace

int QtUiServices::messageBox(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case MsgIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    switch (buttons) {
    case MsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    // A box sizes itself to its text: under a longer title ("Import Complete." under "Quorvanti") the
    // window manager had too little frame for the title and cut it to "Qu... ti". The row of buttons
    // spans the box, so what it takes the box takes.
    if (auto* row = box.findChild<QDialogButtonBox*>()) {
        const QMargins margins = box.layout() ? box.layout()->contentsMargins() : QMargins();
        row->setMinimumWidth(widthForTitle(title) - margins.left() - margins.right());
    }
    // The questions name their answers ("No leaves Race 2 ... unposted"): the buttons keep those names
    // where Qt's own texts are translated into the user's language.
    for (const auto& [button, caption] : {std::pair{QMessageBox::Ok, "OK"}, std::pair{QMessageBox::Cancel, "Cancel"},
                                          std::pair{QMessageBox::Yes, "&Yes"}, std::pair{QMessageBox::No, "&No"}})
        if (QAbstractButton* b = box.button(button))
            b->setText(QLatin1String(caption));
    // While a question is open the windows keep showing what it was asked about: a change stored
    // meanwhile (a delete the question follows, a refresh the loop delivers) reaches them once the
    // answer has been acted on.
    std::optional<DataChangesHold> hold;
    if (buttons != MsgButtons::Ok)
        hold.emplace();
    switch (box.exec()) {
    case QMessageBox::Yes:
        return AnswerYes;
    case QMessageBox::No:
        return AnswerNo;
    case QMessageBox::Cancel:
        return AnswerCancel;
    default:
        return AnswerOk;
    }
}

void QtUiServices::setStatusText(const QString& text) {
    if (m_statusLabel) {
        m_statusLabel->setText(text);
        m_statusLabel->repaint();
    }
}

void QtUiServices::setPointer(int code) {
    if (code == m_pointer)
        return;
    if (m_pointer == PointerHourglass)
        QApplication::restoreOverrideCursor();
    if (code == PointerHourglass)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    m_pointer = code;
}

void QtUiServices::beep() {
    QApplication::beep();
}

void QtUiServices::setStatusTarget(QObject* label) {
    m_statusLabel = qobject_cast<QLabel*>(label);
}

void QtUiServices::setFileProgressTarget(QObject* bar) {
    m_fileProgress = qobject_cast<QProgressBar*>(bar);
}

void QtUiServices::setProgressTarget(QObject* target) {
    QProgressBar* bar = qobject_cast<QProgressBar*>(target);
    m_progress = bar;
    m_progressValue = m_progressShown = bar ? bar->value() : 0;
    m_sinceRepaint.invalidate();
}

void QtUiServices::stepProgress() {
    if (!m_progress || !m_progress->isVisible())
        return;
    // Someone else set the bar (a new posting starts it again): count on from there.
    if (m_progress->value() != m_progressShown)
        m_progressValue = m_progressShown = m_progress->value();
    if (m_progress->maximum() <= m_progressValue)
        m_progressValue = 1;
    else
        ++m_progressValue;
    if (m_sinceRepaint.isValid() && m_sinceRepaint.elapsed() < kRepaintIntervalMs)
        return;
    m_progress->setValue(m_progressValue);
    m_progressShown = m_progress->value();
    m_sinceRepaint.start();
}

void QtUiServices::showProgress(int percent) {
    if (!m_fileProgress)
        return;
    // The work runs on this thread inside a transaction, so no events are let through (a close of
    // the main window would shut the program down under it): the bar is laid out and painted here.
    const bool shown = percent >= 0;
    if (shown)
        m_fileProgress->setValue(std::min(percent, 100));
    if (m_fileProgress->isVisible() != shown) {
        m_fileProgress->setVisible(shown);
        if (QWidget* bar = m_fileProgress->parentWidget()) {
            QCoreApplication::sendPostedEvents(bar, QEvent::LayoutRequest);
            bar->repaint();
        }
    }
    if (shown)
        m_fileProgress->repaint();
}

bool QtUiServices::stopRequested(const QString& text, qint64 runningMs) {
    if (!m_stopWindow) {
        if (runningMs < kStopWindowAfterMs)
            return false;
        auto* window = new QDialog(QApplication::activeWindow());
        window->setObjectName(QStringLiteral("frmStopScript"));
        window->setWindowTitle(QString::fromLatin1(kProductName));
        // Nothing else may change data while the posting's transaction is open.
        window->setWindowModality(Qt::ApplicationModal);
        window->setMinimumWidth(widthForTitle(window->windowTitle()));
        auto* label = new QLabel(text, window);
        auto* stop = new QPushButton(QStringLiteral("&Stop"), window);
        auto* layout = new QVBoxLayout(window);
        layout->addWidget(label);
        layout->addWidget(stop, 0, Qt::AlignHCenter);
        // Escape and the close box reject the window as Stop does.
        QObject::connect(stop, &QPushButton::clicked, window, &QDialog::reject);
        QObject::connect(window, &QDialog::rejected, window, [this] { m_stopPressed = true; });
        m_stopWindow = window;
        m_stopText = label;
        m_stopHold.emplace();
        // The hourglass of the posting would say the window cannot be used.
        m_pointerBeforeStop = m_pointer;
        setPointer(PointerDefault);
        window->show();
        window->activateWindow();
        stop->setFocus();
    } else if (m_stopText && m_stopText->text() != text) {
        m_stopText->setText(text);
    }
    // Every event, so that Stop and Escape reach the window; the window's modality keeps the others still.
    QCoreApplication::processEvents();
    return m_stopPressed;
}

void QtUiServices::endStoppable() {
    m_stopPressed = false;
    if (!m_stopHold)
        return;
    delete m_stopWindow;
    m_stopHold.reset();
    setPointer(m_pointerBeforeStop);
}

bool QtUiServices::playWave(const QString& path) {
#ifdef QV_HAVE_MULTIMEDIA
    if (!QFileInfo::exists(path)) // resource paths (":/…") are checked the same way
        return false;
    QSoundEffect effect;
    effect.setSource(path.startsWith(QLatin1Char(':')) ? QUrl(QStringLiteral("qrc") + path)
                                                       : QUrl::fromLocalFile(path));
    QEventLoop loop;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&effect, &QSoundEffect::statusChanged, &loop, [&] {
        if (effect.status() == QSoundEffect::Ready)
            effect.play();
        else if (effect.status() == QSoundEffect::Error)
            loop.quit();
    });
    QObject::connect(&effect, &QSoundEffect::playingChanged, &loop, [&] {
        if (!effect.isPlaying())
            loop.quit();
    });
    guard.start(5000);
    loop.exec();
    return effect.status() == QSoundEffect::Ready;
#else
    Q_UNUSED(path);
    return false;
#endif
}

void QtUiServices::selectFocusedText() {
    QWidget* w = QApplication::focusWidget();
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->selectAll();
    else if (auto* text = qobject_cast<QTextEdit*>(w))
        text->selectAll();
}
