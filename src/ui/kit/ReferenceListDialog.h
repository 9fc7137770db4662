#pragma once

#include <QDialog>
#include <QStringList>
#include <memory>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The shape of the System menu's list windows (race types, groups): one tab holding a list with
// Add, Update and Delete beside it, OK and Cancel below. The list is rebuilt each time the window
// becomes active; Delete and double-click act on the chosen row; a header click sorts by that column.
// The first column is hidden and holds each row's object.
class ReferenceListDialog : public QDialog {
    Q_OBJECT

public:
    QTreeWidget* list() const { return m_list; }
    QPushButton* addButton() const { return m_add; }
    QPushButton* updateButton() const { return m_update; }
    QPushButton* deleteButton() const { return m_delete; }

protected:
    struct Layout {
        QString title;
        QString tabCaption;
        QString listName;
        QStringList headers; // the hidden first column's included
        QList<int> widths;   // of the visible columns, in pixels
        int minimumWidth;
    };
    ReferenceListDialog(const Layout& layout, QWidget* parent);

    // Rebuilds the rows, choosing the row named name (the first row without a match).
    virtual void reload(const QString& name) = 0;
    virtual void addEntry() = 0;
    virtual void updateEntry() = 0;
    virtual void deleteEntry() = 0;

    // For reload: empties the list, appends rows, then sorts and chooses.
    void clearRows();
    QTreeWidgetItem* appendRow(const QStringList& visibleTexts, void* object);
    void finishRows(QTreeWidgetItem* chosen);
    // The object of the chosen row; nullptr with none.
    void* selectedObject() const;
    // Reloads after an editor closed; the activation that follows the editor's closing then does not
    // reload again and lose the row just chosen.
    void reloadAfterEditor(const QString& name);

    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTreeWidget* m_list;
    QPushButton* m_add;
    QPushButton* m_update;
    QPushButton* m_delete;
    bool m_skipNextActivation = false;
};

// A reference list whose rows are those of one collection: it loads them, keeps them for the rows'
// objects, and runs the entry's editor for Add and Update.
template <class Collection, class Row> class ReferenceList : public ReferenceListDialog {
public:
    // Reloads the rows and makes the row named name (exactly) the chosen one; without a match the
    // first row. A data file without rows leaves the list as it was.
    void loadRows(const QString& name) {
        auto rows = std::make_unique<Collection>();
        rows->load();
        if (rows->Count() == 0)
            return;
        clearRows();
        QTreeWidgetItem* chosen = nullptr;
        for (Row& row : *rows) {
            QTreeWidgetItem* item = appendRow(rowTexts(row), &row);
            if (!chosen && rowName(row) == name)
                chosen = item;
        }
        m_rows = std::move(rows);
        finishRows(chosen);
    }
    // The entry of the chosen row; nullptr with none.
    Row* selectedRow() const { return static_cast<Row*>(selectedObject()); }

protected:
    ReferenceList(const Layout& layout, QWidget* parent)
        : ReferenceListDialog(layout, parent), m_rows(std::make_unique<Collection>()) {}

    virtual QStringList rowTexts(const Row& row) const = 0;
    virtual QString rowName(const Row& row) const = 0;
    // Shows the entry's editor on the row until it closes.
    virtual void edit(Row& row) = 0;

    void reload(const QString& name) override { loadRows(name); }
    void addEntry() override {
        Row row;
        edit(row);
        reloadAfterEditor(QString());
    }
    void updateEntry() override {
        if (Row* row = selectedRow()) {
            edit(*row);
            reloadAfterEditor(rowName(*row));
        }
    }

private:
    std::unique_ptr<Collection> m_rows;
};
