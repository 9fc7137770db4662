#include "shell/Help.h"

#include "data/Feedback.h"
#include "data/Paths.h"
#include "platform/SaveFile.h"
#include "shell/frmMain.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

int helpContextId = 0;

namespace {

const char* const kHelpFileName = "Quorvanti.HLP";
const char* const kShippedHelp = ":/help/Quorvanti.HLP";
const char* const kWebRoot = "https://www.quorvanti.example";

QPointer<frmHelp>& viewer() {
    static QPointer<frmHelp> v;
    return v;
}

} // namespace

QString helpFilePath() {
    return QDir(programFolder()).filePath(QLatin1String(kHelpFileName));
}

void installHelpFile() {
    QFile shipped{QString::fromLatin1(kShippedHelp)};
    if (!shipped.open(QIODevice::ReadOnly))
        return;
    const QByteArray text = shipped.readAll();
    QFile present(helpFilePath());
    if (present.open(QIODevice::ReadOnly) && present.readAll() == text)
        return;
    present.close();
    // The start goes on without a word when the file cannot be written (a full disk): the copy there
    // before, if any, stays whole.
    QString error;
    saveWholeFile(helpFilePath(), text, &error);
}

void showHelp(const QString& command) {
    const QString file = helpFilePath();
    setMousePointer(PointerHourglass);
    if (!QFile::exists(file)) {
        if (command != QLatin1String("Quit"))
            showInfo(QStringLiteral("It appears that you have installed the minimum version of %1 because the the "
                                    "file:\n\n%2\n\nwas not found.  The help functionality requires the full "
                                    "installation of %1.")
                         .arg(QLatin1String(kProductName), file));
        setMousePointer(PointerDefault);
        return;
    }
    if (command == QLatin1String("Quit")) {
        frmHelp::quit();
    } else if (command == QLatin1String("Sensative")) {
        frmHelp::showTopic(file, QString::number(helpContextId));
    } else if (command == QLatin1String("Index") || command == QLatin1String("Partialkey")) {
        // The contents page lists every topic; it serves as finder and keyword list.
        frmHelp::showTopic(file, QStringLiteral("1"));
    } else if (command == QLatin1String("HelponHelp")) {
        frmHelp::showTopic(file, QStringLiteral("using-help"));
    } else if (command == QLatin1String("Context")) {
        if (QWidget* w = QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow()) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_F1, Qt::NoModifier);
            QApplication::sendEvent(w, &press);
            QApplication::sendEvent(w, &release);
        }
    }
    setMousePointer(PointerDefault);
}

QString webPageAddress(const QString& page) {
    const QString name = page.trimmed();
    const QString root = QLatin1String(kWebRoot);
    if (name == QLatin1String("HOME"))
        return root;
    if (name == QLatin1String("SUPPORT"))
        return root + QStringLiteral("/support.htm");
    if (name == QLatin1String("UPDATES"))
        return root + QStringLiteral("/updates.htm");
    return QString();
}

void openWebPage(const QString& page) {
    openUrl(webPageAddress(page));
}

void openUrl(const QString& address) {
    const QString a = address.trimmed();
    if (a.isEmpty() || !QDesktopServices::openUrl(QUrl::fromUserInput(a)))
        showQuorvantiBox(QStringLiteral("Error executing HTML - The address '%1' could not be opened.").arg(a));
}

// ---- frmHelp ----

frmHelp::frmHelp(QWidget* parent) : QWidget(parent, Qt::Window), m_browser(new QTextBrowser(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("%1 Help").arg(QLatin1String(kProductName)));
    setObjectName(QStringLiteral("frmHelp"));
    m_browser->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(560, 480);
    // The viewer has no button of its own to close it; Escape does, wherever the focus is in it.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    connect(m_browser, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url.scheme().isEmpty() && url.path().isEmpty())
            m_topic = url.fragment();
    });
}

frmHelp* frmHelp::current() {
    return viewer().data();
}

void frmHelp::showTopic(const QString& file, const QString& anchor) {
    if (!viewer()) {
        viewer() = new frmHelp();
        // Once opened, the viewer stays wherever the user puts it.
        if (frmMain* main = frmMain::instance(); main && main->isVisible())
            viewer()->placeBeside(main->frameGeometry(), main->screen(),
                                  main->windowHandle() ? main->windowHandle()->frameMargins() : QMargins());
    }
    viewer()->load(file, anchor);
    viewer()->show();
    viewer()->raise();
    viewer()->activateWindow();
}

void frmHelp::placeBeside(const QRect& owner, QScreen* screen, const QMargins& frame) {
    const QRect area = screen ? screen->availableGeometry() : QRect(owner.topLeft(), QSize(4096, 4096));
    // Not yet shown, the viewer has no frame of its own; the main window's tells how large it will be.
    const QSize size = this->size().grownBy(frame);
    // To the right of the main window when it fits, else to its left, else against the screen's right
    // edge, over the main window (a maximised one leaves no room beside it).
    int x = owner.right() + 1;
    if (x + size.width() > area.right() + 1) {
        x = owner.left() - size.width();
        if (x < area.left())
            x = area.right() + 1 - size.width();
    }
    const int y = qBound(area.top(), owner.top(), qMax(area.top(), area.bottom() + 1 - size.height()));
    move(qMax(area.left(), x), y);
}

void frmHelp::quit() {
    if (viewer())
        viewer()->close();
}

void frmHelp::load(const QString& file, const QString& anchor) {
    if (file != m_file) {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly))
            return;
        m_browser->setHtml(QString::fromUtf8(f.readAll()));
        m_file = file;
    }
    m_topic = anchor;
    m_browser->scrollToAnchor(anchor);
}
