#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

#include "kit/EditorKit.h"
#include <vector>

class QComboBox;
class QKeyEvent;
class QLabel;
class QScrollBar;
class QWheelEvent;

// The editing grid of the editors: rows of cells under column headers, seven rows in view.
//
// Row 0 always exists; rows are appended with appendRow (loading) or by Enter on the last row, and
// removed only by setRows/clearRows. Seven slots show the rows from the scroll bar's value on; the
// bar's maximum is the row count (so it can be moved until only the last row shows) and the bar is
// switched on (enabled) only while there are more than seven rows. Enter in a row moves the focus
// down a row, scrolling as the scroll policy says; on the last row it appends a row with the texts of
// newRowTexts (or the columns' default texts) and gives the new row the focus.
//
// Cells are addressed by (row, column) from 0. Every cell has a text; List and RowList cells also a
// number (the chosen item's number). The grid emits cellChanged for every change of a cell's text
// that is typed, chosen or made by Enter; loading with setRows/appendRow/setText is silent, so a
// grid built from the data file is no edit.
class EditorGrid : public QWidget {
    Q_OBJECT

public:
    enum class Kind {
        Text,    // a text box
        Check,   // a check box without caption; text "1" or "0"
        List,    // a read-only text box covered, while it has the focus, by the grid's one floating list
        RowList, // a drop-down list of its own in every row, filled from the grid's items
        Display, // a disabled text box (shown values)
        Label,   // a fixed caption between cells ("VS", "In top"); no focus, no text of its own
    };

    struct Column {
        using Check = std::function<bool(EditorGrid& grid, int row, int col)>;
        Column() = default;
        Column(QString header_, Kind kind_, int left_, int width_, QString defaultText_ = {}, Check check_ = {})
            : header(std::move(header_)), kind(kind_), left(left_), width(width_), defaultText(std::move(defaultText_)),
              check(std::move(check_)) {}

        QString header; // shown above the column ("" for none)
        Kind kind = Kind::Text;
        int left = 0;        // twips from the grid's left edge
        int width = 735;     // twips
        QString defaultText; // row 0's design text and an appended row's text; a Label's caption
        // Runs when a cell of the column loses the focus while the window is visible; false refuses the
        // entry and gives the cell the focus back with its text selected (the check shows the message
        // and may empty the cell). checkNumberText(grid.cell(row, col), rule) fits here.
        Check check;
        Qt::Alignment alignment = Qt::AlignLeft;
    };

    enum class ScrollPolicy {
        AtBottom,   // Enter scrolls only from the bottom slot of the window
        EveryEnter, // Enter in or below the window always scrolls one row while the bar can move
    };

    explicit EditorGrid(QList<Column> columns, QWidget* parent = nullptr);

    // A column check applying checkNumberText to the cell.
    static std::function<bool(EditorGrid&, int, int)> numberCheck(const NumberRule& rule);

    // ---- shape ----
    int rowCount() const { return int(m_rows.size()); }
    int columnCount() const { return int(m_columns.size()); }
    // Measures in twips: the first slot's top (below the headers) and the distance between rows. A
    // header wider than its column in the grid's font widens the column and moves those after it.
    void setGeometryTwips(int firstRowTop, int rowStep = 400, int headerTop = 0);
    void setScrollPolicy(ScrollPolicy policy) { m_policy = policy; }
    // The column whose cell gets the focus after Enter (default: the first focusable column).
    void setEnterFocusColumn(int col) { m_enterColumn = col; }
    // Texts of the row appended by Enter on lastRow; an empty list appends nothing. Without it the
    // columns' default texts are used.
    std::function<QStringList(const EditorGrid& grid, int lastRow)> newRowTexts;
    // Whether a List cell may show the floating list now (e.g. only once a league is chosen).
    std::function<bool(int row, int col)> listAllowed;

    // ---- rows ----
    // Replaces every row: row 0 takes rows[0] (the default texts when rows is empty), rows 1.. are
    // created; the window scrolls back to the top. Silent.
    void setRows(const QList<QStringList>& rows);
    // Removes every row but row 0 and gives row 0 the default texts. Silent.
    void clearRows();
    // Appends a row with the texts (missing texts are the defaults) and returns its index. Silent.
    int appendRow(const QStringList& texts = {});
    // Enter in row: move down or append, as described above.
    void enterInRow(int row);

    // ---- cells ----
    QString text(int row, int col) const;
    QStringList rowTexts(int row) const;
    // Silent. A List cell keeps its number; a RowList cell chooses the item with that exact text.
    void setText(int row, int col, const QString& text);
    // The item number of a List or RowList cell (0 when none was chosen).
    int number(int row, int col) const;
    // A List cell's text and number together. Silent.
    void setListCell(int row, int col, const QString& text, int number);
    // The widget of a cell (QLineEdit, QCheckBox, QComboBox or QLabel).
    QWidget* cell(int row, int col) const;

    // ---- the items of List and RowList columns: (text, number) ----
    void setListItems(const QList<QPair<QString, int>>& items);
    const QList<QPair<QString, int>>& listItems() const { return m_items; }
    // The floating list (hidden unless it covers a List cell with the focus).
    QComboBox* floatingList() const { return m_float; }
    int floatingRow() const { return m_floatRow; }

    // ---- scrolling ----
    QScrollBar* scrollBar() const { return m_scroll; }
    int firstShownRow() const;
    bool isRowShown(int row) const;
    void scrollTo(int value);

    // The hint beside the rows ("Hit Enter to Add Row."), shown while a cell has the focus when set.
    void setHint(const QString& text, bool alwaysShown = false);

    // Focuses a cell (scrolling it into view first). A List cell brings the floating list over it.
    void focusCell(int row, int col);

    QSize sizeHint() const override;

signals:
    // A cell's text changed by typing, choosing, or Enter's new row.
    void cellChanged(int row, int col);
    // A floating list's choice was copied back into its cell (after cellChanged).
    void listChosen(int row, int col);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The wheel over the rows (cells included) moves the scroll bar, as over the bar itself.
    void wheelEvent(QWheelEvent* event) override;

private:
    struct Row {
        std::vector<QWidget*> cells;
        std::vector<int> numbers;
    };

    void createRow(const QStringList& texts);
    void fillRowList(QComboBox* combo) const;
    void setCellText(int row, int col, const QString& text);
    void relayout();
    void updateScrollRange();
    void updateTabOrder();
    void floatOver(int row, int col);
    void copyBack();
    bool locate(QObject* widget, int* row, int* col) const;
    void scrollByWheel(QWheelEvent* event);
    int firstFocusColumn() const;
    // Tab or Shift+Tab in the cell at row, col whose next cell lies in a row scrolled out of the
    // window (which the focus chain passes over): the grid scrolls and focuses it. True when it did.
    bool tabIntoHiddenRow(int row, int col, const QKeyEvent* key);
    // A key typed into the floating list while it is closed; true when it was dealt with here.
    bool searchKey(QKeyEvent* key);
    int px(int twips) const;
    int py(int twips) const;

    QList<Column> m_columns;
    std::vector<Row> m_rows;
    QList<QLabel*> m_headers;
    QList<QPair<QString, int>> m_items;
    QScrollBar* m_scroll;
    QComboBox* m_float = nullptr;
    QLabel* m_hint = nullptr;
    bool m_hintAlways = false;
    QElapsedTimer m_lastSearchKey; // the last key typed into the closed floating list
    int m_floatRow = -1;
    int m_floatCol = -1;
    // Where the columns stand in pixels: their design places, widened for their headers.
    std::vector<int> m_x;
    std::vector<int> m_w;
    int m_right = 0;
    int m_firstTop = 360;
    int m_rowStep = 400;
    int m_headerTop = 60;
    int m_enterColumn = -1;
    ScrollPolicy m_policy = ScrollPolicy::AtBottom;
    int m_silent = 0;
    int m_relaying = 0;
};
