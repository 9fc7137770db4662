#pragma once

#include "shell/Commands.h"
#include "shell/EntityKind.h"
#include "shell/frmSplash.h"

#include <QLockFile>
#include <QMainWindow>
#include <QTimer>
#include <memory>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QSplitter;
class QTreeWidget;
class QTreeWidgetItem;
class SessionEnd;

using Entity = EntityKind;

// The view mode of every list window: 1 large icons, 2 list, 3 details, 4 small icons; anything else
// (0 until the user picks one) shows details.
extern int listViewMode;

// The program's MDI main window: the navigation tree on the left, the child windows beside it, the menus,
// the toolbar and the status bar. Starting the program is starting this window (startUp), and closing
// it ends the program (the settings and the exit backup are written then).
class frmMain : public QMainWindow {
    Q_OBJECT

public:
    // The splash time is for tests only; the program always shows the splash for its full time.
    explicit frmMain(QWidget* parent = nullptr, int splashMilliseconds = frmSplash::kShowMilliseconds);
    ~frmMain() override;

    // The one main window, or nullptr.
    static frmMain* instance();

    // Prepares folders, settings and the data file, then shows the window, the splash and (on the first
    // run) the welcome window. False when the program must end: another copy runs, or the data file
    // cannot be opened.
    bool startUp();

    // Lays out the tree, the splitter and every child window in normal state. With a position (twips
    // from the window's left edge) the splitter moves there, within the window's limits.
    void sizeControls();
    void sizeControls(double splitTwips);
    // The splitter's left edge, twips.
    int splitterLeft() const { return m_splitLeft; }

    // Brings up a list window on its first row, maximised unless the user has tiled or cascaded the
    // child windows.
    void showLeagues();
    void showTeams();
    void showCars();
    void showRaces();
    void showScoring();

    // Commands of the menus and the toolbar, past their file dialogs.
    void setViewMode(int mode);
    // 0 cascade, 1 tile horizontally, 2 tile vertically, 3 arrange the minimised windows.
    void arrangeWindows(int arrangement);
    // F6 and Shift+F6: the keys go from the navigation tree to the active child window, and from
    // anywhere in that window back to the tree; without a child window they stay in the tree.
    void switchPane();
    void importFrom(const QString& path);
    bool restoreFrom(const QString& path);
    bool backupTo(const QString& path);
    // Removes the postings of every race in every league; races and results stay.
    void clearPostings();
    void toolbarButtonClick(const QString& key);

    // The navigation tree's handlers.
    void treeNodeClick(QTreeWidgetItem* node);
    // Prepares the pop-up menu for a right click at the position in the tree's viewport; nullptr when
    // the click is on no administration entry.
    QMenu* prepareTreePopup(const QPoint& viewportPos);
    // A splitter drag ended with the tree this many pixels wide.
    void splitterDropped(int treePixels);

    // Enables what commands() offers (an empty entry greys its menu entries out).
    void refreshCommands();

    QMdiArea* mdiArea() const { return m_mdi; }
    QTreeWidget* sstreemain() const { return m_tree; }
    QSplitter* splitter() const { return m_splitter; }
    QToolBar* Toolbar1() const { return m_toolbar; }
    QStatusBar* StatusBar1() const;
    // Panel 1 the status text, 2 the date, 3 the time.
    QLabel* statusPanel(int number) const;
    // The pop-up menu of an entity kind (New, Update, Delete, Help); list windows enable Update and
    // Delete and pop it up.
    QMenu* entityMenu(Entity entity) const;
    // Pops up the kind's menu for a list window's row: Update and Delete are enabled where the kind has them.
    void popupEntityMenu(Entity entity, const QPoint& globalPos);
    // The menu or toolbar action with the given name (mnuFileExit, tbLeagues, ...).
    QAction* action(const QString& name) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createMenus();
    void createToolbar();
    void createStatusBar();
    void buildTree();
    void applyBarSettings();
    void applyGeometry();
    // A data file to open: found, made on a first start, or, when it has gone missing or empty later,
    // restored from the backup or made empty as the user chooses. False when the start must end.
    bool prepareDataFile();
    // Opens the data file; one too damaged to open is said with the backup offered. False when the start ends.
    bool openDataFileAtStart();
    // Reads the open data file whole; when it is damaged, the user may restore the backup or go on with it.
    // False when the user ends the start.
    bool checkDataFileAtStart();
    // Offers the default backup in place of the damaged data file (open, or too damaged to open); true when
    // the start goes on with a data file open.
    bool offerBackupFor(const QString& damage, bool opened);
    // The session ends (a logout, a shutdown): every modal window is closed and then the main window, which
    // writes the settings and the exit backup as any close does.
    void endSession();
    QMargins settledFrameMargins();
    void placeFrame(const QRect& outer);
    void shutDown();
    void layoutChildren();
    // The tree's width, in pixels, in which every entry shows whole in the user's font.
    int treeWidthNeeded() const;
    // Whether the children keep an arrangement the user chose (none of them is maximised).
    bool keepsUsersArrangement() const;
    void tileChildren(Qt::Orientation stacking);
    void arrangeIcons();
    void updateClock();
    void rebuildWindowList();

    Commands::Kind& commandsOf(Entity entity) const;
    void showList(Entity entity);
    // The keys go into the child window: to the field used there last, else to its first field; a list
    // window's first field is the view it shows. toTheList: into a list window's view, wherever they
    // were in it last.
    void giveKeysTo(QMdiSubWindow* sub, bool toTheList = false);
    void listFirst(Entity entity);
    void entityCommand(Entity entity, int which);
    void toggleBar(bool toolbar);

    QAction* addAction(QMenu* menu, const QString& name, const QString& caption, const QKeySequence& key = {});
    void chooseImport();
    void chooseRestore();
    void chooseBackup();

    int m_splashMilliseconds;
    bool m_started = false;
    bool m_shutDown = false;
    int m_splitLeft = 2520;
    double m_splitterPos = 0;
    int m_stateAtStart = 2;
    QRect m_outerAtStart;
    // The arrangement of the child windows the user chose from the Window menu (0 cascade, 1 and 2
    // tiled); -1 until then: list windows come up maximised and normal ones fill the area.
    int m_arrangement = -1;

    QSplitter* m_splitter;
    QTreeWidget* m_tree;
    QMdiArea* m_mdi;
    QToolBar* m_toolbar = nullptr;
    QLabel* m_panels[3] = {};
    QMenu* m_entityMenus[5] = {};
    QMenu* m_windowMenu = nullptr;
    QAction* m_windowListStart = nullptr;
    QList<QAction*> m_windowListActions;
    QTimer m_clock;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<SessionEnd> m_sessionEnd;
    bool m_endRequested = false;
};
