#include "shell/frmMain.h"

#include "app/Settings.h"
#include "data/DataChanges.h"
#include "data/Feedback.h"
#include "data/Paths.h"
#include "data/Regional.h"
#include "data/cConnection.h"
#include "exchange/FtpTransfer.h"
#include "kit/Twips.h"
#include "platform/Clock.h"
#include "platform/SaveFile.h"
#include "posting/cRacesCollection.h"
#include "posting/cResultsCollection.h"
#include "shell/Help.h"
#include "shell/MainWindowTables.h"
#include "shell/ReportLaunchers.h"
#include "shell/SessionEnd.h"
#include "shell/ShellIcons.h"
#include "shell/frmAbout.h"
#include "shell/frmWelcome.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTime>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QWindow>
#include <cmath>

// ---- start-up and shutdown ----

bool frmMain::startUp() {
    setStatus(QStringLiteral("Loading"));

    // Another copy holding the lock is running; a lock left by a copy that died is taken over.
    QDir().mkpath(programFolder());
    m_lock = std::make_unique<QLockFile>(QDir(programFolder()).filePath(QStringLiteral("quorvanti.lock")));
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        const QLockFile::LockError why = m_lock->error();
        m_lock.reset();
        if (why == QLockFile::LockFailedError)
            showStop(QStringLiteral("You cannot start more than one copy of Quorvanti."));
        else if (diskIsFull(programFolder()))
            showStop(QStringLiteral("The disk that holds Quorvanti's data folder %1 is full.\n\nThe data file, its "
                                    "backups and the reports are kept there: free some space on that disk and start "
                                    "Quorvanti again.")
                         .arg(QDir::toNativeSeparators(programFolder())));
        else
            showStop(QStringLiteral("Quorvanti cannot write to its data folder %1.\n\nThe data file, its backups and "
                                    "the reports are kept there: check that the folder exists and that you may "
                                    "write to it.")
                         .arg(QDir::toNativeSeparators(programFolder())));
        return false;
    }

    // A start lets transfers run (again, when the window is started a second time in one process); from
    // here on a logout ends the program as a close does.
    stopTransfers(false);
    m_sessionEnd = std::make_unique<SessionEnd>();
    connect(m_sessionEnd.get(), &SessionEnd::requested, this, &frmMain::endSession);

    QDir::setCurrent(programFolder());
    for (const QString& dir : {reportsDir(), backupsDir(), importsDir()})
        if (!QFileInfo::exists(dir))
            QDir().mkpath(dir);
    installHelpFile();

    loadSettings();
    applyBarSettings();

    action(QStringLiteral("mnuHelpAbout"))->setText(QStringLiteral("&About Quorvanti..."));
    action(QStringLiteral("mnuWebOnTheWeb"))->setText(QStringLiteral("Quorvanti on the &Web"));
    setWindowTitle(QStringLiteral("Quorvanti"));

    applyGeometry();

    if (!prepareDataFile() || !openDataFileAtStart() || !checkDataFileAtStart()) {
        if (gConnection)
            gConnection->CloseConnection();
        m_lock.reset();
        return false;
    }

    switch (m_stateAtStart) {
    case 0:
        show();
        placeFrame(m_outerAtStart);
        break;
    case 1:
        showMinimized();
        break;
    default:
        // The window manager keeps the geometry a window had before it was maximised for when it is made
        // normal again; without a normal showing first it would keep one a frame too large.
        if (QGuiApplication::platformName() == QLatin1String("xcb")) {
            show();
            placeFrame(m_outerAtStart);
        }
        showMaximized();
        break;
    }
    m_started = true;
    buildTree();
    refreshCommands();
    sizeControls();

    {
        frmSplash splash(this, m_splashMilliseconds);
        splash.exec();
    }
    if (settings.firstTime == QLatin1String("Y")) {
        frmWelcome welcome(this);
        welcome.exec();
    }
    setMousePointer(PointerDefault);
    setStatus();
    // The session ended while the start still ran: the program ends once the start is done.
    if (m_endRequested)
        QMetaObject::invokeMethod(this, &frmMain::endSession, Qt::QueuedConnection);
    return true;
}

bool frmMain::prepareDataFile() {
    const QString path = dataFilePath();
    const DataFileFound found = findDataFile(path);
    switch (found) {
    case DataFileFound::Present:
        return true;
    case DataFileFound::Blocked:
        return false;
    case DataFileFound::Missing:
    case DataFileFound::Empty:
        break;
    }
    // Only the very first start makes a data file unasked. Later the file has been deleted, moved or left
    // on a drive that is not there, and an empty one would stand in for the user's data without a word.
    const QString backup = backupToOffer();
    const bool hasBackup = !backup.isEmpty();
    if (found == DataFileFound::Missing && settings.firstTime == QLatin1String("Y") && !hasBackup)
        return createDataFile(path);

    QString missing = QStringLiteral("The data file %1 is missing.").arg(QDir::toNativeSeparators(path));
    const QFileInfo link(path);
    // A file of no bytes (a copy or a disk that failed half way) holds nothing of the user's.
    if (found == DataFileFound::Empty)
        missing = QStringLiteral("The data file %1 is empty: it holds none of your data.")
                      .arg(QDir::toNativeSeparators(path));
    else if (link.isSymLink())
        missing = QStringLiteral("The data file %1 is missing: it is a link to %2, which cannot be found (is its "
                                 "drive connected?).")
                      .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(link.symLinkTarget()));
    if (!hasBackup) {
        const int answer = askQuestion(missing + QStringLiteral("\n\nThere is no backup of it in %1. Do you want to "
                                                                "start with an empty data file?")
                                                     .arg(QDir::toNativeSeparators(backupsDir())),
                                       QStringLiteral("Quorvanti"), MsgButtons::YesNo);
        return answer == AnswerYes && createDataFile(path);
    }
    const int answer = askQuestion(
        missing + QStringLiteral("\n\nDo you want to restore it from the backup %1 of %2?\n\nYes "
                                 "restores the backup, No starts with an empty data file, Cancel ends "
                                 "Quorvanti.")
                      .arg(QDir::toNativeSeparators(backup), shortDate(QFileInfo(backup).lastModified().date())),
        QStringLiteral("Quorvanti"), MsgButtons::YesNoCancel);
    if (answer == AnswerNo)
        return createDataFile(path);
    if (answer != AnswerYes)
        return false;
    QString error;
    if (restoreDataFile(backup, &error))
        return true;
    showQuorvantiBox(QStringLiteral("The data file could not be restored from '%1'.\n\n%2").arg(backup, error));
    return false;
}

bool frmMain::openDataFileAtStart() {
    QString damage;
    if (connectDatabase(&damage))
        return true;
    return !damage.isEmpty() && offerBackupFor(damage, false);
}

bool frmMain::checkDataFileAtStart() {
    const QString damage = checkOpenDataFile();
    return damage.isEmpty() || offerBackupFor(damage, true);
}

bool frmMain::offerBackupFor(const QString& damage, bool opened) {
    const QString backup = backupToOffer();
    if (backup.isEmpty()) {
        if (!opened) {
            showQuorvantiBox(damage);
            showQuorvantiBox(QStringLiteral("Unable to connect to Database"));
            return false;
        }
        showQuorvantiBox(damage + QStringLiteral("\n\nThere is no backup of it in %1. Quorvanti goes on with the "
                                                 "damaged data file and makes no backup of it at exit.")
                                      .arg(QDir::toNativeSeparators(backupsDir())));
        return true;
    }
    // The damaged file may still hold what the backup does not: the restore keeps it, and says where first.
    const QString offer =
        damage + QStringLiteral("\n\nDo you want to restore it from the backup %1 of %2?\n\nYes keeps the damaged "
                                "data file as %3 and restores the backup, ")
                     .arg(QDir::toNativeSeparators(backup), shortDate(QFileInfo(backup).lastModified().date()),
                          QDir::toNativeSeparators(keptDataFilePath()));
    // A file that does not open cannot be gone on with: the backup, or the end.
    const int answer =
        opened
            ? askQuestion(offer + QStringLiteral("No goes on with the damaged data file (no backup is made of it "
                                                 "at exit), Cancel ends Quorvanti."),
                          QStringLiteral("Quorvanti"), MsgButtons::YesNoCancel)
            : askQuestion(offer + QStringLiteral("No ends Quorvanti."), QStringLiteral("Quorvanti"), MsgButtons::YesNo);
    if (opened && answer == AnswerNo)
        return true;
    if (answer != AnswerYes)
        return false;
    gConnection->CloseConnection();
    QString error;
    const bool restored = restoreDataFile(backup, &error);
    if (!restored && !opened) {
        showQuorvantiBox(QStringLiteral("The data file could not be restored from '%1'.\n\n%2").arg(backup, error));
        return false;
    }
    // The restored file, or after a failure the damaged one as it was, is opened again.
    if (gConnection->openAccessConnection() != 0)
        return false;
    if (!restored)
        showQuorvantiBox(QStringLiteral("The data file could not be restored from '%1'. Quorvanti goes on with the "
                                        "damaged data file and makes no backup of it at exit.\n\n%2")
                             .arg(backup, error));
    return true;
}

void frmMain::endSession() {
    m_endRequested = true;
    // A transfer under way ends first, quietly: the window that started it goes on only once its loop has
    // returned, and finds the transfer stopped instead of a closed data file to import into.
    stopTransfers();
    if (transferUnderWay()) {
        QTimer::singleShot(20, this, &frmMain::endSession);
        return;
    }
    // A window that runs its own event loop is closed first, as its Cancel or Escape would; one it opens
    // in turn (a question on the way out) is closed the same way, a bounded number of times.
    for (int closed = 0; closed < 20 && QApplication::activeModalWidget(); ++closed) {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
        if (modal->isVisible())
            break;
    }
    // Closed once the loops of those windows have returned; until the start is done it waits for its end.
    if (m_started && !m_shutDown)
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (QApplication::activeModalWidget())
                    endSession();
                else
                    close();
            },
            Qt::QueuedConnection);
}

void frmMain::applyBarSettings() {
    const bool statusShown = settings.statusBar == QLatin1String("Y");
    action(QStringLiteral("mnuViewStatusbar"))->setChecked(statusShown);
    statusBar()->setVisible(statusShown);
    const bool toolShown = settings.toolBar == QLatin1String("Y");
    action(QStringLiteral("mnuViewToolbar"))->setChecked(toolShown);
    m_toolbar->setVisible(toolShown);
}

void frmMain::applyGeometry() {
    // The settings hold the frame's rectangle. Until a window manager has framed the window its frame is
    // unknown, so the window goes up at the frame's place and size and placeFrame corrects it once shown.
    m_outerAtStart =
        QRect(pixelsX(fieldNumber(settings.mdiLeft), this), pixelsY(fieldNumber(settings.mdiTop), this),
              pixelsX(fieldNumber(settings.mdiWidth), this), pixelsY(fieldNumber(settings.mdiHeight), this));
    // A place on a screen that is gone (a monitor unplugged, a smaller desktop) would open the window where
    // it cannot be seen or reached: it comes back at the default place on the primary screen.
    const auto reachable = [this](const QRect& r) {
        for (const QScreen* screen : QGuiApplication::screens()) {
            const QRect seen = screen->availableGeometry().intersected(r);
            if (seen.width() >= 40 && seen.height() >= 40)
                return true;
        }
        return false;
    };
    if (!reachable(m_outerAtStart) && QGuiApplication::primaryScreen()) {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        m_outerAtStart.setSize(m_outerAtStart.size().boundedTo(screen.size()));
        m_outerAtStart.moveTopLeft(screen.topLeft() + QPoint(pixelsX(105, this), pixelsY(105, this)));
    }
    move(m_outerAtStart.topLeft());
    resize(m_outerAtStart.size());
    m_stateAtStart = fieldNumber(settings.mdiState);
    m_splitLeft = qBound(-32768, fieldNumber(settings.splitterLeft), 32767);
}

QMargins frmMain::settledFrameMargins() {
    // A window manager frames a window only after it is mapped, and the frame's extents reach the program
    // some events later; a geometry read before that leaves out the title bar, and the window would creep
    // by one title bar per run. Without a window manager the frame stays empty, hence the short limit.
    QElapsedTimer waited;
    waited.start();
    QWindow* window = windowHandle();
    while (window && !window->isExposed() && waited.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    while (window && window->frameMargins().isNull() && waited.elapsed() < 300)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QCoreApplication::processEvents();
    return window ? window->frameMargins() : QMargins();
}

void frmMain::placeFrame(const QRect& outer) {
    const QMargins frame = settledFrameMargins();
    if (frameGeometry() == outer)
        return;
    // The client area is placed, so that its frame lands exactly on the stored rectangle.
    setGeometry(outer - frame);
    QElapsedTimer waited;
    waited.start();
    while (frameGeometry() != outer && waited.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void frmMain::closeEvent(QCloseEvent* event) {
    shutDown();
    event->accept();
}

void frmMain::shutDown() {
    if (!m_started || m_shutDown)
        return;
    m_shutDown = true;

    const Qt::WindowStates state = windowState();
    const int stateNumber =
        state & Qt::WindowMinimized ? 1 : (state & (Qt::WindowMaximized | Qt::WindowFullScreen) ? 2 : 0);
    settings.mdiState = QString::number(stateNumber);
    if (stateNumber == 0) {
        // Only a normal window's geometry is kept, so a maximised one reopens at its last normal size.
        const QRect outer = frameGeometry();
        settings.mdiHeight = twipsField(twipsY(outer.height(), this));
        settings.mdiWidth = twipsField(twipsX(outer.width(), this));
        settings.mdiTop = twipsField(twipsY(outer.y(), this));
        settings.mdiLeft = twipsField(twipsX(outer.x(), this));
    }
    settings.splitterLeft = twipsField(m_splitLeft);
    if (stateNumber == 1)
        settings.mdiState = QStringLiteral("0"); // never start minimised
    showHelp(QStringLiteral("Quit"));
    saveSettings();

    // The list windows' rows belong to the data file that is about to close.
    m_mdi->closeAllSubWindows();
    backupDatabase(QString(), false);
    if (gConnection)
        gConnection->CloseConnection();
    m_lock.reset();
}
