#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <QList>
#include <QPair>
#include <QStringList>
#include <QVariant>

#include <vector>

// The rows of a list window: one entry per row holding the row's texts, where a model of items
// holds an object, its private part and a list of values for every cell. A list of 5,000 cars is
// then 5,000 entries rather than 35,000 items and three times as many blocks of memory, so opening,
// refilling and closing it leave little behind for the work that follows.
class ListRowsModel : public QAbstractTableModel {
public:
    // On a row's first cell: the number of the entity the row shows.
    static constexpr int NumberRole = Qt::UserRole + 101;

    struct Row {
        int number = 0;
        QStringList texts;
        // (column, value) for the cells that sort by a value rather than their text (SortValueRole).
        QList<QPair<int, QVariant>> sortValues;
    };
    using RowIterator = std::vector<Row>::iterator;

    explicit ListRowsModel(const QIcon& icon, QObject* parent = nullptr);

    // Other columns: every row goes.
    void setHeaders(const QStringList& headers);
    const QStringList& headers() const { return m_headers; }

    int number(int row) const { return m_rows[size_t(row)].number; }
    void removeRowRange(int first, int count);
    // Puts the rows of [begin, end) in at that position, moved out of their vector.
    void insertRowRange(int position, RowIterator begin, RowIterator end);
    // Makes the row at that position the wanted one (the same entity), telling the views of the
    // cells that changed; true when a cell of sortColumn changed its text or its value.
    bool updateRow(int row, Row&& wanted, int sortColumn);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QIcon m_icon;
    QStringList m_headers;
    std::vector<Row> m_rows;
};
