#include "ModalHelpers.h"
#include "RecordingUi.h"
#include "data/Feedback.h"
#include "data/Paths.h"
#include "data/SqlText.h"
#include "kit/frmDate.h"
#include "platform/Clock.h"
#include "shell/Help.h"
#include "shell/frmAbout.h"
#include "shell/frmSplash.h"
#include "shell/frmWelcome.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDesktopServices>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

// Receives the addresses the program hands to the desktop.
class UrlCatcher : public QObject {
    Q_OBJECT

public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

namespace {

// The open date picker (the modal window of the moment).
frmDate* openPicker() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* picker = qobject_cast<frmDate*>(w); picker && picker->isVisible())
            return picker;
    return nullptr;
}

// Hides a picker a failed check left open, so the test ends instead of waiting.
struct HideOnExit {
    ~HideOnExit() {
        if (frmDate* p = openPicker())
            p->hide();
    }
};

} // namespace

class tst_SmallWindows : public QObject {
    Q_OBJECT

private:
    QTemporaryDir* m_dir = nullptr;
    RecordingUi* m_ui = nullptr;
    UrlCatcher m_urls;

private slots:
    void initTestCase() {
        QApplication::setQuitOnLastWindowClosed(false);
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_urls, "open");
    }

    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }

    void init() {
        m_dir = new QTemporaryDir;
        setProgramFolder(m_dir->path());
        m_ui = new RecordingUi;
        m_urls.urls.clear();
    }

    void cleanup() {
        frmHelp::quit();
        QTRY_VERIFY(!frmHelp::current());
        delete m_ui;
        delete m_dir;
    }

    void helpFileHasEveryTopic() {
        installHelpFile();
        QFile f(helpFilePath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(f.readAll());
        for (int topic : {1, 200, 300, 400, 500, 700, 900})
            QVERIFY2(html.contains(QStringLiteral("<a name=\"%1\">").arg(topic)), qPrintable(QString::number(topic)));
        // A second install leaves an unchanged file alone.
        const QDateTime written = QFileInfo(helpFilePath()).lastModified();
        installHelpFile();
        QCOMPARE(QFileInfo(helpFilePath()).lastModified(), written);
    }

    void helpOpensTheTopic() {
        installHelpFile();
        helpContextId = 500;
        showHelp(QStringLiteral("Sensative"));
        QVERIFY(frmHelp::current());
        QVERIFY(frmHelp::current()->isVisible());
        QCOMPARE(frmHelp::current()->topic(), QStringLiteral("500"));
        QVERIFY(frmHelp::current()->browser()->toPlainText().contains(QStringLiteral("Leagues")));
        QCOMPARE(m_ui->pointer(), PointerDefault);
        helpContextId = 900;
        showHelp(QStringLiteral("Sensative"));
        QCOMPARE(frmHelp::current()->topic(), QStringLiteral("900"));
        QVERIFY(m_ui->boxes.isEmpty());

        showHelp(QStringLiteral("Quit"));
        QTRY_VERIFY(!frmHelp::current());
    }

    // The viewer has no button to close it: Escape does, with the focus anywhere in it.
    void escapeClosesTheHelp() {
        installHelpFile();
        helpContextId = 700;
        showHelp(QStringLiteral("Sensative"));
        QVERIFY(frmHelp::current());
        QVERIFY(QTest::qWaitForWindowActive(frmHelp::current(), kWindowWait));
        frmHelp::current()->browser()->setFocus();
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), frmHelp::current()->browser(), kWindowWait);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!frmHelp::current());
        // Opened again, it shows the topic asked for.
        showHelp(QStringLiteral("Sensative"));
        QVERIFY(frmHelp::current());
        QCOMPARE(frmHelp::current()->topic(), QStringLiteral("700"));
    }

    void helpCommandsCompareExactly() {
        installHelpFile();
        showHelp(QStringLiteral("sensative"));
        QVERIFY(!frmHelp::current());
        QCOMPARE(m_ui->pointer(), PointerDefault);
        showHelp(QStringLiteral("Index"));
        QVERIFY(frmHelp::current());
        QCOMPARE(frmHelp::current()->topic(), QStringLiteral("1"));
    }

    void missingHelpFileIsReported() {
        QVERIFY(!QFile::exists(helpFilePath()));
        helpContextId = 1;
        showHelp(QStringLiteral("Sensative"));
        QCOMPARE(m_ui->boxes.size(), 1);
        QCOMPARE(m_ui->boxes[0].text,
                 QStringLiteral("It appears that you have installed the minimum version of Quorvanti because the the "
                                "file:\n\n") +
                     helpFilePath() +
                     QStringLiteral("\n\nwas not found.  The help functionality requires the full installation of "
                                    "Quorvanti."));
        QCOMPARE(m_ui->boxes[0].title, QStringLiteral("Quorvanti Message"));
        QCOMPARE(m_ui->boxes[0].icon, MsgIcon::Information);
        QVERIFY(!frmHelp::current());
        QCOMPARE(m_ui->pointer(), PointerDefault);
        // Leaving the program says nothing.
        showHelp(QStringLiteral("Quit"));
        QCOMPARE(m_ui->boxes.size(), 1);
    }

    void webPages() {
        const QString home = webPageAddress(QStringLiteral("HOME"));
        QVERIFY(home.startsWith(QStringLiteral("https://")));
        QCOMPARE(webPageAddress(QStringLiteral("  HOME ")), home);
        QCOMPARE(webPageAddress(QStringLiteral("SUPPORT")), home + QStringLiteral("/support.htm"));
        QCOMPARE(webPageAddress(QStringLiteral("UPDATES")), home + QStringLiteral("/updates.htm"));
        QCOMPARE(webPageAddress(QStringLiteral("home")), QString());
        openWebPage(QStringLiteral(" HOME "));
        QCOMPARE(m_urls.urls, QList<QUrl>({QUrl(home)}));
    }

    void splashClosesByItself() {
        frmSplash splash(nullptr, 20);
        QCOMPARE(frmSplash::kShowMilliseconds, 4000);
        QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(splash.STart_Timer()->interval(), 20);
        splash.exec(); // returns only when its timer has closed it
        QVERIFY(!splash.isVisible());
        QVERIFY(!splash.STart_Timer()->isActive());
    }

    void welcomeGreetsAndPlaysOnce() {
        frmWelcome welcome;
        QCOMPARE(welcome.windowTitle(), QStringLiteral("Welcome"));
        QCOMPARE(welcome.Greeting1()->text(), QStringLiteral("Welcome to Quorvanti 3.0!"));
        QCOMPARE(welcome.Greeting2()->text(),
                 QStringLiteral("You now have the tools to quickly and easily manage fantasy race leagues."));
        QCOMPARE(welcome.BUT_Continue()->text(), QStringLiteral("&Continue..."));
        welcome.show();
        // No wave file is there, so the sound falls back to a beep.
        QTRY_COMPARE(m_ui->beeps, 1);
        QCOMPARE(m_ui->playedWaves.size(), 1);
        QCOMPARE(m_ui->pointer(), PointerDefault);
        welcome.BUT_Continue()->click();
        QVERIFY(!welcome.isVisible());
        QCOMPARE(welcome.result(), int(QDialog::Accepted));
        QCOMPARE(m_ui->pointer(), PointerHourglass);
        QCOMPARE(m_ui->beeps, 1);
    }

    void aboutWindow() {
        frmAbout about;
        QCOMPARE(about.windowTitle(), QStringLiteral("About Quorvanti"));
        QCOMPARE(about.AboutTitle()->text(), QStringLiteral("Quorvanti"));
        QCOMPARE(about.Version()->text(), QStringLiteral("Version 3.0.0"));
        about.show();
        QTest::mouseClick(about.Image1(), Qt::LeftButton);
        QCOMPARE(m_urls.urls, QList<QUrl>({QUrl(webPageAddress(QStringLiteral("HOME")))}));

        // With nothing on the search path there is no system information program.
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", m_dir->path().toUtf8());
        about.findChild<QPushButton*>(QStringLiteral("BUT_SysInfo"))->click();
        qputenv("PATH", path);
        QCOMPARE(m_ui->boxes.size(), 1);
        QCOMPARE(m_ui->boxes[0].text, QStringLiteral("System Information Is Unavailable At This Time"));
        QVERIFY(about.isVisible());
        about.findChild<QPushButton*>(QStringLiteral("BUT_Ok"))->click();
        QVERIFY(!about.isVisible());
    }

    // A box is wide enough for the window manager to show its whole title beside the frame's icon
    // and buttons (squares about the title's height), however short its text.
    void boxesAreWideEnoughForTheirTitles() {
        QFont bold = QFontDatabase::systemFont(QFontDatabase::TitleFont);
        bold.setBold(true);
        const QFontMetrics title(bold);
        AnsweredBoxes boxes({QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Cancel});
        boxes.whileOpen = [&title](QMessageBox* box) {
            QVERIFY2(box->frameGeometry().width() >= title.horizontalAdvance(box->windowTitle()) + 4 * title.height(),
                     qPrintable(box->windowTitle()));
        };
        showValidation(QStringLiteral("Invalid Entry"));
        showInfo(QStringLiteral("Import Complete."));
        askQuestion(QStringLiteral("Do you want to save changes"), QStringLiteral("Alpha Racex Championship Round 12"));
        QCOMPARE(boxes.titles, QStringList({"Quorvanti", "Quorvanti Message", "Alpha Racex Championship Round 12"}));
    }

    void datePicker() {
        // A click on a day closes the picker with that day; browsing months does not.
        const QDate start(2024, 3, 14);
        QString picked;
        QTimer::singleShot(0, this, [&] {
            HideOnExit guard;
            frmDate* picker = openPicker();
            QVERIFY(picker);
            QVERIFY(QTest::qWaitForWindowExposed(picker, kWindowWait));
            QCalendarWidget* calendar = picker->MonthView1();
            QCOMPARE(calendar->selectedDate(), start);
            calendar->showNextMonth();
            QVERIFY(picker->isVisible());
            // The same day of the shown month, clicked on the calendar's grid.
            auto* grid = calendar->findChild<QTableView*>();
            QVERIFY(grid);
            const QModelIndex day = [&] {
                for (int r = 0; r < grid->model()->rowCount(); ++r)
                    for (int c = 1; c < grid->model()->columnCount(); ++c) { // column 0: week numbers
                        const QModelIndex i = grid->model()->index(r, c);
                        if (i.data().toString() == QLatin1String("14") && r < 4)
                            return i;
                    }
                return QModelIndex();
            }();
            QVERIFY(day.isValid());
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(day).center());
        });
        picked = frmDate::pickFor(shortDate(start), QPoint(10, 10), nullptr);
        QCOMPARE(picked, QStringLiteral("4/14/2024"));

        // A field with no date opens on today; clicking the selected day still returns it.
        QTimer::singleShot(0, this, [&] {
            HideOnExit guard;
            frmDate* picker = openPicker();
            QVERIFY(picker);
            QCOMPARE(picker->MonthView1()->selectedDate(), today());
            emit picker->MonthView1()->clicked(today());
        });
        picked = frmDate::pickFor(QStringLiteral("not a date"), QPoint(10, 10), nullptr);
        QCOMPARE(picked, shortDate(today()));

        // Escape closes the picker with nothing picked: the field keeps what it held, an empty
        // field too (not today's date), also after browsing to another month.
        for (const QString& field : {QString(), shortDate(start)}) {
            bool closed = false;
            QTimer::singleShot(0, this, [&] {
                HideOnExit guard;
                frmDate* picker = openPicker();
                QVERIFY(picker);
                picker->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(picker, kWindowWait));
                picker->MonthView1()->showNextMonth();
                QVERIFY(QApplication::focusWidget());
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
                closed = !picker->isVisible();
            });
            picked = frmDate::pickFor(field, QPoint(10, 10), nullptr);
            QVERIFY(closed);
            QCOMPARE(picked, field);
        }
    }
};

QTEST_MAIN(tst_SmallWindows)
#include "tst_smallwindows.moc"
