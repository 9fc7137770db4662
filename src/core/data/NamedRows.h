#pragma once

#include "data/IDatabase.h"
#include "data/RowList.h"

#include <QString>
#include <QVariant>
#include <memory>

// Loading and name lookup shared by the lists of (number, name) reference rows.

// Appends one T(number, name) per row of the query, in the order returned; a failed query leaves
// the list as it was. Returns the list's count afterwards.
template <class T>
int appendNamedRows(IDatabase& db, RowList<T>& list, const QString& sql, const QString& nmbrColumn,
                    const QString& nameColumn) {
    if (db.OpenResultSet(sql)) {
        for (db.MoveFirst(); !db.isEOF(); db.MoveNext())
            list.append(std::make_unique<T>(db.fields.toInt(nmbrColumn), db.fields.toText(nameColumn)));
    }
    return list.Count();
}

// A lookup argument that may be any value: empty or non-numeric text matches no row.
inline bool lookupNumber(const QVariant& value, int* nmbr) {
    if (value.isNull())
        return false;
    bool ok = false;
    *nmbr = value.toString().trimmed().toInt(&ok);
    return ok;
}
