#include "shell/frmMain.h"

#include "app/Settings.h"
#include "data/DataChanges.h"
#include "data/Feedback.h"
#include "data/Paths.h"
#include "data/Regional.h"
#include "data/cConnection.h"
#include "kit/Twips.h"
#include "platform/Clock.h"
#include "posting/cRacesCollection.h"
#include "posting/cResultsCollection.h"
#include "shell/Help.h"
#include "shell/ListWindow.h"
#include "shell/MainWindowTables.h"
#include "shell/ReportLaunchers.h"
#include "shell/SessionEnd.h"
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
#include <QStyle>
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

bool sameFile(const QString& a, const QString& b) {
    const QFileInfo fa(a), fb(b);
    if (fa.absoluteFilePath() == fb.absoluteFilePath())
        return true;
    return fa.exists() && fb.exists() && fa.canonicalFilePath() == fb.canonicalFilePath();
}

} // namespace

using namespace mainwindow;

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
    ui().setStatusTarget(nullptr);
    ui().setFileProgressTarget(nullptr);
}

frmMain* frmMain::instance() {
    return mainWindow().data();
}

// ---- layout ----

void frmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    sizeControls();
}

void frmMain::sizeControls() {
    sizeControls(m_splitLeft);
}

void frmMain::sizeControls(double splitTwips) {
    // The position is a 16-bit number of twips, rounded half to even.
    int x = static_cast<int>(std::nearbyint(qBound(-32768.0, splitTwips, 32767.0)));
    if (x < 1500)
        x = 2800;
    const double outerWidth = twipsX(frameGeometry().width(), this);
    if (x > outerWidth - 1500)
        x = static_cast<int>(std::nearbyint(outerWidth - 1500));
    m_splitLeft = x;

    // The tree shows every entry whole: it is at least as wide as its longest one needs in the user's
    // font, within the same right-hand limit. The position recorded stays the one the user chose.
    const int treeLimit = pixelsX(std::max(0.0, outerWidth - 1500), this);
    const int treePixels = qMax(0, qMax(pixelsX(x, this), qMin(treeWidthNeeded(), treeLimit)));
    const int rest = qMax(0, m_splitter->width() - treePixels - m_splitter->handleWidth());
    m_splitter->setSizes({treePixels, rest});
    layoutChildren();
}

bool frmMain::keepsUsersArrangement() const {
    if (m_arrangement < 0)
        return false;
    for (QMdiSubWindow* sub : m_mdi->subWindowList())
        if (sub->isMaximized())
            return false;
    return true;
}

int frmMain::treeWidthNeeded() const {
    // Each entry whole, the report entries too while their branch is closed: indented by its depth
    // (the top one as well, for its branch mark), its picture, its bold text and the item's margins.
    const int margin = m_tree->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_tree) + 1;
    int widest = 0;
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        int depth = 1;
        for (QTreeWidgetItem* up = (*it)->parent(); up; up = up->parent())
            ++depth;
        const int text = QFontMetrics((*it)->font(0)).horizontalAdvance((*it)->text(0));
        widest = std::max(widest, depth * m_tree->indentation() + m_tree->iconSize().width() + text + 4 * margin);
    }
    return widest + 2 * m_tree->frameWidth();
}

void frmMain::layoutChildren() {
    // Tiled or cascaded by the user, the children are arranged so again (a window opened since
    // included), rather than each made to fill the area.
    if (keepsUsersArrangement()) {
        if (m_arrangement == 0)
            m_mdi->cascadeSubWindows();
        else
            tileChildren(m_arrangement == 1 ? Qt::Vertical : Qt::Horizontal);
        return;
    }
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

Commands::Kind& frmMain::commandsOf(Entity entity) const {
    Commands& h = commands();
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
    Commands::Kind& h = commandsOf(entity);
    QMdiSubWindow* shown = nullptr;
    if (h.display) {
        QWidget* list = h.display(noSelection(entity));
        const bool keep = keepsUsersArrangement();
        for (QMdiSubWindow* sub : m_mdi->subWindowList())
            if (list && (sub == list || sub->widget() == list)) {
                shown = sub;
                if (!sub->isMaximized() && !keep)
                    sub->showMaximized();
            }
    }
    sizeControls();
    // Also when the window was active already: the keys may have been in the tree, where Enter
    // would open the tree's entry instead of the list's row, or in a field of the window.
    if (shown)
        giveKeysTo(shown, true);
}

void frmMain::giveKeysTo(QMdiSubWindow* sub, bool toTheList) {
    if (m_mdi->currentSubWindow() != sub)
        m_mdi->setActiveSubWindow(sub);
    QWidget* inner = sub->widget();
    const auto takesKeys = [inner](QWidget* w) {
        return w && w != inner && inner->isAncestorOf(w) && w->isVisible() && w->isEnabled() &&
               (w->focusPolicy() & Qt::TabFocus);
    };
    QWidget* field = inner ? inner->focusWidget() : nullptr;
    // Not the focus chain's first field: in the icon views that is a field of the cars' panel.
    auto* list = qobject_cast<ListWindow*>(inner);
    if (list && (toTheList || !takesKeys(field))) {
        list->takeKeys();
        return;
    }
    if (!takesKeys(field)) {
        field = sub;
        for (QWidget* w = inner ? inner->nextInFocusChain() : nullptr; w && w != inner; w = w->nextInFocusChain())
            if (takesKeys(w)) {
                field = w;
                break;
            }
    }
    field->setFocus(Qt::OtherFocusReason);
}

void frmMain::switchPane() {
    QWidget* focus = QApplication::focusWidget();
    QMdiSubWindow* sub = m_mdi->currentSubWindow();
    if (sub && !(focus && m_mdi->isAncestorOf(focus)))
        giveKeysTo(sub);
    else
        m_tree->setFocus(Qt::OtherFocusReason);
}

void frmMain::showLeagues() {
    showList(Entity::League);
}
void frmMain::showTeams() {
    showList(Entity::Team);
}
void frmMain::showCars() {
    showList(Entity::Car);
}
void frmMain::showRaces() {
    showList(Entity::Race);
}
void frmMain::showScoring() {
    showList(Entity::Scoring);
}

void frmMain::listFirst(Entity entity) {
    Commands::Kind& h = commandsOf(entity);
    if (!h.display || !h.create)
        return;
    h.display(noSelection(entity));
    sizeControls();
    h.create();
}

void frmMain::entityCommand(Entity entity, int which) {
    Commands::Kind& h = commandsOf(entity);
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

QMenu* frmMain::entityMenu(Entity entity) const {
    return m_entityMenus[static_cast<int>(entity)];
}

void frmMain::popupEntityMenu(Entity entity, const QPoint& globalPos) {
    const Commands::Kind& h = commandsOf(entity);
    const QString base = QLatin1String(info(entity).menuName);
    // The tree greys these out when it pops the same menu up over a folder node.
    action(base + QStringLiteral("Design"))->setEnabled(bool(h.update));
    action(base + QStringLiteral("Delete"))->setEnabled(bool(h.remove));
    entityMenu(entity)->popup(globalPos);
}

QAction* frmMain::action(const QString& name) const {
    return findChild<QAction*>(name);
}

QStatusBar* frmMain::StatusBar1() const {
    return const_cast<frmMain*>(this)->statusBar();
}

QLabel* frmMain::statusPanel(int number) const {
    return number >= 1 && number <= 3 ? m_panels[number - 1] : nullptr;
}

void frmMain::refreshCommands() {
    const Commands& h = commands();
    const char* newNames[] = {"mnuFileNewLeague", "mnuFileNewTeam", "mnuFileNewCar", "mnuFileNewRace",
                              "mnuFileNewScoring"};
    const char* viewNames[] = {"mnuViewLeauges", "mnuViewTeams", "mnuViewCars", "mnuViewRaces", "mnuViewScoring"};
    for (int i = 0; i < 5; ++i) {
        const Entity entity = static_cast<Entity>(i);
        const Commands::Kind& e = commandsOf(entity);
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
    if (arrangement >= 0 && arrangement <= 2)
        m_arrangement = arrangement;
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
    if (!commands().importFile)
        return;
    setMousePointer(PointerHourglass);
    const ImportOutcome outcome = commands().importFile(path);
    setMousePointer(PointerDefault);
    // A refused file's box has named the line and said that nothing was imported.
    if (outcome == ImportOutcome::Refused)
        return;
    ui().messageBox(outcome == ImportOutcome::Imported ? QStringLiteral("Import Complete.")
                                                       : QStringLiteral("Import Failed."),
                    QStringLiteral("Quorvanti"), MsgIcon::None, MsgButtons::Ok);
}

void frmMain::chooseRestore() {
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Quorvanti Restore"),
                                                      QDir(backupsDir()).filePath(QLatin1String(kDataFileName)),
                                                      QStringLiteral("Quorvanti Data File (*.qv)"));
    if (path.isEmpty())
        return;
    setStatus(restoreFrom(path) ? QStringLiteral("Data File Restored from ") + QDir::toNativeSeparators(path)
                                : QStringLiteral("Data File Not Restored"));
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
    // They go at once, so that a list shown next is a new one, arranged as the user chose.
    for (const QPointer<QMdiSubWindow> sub : m_mdi->subWindowList()) {
        sub->close();
        delete sub;
    }
    if (gConnection)
        gConnection->CloseConnection();
    else
        gConnection = std::make_unique<cConnection>();

    QString kept;
    const bool restored = restoreDataFile(path, &error, &kept);
    // Either the restored file or, after a failure, the untouched data file is opened again.
    const bool open = gConnection->openAccessConnection() == 0;
    // Whatever still keeps rows of the data file reads them again from the file now open.
    dataChanges().tellNow();
    if (!restored && open)
        showQuorvantiBox(
            QStringLiteral("The data file could not be restored from '%1'. The data file in use was kept.\n\n%2")
                .arg(path, error));
    setMousePointer(PointerDefault);
    if (restored && !kept.isEmpty())
        ui().messageBox(QStringLiteral("The data file was restored from %1. The data file it replaced was kept as "
                                       "%2.\n\nTo go back to it, choose Restore Data File... in the System menu and "
                                       "open %2.")
                            .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(kept)),
                        QStringLiteral("Quorvanti"), MsgIcon::Information, MsgButtons::Ok);
    return restored && open;
}

void frmMain::chooseBackup() {
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Quorvanti Save"), QDir(backupsDir()).filePath(QLatin1String(kDataFileName)),
        QStringLiteral("Quorvanti Data File (*.qv)"), nullptr, QFileDialog::DontConfirmOverwrite);
    if (!path.isEmpty() && backupTo(path))
        setStatus(QStringLiteral("Data File Backed Up to ") + QDir::toNativeSeparators(path));
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
    const auto cleared = [] {
        cRacesCollection races;
        races.load();
        // All or nothing: a season half cleared would carry stale totals into the next posting.
        Transaction tx;
        if (!tx.begun())
            return false;
        cResultsCollection results;
        for (const cRaces& race : races)
            if (!results.deletePosting(race.raceNmbr()))
                return false;
        return tx.commit();
    };
    setStatus(cleared() ? QStringLiteral("Postings Cleared for New Season")
                        : QStringLiteral("Postings Not Cleared for New Season"));
}
