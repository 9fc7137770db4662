#pragma once

#include "data/Regional.h"
#include "shell/EntityKind.h"

#include <QIcon>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>

class QListView;
class QSortFilterProxyModel;
class QStackedWidget;
class QStandardItemModel;
class QTreeView;
class QAbstractItemView;
class QVBoxLayout;

// The one pattern behind the five list windows: a model of one row per entity, shown in one of
// the four view modes of listViewMode, sorted ascending by the values of the clicked column:
// dates by day, numbers by size, other text with letter case ignored. Each row knows its entity
// by its position in the window's own object list, never by a text key; the entity's number on the
// row serves only to find the row again when the list is filled anew after a change of the data.
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
    // listed; the window stays where it is and keeps its place in the list. Runs whenever stored
    // data changed (DataChanges).
    void refresh();

protected:
    // Empties the list and puts up the columns; sorting is off while the rows go in.
    void beginFill(const QList<Column>& columns);
    // Appends the row of the entity with that number; returns its position in the object list
    // (the fill order).
    int addRow(int number, const QStringList& texts);
    // What a cell sorts by when its text would mislead: a QDate, or a whole number (an amount in
    // its smallest unit). Cells of one column either all have a value or none.
    void setSortValue(int objectIndex, int column, const QVariant& value);
    // Ends a fill: sorts once, selects the marked object (or the first row shown when
    // selectFirst), applies the view, shows the window and brings it forward. Within refresh it
    // only sorts: refresh itself puts the selection back.
    void endFill(int selectedObject, bool selectFirst);
    // Fills the rows again for refresh: the window's display with its key for no particular row.
    virtual void reload() {}
    bool refreshing() const { return m_refreshing; }
    // The fill-order position of the selected row, or -1.
    int selectedObject() const;
    void selectObject(int objectIndex);
    void bringForward();

    // The sort column a header click stands for.
    virtual int sortColumnForHeader(int section) const { return section; }
    // A click on a row, or Up/Down released in the list.
    virtual void rowChosen() {}

    QVBoxLayout* mainLayout() const { return m_layout; }

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applySort();

    EntityKind m_kind;
    QVBoxLayout* m_layout = nullptr;
    QStandardItemModel* m_model = nullptr;
    QSortFilterProxyModel* m_proxy = nullptr;
    QStackedWidget* m_stack = nullptr;
    QTreeView* m_details = nullptr;
    QListView* m_icons = nullptr;
    QIcon m_icon;
    int m_sortColumn = 0;
    int m_viewMode = 3;
    bool m_refreshing = false;
};
