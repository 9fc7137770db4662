#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QTreeWidgetItem>
#include <QVariant>

// The order every list of the program sorts in. A cell may carry the value it sorts by
// (SortValueRole) where its text would mislead: a QDate, by day (no date before every date), or a
// whole number, by size (amounts in their smallest unit). Cells without one sort by their text:
// blanks first, then whole numbers by size (car 2 before car 10), then other text with letter
// case ignored.
constexpr int SortValueRole = Qt::UserRole + 100;

bool sortsBefore(const QVariant& valueA, const QString& textA, const QVariant& valueB, const QString& textB);

// Puts the (text, number) choices of a drop-down list in that order by their texts (car 3 before
// car 11); choices of equal text keep their order.
void sortChoices(QList<QPair<QString, int>>& choices);

// A row of a QTreeWidget that sorts in that order by the widget's sort column.
class ValueSortTreeItem : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override;
};
