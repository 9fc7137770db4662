#include "shell/frmMain.h"

#include "app/Settings.h"
#include "data/DataChanges.h"
#include "data/Paths.h"
#include "data/Regional.h"
#include "data/UiServices.h"
#include "data/cConnection.h"
#include "kit/Twips.h"
#include "platform/Clock.h"
#include "posting/cRacesCollection.h"
#include "posting/cResultsCollection.h"
#include "shell/Help.h"
#include "shell/MainWindowTables.h"
#include "shell/ReportLaunchers.h"
#include "shell/ShellIcons.h"
#include "shell/frmAbout.h"
#include "shell/frmWelcome.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDate>
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
#include <QToolBar>
#include <QTreeWidget>
#include <QWindow>
#include <cmath>

using namespace mainwindow;

// ---- building the window ----

QAction* frmMain::addAction(QMenu* menu, const QString& name, const QString& caption, const QKeySequence& key) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    if (!key.isEmpty())
        a->setShortcut(key);
    return a;
}

void frmMain::createMenus() {
    QMenuBar* bar = menuBar();

    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    const struct {
        const char* name;
        const char* caption;
        QKeySequence key;
        Entity entity;
    } newEntries[] = {
        {"mnuFileNewLeague", "New League", QKeySequence(Qt::CTRL | Qt::Key_F1), Entity::League},
        {"mnuFileNewTeam", "New Team...", QKeySequence(Qt::CTRL | Qt::Key_F2), Entity::Team},
        {"mnuFileNewCar", "New Car...", QKeySequence(Qt::CTRL | Qt::Key_F3), Entity::Car},
        {"mnuFileNewRace", "New Race...", QKeySequence(Qt::CTRL | Qt::Key_F4), Entity::Race},
        {"mnuFileNewScoring", "New Scoring...", QKeySequence(Qt::CTRL | Qt::Key_F5), Entity::Scoring},
    };
    for (const auto& e : newEntries) {
        const Entity entity = e.entity;
        connect(addAction(file, QLatin1String(e.name), QLatin1String(e.caption), e.key), &QAction::triggered, this,
                [this, entity] { listFirst(entity); });
    }
    file->addSeparator();
    connect(addAction(file, QStringLiteral("mnuFileImport"), QStringLiteral("&Import...")), &QAction::triggered, this,
            &frmMain::chooseImport);
    file->addSeparator();
    connect(addAction(file, QStringLiteral("mnuFilePublishWeb"), QStringLiteral("Publish &Web...")),
            &QAction::triggered, this, [] {
                if (commands().publishWeb)
                    commands().publishWeb();
            });
    file->addSeparator();
    connect(addAction(file, QStringLiteral("mnuFileExit"), QStringLiteral("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_X)),
            &QAction::triggered, this, &QWidget::close);

    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("mnuView"));
    QAction* toolbar = addAction(view, QStringLiteral("mnuViewToolbar"), QStringLiteral("&Toolbar"));
    toolbar->setCheckable(true);
    toolbar->setChecked(true);
    connect(toolbar, &QAction::triggered, this, [this] { toggleBar(true); });
    QAction* statusbar = addAction(view, QStringLiteral("mnuViewStatusbar"), QStringLiteral("&Statusbar"));
    statusbar->setCheckable(true);
    statusbar->setChecked(true);
    connect(statusbar, &QAction::triggered, this, [this] { toggleBar(false); });
    view->addSeparator();
    const struct {
        const char* name;
        const char* caption;
        int mode;
    } modes[] = {
        {"mnuViewLarge", "Lar&ge", 1},
        {"mnuViewSmall", "S&mall", 4},
        {"mnuViewList", "&List", 2},
        {"mnuViewDetail", "&Detail", 3},
    };
    for (const auto& m : modes) {
        QAction* a = addAction(view, QLatin1String(m.name), QLatin1String(m.caption));
        a->setCheckable(true);
        a->setChecked(m.mode == 3);
        const int mode = m.mode;
        connect(a, &QAction::triggered, this, [this, mode] { setViewMode(mode); });
    }
    view->addSeparator();
    const struct {
        const char* name;
        const char* caption;
        QKeySequence key;
        void (frmMain::*show)();
    } lists[] = {
        {"mnuViewLeauges", "Leagues...", QKeySequence(Qt::CTRL | Qt::Key_L), &frmMain::showLeagues},
        {"mnuViewTeams", "Teams...", QKeySequence(Qt::CTRL | Qt::Key_T), &frmMain::showTeams},
        {"mnuViewCars", "Cars/Drivers...", QKeySequence(Qt::CTRL | Qt::Key_C), &frmMain::showCars},
        {"mnuViewRaces", "Races...", QKeySequence(Qt::CTRL | Qt::Key_R), &frmMain::showRaces},
        {"mnuViewScoring", "Scoring...", QKeySequence(Qt::CTRL | Qt::Key_S), &frmMain::showScoring},
    };
    for (const auto& l : lists)
        connect(addAction(view, QLatin1String(l.name), QLatin1String(l.caption), l.key), &QAction::triggered, this,
                l.show);

    QMenu* reports = bar->addMenu(QStringLiteral("&Reports"));
    reports->setObjectName(QStringLiteral("mnuReports"));
    connect(addAction(reports, QStringLiteral("mnuReportReportDetails"), QStringLiteral("Report Details...")),
            &QAction::triggered, this, [] {
                if (commands().reportDetails)
                    commands().reportDetails();
            });

    QMenu* system = bar->addMenu(QStringLiteral("&System"));
    system->setObjectName(QStringLiteral("mnuSystem"));
    connect(addAction(system, QStringLiteral("mnuSystemRaceTypes"), QStringLiteral("Race Types...")),
            &QAction::triggered, this, [] {
                if (commands().raceTypes)
                    commands().raceTypes();
            });
    connect(addAction(system, QStringLiteral("mnuSystemGroups"), QStringLiteral("Groups...")), &QAction::triggered,
            this, [] {
                if (commands().groups)
                    commands().groups();
            });
    system->addSeparator();
    connect(addAction(system, QStringLiteral("mnuSystemClear"), QStringLiteral("Clear Postings  for New Season")),
            &QAction::triggered, this, &frmMain::clearPostings);
    system->addSeparator();
    connect(addAction(system, QStringLiteral("mnuSystemRestoreDataFile"), QStringLiteral("Restore Data File...")),
            &QAction::triggered, this, &frmMain::chooseRestore);
    connect(addAction(system, QStringLiteral("mnuSystemCompactDatabase"), QStringLiteral("Backup Data File...")),
            &QAction::triggered, this, &frmMain::chooseBackup);

    QMenu* web = bar->addMenu(QStringLiteral("We&b"));
    web->setObjectName(QStringLiteral("mnuWeb"));
    connect(addAction(web, QStringLiteral("mnuWebOnTheWeb"), QStringLiteral("Quorvanti on the &Web")),
            &QAction::triggered, this, [] { openWebPage(QStringLiteral("HOME")); });

    m_windowMenu = bar->addMenu(QStringLiteral("&Window"));
    m_windowMenu->setObjectName(QStringLiteral("mnuWindow"));
    const struct {
        const char* name;
        const char* caption;
        QKeySequence key;
        int arrangement;
    } arrangements[] = {
        {"mnuWindowCascade", "&Cascade", QKeySequence(Qt::SHIFT | Qt::Key_F5), 0},
        {"mnuWindowVertical", "Tile &Vertical", QKeySequence(Qt::SHIFT | Qt::Key_F4), 2},
        {"mnuWindowHorizontal", "Tile &Horizontal", QKeySequence(Qt::SHIFT | Qt::Key_F3), 1},
        {"mnuWindowArrage", "&Arrange Icons", QKeySequence(), 3},
    };
    for (const auto& a : arrangements) {
        const int arrangement = a.arrangement;
        connect(addAction(m_windowMenu, QLatin1String(a.name), QLatin1String(a.caption), a.key), &QAction::triggered,
                this, [this, arrangement] { arrangeWindows(arrangement); });
    }
    QAction* switchPane =
        addAction(m_windowMenu, QStringLiteral("mnuWindowSwitchPane"), QStringLiteral("Switch &Pane"));
    switchPane->setShortcuts({QKeySequence(Qt::Key_F6), QKeySequence(Qt::SHIFT | Qt::Key_F6)});
    connect(switchPane, &QAction::triggered, this, &frmMain::switchPane);
    m_windowMenu->addSeparator();
    m_windowListStart = addAction(m_windowMenu, QStringLiteral("windowOpen"), QStringLiteral("Open Windows"));
    connect(m_windowMenu, &QMenu::aboutToShow, this, &frmMain::rebuildWindowList);

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    connect(
        addAction(help, QStringLiteral("mnuHelpConetents"), QStringLiteral("&Contents..."), QKeySequence(Qt::Key_F1)),
        &QAction::triggered, this, [] {
            helpContextId = 1;
            showHelp(QStringLiteral("Sensative"));
        });
    connect(addAction(help, QStringLiteral("mnuHelptechnicalSupport"), QStringLiteral("Technical Su&pport...")),
            &QAction::triggered, this, [] {
                helpContextId = 900;
                showHelp(QStringLiteral("Sensative"));
            });
    help->addSeparator();
    connect(addAction(help, QStringLiteral("mnuHelpAbout"), QStringLiteral("&About Quorvanti...")), &QAction::triggered,
            this, [this] {
                frmAbout about(this);
                about.exec();
            });

    // The entity pop-up menus belong to the window but never show in its menu bar.
    for (int i = 0; i < 5; ++i) {
        const Entity entity = static_cast<Entity>(i);
        const EntityInfo& e = kEntities[i];
        auto* menu = new QMenu(QLatin1String(e.menuTitle), this);
        menu->setObjectName(QLatin1String(e.menuName));
        const QString base = QLatin1String(e.menuName);
        const QString thing = QLatin1String(e.thing);
        connect(addAction(menu, base + QStringLiteral("New"), QStringLiteral("New ") + thing), &QAction::triggered,
                this, [this, entity] { entityCommand(entity, 0); });
        menu->addSeparator();
        connect(addAction(menu, base + QStringLiteral("Design"), QStringLiteral("Update ") + thing),
                &QAction::triggered, this, [this, entity] { entityCommand(entity, 1); });
        menu->addSeparator();
        connect(addAction(menu, base + QStringLiteral("Delete"), QStringLiteral("Delete ") + thing),
                &QAction::triggered, this, [this, entity] { entityCommand(entity, 2); });
        menu->addSeparator();
        const int topic = e.helpTopic;
        connect(addAction(menu, base + QStringLiteral("Help"), QStringLiteral("Help")), &QAction::triggered, this,
                [topic] {
                    helpContextId = topic;
                    showHelp(QStringLiteral("Sensative"));
                });
        m_entityMenus[i] = menu;
    }
}

void frmMain::createToolbar() {
    m_toolbar = addToolBar(QStringLiteral("Toolbar"));
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setMovable(false);
    m_toolbar->setIconSize(QSize(24, 24));
    for (const ToolButton& b : kToolButtons) {
        QAction* a = m_toolbar->addAction(shellIcon(QLatin1String(b.image)), QLatin1String(b.tip));
        a->setObjectName(QLatin1String(b.key));
        a->setToolTip(QLatin1String(b.tip));
        const QString key = QLatin1String(b.key);
        connect(a, &QAction::triggered, this, [this, key] { toolbarButtonClick(key); });
    }
}

void frmMain::createStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    for (int i = 0; i < 3; ++i) {
        m_panels[i] = new QLabel(bar);
        m_panels[i]->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        m_panels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        m_panels[i]->setContentsMargins(4, 0, 4, 0);
    }
    m_panels[0]->setText(QStringLiteral("Status"));
    bar->addWidget(m_panels[0], 1);
    // Shown only while a long import runs.
    auto* fileProgress = new QProgressBar(bar);
    fileProgress->setObjectName(QStringLiteral("pbFileProgress"));
    fileProgress->setRange(0, 100);
    fileProgress->setMaximumWidth(160);
    fileProgress->hide();
    bar->addPermanentWidget(fileProgress);
    bar->addPermanentWidget(m_panels[1]);
    bar->addPermanentWidget(m_panels[2]);
    ui().setStatusTarget(m_panels[0]);
    ui().setFileProgressTarget(fileProgress);
    updateClock();
    connect(&m_clock, &QTimer::timeout, this, &frmMain::updateClock);
    m_clock.start(1000);
}

void frmMain::updateClock() {
    // One reading for both panels, so that around midnight they never show a day and a time of
    // different readings.
    const QDateTime moment = now();
    const QString date = shortDate(moment.date());
    const QString time = regionalLocale().toString(moment.time(), QLocale::ShortFormat);
    if (m_panels[1]->text() != date)
        m_panels[1]->setText(date);
    if (m_panels[2]->text() != time)
        m_panels[2]->setText(time);
}

void frmMain::buildTree() {
    m_tree->clear();
    m_tree->setRootIsDecorated(true);
    const struct {
        const char* parent;
        const char* key;
        const char* text;
        const char* tag;
        const char* image;
        bool expanded;
    } nodes[] = {
        {nullptr, "Root", "Quorvanti", nullptr, "imgTire", true},
        {"Root", "Administration", "Administration", "ADMINISTRATION ROOT", "imgAdministration", true},
        {"Administration", "Leagues", "Leagues", "LEAGUES ROOT", "imgLeagues", false},
        {"Administration", "Teams", "Teams", "TEAMS ROOT", "imgTeams", false},
        {"Administration", "Cars", "Cars/Drivers", "CARS ROOT", "imgCars", false},
        {"Administration", "Races", "Races", "RACES ROOT", "imgRaces", false},
        {"Administration", "Scoring Method", "Scoring Method", "SCORING ROOT", "imgScoring", false},
        {"Root", "Reporting", "Reporting", "REPORTING ROOT", "imgReporting", false},
        {"Reporting", "Report Package", "Report Package", "REPORT PACKAGE", "imgReporting", false},
        {"Reporting", "Race Detail", "Race Detail", "RACE DETAIL", "imgReporting", false},
        {"Reporting", "Team Detail", "Team Detail", "TEAM DETAIL", "imgReporting", false},
        {"Reporting", "League Race Summary", "League Race Summary", "LEAGUE RACE SUMMARY", "imgReporting", false},
        {"Reporting", "League Standings", "League Standings", "LEAGUE STANDINGS", "imgReporting", false},
        {"Reporting", "League Race Standings", "League Race Standings", "LEAGUE RACE STANDINGS", "imgReporting", false},
        {"Reporting", "Team Cars", "Team Cars", "TEAM CARS", "imgReporting", false},
        {"Reporting", "Car Details", "Car Details", "CAR DETAILS", "imgReporting", false},
        {"Reporting", "Race Results", "Race Results", "RACE RESULTS", "imgReporting", false},
        {"Reporting", "Car/Driver Stats", "Car/Driver Stats", "CAR/DRIVER STATS", "imgReporting", false},
        {"Reporting", "Team Trades", "Team Trades", "TEAM TRADES", "imgReporting", false},
        {"Reporting", "Car/Driver Picks", "Car/Driver Picks", "CAR PICKS", "imgReporting", false},
        {"Reporting", "Teams per Car/Driver", "Teams per Car/Driver", "TEAMS CAR/DRIVER", "imgReporting", false},
    };
    QHash<QString, QTreeWidgetItem*> byKey;
    for (const auto& n : nodes) {
        QTreeWidgetItem* item =
            n.parent ? new QTreeWidgetItem(byKey.value(QLatin1String(n.parent))) : new QTreeWidgetItem(m_tree);
        item->setText(0, QLatin1String(n.text));
        // In a main window too narrow for the whole tree the tip still shows the whole text.
        item->setToolTip(0, item->text(0));
        item->setData(0, KeyRole, QLatin1String(n.key));
        QFont bold = m_tree->font();
        bold.setBold(true);
        item->setFont(0, bold);
        item->setExpanded(n.expanded);
        item->setData(0, TagRole, n.tag ? QString(QLatin1String(n.tag)) : QString());
        item->setData(0, ImageRole, QLatin1String(n.image));
        item->setIcon(0, shellIcon(QLatin1String(n.image)));
        if (!n.parent)
            item->setForeground(0, QColor(255, 0, 0));
        byKey.insert(QLatin1String(n.key), item);
    }
}
