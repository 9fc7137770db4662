#include "data/NewNumber.h"

#include "data/Feedback.h"
#include "data/IDatabase.h"

int nextUserNumber(const QVariant& largest) {
    if (largest.isNull())
        return FirstUserNumber;
    bool ok = false;
    const qlonglong n = largest.toLongLong(&ok);
    if (!ok || n < FirstUserNumber)
        return FirstUserNumber;
    return int(qMin<qlonglong>(n, LargestNumber) + 1);
}

bool newUserNumber(IDatabase& db, const QString& maxQuery, const QString& column, int* number) {
    if (!db.OpenResultSet(maxQuery))
        return false;
    // An empty result set reads as NULL, which gives the first user number.
    const int next = nextUserNumber(db.isEOF() ? QVariant() : db.fields(column));
    if (next > LargestNumber) {
        showQuorvantiBox(QStringLiteral("There is no number left for a new entry: numbers go up to %1, and %1 is "
                                        "already in use.")
                             .arg(LargestNumber));
        return false;
    }
    *number = next;
    return true;
}
