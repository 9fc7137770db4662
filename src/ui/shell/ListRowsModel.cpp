#include "shell/ListRowsModel.h"

#include "kit/SortByValue.h"

#include <algorithm>
#include <iterator>

namespace {

QVariant sortValueOf(const ListRowsModel::Row& row, int column) {
    for (const auto& [c, value] : row.sortValues)
        if (c == column)
            return value;
    return QVariant();
}

} // namespace

ListRowsModel::ListRowsModel(const QIcon& icon, QObject* parent) : QAbstractTableModel(parent), m_icon(icon) {}

void ListRowsModel::setHeaders(const QStringList& headers) {
    beginResetModel();
    m_rows.clear();
    m_headers = headers;
    endResetModel();
}

void ListRowsModel::removeRowRange(int first, int count) {
    if (count <= 0)
        return;
    beginRemoveRows(QModelIndex(), first, first + count - 1);
    m_rows.erase(m_rows.begin() + first, m_rows.begin() + first + count);
    endRemoveRows();
}

void ListRowsModel::insertRowRange(int position, RowIterator begin, RowIterator end) {
    if (begin == end)
        return;
    beginInsertRows(QModelIndex(), position, position + int(std::distance(begin, end)) - 1);
    m_rows.insert(m_rows.begin() + position, std::make_move_iterator(begin), std::make_move_iterator(end));
    endInsertRows();
}

bool ListRowsModel::updateRow(int row, Row&& wanted, int sortColumn) {
    Row& shown = m_rows[size_t(row)];
    int firstChanged = -1;
    int lastChanged = -1;
    bool sortCellChanged = false;
    auto changed = [&](int column) {
        firstChanged = firstChanged < 0 ? column : std::min(firstChanged, column);
        lastChanged = std::max(lastChanged, column);
        sortCellChanged = sortCellChanged || column == sortColumn;
    };
    const int columns = int(m_headers.size());
    for (int column = 0; column < columns; ++column)
        if (shown.texts.value(column) != wanted.texts.value(column))
            changed(column);
    for (const auto& [column, value] : std::as_const(wanted.sortValues))
        if (column >= 0 && column < columns && sortValueOf(shown, column) != value)
            changed(column);
    if (firstChanged < 0)
        return false;
    shown = std::move(wanted);
    emit dataChanged(index(row, firstChanged), index(row, lastChanged));
    return sortCellChanged;
}

int ListRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ListRowsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_headers.size());
}

QVariant ListRowsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return QVariant();
    const Row& row = m_rows[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return row.texts.value(index.column());
    case Qt::DecorationRole:
        return index.column() == 0 ? QVariant(m_icon) : QVariant();
    case NumberRole:
        return index.column() == 0 ? QVariant(row.number) : QVariant();
    case SortValueRole:
        return sortValueOf(row, index.column());
    default:
        return QVariant();
    }
}

QVariant ListRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_headers.size())
        return m_headers.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags ListRowsModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren : Qt::NoItemFlags;
}
