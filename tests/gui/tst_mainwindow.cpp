#include "AccessKeys.h"
#include "MainWindowTest.h"
#include "ModalHelpers.h"
#include "RecordingUi.h"
#include "Rows.h"
#include "ScopedLocale.h"
#include "SmallDisk.h"
#include "adapters/QtTranslations.h"
#include "app/Settings.h"
#include "data/Paths.h"
#include "data/cCar.h"
#include "data/cConnection.h"
#include "kit/Twips.h"
#include "platform/SqlDatabase.h"
#include "posting/cRaces.h"
#include "reports/framework/CommonReportCode.h"
#include "shell/Commands.h"
#include "shell/EntityCommands.h"
#include "shell/Help.h"
#include "shell/ReportLaunchers.h"
#include "shell/frmDisplayCars.h"
#include "shell/frmDisplayLeagues.h"
#include "shell/frmDisplayRaces.h"
#include "shell/frmDisplayTeams.h"
#include "shell/frmMain.h"
#include "shell/frmSplash.h"
#include "shell/frmWelcome.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QToolBar>
#include <QTranslator>
#include <QTreeView>
#include <QTreeWidget>
#include <QtTest>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A list window as the list windows will be: an MDI child with a setView slot.
class FakeList : public QWidget {
    Q_OBJECT

public:
    int views = 0;
public slots:
    void setView() { ++views; }
};

QString settingsText() {
    QFile f(settingsFilePath());
    f.open(QIODevice::ReadOnly);
    return QString::fromUtf8(f.readAll());
}

QTreeWidgetItem* nodeWithTag(QTreeWidget* tree, const QString& tag) {
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->data(0, Qt::UserRole + 1).toString() == tag)
            return *it;
    return nullptr;
}

} // namespace

namespace {
void TestDataFileExec(const char* sql) {
    QVERIFY(gConnection && gConnection->getConnection() && gConnection->getConnection()->exec(QString::fromUtf8(sql)));
}
} // namespace

class tst_MainWindow : public MainWindowTest {
    Q_OBJECT

private:
    QStringList m_log;
    QPointer<FakeList> m_lists[5];
    int m_welcomes = 0;

    void installFakeHooks() {
        Commands& h = commands();
        const char* names[] = {"League", "Team", "Car", "Race", "Scoring"};
        Commands::Kind* kinds[] = {&h.leagues, &h.teams, &h.cars, &h.races, &h.scoring};
        for (int i = 0; i < 5; ++i) {
            const QString name = QLatin1String(names[i]);
            kinds[i]->display = [this, i, name](const QVariant& key) -> QWidget* {
                m_log << QStringLiteral("display:%1:%2").arg(name, key.toString());
                if (!m_lists[i]) {
                    m_lists[i] = new FakeList;
                    m_lists[i]->setWindowTitle(name);
                    m_main->mdiArea()->addSubWindow(m_lists[i])->showNormal();
                }
                m_main->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(m_lists[i]->parentWidget()));
                return m_lists[i];
            };
            kinds[i]->create = [this, name] { m_log << QStringLiteral("new:") + name; };
            kinds[i]->update = [this, name] { m_log << QStringLiteral("update:") + name; };
            kinds[i]->remove = [this, name] { m_log << QStringLiteral("delete:") + name; };
        }
    }

private slots:
    void initTestCase() {
        QApplication::setQuitOnLastWindowClosed(false);
        QApplication::setApplicationName(QStringLiteral("Quorvanti"));
        QApplication::setOrganizationName(QStringLiteral("Quorvanti"));
        // Welcome windows are closed through their Continue button, as a user would.
        connect(&m_closer, &QTimer::timeout, this, [this] {
            if (auto* w = qobject_cast<frmWelcome*>(QApplication::activeModalWidget())) {
                ++m_welcomes;
                w->BUT_Continue()->click();
            }
        });
        m_closer.start(10);
    }

    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        setProgramFolder(dataFolder());
        setSettingsFolder(m_dir->filePath(QStringLiteral("Config MixedCase")));
        m_ui = std::make_unique<RecordingUi>();
        commands() = Commands{};
        m_log.clear();
        m_welcomes = 0;
    }

    void cleanup() {
        stop();
        commands() = Commands{};
        m_ui.reset();
        m_dir.reset();
    }

    void firstStartCreatesFoldersAndSettings() {
        QVERIFY(!QFileInfo::exists(dataFolder()));
        QVERIFY(start());
        QCOMPARE(m_welcomes, 1);
        QVERIFY(QFileInfo::exists(dataFilePath()));
        for (const char* dir : {"Reports", "Backups", "Imports"})
            QVERIFY2(QFileInfo(QDir(dataFolder()).filePath(QLatin1String(dir))).isDir(), dir);
        QVERIFY(QFileInfo::exists(QDir(dataFolder()).filePath(QStringLiteral("Quorvanti.HLP"))));
        QCOMPARE(m_main->windowTitle(), QStringLiteral("Quorvanti"));
        QVERIFY(m_main->isMaximized()); // the default state
        QCOMPARE(m_main->statusPanel(1)->text(), QStringLiteral("Status"));
        QVERIFY(!m_main->statusPanel(2)->text().isEmpty());
        QVERIFY(!m_main->statusPanel(3)->text().isEmpty());
        QVERIFY(m_ui->boxes.isEmpty());
        QVERIFY(!QFileInfo::exists(settingsFilePath()));

        stop();
        // The settings file is written at exit, in the folder exactly as named.
        QVERIFY(settingsFilePath().contains(QStringLiteral("Config MixedCase/QV.INI")));
        const QString ini = settingsText();
        QVERIFY(ini.startsWith(QStringLiteral("[Quorvanti]\n")));
        QVERIFY(ini.contains(QStringLiteral("\nFirst Time=N\n")));
        QVERIFY(ini.contains(QStringLiteral("\nMDI State=2\n")));
        // A maximised window keeps the geometry it was started with, at the keys' widths.
        QVERIFY(ini.contains(QStringLiteral("\nMDI Left=105  \n")));
        QVERIFY(ini.contains(QStringLiteral("\nMDI Width=10455\n")));
        QVERIFY(ini.contains(QStringLiteral("\nMDI Height=7920 \n")));
        QVERIFY(ini.contains(QStringLiteral("\nSplitter Left=2520 \n")));
        QVERIFY(QFileInfo::exists(defaultBackupPath()));
        QString error;
        QVERIFY2(isDataFile(defaultBackupPath(), &error), qPrintable(error));

        // The second start shows no welcome window.
        QVERIFY(start());
        QCOMPARE(m_welcomes, 1);
    }

    void secondStartReadsGeometryBack() {
        QVERIFY(start());
        m_main->showNormal();
        m_main->setGeometry(60, 45, 720, 510);
        m_main->sizeControls(4000);
        QCOMPARE(m_main->splitterLeft(), 4000);
        const QRect outer = m_main->frameGeometry();
        stop();
        const QString ini = settingsText();
        QVERIFY(ini.contains(QStringLiteral("\nMDI State=0\n")));
        QVERIFY(ini.contains(QStringLiteral("\nSplitter Left=4000 \n")));

        QVERIFY(start());
        QVERIFY(!m_main->isMaximized());
        QCOMPARE(m_main->frameGeometry(), outer);
        QCOMPARE(m_main->splitterLeft(), 4000);
        QCOMPARE(m_main->sstreemain()->width(), pixelsX(4000, m_main.get()));
    }

    void geometryRoundTripsUnderAWindowManager() {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X11 desktop with a window manager (the offscreen platform has no real frame)");
        QVERIFY(start());
        m_main->showNormal();
        m_main->setGeometry(140, 120, 700, 480);
        QTest::qWait(300); // the window manager answers with the frame some events later
        const QRect outer = m_main->frameGeometry();
        stop();
        const QString ini = settingsText();
        // Four runs in a row put the window's frame, title bar included, back where it was.
        for (int run = 1; run <= 4; ++run) {
            QVERIFY(start());
            QVERIFY(!m_main->isMaximized());
            QCOMPARE(m_main->frameGeometry(), outer);
            QVERIFY2(m_main->geometry().top() > outer.top() || m_main->windowHandle()->frameMargins().isNull(),
                     "the title bar is inside the stored rectangle");
            stop();
            QCOMPARE(settingsText(), ini);
        }

        // Started maximised, the window is made normal again at the stored place and size.
        QVERIFY(start());
        m_main->showMaximized();
        QTRY_VERIFY(m_main->isMaximized());
        stop();
        QVERIFY(start());
        QVERIFY(m_main->isMaximized());
        m_main->showNormal();
        QTRY_COMPARE(m_main->frameGeometry(), outer);
    }

    void minimisedExitKeepsGeometryAndStartsNormal() {
        QVERIFY(start());
        m_main->showMinimized();
        stop();
        const QString ini = settingsText();
        QVERIFY(ini.contains(QStringLiteral("\nMDI State=0\n")));
        QVERIFY(ini.contains(QStringLiteral("\nMDI Width=10455\n")));
    }

    void geometryIsClampedToWhatTheSettingsHold() {
        QVERIFY(start());
        m_main->showNormal();
        // 2500 x 2300 pixels is more than 32767 twips; a left edge of -1000 pixels is below -9999.
        m_main->setGeometry(-1000, 40, 2500, 2300);
        stop();
        const QString ini = settingsText();
        QVERIFY2(ini.contains(QStringLiteral("\nMDI Width=32767\n")), qPrintable(ini));
        QVERIFY(ini.contains(QStringLiteral("\nMDI Height=32767\n")));
        QVERIFY(ini.contains(QStringLiteral("\nMDI Left=-9999\n")));

        settings = SettingsRecord{};
        QVERIFY(loadSettings());
        QCOMPARE(settings.mdiWidth, QStringLiteral("32767"));
        QCOMPARE(settings.mdiLeft, QStringLiteral("-9999"));
    }

    void secondCopyIsRefused() {
        QDir().mkpath(dataFolder());
        QLockFile running(QDir(dataFolder()).filePath(QStringLiteral("quorvanti.lock")));
        QVERIFY(running.tryLock(0));
        QVERIFY(!start());
        QCOMPARE(m_ui->boxes.size(), 1);
        QCOMPARE(m_ui->boxes[0].text, QStringLiteral("You cannot start more than one copy of Quorvanti."));
        QCOMPARE(m_ui->boxes[0].title, QStringLiteral("Quorvanti Message"));
        QCOMPARE(m_ui->boxes[0].icon, MsgIcon::Critical);
        // Nothing was touched: no folders, no data file, and the window never showed.
        QVERIFY(!QFileInfo::exists(dataFilePath()));
        QVERIFY(!QFileInfo::exists(reportsDir()));
        QVERIFY(!m_main->isVisible());
        m_main.reset();
        QVERIFY(!QFileInfo::exists(settingsFilePath()));

        // Once the other copy has gone, the program starts.
        running.unlock();
        QVERIFY(start());
    }

    void aDataFolderThatCannotBeWrittenIsToldApartFromASecondCopy() {
        // Root writes into any folder whatever its mode; a read-only disk refuses even root.
        std::unique_ptr<SmallDisk> disk;
        QString folder = m_dir->filePath(QStringLiteral("Locked"));
        if (::geteuid() == 0) {
            disk = std::make_unique<SmallDisk>(64, true);
            if (!disk->ok())
                QSKIP(qPrintable(disk->why()));
            folder = disk->path();
        } else {
            QVERIFY(QDir().mkpath(folder));
            QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0500) == 0);
        }
        setProgramFolder(folder);
        QVERIFY(!start());
        QCOMPARE(m_ui->boxes.size(), 1);
        QVERIFY2(m_ui->boxes[0].text.contains(folder), qPrintable(m_ui->boxes[0].text));
        QVERIFY(!m_ui->boxes[0].text.contains(QStringLiteral("more than one copy")));
        QCOMPARE(m_ui->boxes[0].title, QStringLiteral("Quorvanti Message"));
        QVERIFY(!m_main->isVisible());
        stop();
        if (!disk)
            ::chmod(QFile::encodeName(folder).constData(), 0700);
    }

    void aMissingDataFileIsSaidAndTheUserChoosesBackupOrEmpty() {
        QVERIFY(start());
        addTeam({.nmbr = 500, .name = "Mine"});
        TestDataFileExec("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 20)"
                         " INSERT INTO cars (car_nmbr, driver_name) SELECT x, 'Driver ' || x FROM n");
        stop();
        const QByteArray backup = fileHash(defaultBackupPath());
        const auto teams = [] {
            SqlRows rows;
            gConnection->getConnection()->query(QStringLiteral("SELECT group_concat(team_name) FROM teams"), &rows);
            return rows.rows.value(0).value(0).toString();
        };

        // Cancel ends the start: nothing is made and the backup is untouched.
        QVERIFY(QFile::remove(dataFilePath()));
        m_ui->answers = {AnswerCancel};
        QVERIFY(!start());
        QCOMPARE(m_ui->boxes.size(), 1);
        QVERIFY2(m_ui->boxes[0].text.startsWith(QStringLiteral("The data file %1 is missing.").arg(dataFilePath())),
                 qPrintable(m_ui->boxes[0].text));
        QVERIFY(m_ui->boxes[0].text.contains(defaultBackupPath()));
        QCOMPARE(m_ui->boxes[0].buttons, MsgButtons::YesNoCancel);
        QVERIFY(!QFileInfo::exists(dataFilePath()));
        stop();
        QCOMPARE(fileHash(defaultBackupPath()), backup);

        // No starts empty, and the exit keeps the backup of the user's data beside the new one, and says so.
        m_ui->clear();
        m_ui->answers = {AnswerNo};
        QVERIFY(start());
        QCOMPARE(m_ui->boxes.size(), 1);
        QCOMPARE(teams(), QString());
        addLeague({.nmbr = 500, .name = "Typed after the loss"});
        const QString kept = keptBackupPath(defaultBackupPath());
        stop();
        QCOMPARE(m_ui->boxes.size(), 2);
        QCOMPARE(m_ui->boxes[1].icon, MsgIcon::Information);
        QVERIFY2(m_ui->boxes[1].text.contains(kept), qPrintable(m_ui->boxes[1].text));
        QCOMPARE(fileHash(kept), backup);
        QVERIFY(fileHash(defaultBackupPath()) != backup);
        // The user restores the kept backup, and the next exit backs that up.
        QVERIFY(start());
        const QString keptRestore = keptDataFilePath();
        QVERIFY(m_main->restoreFrom(kept));
        QCOMPARE(teams(), QStringLiteral("Mine"));
        stop();
        QCOMPARE(m_ui->boxes.size(), 3);

        // The data file is a link to a drive that is not there: Yes restores the backup.
        QVERIFY(QFile::remove(dataFilePath()));
        QVERIFY(QFile::link(QStringLiteral("/no-such-drive/quorvanti30.qv"), dataFilePath()));
        m_ui->clear();
        m_ui->answers = {AnswerYes};
        QVERIFY(start());
        QCOMPARE(m_ui->boxes.size(), 1);
        QVERIFY2(m_ui->boxes[0].text.contains(QStringLiteral("/no-such-drive/quorvanti30.qv")),
                 qPrintable(m_ui->boxes[0].text));
        QCOMPARE(teams(), QStringLiteral("Mine"));
        stop();

        // Where only dated copies are left, the newest is offered: the data file the restore above replaced.
        QVERIFY(QFile::remove(dataFilePath()));
        QVERIFY(QFile::remove(defaultBackupPath()));
        m_ui->clear();
        m_ui->answers = {AnswerCancel};
        QVERIFY(!start());
        QCOMPARE(m_ui->boxes.size(), 1);
        QVERIFY2(m_ui->boxes[0].text.contains(keptRestore), qPrintable(m_ui->boxes[0].text));
        stop();

        // Without a backup the choice is an empty data file or none.
        for (const QString& copy : QDir(backupsDir()).entryList(QDir::Files))
            QVERIFY(QFile::remove(QDir(backupsDir()).filePath(copy)));
        m_ui->clear();
        m_ui->answers = {AnswerNo};
        QVERIFY(!start());
        QCOMPARE(m_ui->boxes.size(), 1);
        QCOMPARE(m_ui->boxes[0].buttons, MsgButtons::YesNo);
        QVERIFY(!QFileInfo::exists(dataFilePath()));
    }

    void aWindowPlacedOffEveryScreenComesBackOnScreen() {
        QDir().mkpath(QFileInfo(settingsFilePath()).path());
        QFile ini(settingsFilePath());
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Quorvanti]\nMDI State=0\nMDI Left=30000\nMDI Top=-9000\nMDI Width=9000\nMDI Height=6000\n");
        ini.close();
        QVERIFY(start());
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY2(screen.contains(m_main->frameGeometry().topLeft()),
                 qPrintable(QStringLiteral("%1,%2").arg(m_main->frameGeometry().x()).arg(m_main->frameGeometry().y())));
        QCOMPARE(m_main->frameGeometry().width(), pixelsX(9000, m_main.get()));
    }

    void unreadableDataFileEndsTheStart() {
        QDir().mkpath(dataFolder());
        QFile junk(dataFilePath());
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, 'z'));
        junk.close();
        QVERIFY(!start());
        QCOMPARE(m_ui->boxes.size(), 2);
        QCOMPARE(m_ui->boxes[1].text, QStringLiteral("Unable to connect to Database"));
        QVERIFY(!m_main->isVisible());
        stop();
        // No exit backup and no settings on this path; the lock is released for the next start.
        QVERIFY(!QFileInfo::exists(defaultBackupPath()));
        QVERIFY(!QFileInfo::exists(settingsFilePath()));
        QLockFile next(QDir(dataFolder()).filePath(QStringLiteral("quorvanti.lock")));
        QVERIFY(next.tryLock(0));
    }

    void treeIsBuiltAsDesigned() {
        QVERIFY(start());
        QTreeWidget* tree = m_main->sstreemain();
        QCOMPARE(tree->topLevelItemCount(), 1);
        QTreeWidgetItem* root = tree->topLevelItem(0);
        QCOMPARE(root->text(0), QStringLiteral("Quorvanti"));
        QVERIFY(root->isExpanded());
        QCOMPARE(root->childCount(), 2);
        QTreeWidgetItem* admin = root->child(0);
        QTreeWidgetItem* reporting = root->child(1);
        QVERIFY(admin->isExpanded());
        QVERIFY(!reporting->isExpanded());
        QStringList texts;
        for (int i = 0; i < admin->childCount(); ++i)
            texts << admin->child(i)->text(0);
        QCOMPARE(texts, QStringList({"Leagues", "Teams", "Cars/Drivers", "Races", "Scoring Method"}));
        QCOMPARE(reporting->childCount(), 13);
        QCOMPARE(reporting->child(11)->text(0), QStringLiteral("Car/Driver Picks"));
        QCOMPARE(reporting->child(11)->data(0, Qt::UserRole + 1).toString(), QStringLiteral("CAR PICKS"));
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            QVERIFY((*it)->font(0).bold());
        // Without report windows the report entries are greyed.
        QVERIFY(!(reporting->child(0)->flags() & Qt::ItemIsEnabled));
    }

    void treeClickDispatch() {
        installFakeHooks();
        ReportRequest picks;
        picks.ok = true;
        picks.leagueNmbr = 501;
        picks.raceNmbr = 7;
        picks.teamNmbr = 502;
        picks.allTeams = true;
        picks.separate = false;
        Commands::Reports& r = commands().reports;
        r.request = [&](const QString& caption, bool race, bool league, bool team) {
            m_log << QStringLiteral("request:%1:%2%3%4").arg(caption).arg(race).arg(league).arg(team);
            return picks;
        };
        r.createCarPickReport = [&](int league, bool show) {
            m_log << QStringLiteral("carPicks:%1:%2").arg(league).arg(show);
            return QString();
        };
        r.createTeamCarsReport = [&](int league, int team, bool show, bool all, bool separate, int race) {
            m_log << QStringLiteral("teamCars:%1:%2:%3:%4:%5:%6")
                         .arg(league)
                         .arg(team)
                         .arg(show)
                         .arg(all)
                         .arg(separate)
                         .arg(race);
            return QString();
        };
        r.createRaceResultsReport = [&](int race, bool show) {
            m_log << QStringLiteral("raceResults:%1:%2").arg(race).arg(show);
            return QString();
        };
        QVERIFY(start());
        QTreeWidget* tree = m_main->sstreemain();

        // A real click on an administration entry brings its list up, maximised.
        QTreeWidgetItem* leagues = nodeWithTag(tree, QStringLiteral("LEAGUES ROOT"));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(leagues).center());
        QCOMPARE(m_log, QStringList({"display:League:-1"}));
        QVERIFY(qobject_cast<QMdiSubWindow*>(m_lists[0]->parentWidget())->isMaximized());

        m_log.clear();
        m_main->treeNodeClick(nodeWithTag(tree, QStringLiteral("TEAMS ROOT")));
        m_main->treeNodeClick(nodeWithTag(tree, QStringLiteral("CARS ROOT")));
        m_main->treeNodeClick(nodeWithTag(tree, QStringLiteral("RACES ROOT")));
        m_main->treeNodeClick(nodeWithTag(tree, QStringLiteral("SCORING ROOT")));
        QCOMPARE(m_log, QStringList({"display:Team:", "display:Car:-1", "display:Race:", "display:Scoring:"}));

        // The root and the two branch nodes do nothing but the layout.
        m_log.clear();
        m_main->treeNodeClick(tree->topLevelItem(0));
        m_main->treeNodeClick(nodeWithTag(tree, QStringLiteral("ADMINISTRATION ROOT")));
        m_main->treeNodeClick(nodeWithTag(tree, QStringLiteral("REPORTING ROOT")));
        QVERIFY(m_log.isEmpty());

        // Report entries: the caption, the required picks (race, league, team) and the entry's arguments.
        QTreeWidgetItem* picksNode = nodeWithTag(tree, QStringLiteral("CAR PICKS"));
        QVERIFY(picksNode->flags() & Qt::ItemIsEnabled);
        QVERIFY(!(nodeWithTag(tree, QStringLiteral("TEAM DETAIL"))->flags() & Qt::ItemIsEnabled));
        m_main->treeNodeClick(picksNode);
        m_main->treeNodeClick(nodeWithTag(tree, QStringLiteral("TEAM CARS")));
        m_main->treeNodeClick(nodeWithTag(tree, QStringLiteral("RACE RESULTS")));
        QCOMPARE(m_log, QStringList({"request:Car/Driver Picks:010", "carPicks:501:1", "request:Team Cars:111",
                                     "teamCars:501:502:1:1:0:7", "request:Race Results:100", "raceResults:7:1"}));

        // A cancelled request writes nothing.
        m_log.clear();
        picks.ok = false;
        m_main->treeNodeClick(picksNode);
        QCOMPARE(m_log, QStringList({"request:Car/Driver Picks:010"}));
    }

    void treeNodesShowTheirTextAndOpenOnEnterOrSpace() {
        installFakeHooks();
        QVERIFY(start());
        QTreeWidget* tree = m_main->sstreemain();
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            QCOMPARE((*it)->toolTip(0), (*it)->text(0));
        QCOMPARE(nodeWithTag(tree, QStringLiteral("LEAGUE RACE STANDINGS"))->toolTip(0),
                 QStringLiteral("League Race Standings"));
        // At the splitter's first position, and dragged to its left limit, the tree is wide enough
        // for every entry whole ("League Race Summary" and "League Race Standings" told apart).
        tree->expandAll();
        QCOMPARE(m_main->splitterLeft(), 2520);
        QVERIFY(static_cast<QAbstractItemView*>(tree)->sizeHintForColumn(0) <= tree->viewport()->width());
        m_main->splitterDropped(1);
        QVERIFY(static_cast<QAbstractItemView*>(tree)->sizeHintForColumn(0) <= tree->viewport()->width());
        tree->collapseItem(nodeWithTag(tree, QStringLiteral("REPORTING ROOT")));

        m_main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_main.get(), kWindowWait));
        // A click on Administration only lays out; the keys then walk the tree from there.
        QTreeWidgetItem* admin = nodeWithTag(tree, QStringLiteral("ADMINISTRATION ROOT"));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(admin).center());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(tree));
        QVERIFY(m_log.isEmpty());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(tree->currentItem()->text(0), QStringLiteral("Leagues"));
        QVERIFY(m_log.isEmpty()); // moving does not open
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(m_log, QStringList({"display:League:-1"}));
        QVERIFY(qobject_cast<QMdiSubWindow*>(m_lists[0]->parentWidget())->isMaximized());

        m_log.clear();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(admin).center());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(tree));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(m_log, QStringList({"display:Team:"}));
        // Enter on the keypad opens too.
        m_log.clear();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(admin).center());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QCOMPARE(tree->currentItem()->text(0), QStringLiteral("Scoring Method"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(m_log, QStringList({"display:Scoring:"}));
    }

    void splashAndHelpViewerArePlacedByTheMainWindow() {
        QVERIFY(start());
        const QRect area = m_main->screen()->availableGeometry();
        // The splash is centred on the main window's screen.
        QRect splashRect;
        frmSplash splash(m_main.get(), 200);
        QTimer::singleShot(50, &splash, [&] { splashRect = splash.frameGeometry(); });
        splash.exec();
        QVERIFY(!splashRect.isEmpty());
        QVERIFY2(qAbs(splashRect.center().x() - area.center().x()) <= 1 &&
                     qAbs(splashRect.center().y() - area.center().y()) <= 1,
                 qPrintable(QStringLiteral("%1,%2 in %3x%4")
                                .arg(splashRect.x())
                                .arg(splashRect.y())
                                .arg(area.width())
                                .arg(area.height())));

        // The help viewer opens beside the main window: right of it, else left of it, else (a maximised
        // main window) against the screen's right edge.
        helpContextId = 500;
        showHelp(QStringLiteral("Sensative"));
        frmHelp* help = frmHelp::current();
        QVERIFY(help);
        const QRect viewer = help->frameGeometry();
        QVERIFY2(area.contains(viewer.topLeft()), "the viewer starts on the screen");
        const QRect owner = m_main->frameGeometry();
        if (owner.right() + viewer.width() <= area.right())
            QCOMPARE(viewer.left(), owner.right() + 1); // beside it: a desktop without a manager does not maximise
        else
            QCOMPARE(viewer.right(), area.right()); // maximised: no room beside it
        const QMargins frame = help->windowHandle()->frameMargins();
        const int w = help->frameGeometry().width();
        help->placeBeside(QRect(area.left(), area.top() + 30, area.width() - w - 10, 200), m_main->screen(), frame);
        QCOMPARE(help->pos(), QPoint(area.right() - w - 9, area.top() + 30));
        help->placeBeside(QRect(area.left() + w + 10, area.top() + 40, area.width() - w - 10, 200), m_main->screen(),
                          frame);
        QCOMPARE(help->pos(), QPoint(area.left() + 10, area.top() + 40));
        // A main window reaching below the screen keeps the viewer's top on the screen.
        help->placeBeside(QRect(area.left(), area.bottom() - 20, 100, 400), m_main->screen(), frame);
        QCOMPARE(help->pos().y(), area.bottom() + 1 - help->frameGeometry().height());

        // The help file explains the import file format and the publish location, linked from the contents.
        const QString html = help->browser()->toHtml();
        QVERIFY(html.contains(QStringLiteral("href=\"#import\"")));
        QVERIFY(html.contains(QStringLiteral("href=\"#publish\"")));
        const QString text = help->browser()->toPlainText();
        QVERIFY(text.contains(QStringLiteral("host[:port]/folder")));
        QVERIFY(text.contains(QStringLiteral("11;401;1;1;")));
        frmHelp::quit();
        QTRY_VERIFY(!frmHelp::current());
    }

    void treeRightClickPopup() {
        installFakeHooks();
        QVERIFY(start());
        QTreeWidget* tree = m_main->sstreemain();
        QMenu* menu = m_main->prepareTreePopup(tree->visualItemRect(nodeWithTag(tree, "LEAGUES ROOT")).center());
        QCOMPARE(menu, m_main->entityMenu(Entity::League));
        QCOMPARE(menu->title(), QStringLiteral("League"));
        QVERIFY(m_main->action("mnuLeagueNew")->isEnabled());
        QVERIFY(!m_main->action("mnuLeagueDesign")->isEnabled());
        QVERIFY(!m_main->action("mnuLeagueDelete")->isEnabled());
        QVERIFY(m_main->action("mnuLeagueHelp")->isEnabled());
        QCOMPARE(m_main->action("mnuCarDesign")->text(), QStringLiteral("Update Car/Driver"));

        QCOMPARE(m_main->prepareTreePopup(tree->visualItemRect(nodeWithTag(tree, "RACES ROOT")).center()),
                 m_main->entityMenu(Entity::Race));
        // A report node, a branch node and the empty space below the nodes show no menu.
        QVERIFY(!m_main->prepareTreePopup(tree->visualItemRect(nodeWithTag(tree, "REPORTING ROOT")).center()));
        QVERIFY(!m_main->prepareTreePopup(tree->visualItemRect(nodeWithTag(tree, "ADMINISTRATION ROOT")).center()));
        QVERIFY(!m_main->prepareTreePopup(QPoint(5, tree->viewport()->height() - 2)));

        // The pop-up entries run the entity commands.
        m_main->action("mnuScoringNew")->trigger();
        m_main->action("mnuTeamDesign")->setEnabled(true);
        m_main->action("mnuTeamDesign")->trigger();
        QCOMPARE(m_log, QStringList({"new:Scoring", "update:Team"}));
    }

    void menusToolbarAndHooks() {
        QVERIFY(start());
        // Windows that are not part of the program yet are greyed out.
        for (const char* name : {"mnuFileNewLeague", "mnuFileImport", "mnuFilePublishWeb", "mnuViewCars",
                                 "mnuReportReportDetails", "mnuSystemRaceTypes", "mnuSystemGroups", "tbRaces"})
            QVERIFY2(!m_main->action(QLatin1String(name))->isEnabled(), name);
        for (const char* name : {"mnuSystemRestoreDataFile", "mnuSystemCompactDatabase", "mnuHelpConetents",
                                 "mnuWindowCascade", "mnuFileExit", "mnuSystemClear"})
            QVERIFY2(m_main->action(QLatin1String(name))->isEnabled(), name);
        QCOMPARE(m_main->action("mnuSystemClear")->text(), QStringLiteral("Clear Postings  for New Season"));
        QCOMPARE(m_main->action("mnuHelpAbout")->text(), QStringLiteral("&About Quorvanti..."));
        QCOMPARE(m_main->action("mnuWebOnTheWeb")->text(), QStringLiteral("Quorvanti on the &Web"));
        QCOMPARE(m_main->action("mnuFileExit")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_X));
        QCOMPARE(m_main->action("mnuWindowVertical")->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F4));
        QCOMPARE(m_main->action("tbCars")->toolTip(), QStringLiteral("New Car/Driver"));

        installFakeHooks();
        commands().raceTypes = [this] { m_log << QStringLiteral("raceTypes"); };
        m_main->refreshCommands();
        QVERIFY(m_main->action("mnuFileNewLeague")->isEnabled());
        QVERIFY(m_main->action("mnuSystemRaceTypes")->isEnabled());
        m_main->action("mnuSystemRaceTypes")->trigger();
        // File > New and the toolbar show the list first, then run the new command.
        m_main->action("mnuFileNewRace")->trigger();
        m_main->toolbarButtonClick(QStringLiteral("tbTeams"));
        m_main->toolbarButtonClick(QStringLiteral("tbteams")); // keys compare exactly
        m_main->action("mnuViewScoring")->trigger();
        QCOMPARE(m_log, QStringList({"raceTypes", "display:Race:", "new:Race", "display:Team:", "new:Team",
                                     "display:Scoring:"}));
    }

    void viewModes() {
        installFakeHooks();
        QVERIFY(start());
        listViewMode = 0;
        // With no list window open only the mode and the check marks change.
        m_main->action("mnuViewLarge")->trigger();
        QCOMPARE(listViewMode, 1);
        QVERIFY(m_main->action("mnuViewLarge")->isChecked());
        QVERIFY(!m_main->action("mnuViewDetail")->isChecked());

        m_main->showTeams();
        FakeList* teams = m_lists[1];
        QCOMPARE(teams->views, 0);
        m_main->action("mnuViewSmall")->trigger();
        QCOMPARE(listViewMode, 4);
        QCOMPARE(teams->views, 1);
        m_main->action("mnuViewList")->trigger();
        QCOMPARE(listViewMode, 2);
        m_main->action("mnuViewDetail")->trigger();
        QCOMPARE(listViewMode, 3);
        QCOMPARE(teams->views, 3);
        int checked = 0;
        for (const char* name : {"mnuViewLarge", "mnuViewSmall", "mnuViewList", "mnuViewDetail"})
            checked += m_main->action(QLatin1String(name))->isChecked();
        QCOMPARE(checked, 1);
        QVERIFY(m_main->action("mnuViewDetail")->isChecked());
    }

    void windowArrangement() {
        installFakeHooks();
        QVERIFY(start());
        QMdiArea* mdi = m_main->mdiArea();
        for (auto* hooks : {&commands().leagues, &commands().teams, &commands().races})
            hooks->display(-1);
        const QList<QMdiSubWindow*> subs = mdi->subWindowList(QMdiArea::CreationOrder);
        QCOMPARE(subs.size(), 3);
        const QSize area = mdi->viewport()->size();

        m_main->action("mnuWindowVertical")->trigger(); // side by side
        for (QMdiSubWindow* s : subs)
            QCOMPARE(s->height(), area.height());
        QVERIFY(subs[0]->x() < subs[1]->x() && subs[1]->x() < subs[2]->x());
        QCOMPARE(subs[2]->geometry().right(), area.width() - 1);

        m_main->action("mnuWindowHorizontal")->trigger(); // one above the other
        for (QMdiSubWindow* s : subs)
            QCOMPARE(s->width(), area.width());
        QVERIFY(subs[0]->y() < subs[1]->y() && subs[1]->y() < subs[2]->y());

        m_main->action("mnuWindowCascade")->trigger();
        QSet<int> tops;
        for (QMdiSubWindow* s : subs)
            tops << s->y();
        QCOMPARE(tops.size(), 3);

        // Arrange Icons lines the minimised windows up along the bottom.
        subs[0]->showMinimized();
        subs[2]->showMinimized();
        subs[0]->move(30, 10);
        m_main->action("mnuWindowArrage")->trigger();
        QCOMPARE(subs[0]->geometry().bottom(), area.height() - 1);
        QCOMPARE(subs[2]->geometry().bottom(), area.height() - 1);
        QCOMPARE(subs[0]->x(), 0);
        QCOMPARE(subs[2]->x(), subs[0]->width());

        // The Window menu lists the open windows below "Open Windows".
        QMenu* windowMenu = m_main->findChild<QMenu*>("mnuWindow");
        QMetaObject::invokeMethod(windowMenu, "aboutToShow");
        const QList<QAction*> entries = windowMenu->actions();
        const int open = entries.indexOf(m_main->action("windowOpen"));
        QCOMPARE(entries.size() - open - 1, 3);
        QCOMPARE(entries.last()->text(), QStringLiteral("&3 Race"));
    }

    // Tiled by the user, the list windows stay tiled: a list reopened from the View menu, a new one
    // and every later layout (after an editor, a resize) keep them side by side, none maximised.
    void theTilingTheUserChoseIsKept() {
        installCommands();
        QVERIFY(start());
        QMdiArea* mdi = m_main->mdiArea();
        m_main->action(QStringLiteral("mnuViewLeauges"))->trigger();
        m_main->action(QStringLiteral("mnuViewTeams"))->trigger();
        QVERIFY(mdi->activeSubWindow()->isMaximized());
        m_main->action(QStringLiteral("mnuWindowVertical"))->trigger(); // side by side
        const auto sideBySide = [mdi](int windows) {
            const QList<QMdiSubWindow*> subs = mdi->subWindowList(QMdiArea::CreationOrder);
            QCOMPARE(subs.size(), windows);
            for (int i = 0; i < windows; ++i) {
                QVERIFY(!subs[i]->isMaximized());
                QCOMPARE(subs[i]->height(), mdi->viewport()->height());
                QCOMPARE(subs[i]->x(), mdi->viewport()->width() * i / windows);
            }
        };
        sideBySide(2);
        m_main->action(QStringLiteral("mnuViewLeauges"))->trigger();
        sideBySide(2);
        QCOMPARE(mdi->activeSubWindow()->widget(), static_cast<QWidget*>(leaguesWindow()));
        m_main->action(QStringLiteral("mnuViewRaces"))->trigger();
        sideBySide(3);
        // A race editor closed: the command ends with the layout.
        commands().races.create = [] {};
        m_main->action(QStringLiteral("mnuFileNewRace"))->trigger();
        sideBySide(3);
        m_main->resize(m_main->width() - 40, m_main->height());
        m_main->sizeControls();
        sideBySide(3);
        // A restore closes them all; lists shown straight after it come up side by side again.
        const QString saved = m_dir->filePath(QStringLiteral("saved.qv"));
        QVERIFY(m_main->backupTo(saved));
        QVERIFY(m_main->restoreFrom(saved));
        m_main->action(QStringLiteral("mnuViewLeauges"))->trigger();
        m_main->action(QStringLiteral("mnuViewTeams"))->trigger();
        sideBySide(2);

        // Maximised again by the user, a window opened next is maximised too.
        mdi->activeSubWindow()->showMaximized();
        m_main->action(QStringLiteral("mnuViewScoring"))->trigger();
        QVERIFY(mdi->activeSubWindow()->isMaximized());
    }

    void layoutLimitsAndBars() {
        installFakeHooks();
        QVERIFY(start());
        m_main->showNormal();
        m_main->setGeometry(50, 50, 700, 500); // 10500 twips wide at 96 dpi
        const double outer = twipsX(m_main->frameGeometry().width(), m_main.get());

        m_main->sizeControls(0);
        QCOMPARE(m_main->splitterLeft(), 2800);
        m_main->sizeControls(1499);
        QCOMPARE(m_main->splitterLeft(), 2800);
        m_main->sizeControls(30000);
        QCOMPARE(m_main->splitterLeft(), qRound(outer - 1500));
        m_main->sizeControls(4000.5); // rounded half to even
        QCOMPARE(m_main->splitterLeft(), 4000);

        // A drag to the far left records 500, which the layout turns into 2800.
        m_main->splitterDropped(1);
        QCOMPARE(m_main->splitterLeft(), 2800);
        m_main->splitterDropped(pixelsX(3600, m_main.get()));
        QCOMPARE(m_main->splitterLeft(), 3600);
        QCOMPARE(m_main->sstreemain()->width(), pixelsX(3600, m_main.get()));

        // In a window narrower than 4300 twips a small position becomes 2800 and then the width less 1500.
        m_main->resize(250, 400);
        m_main->sizeControls(100);
        QCOMPARE(m_main->splitterLeft(), qRound(twipsX(m_main->frameGeometry().width(), m_main.get()) - 1500));
        m_main->setGeometry(50, 50, 700, 500);

        // A normal child fills the area beside the tree; a maximised one stays maximised.
        commands().leagues.display(-1);
        commands().teams.display(QString());
        auto* normal = qobject_cast<QMdiSubWindow*>(m_lists[0]->parentWidget());
        auto* maximised = qobject_cast<QMdiSubWindow*>(m_lists[1]->parentWidget());
        normal->setGeometry(20, 20, 100, 80);
        maximised->showMaximized();
        m_main->sizeControls();
        QCOMPARE(normal->geometry(), QRect(QPoint(0, 0), m_main->mdiArea()->viewport()->size()));
        QVERIFY(maximised->isMaximized());

        // Hiding the status bar gives the tree its height; the setting follows the check mark.
        QTRY_VERIFY(m_main->StatusBar1()->isVisible());
        const int treeHeight = m_main->sstreemain()->height();
        m_main->action("mnuViewStatusbar")->trigger();
        QVERIFY(!m_main->action("mnuViewStatusbar")->isChecked());
        QVERIFY(!m_main->StatusBar1()->isVisible());
        QCOMPARE(settings.statusBar, QStringLiteral("N"));
        QTRY_VERIFY(m_main->sstreemain()->height() > treeHeight);
        m_main->action("mnuViewToolbar")->trigger();
        QVERIFY(!m_main->Toolbar1()->isVisible());
        QCOMPARE(settings.toolBar, QStringLiteral("N"));
        stop();
        QVERIFY(settingsText().contains(QStringLiteral("\nStatus Bar=N\n")));

        // The next start applies them.
        QVERIFY(start());
        QVERIFY(!m_main->StatusBar1()->isVisible());
        QVERIFY(!m_main->action("mnuViewToolbar")->isChecked());
    }

    void restoreRefusesAFileThatIsNoDataFile() {
        installFakeHooks();
        QVERIFY(start());
        commands().leagues.display(-1);
        const QString junk = m_dir->filePath(QStringLiteral("junk.qv"));
        QFile f(junk);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(8192, 'x'));
        f.close();
        const QByteArray before = fileHash(dataFilePath());
        m_ui->clear();

        QVERIFY(!m_main->restoreFrom(junk));
        QCOMPARE(m_ui->boxes.size(), 1);
        QVERIFY2(m_ui->lastBoxText().contains(QStringLiteral("is not a Quorvanti data file")),
                 qPrintable(m_ui->lastBoxText()));
        QCOMPARE(fileHash(dataFilePath()), before);
        QVERIFY(gConnection->getConnection());
        QCOMPARE(m_main->mdiArea()->subWindowList().size(), 1);
        QCOMPARE(m_ui->pointer(), PointerDefault);

        // A missing file and the data file itself are refused the same way.
        QVERIFY(!m_main->restoreFrom(m_dir->filePath(QStringLiteral("missing.qv"))));
        QVERIFY(!m_main->restoreFrom(dataFilePath()));
        QCOMPARE(m_ui->boxes.size(), 3);
        QCOMPARE(fileHash(dataFilePath()), before);
        QVERIFY(gConnection->getConnection());
    }

    void restoreReplacesTheDataAndClosesChildWindows() {
        installFakeHooks();
        QVERIFY(start());
        const QString saved = m_dir->filePath(QStringLiteral("saved.qv"));
        QVERIFY(m_main->backupTo(saved));
        addGroup({.nmbr = 600, .maxNmbr = 1, .name = "After"});
        commands().cars.display(-1);
        const QString kept = keptDataFilePath();
        whileModal<QDialog>([saved](QDialog* dialog) {
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(saved);
            dialog->accept();
        });
        m_main->action(QStringLiteral("mnuSystemRestoreDataFile"))->trigger();
        QCOMPARE(m_ui->statusTexts.last(), QStringLiteral("Data File Restored from ") + saved);
        // The data file it replaced is kept beside the backups, and the box says where.
        QCOMPARE(m_ui->boxes.size(), 1);
        QCOMPARE(m_ui->boxes[0].icon, MsgIcon::Information);
        QVERIFY2(m_ui->boxes[0].text.contains(kept), qPrintable(m_ui->boxes[0].text));
        QVERIFY(m_main->mdiArea()->subWindowList().isEmpty());
        SqlRows rows;
        QVERIFY(gConnection->getConnection()->query(
            QStringLiteral("SELECT count(*) FROM group_dm WHERE group_nmbr = 600"), &rows));
        QCOMPARE(rows.rows.value(0).value(0).toInt(), 0);
        QVERIFY(!QFileInfo::exists(restoreSidePath()));
        QVERIFY(m_main->restoreFrom(kept));
        QVERIFY(gConnection->getConnection()->query(
            QStringLiteral("SELECT count(*) FROM group_dm WHERE group_nmbr = 600"), &rows));
        QCOMPARE(rows.rows.value(0).value(0).toInt(), 1);

        // The restored copy cannot take the data file's place after the keep: it stays as it was, the box says so.
        const QStringList backups = QDir(backupsDir()).entryList(QDir::Files);
        const auto unhooked = qScopeGuard([] { setRestoreStepHook(nullptr); });
        setRestoreStepHook([](const char* step) {
            if (std::strcmp(step, "kept") == 0)
                QFile::remove(restoreSidePath());
        });
        const QByteArray before = fileHash(dataFilePath());
        m_ui->clear();
        QVERIFY(!m_main->restoreFrom(saved));
        QCOMPARE(m_ui->boxes.value(0).text,
                 QStringLiteral("The data file could not be restored from '%1'. The data file in use was kept.\n\n"
                                "The data file '%2' was not replaced, and is as it was: the restored copy could not "
                                "take its place.\n\nThe file '%2' cannot be replaced: No such file or directory")
                     .arg(saved, dataFilePath()));
        QCOMPARE(fileHash(dataFilePath()), before);
        QCOMPARE(QDir(backupsDir()).entryList(QDir::Files), backups);
    }

    void clearPostingsKeepsRacesAndResults() {
        QVERIFY(start());
        m_main->action("mnuSystemClear")->trigger(); // no races: nothing to do, nothing shown
        QVERIFY(m_ui->boxes.isEmpty());
        SqlDatabase* db = gConnection->getConnection();
        for (int race : {900, 901}) {
            addRace({.nmbr = race, .name = "R", .date = "2024-03-01", .status = 0});
            addResult({.car = 1, .race = race, .place = 1});
            addTeamResult({.race = race, .car = 1, .team = 5, .league = 7});
            addSummary({.race = race, .team = 5, .league = 7});
        }
        // A posting of a race that no longer exists is not the command's business.
        addTeamResult({.race = 999, .car = 1, .team = 5, .league = 7});
        m_main->action("mnuSystemClear")->trigger();
        const auto count = [db](const char* sql) {
            SqlRows rows;
            db->query(QLatin1String(sql), &rows);
            return rows.rows.value(0).value(0).toInt();
        };
        QCOMPARE(count("SELECT count(*) FROM team_results WHERE race_nmbr IN (900, 901)"), 0);
        QCOMPARE(count("SELECT count(*) FROM team_results_summary"), 0);
        QCOMPARE(count("SELECT count(*) FROM team_results WHERE race_nmbr = 999"), 1);
        QCOMPARE(count("SELECT count(*) FROM races WHERE race_nmbr IN (900, 901)"), 2);
        QCOMPARE(count("SELECT count(*) FROM results WHERE race_nmbr IN (900, 901)"), 2);
        QVERIFY(m_ui->boxes.isEmpty());
        QCOMPARE(m_ui->statusTexts.last(), QStringLiteral("Postings Cleared for New Season"));
    }

    // File > Import with the help's own example, in a data file where the user typed a car and a
    // race (numbered from 500): they stay as typed. A refused file says so in one box that names
    // the line and the car as the user knows it; a file without records says that in one box.
    void importingTheHelpsExampleKeepsTheUsersEntries() {
        installCommands();
        QVERIFY(start());
        addCar({.nmbr = 500, .txt = "42", .owner = "", .driver = "", .make = "", .sponsor = "", .group = 0});
        addCar({.nmbr = 501, .txt = "7", .owner = "", .driver = "", .make = "", .sponsor = "", .group = 0});
        addRace({.nmbr = 500, .name = "Home 100", .track = "Oval", .date = "2026-02-01"});
        addRace({.nmbr = 600, .name = "Home 200", .track = "Oval", .date = "2026-02-08"});
        addRace({.nmbr = 601, .name = "Home 300", .track = "Oval", .date = "2026-02-15"});
        QFile help(QStringLiteral(":/help/Quorvanti.HLP"));
        QVERIFY(help.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(help.readAll());
        const qsizetype start = html.indexOf(QStringLiteral("<pre>"), html.indexOf(QStringLiteral("Example:")));
        QVERIFY(start > 0);
        const QString example = html.mid(start + 5, html.indexOf(QStringLiteral("</pre>"), start) - start - 5);
        QCOMPARE(example.count(QLatin1Char('\n')), 2);
        const auto write = [this](const QByteArray& text) {
            const QString path = QDir(dataFolder()).filePath(QStringLiteral("Imports/example.qvi"));
            QFile f(path);
            f.open(QIODevice::WriteOnly | QIODevice::Truncate);
            f.write(text);
            return path;
        };
        const auto stored = [](const char* sql) {
            SqlRows rows;
            gConnection->getConnection()->query(QLatin1String(sql), &rows);
            return rows.rows.value(0).value(0).toString();
        };
        const char* users = "SELECT group_concat(car_nmbr || car_txt) || group_concat(race_nmbr || race_name) FROM"
                            " (SELECT * FROM cars WHERE car_nmbr >= 500), (SELECT * FROM races WHERE race_nmbr >= 500)";
        const QString before = stored(users);
        {
            AnsweredBoxes boxes({QMessageBox::Ok});
            m_main->importFrom(write(example.toUtf8().replace("\n", "\r\n")));
            QCOMPARE(boxes.texts, QStringList{QStringLiteral("Import Complete.")});
        }
        QCOMPARE(stored(users), before);
        QCOMPARE(stored("SELECT count(*) FROM results WHERE car_nmbr < 500 AND race_nmbr < 500"), QStringLiteral("1"));

        // The car of another series on the example's race, in a file without a last line end.
        {
            AnsweredBoxes boxes({QMessageBox::Ok});
            m_main->importFrom(write("11;402;1;2;\"88\";;;;\n13;1;301;402;2;2;0;0;0"));
            QCOMPARE(boxes.texts, QStringList{QStringLiteral(
                                      "Line 2 cannot be imported: car 88 (entry number 402) is of race type Lakeshore "
                                      "Series, race Spring 200 (race number 301) of race type Wexford Cup.\r\n"
                                      "Nothing was imported from this file.")});
        }
        QCOMPARE(stored("SELECT count(*) FROM cars WHERE car_nmbr = 402"), QStringLiteral("0"));

        // A file with no record in it is refused in its one box, and nothing says it was imported.
        {
            AnsweredBoxes boxes({QMessageBox::Ok, QMessageBox::Ok});
            m_main->importFrom(write("hello world"));
            QCOMPARE(boxes.texts.size(), 1);
            QVERIFY(boxes.texts.at(0).startsWith(QStringLiteral("This file holds no series records")));
        }
    }

    void listWindowsOpenAsChildWindows() {
        installCommands();
        QVERIFY(start());
        addLeague({.nmbr = 500, .name = "Sunday League", .salaryCap = 5000});
        m_main->action(QStringLiteral("mnuViewLeauges"))->trigger();
        frmDisplayLeagues* leagues = leaguesWindow();
        QVERIFY(leagues);
        QMdiSubWindow* sub = m_main->mdiArea()->activeSubWindow();
        QVERIFY(sub);
        QCOMPARE(sub->widget(), static_cast<QWidget*>(leagues));
        QCOMPARE(leagues->rowCount(), 1);
        QCOMPARE(leagues->displayedText(0, 0), QStringLiteral("Sunday League"));

        // The view commands reach the list windows.
        m_main->setViewMode(1);
        QCOMPARE(leagues->viewMode(), 1);
        m_main->setViewMode(3);
        QCOMPARE(leagues->viewMode(), 3);

        // With the league editor in place the list's pop-up offers New, Update and Delete.
        QVERIFY(m_main->action(QStringLiteral("mnuLeagueNew"))->isEnabled());
        m_main->popupEntityMenu(EntityKind::League, QPoint(10, 10));
        QVERIFY(m_main->action(QStringLiteral("mnuLeagueDesign"))->isEnabled());
        QVERIFY(m_main->action(QStringLiteral("mnuLeagueDelete"))->isEnabled());
        m_main->entityMenu(EntityKind::League)->close();

        // A second list is a second child; the races list opens from the tree's menu the same way.
        m_main->action(QStringLiteral("mnuViewRaces"))->trigger();
        QVERIFY(racesWindow());
        QCOMPARE(m_main->mdiArea()->subWindowList().size(), 2);
        QCOMPARE(m_main->mdiArea()->activeSubWindow()->widget(), static_cast<QWidget*>(racesWindow()));
    }

    // Under de_DE the file dialog of Backup Data File speaks German throughout, Qt's own texts from
    // its translations; once the copy is written the status bar says so. The program's own boxes keep
    // the English answers their questions name.
    void backupDataFileSaysItIsDoneInTheUsersLanguage() {
        ScopedLocale german(QLocale(QLocale::German, QLocale::Germany));
        QTranslator* qtTexts = installQtTranslations();
        QVERIFY(qtTexts);
        const auto removed = qScopeGuard([qtTexts] {
            QCoreApplication::removeTranslator(qtTexts);
            delete qtTexts;
        });
        QVERIFY(start());
        const QString target = m_dir->filePath(QStringLiteral("saved.qv"));
        QStringList shown;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&answer, &shown, target] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            answer.stop();
            for (QAbstractButton* b : dialog->findChildren<QPushButton*>())
                shown << b->text();
            for (QLabel* l : dialog->findChildren<QLabel*>())
                shown << l->text();
            // The path typed into the name box, as a person does.
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            name->setText(target);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        answer.start(10);
        m_main->action(QStringLiteral("mnuSystemCompactDatabase"))->trigger();
        QCOMPARE(shown, QStringList({"S&peichern", "Abbrechen", "Suchen in:", "Datei&name:", "Dateien des Typs:"}));
        // The menus name their keys in English, as they name everything else.
        QCOMPARE(m_main->action("mnuViewLeauges")->shortcut().toString(QKeySequence::NativeText), "Ctrl+L");
        QVERIFY(QFileInfo::exists(target));
        QCOMPARE(m_ui->statusTexts.value(m_ui->statusTexts.size() - 1),
                 QStringLiteral("Data File Backed Up to ") + target);
        // The program's questions name their answers ("No leaves Race 2 ... unposted"): their buttons keep
        // those names.
        QStringList captions;
        AnsweredBoxes boxes({QMessageBox::No});
        boxes.whileOpen = [&captions](QMessageBox* box) {
            for (QAbstractButton* b : box->buttons())
                captions << b->text();
        };
        QCOMPARE(ui().messageBox(QStringLiteral("Yes, No or Cancel?"), QStringLiteral("Quorvanti"), MsgIcon::Question,
                                 MsgButtons::YesNoCancel),
                 AnswerNo);
        captions.sort();
        QCOMPARE(captions, QStringList({"&No", "&Yes", "Cancel"}));
    }

    // Switched away from and back to with the View menu's keys, the Cars/Drivers list highlights the
    // car its panel holds, and the focus is back in the list where the user left it. However else the
    // highlight moves, the panel shows its car, asking first about edits, and Alt+D deletes that car.
    void carsListKeepsThePanelsCarAndTheFocusWhenShownAgain() {
        installCommands();
        QVERIFY(start());
        for (int i = 0; i < 30; ++i)
            addCar({.nmbr = 500 + i, .txt = QString::number(1 + i), .driver = QStringLiteral("Driver %1").arg(i)});
        QVERIFY(activeNow(m_main.get()));
        const auto press = [this](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
            QVERIFY(QApplication::focusWidget() || activeNow(m_main.get()));
            QTest::keyClick(QApplication::focusWidget(), key, modifiers);
            QCoreApplication::processEvents();
        };
        press(Qt::Key_C, Qt::ControlModifier);
        frmDisplayCars* cars = carsWindow();
        QVERIFY(cars);
        QTRY_COMPARE(QApplication::focusWidget(), cars->detailsView());
        press(Qt::Key_Down);
        QCOMPARE(cars->panelCar().carNmbr(), 501);

        press(Qt::Key_T, Qt::ControlModifier);
        QTRY_COMPARE(m_main->mdiArea()->activeSubWindow()->widget(), static_cast<QWidget*>(teamsWindow()));
        press(Qt::Key_C, Qt::ControlModifier);
        QTRY_COMPARE(m_main->mdiArea()->activeSubWindow()->widget(), static_cast<QWidget*>(cars));
        QCOMPARE(cars->selectedCar()->carNmbr(), 501);
        QCOMPARE(cars->panelCar().carNmbr(), 501);
        QTRY_COMPARE(QApplication::focusWidget(), cars->detailsView());
        // The keys go on in the list from the panel's car.
        press(Qt::Key_Down);
        QCOMPARE(cars->panelCar().carNmbr(), 502);

        // The car the highlight and the panel's fields both show; -1 when they differ.
        const auto shown = [cars] {
            const cCar* lit = cars->selectedCar();
            const QString panelTxt = cars->findChild<QLineEdit*>(QStringLiteral("txtCarNumber"))->text();
            return lit && lit->carNmbr() == cars->panelCar().carNmbr() && panelTxt == lit->carTxt() ? lit->carNmbr()
                                                                                                    : -1;
        };
        int before = shown();
        for (Qt::Key key : {Qt::Key_End, Qt::Key_9, Qt::Key_Home, Qt::Key_PageDown, Qt::Key_PageUp}) {
            press(key);
            QVERIFY2(shown() > 0 && shown() != before, qPrintable(QKeySequence(key).toString()));
            before = shown();
        }
        QTreeView* list = cars->detailsView();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(2, 0)).center());
        QCOMPARE(shown(), 502);
        QHeaderView* header = list->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(1) + 5, 5));
        QCOMPARE(shown(), 502);
        press(Qt::Key_End); // by driver: "Driver 9"
        QCOMPARE(shown(), 509);

        // With an edit pending, a move asks first: Cancel keeps the edit and the highlight, No drops it.
        QTest::mouseClick(cars->findChild<QLineEdit*>(QStringLiteral("txtSponsor")), Qt::LeftButton);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Fresh"));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->currentIndex()).center());
        AnsweredBoxes boxes({QMessageBox::Cancel, QMessageBox::No});
        press(Qt::Key_Home);
        QCOMPARE(shown(), 509);
        press(Qt::Key_Home);
        QCOMPARE(boxes.texts, QStringList(2, QStringLiteral("Do you want to save changes")));
        QCOMPARE(shown(), 500);
        press(Qt::Key_D, Qt::AltModifier);
        QTRY_COMPARE(cars->rowCount(), 29); // the button is pressed down for a moment first
        QCOMPARE(cars->displayedText(0, 1), QStringLiteral("Driver 1"));
    }

    // F6 and Shift+F6 move the keys between the tree and the list in front (nowhere else while no
    // list is open); a View key puts them into its list even when it was in front already; a report
    // entry of the tree is requested with Return, and a refused report says so from its box on.
    void theKeysReachTheTreeTheListsAndTheReports() {
        installCommands();
        QVERIFY(start());
        addLeague({.nmbr = 500, .name = "Sunday League"});
        addRace({.nmbr = 500, .name = "Opener", .track = "Oval", .date = "2024-03-01"});
        QString opened;
        commands().editRace = [&opened](cRaces& race) { opened = race.raceName(); };
        commands().reports.request = [](const QString&, bool, bool, bool) { return ReportRequest{true, 500, 500}; };
        QVERIFY(activeNow(m_main.get()));
        const auto press = [this](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
            QWidget* focus = QApplication::focusWidget();
            QTest::keyClick(focus ? focus : m_main.get(), key, modifiers);
            QCoreApplication::processEvents();
        };
        QWidget* tree = m_main->sstreemain();
        press(Qt::Key_F6);
        QCOMPARE(QApplication::focusWidget(), tree);
        press(Qt::Key_R, Qt::ControlModifier);
        QWidget* races = racesWindow()->detailsView();
        QTRY_COMPARE(QApplication::focusWidget(), races);
        press(Qt::Key_F6);
        QCOMPARE(QApplication::focusWidget(), tree);
        press(Qt::Key_F6, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), races);
        press(Qt::Key_F6);
        press(Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), races);
        press(Qt::Key_Return);
        QCOMPARE(opened, QStringLiteral("Opener"));
        m_main->action("mnuViewLarge")->trigger();
        press(Qt::Key_C, Qt::ControlModifier);
        QTRY_COMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("lvwDisplayIcons"));

        // What the status bar says after a report names the report as its "Creating ..." did.
        setDocumentOpener([](const QString&) { return true; });
        const auto opener = qScopeGuard([] { setDocumentOpener({}); });
        for (const QString& tag : reportTags()) {
            m_ui->statusTexts.clear();
            QVERIFY(launchReportByTag(tag));
            const QString name = m_ui->statusTexts.value(0).mid(9), last = m_ui->statusTexts.last();
            QVERIFY2(last == name + " Created" || last == name + " Not Created", qPrintable(tag + ": " + last));
        }
        launchReportByTag(QStringLiteral("CAR DETAILS"));
        QCOMPARE(m_ui->statusTexts.last(), QStringLiteral("Cars Detail Report Created"));

        // The branch of the reports opens with Right; Race Detail is its second entry.
        press(Qt::Key_F6);
        for (Qt::Key key : {Qt::Key_End, Qt::Key_Right, Qt::Key_Down, Qt::Key_Down})
            press(key);
        AnsweredBoxes boxes({QMessageBox::Ok});
        ui().setStatusTarget(m_main->statusPanel(1));
        QString whileShown;
        boxes.whileOpen = [this, &whileShown](QMessageBox*) { whileShown = m_main->statusPanel(1)->text(); };
        press(Qt::Key_Return);
        QCOMPARE(boxes.texts, QStringList{"Results not posted for this Race."});
        QCOMPARE(whileShown, QStringLiteral("Status"));
        QCOMPARE(m_main->statusPanel(1)->text(), QStringLiteral("Race Detail Report Not Created"));
    }

    // Alt and a letter presses what it shows: the menu bar's keys and those of the list window in
    // front never meet twice, nor do the entries of one menu.
    void noTwoControlsOrMenuEntriesShareAnAccessKey() {
        installCommands();
        QVERIFY(start());
        for (const char* list : {"mnuViewLeauges", "mnuViewTeams", "mnuViewCars", "mnuViewRaces", "mnuViewScoring"})
            m_main->action(QLatin1String(list))->trigger();
        QCOMPARE(m_main->mdiArea()->subWindowList().size(), 5);
        QStringList clashes = accesskeys::clashesIn(m_main.get());
        QMenu* windowMenu = m_main->findChild<QMenu*>(QStringLiteral("mnuWindow"));
        QMetaObject::invokeMethod(windowMenu, "aboutToShow");
        for (QAction* menu : m_main->menuBar()->actions())
            clashes << accesskeys::clashesInMenu(menu->menu());
        for (EntityKind kind :
             {EntityKind::League, EntityKind::Team, EntityKind::Car, EntityKind::Race, EntityKind::Scoring})
            clashes << accesskeys::clashesInMenu(m_main->entityMenu(kind));
        QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join(QLatin1Char('\n'))));
    }

    void screenshot() {
        installCommands();
        QVERIFY(start());
        m_main->showNormal();
        m_main->setGeometry(0, 0, 980, 560);
        m_main->sizeControls(3000);
        addLeague({.nmbr = 500, .name = "Sunday League", .shortName = "SUN", .salaryCap = 50000});
        addLeague({.nmbr = 501,
                   .name = "Pit Lane Club",
                   .shortName = "PIT",
                   .raceType = 6,
                   .scoringOption = 2,
                   .scoringType = 2,
                   .dropLowest = 2,
                   .carType = 2});
        m_main->action(QStringLiteral("mnuViewLeauges"))->trigger();
        QApplication::processEvents();
        QVERIFY(m_main->menuBar()->isVisible());
        QVERIFY(m_main->Toolbar1()->isVisible());
        QVERIFY(m_main->StatusBar1()->isVisible());
        QVERIFY(m_main->sstreemain()->isVisible());
        const QImage shot = m_main->grab().toImage();
        QCOMPARE(shot.size(), m_main->size());
        const QString target = qEnvironmentVariable("QV_SCREENSHOT");
        QVERIFY(shot.save(target.isEmpty() ? m_dir->filePath(QStringLiteral("main-window.png")) : target));
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
