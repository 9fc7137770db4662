// The main window and the files it lives on: a data file found damaged, too damaged to open, damaged while
// the program runs, empty or a folder at the start, a data folder on a full disk, restores of damaged
// backups and through links, a backup that cannot be read, and the end of a session (SIGTERM), during a
// download too, writing the settings and the exit backup as a close does; and the status bar, where the
// program's clock and its UI services show the date and time, the status text and a file's progress.

#include "../core/LocalFtpServer.h"
#include "MainWindowTest.h"
#include "ModalHelpers.h"
#include "RecordingUi.h"
#include "Rows.h"
#include "ScopedLocale.h"
#include "SmallDisk.h"
#include "TestDataFile.h"
#include "adapters/QtUiServices.h"
#include "app/Settings.h"
#include "data/Feedback.h"
#include "data/Paths.h"
#include "data/cConnection.h"
#include "data/cLeague.h"
#include "editors/teams/frmLeague.h"
#include "exchange/FtpTransfer.h"
#include "platform/Clock.h"
#include "platform/SqlDatabase.h"
#include "shell/Commands.h"
#include "shell/frmMain.h"
#include "shell/frmWelcome.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <memory>

namespace {

QString teams() {
    SqlRows rows;
    gConnection->getConnection()->query(QStringLiteral("SELECT group_concat(team_name) FROM teams"), &rows);
    return rows.rows.value(0).value(0).toString();
}

void exec(const QString& sql) {
    QVERIFY(gConnection && gConnection->getConnection() && gConnection->getConnection()->exec(sql));
}

} // namespace

class tst_MainWindowFiles : public MainWindowTest {
    Q_OBJECT

private:
    // A first start and exit: a data file with 3,000 cars (some hundred pages) and one team, and its backup.
    void startWithASeason() {
        QVERIFY(start());
        TestDataFile::addCars(1, 3000);
        addTeam({.nmbr = 500, .name = "Mine"});
        stop();
        QVERIFY(QFileInfo::exists(defaultBackupPath()));
    }

private slots:
    void initTestCase() {
        QApplication::setQuitOnLastWindowClosed(false);
        installCommands();
        // Welcome windows are closed through their Continue button, as a user would.
        connect(&m_closer, &QTimer::timeout, this, [] {
            if (auto* w = qobject_cast<frmWelcome*>(QApplication::activeModalWidget()))
                w->BUT_Continue()->click();
        });
        m_closer.start(10);
    }

    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        setProgramFolder(dataFolder());
        setSettingsFolder(m_dir->filePath(QStringLiteral("Config")));
        m_ui = std::make_unique<RecordingUi>();
    }

    void cleanup() {
        stop();
        m_ui.reset();
        m_dir.reset();
    }

    // The status bar's date and time are one reading of the program's clock, kept up to date, in
    // the user's own forms.
    void statusBarShowsTheClocksDateAndTime_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("en_US") << ScopedLocale::american() << QStringLiteral("3/1/2026") << QStringLiteral("3/2/2026");
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << QStringLiteral("01.03.2026")
                               << QStringLiteral("02.03.2026");
    }
    void statusBarShowsTheClocksDateAndTime() {
        QFETCH(QLocale, locale);
        QFETCH(QString, before);
        QFETCH(QString, after);
        ScopedLocale regional(locale);
        setClock(QDateTime(QDate(2026, 3, 1), QTime(23, 59, 30)));
        const auto cleared = qScopeGuard([] { setClock(QDateTime()); });
        QVERIFY(start());
        QCOMPARE(m_main->statusPanel(2)->text(), before);
        QCOMPARE(m_main->statusPanel(3)->text(), locale.toString(QTime(23, 59), QLocale::ShortFormat));
        setClock(QDateTime(QDate(2026, 3, 2), QTime(0, 1)));
        QTRY_COMPARE(m_main->statusPanel(2)->text(), after);
        QCOMPARE(m_main->statusPanel(3)->text(), locale.toString(QTime(0, 1), QLocale::ShortFormat));
    }

    // The program's own UI services show the status text and a file operation's progress in the
    // main window's status bar, and nothing once the window is gone.
    void statusTextAndFileProgressShowInTheStatusBar() {
        m_ui.reset();
        QtUiServices services;
        setUi(&services);
        const auto restored = qScopeGuard([] { setUi(nullptr); });
        QVERIFY(start());
        setStatus(QStringLiteral("Importing"));
        QCOMPARE(m_main->statusPanel(1)->text(), QStringLiteral("Importing"));
        auto* bar = m_main->StatusBar1()->findChild<QProgressBar*>(QStringLiteral("pbFileProgress"));
        QVERIFY(bar);
        QVERIFY(!bar->isVisible());
        ui().showProgress(40);
        QVERIFY(bar->isVisible());
        QCOMPARE(bar->value(), 40);
        ui().showProgress(-1);
        QVERIFY(!bar->isVisible());
        stop();
        setStatus(QStringLiteral("After"));
        ui().showProgress(50);
    }

    void backupRefusesTheDataFileItself() {
        QVERIFY(start());
        const QByteArray before = fileHash(dataFilePath());
        QVERIFY(!m_main->backupTo(dataFilePath()));
        QCOMPARE(m_ui->boxes.size(), 1);
        QCOMPARE(m_ui->boxes[0].title, QStringLiteral("Quorvanti"));
        QCOMPARE(fileHash(dataFilePath()), before);
        QVERIFY(gConnection->getConnection());
        // Through another spelling of the same path too.
        QVERIFY(!m_main->backupTo(dataFolder() + QStringLiteral("/./Backups/../") + QLatin1String(kDataFileName)));
        QCOMPARE(m_ui->boxes.size(), 2);
    }

    void aDamagedDataFileIsSaidAtTheStartWithTheBackupOffered() {
        startWithASeason();
        const QByteArray backup = fileHash(defaultBackupPath());
        TestDataFile::damagePage(dataFilePath(), 150);
        const QByteArray damaged = fileHash(dataFilePath());

        // Cancel ends the start and changes nothing.
        m_ui->answers = {AnswerCancel};
        QVERIFY(!start());
        QCOMPARE(m_ui->boxes.size(), 1);
        QVERIFY2(m_ui->boxes[0].text.startsWith(QStringLiteral("The data file '%1' is damaged").arg(dataFilePath())),
                 qPrintable(m_ui->boxes[0].text));
        QVERIFY(m_ui->boxes[0].text.contains(defaultBackupPath()));
        QCOMPARE(m_ui->boxes[0].buttons, MsgButtons::YesNoCancel);
        QVERIFY(!m_main->isVisible());
        stop();
        QCOMPARE(fileHash(dataFilePath()), damaged);
        QCOMPARE(fileHash(defaultBackupPath()), backup);

        // Yes puts the backup in its place, and keeps the damaged file beside the backups where the question said.
        m_ui->clear();
        m_ui->answers = {AnswerYes};
        const QString kept = keptDataFilePath();
        QVERIFY(start());
        QCOMPARE(m_ui->boxes.size(), 1);
        QVERIFY2(m_ui->boxes[0].text.contains(QStringLiteral("Yes keeps the damaged data file as %1").arg(kept)),
                 qPrintable(m_ui->boxes[0].text));
        QCOMPARE(teams(), QStringLiteral("Mine"));
        QCOMPARE(dataFileDamage(), QString());
        QCOMPARE(fileHash(kept), damaged);
        stop();
        QCOMPARE(m_ui->boxes.size(), 1);
    }

    void goingOnWithADamagedDataFileKeepsTheBackupAndSaysWhy() {
        startWithASeason();
        const QByteArray backup = fileHash(defaultBackupPath());
        TestDataFile::damagePage(dataFilePath(), 150);
        // Real boxes, each running its own event loop, answered as a user would.
        m_ui.reset();
        QtUiServices services;
        setUi(&services);
        QString question;
        whileModal<QMessageBox>([&question](QMessageBox* box) {
            question = box->text();
            box->button(QMessageBox::No)->click();
        });
        QVERIFY(start());
        QVERIFY2(question.contains(QStringLiteral("is damaged")), qPrintable(question));
        QVERIFY(m_main->isVisible());
        QString atExit;
        whileModal<QMessageBox>([&atExit](QMessageBox* box) {
            atExit = box->text();
            box->button(QMessageBox::Ok)->click();
        });
        stop();
        setUi(nullptr);
        QVERIFY2(atExit.startsWith(QStringLiteral("The backup to '%1' could not be made.").arg(defaultBackupPath())),
                 qPrintable(atExit));
        QVERIFY2(atExit.contains(QStringLiteral("is damaged")), qPrintable(atExit));
        QCOMPARE(fileHash(defaultBackupPath()), backup);
        QVERIFY(QFileInfo::exists(settingsFilePath()));
    }

    void anEmptyDataFileIsSaidAndNeverGrows() {
        startWithASeason();
        QVERIFY(QFile(dataFilePath()).resize(0));
        m_ui->answers = {AnswerCancel};
        QVERIFY(!start());
        QCOMPARE(m_ui->boxes.size(), 1);
        QCOMPARE(m_ui->boxes[0].text.section(QLatin1Char('\n'), 0, 0),
                 QStringLiteral("The data file %1 is empty: it holds none of your data.").arg(dataFilePath()));
        stop();
        QCOMPARE(QFileInfo(dataFilePath()).size(), 0);

        m_ui->clear();
        m_ui->answers = {AnswerYes};
        QVERIFY(start());
        QCOMPARE(teams(), QStringLiteral("Mine"));
    }

    void aFullDiskAndAFolderInPlaceOfTheDataFileAreSaidAsSuch() {
        {
            SmallDisk disk(256);
            if (!disk.ok())
                QSKIP(qPrintable(disk.why()));
            disk.fill();
            setProgramFolder(disk.path());
            QVERIFY(!start());
            QCOMPARE(m_ui->boxes.size(), 1);
            QVERIFY2(m_ui->boxes[0].text.startsWith(
                         QStringLiteral("The disk that holds Quorvanti's data folder %1 is full.").arg(disk.path())),
                     qPrintable(m_ui->boxes[0].text));
            stop();
        }
        setProgramFolder(dataFolder());
        QVERIFY(QDir().mkpath(dataFilePath()));
        m_ui->clear();
        QVERIFY(!start());
        QCOMPARE(m_ui->boxes.size(), 2);
        QCOMPARE(m_ui->boxes[0].text,
                 QStringLiteral("'%1' is a folder, not a Quorvanti data file.").arg(dataFilePath()));
        QVERIFY(QFileInfo(dataFilePath()).isDir());
    }

    void aDamagedBackupIsNotRestoredAndARestoreKeepsTheDataFilesLink() {
        QVERIFY(start());
        addTeam({.nmbr = 500, .name = "Saved"});
        TestDataFile::addCars(1, 3000);
        const QString saved = m_dir->filePath(QStringLiteral("saved.qv"));
        QVERIFY(m_main->backupTo(saved));
        exec(QStringLiteral("UPDATE teams SET team_name = 'Current'"));
        const QString damaged = m_dir->filePath(QStringLiteral("damaged.qv"));
        QVERIFY(QFile::copy(saved, damaged));
        TestDataFile::damagePage(damaged, 150);
        m_ui->clear();
        QVERIFY(!m_main->restoreFrom(damaged));
        QCOMPARE(m_ui->boxes.size(), 1);
        QVERIFY2(m_ui->boxes[0].text.contains(QStringLiteral("'%1' is damaged").arg(damaged)),
                 qPrintable(m_ui->boxes[0].text));
        QCOMPARE(teams(), QStringLiteral("Current"));
        stop();

        // The data file is a link to a file in another folder: the restore lands there, and the link stays.
        const QString elsewhere = m_dir->filePath(QStringLiteral("elsewhere.qv"));
        QVERIFY(QFile::rename(dataFilePath(), elsewhere));
        QVERIFY(QFile::link(elsewhere, dataFilePath()));
        QVERIFY(start());
        QVERIFY(m_main->restoreFrom(saved));
        QCOMPARE(teams(), QStringLiteral("Saved"));
        QVERIFY(QFileInfo(dataFilePath()).isSymLink());
        stop();
        QCOMPARE(QFileInfo(dataFilePath()).symLinkTarget(), elsewhere);
        QCOMPARE(m_ui->boxes.size(), 2);
        QVERIFY2(m_ui->boxes[1].text.contains(backupsDir()), qPrintable(m_ui->boxes[1].text));
    }

    // A page that goes bad on the disk while the program runs, after the check at the start, is not copied over
    // the good backup at the exit: the backup stays, a box says why, and the next start offers it.
    void aDataFileDamagedWhileOpenKeepsTheBackupForTheNextStart() {
        QVERIFY(start());
        TestDataFile::addCars(1, 30000);
        addTeam({.nmbr = 500, .name = "Mine"});
        stop();
        const QByteArray backup = fileHash(defaultBackupPath());
        QVERIFY(start());
        TestDataFile::damagePage(dataFilePath(), QFileInfo(dataFilePath()).size() / 4096 * 2 / 3);
        stop();
        QCOMPARE(m_ui->boxes.size(), 1);
        QVERIFY2(m_ui->boxes[0].text.startsWith(
                     QStringLiteral("The backup to '%1' could not be made.").arg(defaultBackupPath())),
                 qPrintable(m_ui->boxes[0].text));
        QVERIFY2(m_ui->boxes[0].text.contains(QStringLiteral("is damaged")), qPrintable(m_ui->boxes[0].text));
        QCOMPARE(fileHash(defaultBackupPath()), backup);
        QCOMPARE(QDir(backupsDir()).entryList(QDir::Files | QDir::Hidden), QStringList{QLatin1String(kDataFileName)});

        m_ui->clear();
        m_ui->answers = {AnswerYes};
        QVERIFY(start());
        QCOMPARE(m_ui->boxes.size(), 1);
        QVERIFY2(m_ui->boxes[0].text.contains(QStringLiteral("is damaged")), qPrintable(m_ui->boxes[0].text));
        QCOMPARE(teams(), QStringLiteral("Mine"));
    }

    // Damage that keeps the data file from opening at all (its first page, or the file cut short) offers the
    // last backup, as damage found by the check does. No ends the program and leaves the file as it was.
    // The same on a disk that cannot give a file a second name (FAT, exFAT), which holds the data folder.
    void aDataFileThatCannotBeOpenedOffersTheBackup_data() {
        QTest::addColumn<bool>("cutShort");
        QTest::addColumn<bool>("noSecondNames");
        QTest::newRow("first page damaged") << false << false;
        QTest::newRow("cut short") << true << false;
        QTest::newRow("first page damaged, on exFAT") << false << true;
    }
    void aDataFileThatCannotBeOpenedOffersTheBackup() {
        QFETCH(bool, cutShort);
        QFETCH(bool, noSecondNames);
        std::unique_ptr<SmallDisk> disk;
        if (noSecondNames) {
            QDir().mkpath(dataFolder());
            disk = std::make_unique<SmallDisk>(SmallDisk::Exfat{}, 16, dataFolder());
            if (!disk->ok())
                QSKIP(qPrintable(disk->why()));
        }
        const auto stopped = qScopeGuard([this] { stop(); }); // while the disk is there
        startWithASeason();
        if (cutShort)
            QVERIFY(QFile(dataFilePath()).resize(QFileInfo(dataFilePath()).size() / 2));
        else
            TestDataFile::damagePage(dataFilePath(), 0);
        const QByteArray damaged = fileHash(dataFilePath());
        m_ui->answers = {AnswerNo};
        QVERIFY(!start());
        QCOMPARE(m_ui->boxes.size(), 1);
        QVERIFY2(m_ui->boxes[0].text.startsWith(QStringLiteral("The data file '%1' is damaged").arg(dataFilePath())),
                 qPrintable(m_ui->boxes[0].text));
        QVERIFY(m_ui->boxes[0].text.contains(defaultBackupPath()));
        QCOMPARE(m_ui->boxes[0].buttons, MsgButtons::YesNo);
        stop();
        QCOMPARE(fileHash(dataFilePath()), damaged);

        // Yes in the real box, with its own event loop, as a user answers it.
        m_ui.reset();
        QtUiServices services;
        setUi(&services);
        const auto restored = qScopeGuard([] { setUi(nullptr); });
        QString question;
        whileModal<QMessageBox>([&question](QMessageBox* box) {
            question = box->text();
            box->button(QMessageBox::Yes)->click();
        });
        const QString kept = keptDataFilePath();
        const QByteArray backup = fileHash(defaultBackupPath());
        QVERIFY(start());
        QVERIFY2(question.endsWith(QStringLiteral("Yes keeps the damaged data file as %1 and restores the backup, No "
                                                  "ends Quorvanti.")
                                       .arg(kept)),
                 qPrintable(question));
        QCOMPARE(teams(), QStringLiteral("Mine"));
        QVERIFY(m_main->isVisible());
        QCOMPARE(fileHash(kept), damaged);
        stop();
        QCOMPARE(fileHash(dataFilePath()), backup);

        // Where only dated copies are left, the newest that reads whole is offered: not the damaged file kept
        // above, though it is newer.
        const QString dated = QDir(backupsDir()).filePath(QStringLiteral("quorvanti30-2020-01-01-120000.qv"));
        QVERIFY(QFile::rename(defaultBackupPath(), dated));
        QFile datedFile(dated);
        QVERIFY(datedFile.open(QIODevice::ReadWrite) &&
                datedFile.setFileTime(QDateTime(QDate(2020, 1, 1), QTime(12, 0)), QFileDevice::FileModificationTime));
        datedFile.close();
        TestDataFile::damagePage(dataFilePath(), 0);
        whileModal<QMessageBox>([&question](QMessageBox* box) {
            question = box->text();
            box->button(QMessageBox::Yes)->click();
        });
        QVERIFY(start());
        QVERIFY2(question.contains(QStringLiteral("from the backup %1 of").arg(dated)), qPrintable(question));
        QCOMPARE(teams(), QStringLiteral("Mine"));
    }

    // The data file is lost and its only copy, the backup, has one damaged page: the restore is refused, the
    // user starts again, types one league and closes. The backup stays beside the new one, and a box says so.
    void aBackupThatCannotBeReadStaysWhenTheUserStartsAgain() {
        QVERIFY(start());
        TestDataFile::addCars(1, 30000);
        stop();
        TestDataFile::damagePage(defaultBackupPath(), 1); // its second page
        const QByteArray damaged = fileHash(defaultBackupPath());
        QVERIFY(QFile::remove(dataFilePath()));
        m_ui->answers = {AnswerYes};
        QVERIFY(!start());
        QCOMPARE(m_ui->boxes.size(), 2);
        QVERIFY2(m_ui->boxes[1].text.contains(QStringLiteral("is damaged")), qPrintable(m_ui->boxes[1].text));
        stop();
        m_ui->clear();
        m_ui->answers = {AnswerNo};
        QVERIFY(start());
        addLeague({.nmbr = 500, .name = "Typed"});
        stop();
        const QStringList backups = QDir(backupsDir()).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(backups.size(), 2);
        const QString kept = QDir(backupsDir()).filePath(backups.filter(QStringLiteral("quorvanti30-")).value(0));
        QCOMPARE(fileHash(kept), damaged);
        QCOMPARE(m_ui->boxes.size(), 2);
        QVERIFY2(m_ui->boxes[1].text.contains(kept), qPrintable(m_ui->boxes[1].text));
        QVERIFY2(m_ui->boxes[1].text.contains(QStringLiteral("could not be read")), qPrintable(m_ui->boxes[1].text));
    }

    // The session ends while a series file is arriving: the transfer ends first, without a box, nothing is
    // imported, and the program closes as a close does.
    void theEndOfTheSessionDuringADownloadEndsTheTransferQuietly() {
        if (!LocalFtpServer::available())
            QSKIP("no python3 with pyftpdlib");
        QTemporaryDir root;
        QVERIFY(QDir().mkpath(root.path() + QLatin1String(kDownloadFolder)));
        QFile served(root.path() + QLatin1String(kDownloadFolder) + QStringLiteral("wccarraces.qvi"));
        QVERIFY(served.open(QIODevice::WriteOnly));
        // Some seconds of it at the server's pace; what arrives is seen once the first 64 KB are written.
        for (int race = 1; race <= 12000; ++race)
            served.write(QStringLiteral("12;%1;\"Race\";\"Ring\";3/3/2024;1;1\r\n").arg(race).toLatin1());
        served.close();
        LocalFtpServer slow;
        QVERIFY(slow.start(root.path(), false, QString(), QString(), 64 << 10));
        QVERIFY(start());
        // The settings read at the start name the download server.
        setDownloadHost(slow.address());
        const auto hostBack = qScopeGuard([] { setDownloadHost(QString()); });
        addLeague({.nmbr = 500, .name = "Typed"});
        bool raised = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&raised] {
            if (!raised && arrivingIn(importsDir(), QString())) {
                raised = true;
                ::raise(SIGTERM);
            }
        });
        poll.start(20);
        bool edited = false;
        QTimer::singleShot(0, m_main.get(), [&edited] {
            cLeague league;
            QVERIFY(league.load(500));
            QTimer::singleShot(0, [] {
                auto* editor = qobject_cast<frmLeague*>(QApplication::activeModalWidget());
                QVERIFY(editor);
                editor->findChild<QPushButton*>(QStringLiteral("cmdImortRaces"))->click();
            });
            commands().editLeague(league);
            edited = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(edited, 30000);
        QTRY_VERIFY(!m_main->isVisible());
        QVERIFY(raised);
        QVERIFY2(m_ui->boxes.isEmpty(), qPrintable(m_ui->lastBoxText()));
        QVERIFY(QFileInfo::exists(settingsFilePath()));
        QVERIFY(!QFileInfo::exists(QDir(importsDir()).filePath(QStringLiteral("wccarraces.qvi"))));
        stop();
        SqlDatabase copy;
        QVERIFY(copy.open(defaultBackupPath(), dataFileKey(), false, false));
        SqlRows rows;
        QVERIFY(copy.query(QStringLiteral("SELECT (SELECT group_concat(league_name) FROM leagues),"
                                          " (SELECT count(*) FROM races)"),
                           &rows));
        QCOMPARE(rows.rows.value(0).value(0).toString(), QStringLiteral("Typed"));
        QCOMPARE(rows.rows.value(0).value(1).toInt(), 0);
    }

    void theEndOfTheSessionClosesTheProgramAsACloseDoes() {
        QVERIFY(start());
        addTeam({.nmbr = 500, .name = "Typed"});
        ::raise(SIGTERM);
        QTRY_VERIFY(!m_main->isVisible());
        QVERIFY(QFileInfo::exists(settingsFilePath()));
        stop();
        {
            SqlDatabase copy;
            QVERIFY(copy.open(defaultBackupPath(), dataFileKey(), false, false));
            SqlRows rows;
            QVERIFY(copy.query(QStringLiteral("SELECT team_name FROM teams"), &rows));
            QCOMPARE(rows.rows.value(0).value(0).toString(), QStringLiteral("Typed"));
        }

        // A window with its own event loop is closed first, then the main window.
        QFile::remove(settingsFilePath());
        QVERIFY(start());
        bool dialogEnded = false;
        QTimer::singleShot(0, m_main.get(), [this, &dialogEnded] {
            QDialog dialog(m_main.get());
            QTimer::singleShot(50, [] { ::raise(SIGHUP); });
            dialog.exec();
            dialogEnded = true;
        });
        QTRY_VERIFY(dialogEnded);
        QTRY_VERIFY(!m_main->isVisible());
        QVERIFY(QFileInfo::exists(settingsFilePath()));
    }

    void theProgramKilledWithSigtermWritesItsSettingsAndBackup() {
        const QString program = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("quorvanti"));
        if (!QFileInfo(program).isExecutable())
            QSKIP("the program is not built beside the tests");
        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), m_dir->path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir->filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir->filePath(QStringLiteral("config")));
        run.setProcessEnvironment(env);
        run.start(program, {});
        QVERIFY(run.waitForStarted());
        const QString folder = m_dir->filePath(QStringLiteral("data/Quorvanti/Quorvanti"));
        // The data file is made after the handlers are in place; the first start then shows its welcome.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(QDir(folder).filePath(QStringLiteral("quorvanti30.qv"))), 20000);
        QTest::qWait(500);
        ::kill(pid_t(run.processId()), SIGTERM);
        QVERIFY(run.waitForFinished(20000));
        QCOMPARE(run.exitStatus(), QProcess::NormalExit);
        QVERIFY(QFileInfo::exists(m_dir->filePath(QStringLiteral("config/Quorvanti/Quorvanti/QV.INI"))));
        QString error;
        QVERIFY2(isDataFile(QDir(folder).filePath(QStringLiteral("Backups/quorvanti30.qv")), &error),
                 qPrintable(error));
    }
};

QTEST_MAIN(tst_MainWindowFiles)
#include "tst_mainwindow_files.moc"
