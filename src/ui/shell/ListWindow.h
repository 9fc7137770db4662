#pragma once

#include "data/Regional.h"
#include "shell/EntityKind.h"
#include "shell/ListRowsModel.h"

#include <QList>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>

#include <functional>
#include <vector>

class QListView;
class QSortFilterProxyModel;
class QStackedWidget;
class QTreeView;
class QAbstractItemView;
class QVBoxLayout;

// The one pattern behind the five list windows: a model of one row per entity, shown in one of
// the four view modes of listViewMode, sorted ascending by the values of the clicked column:
// dates by day, numbers by size, other text with letter case ignored. Each row knows its entity
// by its position in the window's own object list, never by a text key; the entity's number on the
// row serves only to find the row again when the list is filled anew after a change of the data.
// A new fill changes only the rows that differ from what is shown and sorts again only when the
// order may have moved, so a large list follows a change of one row at the cost of reading it.
class ListWindow : public QWidget {
    Q_OBJECT
public:
    struct Column {
        QString header;
        int widthTwips;
    };

    explicit ListWindow(EntityKind kind, QWidget* parent = nullptr);
    ~ListWindow() override;

    EntityKind kind() const { return m_kind; }

    // Sets the view from the shared listViewMode: 1 large icons, 2 list, 4 small icons, else details.
    Q_INVOKABLE void setView();
    void setView(int mode);
    // The view shown: 1, 2, 3 or 4.
    int viewMode() const { return m_viewMode; }
    QAbstractItemView* currentView() const;
    // Puts the keys into the view shown, on its highlighted row.
    void takeKeys();
    QTreeView* detailsView() const { return m_details; }
    QListView* iconView() const { return m_icons; }

    // The column the rows are sorted by, counted from 0.
    int sortColumn() const { return m_sortColumn; }
    // What a click on a column header does.
    void headerClicked(int section);

    int rowCount() const;
    // A cell's text, rows counted in the order shown.
    QString displayedText(int row, int column) const;
    // The row shown at that position, or -1 when nothing is selected.
    int selectedDisplayRow() const;

    // Fills the list again from the data file, with the selected row kept where its entity is still
    // listed; the window stays where it is and keeps its place in the list. Runs when a table the
    // list shows changed after the list read it (DataChanges): at once while the window is shown,
    // else when it is shown again.
    void refresh();
    // A table the list shows has changed since the list read it.
    bool isStale() const;
    // While the editor of a new entity is open: the entity's number, below 1 until it is stored. Once
    // it is, a refresh highlights its row, as the list does when the editor has closed. None: {}.
    void setNewEntity(std::function<int()> number) { m_newEntity = std::move(number); }

protected:
    // The tables whose rows the list shows, looked-up names included (lower case).
    void setShownTables(const QStringList& tables) { m_tables = tables; }
    // Starts a fill: puts up the columns; the rows follow with addRow in the object list's order.
    void beginFill(const QList<Column>& columns);
    // The row of the entity with that number; returns its position in the object list (the fill
    // order).
    int addRow(int number, const QStringList& texts);
    // What a cell sorts by when its text would mislead: a QDate, or a whole number (an amount in
    // its smallest unit). Cells of one column either all have a value or none.
    void setSortValue(int objectIndex, int column, const QVariant& value);
    // Ends a fill: brings the rows shown up to the rows added (a row keeps its place while its
    // entity is listed), sorts when the order may have moved, selects the marked object (or the
    // first row shown when selectFirst), applies the view, shows the window and brings it forward.
    // Within refresh it only updates the rows: refresh itself puts the selection back.
    void endFill(int selectedObject, bool selectFirst);
    // Fills the rows again for refresh: the window's display with its key for no particular row.
    virtual void reload() {}
    bool refreshing() const { return m_refreshing; }
    // The fill-order position of the selected row, or -1.
    int selectedObject() const;
    // Highlights the row (none for -1) for the program, not as a choice of the user's (no rowChosen).
    void selectObject(int objectIndex);
    void bringForward();

    // The sort column a header click stands for.
    virtual int sortColumnForHeader(int section) const { return section; }
    // The user moved the highlight (by any key, a click or a drag), clicked a row, or released Up or
    // Down in the list.
    virtual void rowChosen() {}

    QVBoxLayout* mainLayout() const { return m_layout; }

    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void applySort();
    // Highlights the row shown at that position (none for -1). The view's current cell, which the keys
    // move on from and which the frame shows, is always on the highlighted row, and in a column the
    // view shows: a view moves the highlight to the cell under the current one, and a hidden column
    // has none, so the frame would move alone.
    void highlightRow(int displayRow);
    // The column of the view shown whose cells the current one is in: the first the details show, or
    // the one the icons show.
    int keyColumn() const;
    void storedDataChanged();
    // Makes the model's rows those of the fill, in its order; true when the sorted order may have
    // moved (rows came in, or a cell of the sort column changed).
    bool mergeFill();

    EntityKind m_kind;
    QVBoxLayout* m_layout = nullptr;
    ListRowsModel* m_model = nullptr;
    QSortFilterProxyModel* m_proxy = nullptr;
    QStackedWidget* m_stack = nullptr;
    QTreeView* m_details = nullptr;
    QListView* m_icons = nullptr;
    int m_sortColumn = 0;
    int m_viewMode = 3;
    bool m_refreshing = false;
    // The program itself is moving the highlight: no rowChosen.
    bool m_quiet = false;
    QStringList m_tables;
    std::function<int()> m_newEntity;
    std::vector<ListRowsModel::Row> m_fill;
    // DataChanges' serial when the rows shown were read; 0 before the first fill.
    quint64 m_readAt = 0;
    bool m_filled = false;
    bool m_resort = false; // the rows were put in anew: sort them once they are in
    // The field that had the focus when the window was hidden behind another maximised one; it gets
    // the focus back when the window is active again.
    QPointer<QWidget> m_focusWhenHidden;
    bool m_activationWatched = false;
};
