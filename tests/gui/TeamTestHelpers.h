#pragma once

// Set-up shared by the team and pick editor tests: group limits set straight in the data file, and a
// way to answer a modal window the code under test opens.

#include "ListTestHelpers.h"
#include "ModalHelpers.h"

#include <QDate>
#include <functional>

inline QString isoDate(const QDate& d) {
    return d.toString(Qt::ISODate);
}

inline void setGroupLimit(int group, int maxNmbr) {
    TestDataFile::exec(
        QStringLiteral("UPDATE group_dm SET max_nmbr = %1 WHERE group_nmbr = %2").arg(maxNmbr).arg(group));
}

// The shared modal helper, under the name these tests know it by.
template <class W> void whenModal(std::function<void(W*)> act) {
    whileModal<W>(std::move(act));
}
