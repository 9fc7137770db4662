#include "data/NewNumber.h"

#include "data/IDatabase.h"

int nextUserNumber(const QVariant& largest) {
    if (largest.isNull())
        return FirstUserNumber;
    bool ok = false;
    const qlonglong n = largest.toLongLong(&ok);
    if (!ok || n < FirstUserNumber)
        return FirstUserNumber;
    return int(n + 1);
}

bool newUserNumber(IDatabase& db, const QString& maxQuery, const QString& column, int* number) {
    if (!db.OpenResultSet(maxQuery))
        return false;
    // An empty result set reads as NULL, which gives the first user number.
    *number = nextUserNumber(db.isEOF() ? QVariant() : db.fields(column));
    return true;
}
