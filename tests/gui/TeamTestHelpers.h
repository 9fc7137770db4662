#pragma once

// Set-up shared by the team and pick editor tests: group limits set straight in the data file, and a
// way to answer a modal window the code under test opens.

#include "ListTestHelpers.h"

#include <QApplication>
#include <QDate>
#include <QTimer>
#include <QtTest>
#include <functional>

inline QString isoDate(const QDate& d) {
    return d.toString(Qt::ISODate);
}

inline void setGroupLimit(int group, int maxNmbr) {
    TestDataFile::exec(
        QStringLiteral("UPDATE group_dm SET max_nmbr = %1 WHERE group_nmbr = %2").arg(maxNmbr).arg(group));
}

// Runs `act` on the next modal window of type W once it is up (the caller then opens it).
template <class W> void whenModal(std::function<void(W*)> act) {
    QTimer::singleShot(0, [act] {
        auto* w = qobject_cast<W*>(QApplication::activeModalWidget());
        QVERIFY2(w, "expected modal window did not open");
        act(w);
    });
}
