#include "shell/frmMain.h"

#include "data/CommonCode.h"
#include "data/DataChanges.h"
#include "data/Paths.h"
#include "data/Regional.h"
#include "data/cConnection.h"
#include "adapters/QtUiServices.h"
#include "platform/Clock.h"
#include "posting/cRacesCollection.h"
#include "posting/cResultsCollection.h"
#include "shell/Help.h"
#include "shell/ReportLaunchers.h"
#include "app/Settings.h"
#include "shell/ShellIcons.h"
#include "kit/Twips.h"
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
#include <QSplitter>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QTime>
#include <QToolBar>
#include <QTreeWidget>
#include <QWindow>
#include <cmath>

int listViewMode = 0;

namespace {

QPointer<frmMain>& mainWindow() {
    static QPointer<frmMain> w;
    return w;
}

// Roles of the tree's nodes.
constexpr int KeyRole = Qt::UserRole;
constexpr int TagRole = Qt::UserRole + 1;
constexpr int ImageRole = Qt::UserRole + 2;

struct EntityInfo {
    const char* menuName;   // mnuLeague, ...
    const char* menuTitle;  // "League", ...
    const char* thing;      // the text after "New ", "Update ", "Delete "
    const char* listTag;    // the tree node that shows the list window
    int helpTopic;
    bool numberKey;         // the list window is keyed by number (-1 = first row), else by name ("")
};

const EntityInfo kEntities[] = {
    {"mnuLeague", "League", "League", "LEAGUES ROOT", 500, true},
    {"mnuTeam", "Team", "Team", "TEAMS ROOT", 400, false},
    {"mnuCar", "Car", "Car/Driver", "CARS ROOT", 300, true},
    {"mnuRace", "Race", "Race", "RACES ROOT", 700, false},
    {"mnuScoring", "Scoring", "Scoring", "SCORING ROOT", 200, false},
};

const EntityInfo& info(Entity e) { return kEntities[static_cast<int>(e)]; }

QVariant noSelection(Entity e) { return info(e).numberKey ? QVariant(-1) : QVariant(QString()); }

// The toolbar's buttons: key, tool tip, picture, entity.
struct ToolButton {
    const char* key;
    const char* tip;
    const char* image;
    Entity entity;
};

const ToolButton kToolButtons[] = {
    {"tbLeagues", "New League", "imgLeagues", Entity::League},
    {"tbTeams", "New Team", "imgTeams", Entity::Team},
    {"tbCars", "New Car/Driver", "imgCars", Entity::Car},
    {"tbRaces", "New Race", "imgRaces", Entity::Race},
    {"tbScoring", "New Scoring", "imgScoring", Entity::Scoring},
};

bool sameFile(const QString& a, const QString& b) {
    const QFileInfo fa(a), fb(b);
    if (fa.absoluteFilePath() == fb.absoluteFilePath())
        return true;
    return fa.exists() && fb.exists() && fa.canonicalFilePath() == fb.canonicalFilePath();
}

} // namespace

frmMain::frmMain(QWidget* parent, int splashMilliseconds)
    : QMainWindow(parent), m_splashMilliseconds(splashMilliseconds), m_splitter(new QSplitter(Qt::Horizontal, this)),
      m_tree(new QTreeWidget(m_splitter)), m_mdi(new QMdiArea(m_splitter)) {
    mainWindow() = this;
    setObjectName(QStringLiteral("frmMain"));
    setWindowIcon(shellIcon(QStringLiteral("imgTire")));

    m_tree->setObjectName(QStringLiteral("sstreemain"));
    m_tree->setHeaderHidden(true);
    m_tree->setIconSize(QSize(16, 16));
    m_tree->setIndentation(16);
    m_tree->viewport()->installEventFilter(this);
    m_tree->installEventFilter(this);
    m_tree->viewport()->setMouseTracking(true);
    connect(m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { treeNodeClick(item); });

    m_mdi->setObjectName(QStringLiteral("mdiArea"));
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    // The splitter moves only when the drag ends, and then within the layout's limits.
    m_splitter->setObjectName(QStringLiteral("imgSplitter"));
    m_splitter->setOpaqueResize(false);
    m_splitter->setChildrenCollapsible(false);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    connect(m_splitter, &QSplitter::splitterMoved, this, [this](int pos, int) { splitterDropped(pos); });
    setCentralWidget(m_splitter);

    createMenus();
    createToolbar();
    createStatusBar();

    // A fresh window keeps the default geometry until the settings are read.
    resize(pixelsX(10455, this), pixelsY(7920, this));
}

frmMain::~frmMain() {
    if (mainWindow() == this)
        mainWindow() = nullptr;
    if (auto* q = dynamic_cast<QtUiServices*>(&ui()))
        q->setStatusLabel(nullptr);
}

frmMain* frmMain::instance() { return mainWindow().data(); }

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
                if (shellHooks().publishWeb)
                    shellHooks().publishWeb();
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
                if (shellHooks().reportDetails)
                    shellHooks().reportDetails();
            });

    QMenu* system = bar->addMenu(QStringLiteral("&System"));
    system->setObjectName(QStringLiteral("mnuSystem"));
    connect(addAction(system, QStringLiteral("mnuSystemRaceTypes"), QStringLiteral("Race Types...")),
            &QAction::triggered, this, [] {
                if (shellHooks().raceTypes)
                    shellHooks().raceTypes();
            });
    connect(addAction(system, QStringLiteral("mnuSystemGroups"), QStringLiteral("Groups...")), &QAction::triggered,
            this, [] {
                if (shellHooks().groups)
                    shellHooks().groups();
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
    m_windowMenu->addSeparator();
    m_windowListStart = addAction(m_windowMenu, QStringLiteral("windowOpen"), QStringLiteral("Open Windows"));
    connect(m_windowMenu, &QMenu::aboutToShow, this, &frmMain::rebuildWindowList);

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    connect(addAction(help, QStringLiteral("mnuHelpConetents"), QStringLiteral("&Contents..."), QKeySequence(Qt::Key_F1)),
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
        connect(addAction(menu, base + QStringLiteral("New"), QStringLiteral("New ") + thing), &QAction::triggered, this,
                [this, entity] { entityCommand(entity, 0); });
        menu->addSeparator();
        connect(addAction(menu, base + QStringLiteral("Design"), QStringLiteral("Update ") + thing), &QAction::triggered,
                this, [this, entity] { entityCommand(entity, 1); });
        menu->addSeparator();
        connect(addAction(menu, base + QStringLiteral("Delete"), QStringLiteral("Delete ") + thing), &QAction::triggered,
                this, [this, entity] { entityCommand(entity, 2); });
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
    if (auto* q = dynamic_cast<QtUiServices*>(&ui())) {
        q->setStatusLabel(m_panels[0]);
        q->setFileProgressBar(fileProgress);
    }
    updateClock();
    connect(&m_clock, &QTimer::timeout, this, &frmMain::updateClock);
    m_clock.start(1000);
}

void frmMain::updateClock() {
    const QString date = shortDate(today());
    const QString time = regionalLocale().toString(QTime::currentTime(), QLocale::ShortFormat);
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
        QTreeWidgetItem* item = n.parent ? new QTreeWidgetItem(byKey.value(QLatin1String(n.parent)))
                                         : new QTreeWidgetItem(m_tree);
        item->setText(0, QLatin1String(n.text));
        // The tree is narrower than its longest labels at the default splitter position.
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
        else
            showStop(QStringLiteral("Quorvanti cannot write to its data folder %1.\n\nThe data file, its backups and "
                                    "the reports are kept there: check that the folder exists and that you may "
                                    "write to it.")
                         .arg(QDir::toNativeSeparators(programFolder())));
        return false;
    }

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

    if (!prepareDataFile() || !connectDatabase()) {
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
    return true;
}

bool frmMain::prepareDataFile() {
    const QString path = dataFilePath();
    switch (findDataFile(path)) {
    case DataFileFound::Present:
        return true;
    case DataFileFound::Blocked:
        return false;
    case DataFileFound::Missing:
        break;
    }
    // Only the very first start makes a data file unasked. Later the file has been deleted, moved or left
    // on a drive that is not there, and an empty one would stand in for the user's data without a word.
    const QString backup = defaultBackupPath();
    const bool hasBackup = QFileInfo::exists(backup);
    if (settings.firstTime == QLatin1String("Y") && !hasBackup)
        return createDataFile(path);

    QString missing = QStringLiteral("The data file %1 is missing.").arg(QDir::toNativeSeparators(path));
    const QFileInfo link(path);
    if (link.isSymLink())
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
    const int answer =
        askQuestion(missing + QStringLiteral("\n\nDo you want to restore it from the backup %1 of %2?\n\nYes "
                                             "restores the backup, No starts with an empty data file, Cancel ends "
                                             "Quorvanti.")
                                  .arg(QDir::toNativeSeparators(backup),
                                       shortDate(QFileInfo(backup).lastModified().date())),
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
    const int stateNumber = state & Qt::WindowMinimized ? 1 : (state & (Qt::WindowMaximized | Qt::WindowFullScreen) ? 2 : 0);
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
    backupDatabase(QString());
    if (gConnection)
        gConnection->CloseConnection();
    m_lock.reset();
}

// ---- layout ----

void frmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    sizeControls();
}

void frmMain::sizeControls() { sizeControls(m_splitLeft); }

void frmMain::sizeControls(double splitTwips) {
    // The position is a 16-bit number of twips, rounded half to even.
    int x = static_cast<int>(std::nearbyint(qBound(-32768.0, splitTwips, 32767.0)));
    if (x < 1500)
        x = 2800;
    const double outerWidth = twipsX(frameGeometry().width(), this);
    if (x > outerWidth - 1500)
        x = static_cast<int>(std::nearbyint(outerWidth - 1500));
    m_splitLeft = x;

    const int treePixels = qMax(0, pixelsX(x, this));
    const int rest = qMax(0, m_splitter->width() - treePixels - m_splitter->handleWidth());
    m_splitter->setSizes({treePixels, rest});
    layoutChildren();
}

void frmMain::layoutChildren() {
    // Child windows in normal state fill the area beside the tree; maximised and minimised ones stay.
    const QSize area = m_mdi->viewport()->size();
    for (QMdiSubWindow* sub : m_mdi->subWindowList()) {
        if (sub->isMaximized() || sub->isMinimized())
            continue;
        sub->setGeometry(0, 0, area.width(), area.height());
    }
}

void frmMain::splitterDropped(int treePixels) {
    const double position = twipsX(treePixels, this);
    const double outerWidth = twipsX(frameGeometry().width(), this);
    if (position < 500)
        m_splitterPos = 500;
    else if (position > outerWidth - 500)
        m_splitterPos = outerWidth - 500;
    else
        m_splitterPos = position;
    sizeControls(std::nearbyint(m_splitterPos));
}

void frmMain::toggleBar(bool toolbar) {
    QAction* entry = action(toolbar ? QStringLiteral("mnuViewToolbar") : QStringLiteral("mnuViewStatusbar"));
    // The action has already flipped its check mark.
    const bool shown = entry->isChecked();
    if (toolbar) {
        m_toolbar->setVisible(shown);
        settings.toolBar = shown ? QStringLiteral("Y") : QStringLiteral("N");
    } else {
        statusBar()->setVisible(shown);
        settings.statusBar = shown ? QStringLiteral("Y") : QStringLiteral("N");
    }
    sizeControls();
}

// ---- list windows and entity commands ----

EntityHooks& frmMain::hooksOf(Entity entity) const {
    ShellHooks& h = shellHooks();
    switch (entity) {
    case Entity::League:
        return h.leagues;
    case Entity::Team:
        return h.teams;
    case Entity::Car:
        return h.cars;
    case Entity::Race:
        return h.races;
    case Entity::Scoring:
        break;
    }
    return h.scoring;
}

void frmMain::showList(Entity entity) {
    EntityHooks& h = hooksOf(entity);
    if (h.display) {
        QWidget* list = h.display(noSelection(entity));
        for (QMdiSubWindow* sub : m_mdi->subWindowList())
            if (list && (sub == list || sub->widget() == list) && !sub->isMaximized())
                sub->showMaximized();
    }
    sizeControls();
}

void frmMain::showLeagues() { showList(Entity::League); }
void frmMain::showTeams() { showList(Entity::Team); }
void frmMain::showCars() { showList(Entity::Car); }
void frmMain::showRaces() { showList(Entity::Race); }
void frmMain::showScoring() { showList(Entity::Scoring); }

void frmMain::listFirst(Entity entity) {
    EntityHooks& h = hooksOf(entity);
    if (!h.display || !h.create)
        return;
    h.display(noSelection(entity));
    sizeControls();
    h.create();
}

void frmMain::entityCommand(Entity entity, int which) {
    EntityHooks& h = hooksOf(entity);
    const std::function<void()>& command = which == 0 ? h.create : (which == 1 ? h.update : h.remove);
    if (command)
        command();
    sizeControls();
}

void frmMain::toolbarButtonClick(const QString& key) {
    for (const ToolButton& b : kToolButtons)
        if (key == QLatin1String(b.key)) {
            listFirst(b.entity);
            return;
        }
}

QMenu* frmMain::entityMenu(Entity entity) const { return m_entityMenus[static_cast<int>(entity)]; }

void frmMain::popupEntityMenu(Entity entity, const QPoint& globalPos) {
    const EntityHooks& h = hooksOf(entity);
    const QString base = QLatin1String(info(entity).menuName);
    // The tree greys these out when it pops the same menu up over a folder node.
    action(base + QStringLiteral("Design"))->setEnabled(bool(h.update));
    action(base + QStringLiteral("Delete"))->setEnabled(bool(h.remove));
    entityMenu(entity)->popup(globalPos);
}

QAction* frmMain::action(const QString& name) const { return findChild<QAction*>(name); }

QStatusBar* frmMain::StatusBar1() const { return const_cast<frmMain*>(this)->statusBar(); }

QLabel* frmMain::statusPanel(int number) const { return number >= 1 && number <= 3 ? m_panels[number - 1] : nullptr; }

void frmMain::refreshCommands() {
    const ShellHooks& h = shellHooks();
    const char* newNames[] = {"mnuFileNewLeague", "mnuFileNewTeam", "mnuFileNewCar", "mnuFileNewRace",
                              "mnuFileNewScoring"};
    const char* viewNames[] = {"mnuViewLeauges", "mnuViewTeams", "mnuViewCars", "mnuViewRaces", "mnuViewScoring"};
    for (int i = 0; i < 5; ++i) {
        const Entity entity = static_cast<Entity>(i);
        const EntityHooks& e = hooksOf(entity);
        const bool canCreate = e.display && e.create;
        action(QLatin1String(newNames[i]))->setEnabled(canCreate);
        action(QLatin1String(kToolButtons[i].key))->setEnabled(canCreate);
        action(QLatin1String(viewNames[i]))->setEnabled(bool(e.display));
        const QString base = QLatin1String(kEntities[i].menuName);
        action(base + QStringLiteral("New"))->setEnabled(bool(e.create));
        action(base + QStringLiteral("Design"))->setEnabled(bool(e.update));
        action(base + QStringLiteral("Delete"))->setEnabled(bool(e.remove));
    }
    action(QStringLiteral("mnuFileImport"))->setEnabled(bool(h.importFile));
    action(QStringLiteral("mnuFilePublishWeb"))->setEnabled(bool(h.publishWeb));
    action(QStringLiteral("mnuReportReportDetails"))->setEnabled(bool(h.reportDetails));
    action(QStringLiteral("mnuSystemRaceTypes"))->setEnabled(bool(h.raceTypes));
    action(QStringLiteral("mnuSystemGroups"))->setEnabled(bool(h.groups));

    // Report entries whose report is not there yet are greyed.
    const QStringList tags = reportTags();
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        const QString tag = (*it)->data(0, TagRole).toString();
        if (tags.contains(tag)) {
            Qt::ItemFlags flags = (*it)->flags();
            flags.setFlag(Qt::ItemIsEnabled, reportLauncherAvailable(tag));
            (*it)->setFlags(flags);
        }
    }
}

// ---- the tree ----

void frmMain::treeNodeClick(QTreeWidgetItem* node) {
    const QString tag = node ? node->data(0, TagRole).toString().toUpper() : QString();
    if (tag == QLatin1String("LEAGUES ROOT"))
        showLeagues();
    else if (tag == QLatin1String("TEAMS ROOT"))
        showTeams();
    else if (tag == QLatin1String("CARS ROOT"))
        showCars();
    else if (tag == QLatin1String("RACES ROOT"))
        showRaces();
    else if (tag == QLatin1String("SCORING ROOT"))
        showScoring();
    else
        launchReportByTag(tag);
    sizeControls();
}

QMenu* frmMain::prepareTreePopup(const QPoint& viewportPos) {
    QTreeWidgetItem* node = m_tree->itemAt(viewportPos);
    QCoreApplication::processEvents();
    if (!node)
        return nullptr;
    const QString tag = node->data(0, TagRole).toString().toUpper();
    for (int i = 0; i < 5; ++i) {
        if (tag != QLatin1String(kEntities[i].listTag))
            continue;
        const QString base = QLatin1String(kEntities[i].menuName);
        // No list row is selected from the tree, so only New and Help apply.
        action(base + QStringLiteral("Delete"))->setEnabled(false);
        action(base + QStringLiteral("Design"))->setEnabled(false);
        return m_entityMenus[i];
    }
    return nullptr;
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_tree && event->type() == QEvent::KeyPress) {
        // Enter and Space open the selected node, as a click on it does.
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool opens = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Space;
        if (opens && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            QTreeWidgetItem* node = m_tree->currentItem();
            if (node && (node->flags() & Qt::ItemIsEnabled))
                treeNodeClick(node);
            return true;
        }
    }
    if (watched == m_tree->viewport()) {
        switch (event->type()) {
        case QEvent::MouseMove:
            setMousePointer(PointerDefault);
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            // A right click does not select the node.
            if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
                return true;
            break;
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::RightButton)
                break;
            if (QMenu* menu = prepareTreePopup(mouse->position().toPoint()))
                menu->popup(m_tree->viewport()->mapToGlobal(mouse->position().toPoint()));
            return true;
        }
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- view modes and window arrangement ----

void frmMain::setViewMode(int mode) {
    listViewMode = mode;
    if (QMdiSubWindow* sub = m_mdi->currentSubWindow())
        if (QWidget* w = sub->widget())
            QMetaObject::invokeMethod(w, "setView"); // every list window has one
    const struct {
        const char* name;
        int mode;
    } entries[] = {{"mnuViewLarge", 1}, {"mnuViewSmall", 4}, {"mnuViewList", 2}, {"mnuViewDetail", 3}};
    for (const auto& e : entries)
        action(QLatin1String(e.name))->setChecked(e.mode == mode);
}

void frmMain::arrangeWindows(int arrangement) {
    switch (arrangement) {
    case 0:
        m_mdi->cascadeSubWindows();
        break;
    case 1:
        tileChildren(Qt::Vertical);
        break;
    case 2:
        tileChildren(Qt::Horizontal);
        break;
    case 3:
        arrangeIcons();
        break;
    default:
        break;
    }
}

void frmMain::tileChildren(Qt::Orientation stacking) {
    // Horizontal tiling stacks the windows one above the other, each as wide as the area; vertical
    // tiling sets them side by side, each as high as the area.
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* sub : m_mdi->subWindowList(QMdiArea::CreationOrder))
        if (!sub->isMinimized() && sub->isVisible())
            windows << sub;
    if (windows.isEmpty())
        return;
    const QSize area = m_mdi->viewport()->size();
    const int n = windows.size();
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow* sub = windows[i];
        if (sub->isMaximized())
            sub->showNormal();
        if (stacking == Qt::Vertical) {
            const int top = area.height() * i / n;
            sub->setGeometry(0, top, area.width(), area.height() * (i + 1) / n - top);
        } else {
            const int left = area.width() * i / n;
            sub->setGeometry(left, 0, area.width() * (i + 1) / n - left, area.height());
        }
    }
}

void frmMain::arrangeIcons() {
    const QSize area = m_mdi->viewport()->size();
    int x = 0;
    int y = area.height();
    int rowHeight = 0;
    for (QMdiSubWindow* sub : m_mdi->subWindowList(QMdiArea::CreationOrder)) {
        if (!sub->isMinimized())
            continue;
        const QSize size = sub->size();
        if (x > 0 && x + size.width() > area.width()) {
            x = 0;
            y -= rowHeight;
            rowHeight = 0;
        }
        rowHeight = qMax(rowHeight, size.height());
        sub->move(x, y - size.height());
        x += size.width();
    }
}

void frmMain::rebuildWindowList() {
    qDeleteAll(m_windowListActions);
    m_windowListActions.clear();
    int n = 0;
    for (QMdiSubWindow* sub : m_mdi->subWindowList(QMdiArea::CreationOrder)) {
        ++n;
        QAction* a = m_windowMenu->addAction(QStringLiteral("&%1 %2").arg(n).arg(sub->windowTitle()));
        a->setCheckable(true);
        a->setChecked(sub == m_mdi->currentSubWindow());
        connect(a, &QAction::triggered, this, [this, sub] { m_mdi->setActiveSubWindow(sub); });
        m_windowListActions << a;
    }
}

// ---- import, restore, backup, clear ----

void frmMain::chooseImport() {
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Quorvanti Import"), importsDir(),
                                                      QStringLiteral("Quorvanti Import (*.qvi)"));
    if (!path.isEmpty())
        importFrom(path);
}

void frmMain::importFrom(const QString& path) {
    if (!shellHooks().importFile)
        return;
    setMousePointer(PointerHourglass);
    const bool done = shellHooks().importFile(path);
    setMousePointer(PointerDefault);
    ui().messageBox(done ? QStringLiteral("Import Complete.") : QStringLiteral("Import Failed."),
                    QStringLiteral("Quorvanti"), MsgIcon::None, MsgButtons::Ok);
}

void frmMain::chooseRestore() {
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Quorvanti Restore"),
                                                      QDir(backupsDir()).filePath(QLatin1String(kDataFileName)),
                                                      QStringLiteral("Quorvanti Data File (*.qv)"));
    if (!path.isEmpty())
        restoreFrom(path);
}

bool frmMain::restoreFrom(const QString& path) {
    const QString data = dataFilePath();
    if (sameFile(path, data)) {
        showQuorvantiBox(QStringLiteral("'%1' is the data file in use; choose a backup to restore.").arg(path));
        return false;
    }
    // Only a file that opens with the program's key replaces the data.
    QString error;
    if (!isDataFile(path, &error)) {
        showQuorvantiBox(QStringLiteral("The data file was not restored.\n\n%1").arg(error));
        return false;
    }

    setMousePointer(PointerHourglass);
    // The list windows hold rows of the data being replaced; they must not write into the restored one.
    m_mdi->closeAllSubWindows();
    if (gConnection)
        gConnection->CloseConnection();
    else
        gConnection = std::make_unique<cConnection>();

    const bool restored = restoreDataFile(path, &error);
    // Either the restored file or, after a failure, the untouched data file is opened again.
    const bool open = gConnection->openAccessConnection() == 0;
    // Whatever still keeps rows of the data file reads them again from the file now open.
    dataChanges().tellNow();
    if (!restored && open)
        showQuorvantiBox(
            QStringLiteral("The data file could not be restored from '%1'. The data file in use was kept.\n\n%2")
                .arg(path, error));
    setMousePointer(PointerDefault);
    return restored && open;
}

void frmMain::chooseBackup() {
    const QString path =
        QFileDialog::getSaveFileName(this, QStringLiteral("Quorvanti Save"),
                                     QDir(backupsDir()).filePath(QLatin1String(kDataFileName)),
                                     QStringLiteral("Quorvanti Data File (*.qv)"), nullptr,
                                     QFileDialog::DontConfirmOverwrite);
    if (!path.isEmpty())
        backupTo(path);
}

bool frmMain::backupTo(const QString& path) {
    // The backup replaces its destination, so the data file itself can never be one.
    if (sameFile(path, dataFilePath())) {
        showQuorvantiBox(QStringLiteral("The data file cannot be its own backup; choose another file."));
        return false;
    }
    setMousePointer(PointerHourglass);
    const bool ok = backupDatabase(path);
    setMousePointer(PointerDefault);
    return ok;
}

void frmMain::clearPostings() {
    cRacesCollection races;
    races.load();
    // All or nothing: a season half cleared would carry stale totals into the next posting.
    Transaction tx;
    if (!tx.begun())
        return;
    cResultsCollection results;
    for (const cRaces& race : races)
        if (!results.deletePosting(race.raceNmbr()))
            return;
    tx.commit();
}
