#pragma once

#include "platform/SqlDatabase.h"

#include <QVariant>
#include <optional>

// Values of the data file as the engine orders and sums them, for the pages that order or sum rows
// the request has read once rather than asking the engine again for every page. The values come as
// the engine stores them: NULL, a whole number (qlonglong), a real (double), a text or a blob.

// The value as a whole number of the int range; nullopt for anything else (a real, a text, NULL),
// which matches no team, car or race on file.
std::optional<int> wholeNumber(const QVariant& value);
std::optional<int> wholeNumber(const SqlValue& value);

// Orders two values as ORDER BY does: NULL first, then numbers by value (whole and real alike), then
// texts byte by byte, then blobs. Negative, 0 or positive.
int compareStored(const QVariant& a, const QVariant& b);

// A sum as the engine's sum() makes it: whole numbers exactly, and a real once any value is neither a
// whole number nor NULL (a text counts as the number it starts with); NULL when no value counted.
class StoredSum {
public:
    // Throws ReportRunError when whole numbers leave 64 bits, where the engine's sum fails too.
    void add(const QVariant& value);
    // The same for a value as a query's row gives it.
    void add(const SqlValue& value);
    QVariant total() const;

private:
    void addWhole(qint64 value);

    qint64 m_whole = 0;
    double m_real = 0;
    bool m_isReal = false;
    bool m_any = false;
};
