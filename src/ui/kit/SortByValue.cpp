#include "kit/SortByValue.h"

#include <QDate>
#include <QTreeWidget>

#include <algorithm>

namespace {

// 0 blank, 1 a whole number, 2 other text: ranking first keeps the order consistent whichever two
// cells are compared, so a sort never sees "10" < "1a" < "9" < "10".
int rank(const QString& text, qlonglong* number) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return 0;
    bool ok = false;
    *number = t.toLongLong(&ok);
    return ok ? 1 : 2;
}

} // namespace

bool sortsBefore(const QVariant& valueA, const QString& textA, const QVariant& valueB, const QString& textB) {
    if (valueA.isValid() && valueB.isValid()) {
        if (valueA.metaType().id() == QMetaType::QDate && valueB.metaType().id() == QMetaType::QDate)
            return valueA.toDate() < valueB.toDate();
        return valueA.toLongLong() < valueB.toLongLong();
    }
    qlonglong x = 0;
    qlonglong y = 0;
    const int ra = rank(textA, &x);
    const int rb = rank(textB, &y);
    if (ra != rb)
        return ra < rb;
    if (ra == 1 && x != y)
        return x < y;
    return textA.compare(textB, Qt::CaseInsensitive) < 0;
}

void sortChoices(QList<QPair<QString, int>>& choices) {
    std::stable_sort(choices.begin(), choices.end(), [](const QPair<QString, int>& a, const QPair<QString, int>& b) {
        return sortsBefore(QVariant(), a.first, QVariant(), b.first);
    });
}

bool ValueSortTreeItem::operator<(const QTreeWidgetItem& other) const {
    const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
    return sortsBefore(data(column, SortValueRole), text(column), other.data(column, SortValueRole),
                       other.text(column));
}
