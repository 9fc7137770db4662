#pragma once

// Set-up shared by the team and pick editor tests: holdings, groups and posted results put straight
// into the data file, and a way to answer a modal window the code under test opens.

#include "ListTestHelpers.h"
#include "ModalHelpers.h"

#include <QDate>
#include <functional>

inline QString isoDate(const QDate& d) {
    return d.toString(Qt::ISODate);
}

inline void putPick(int team, int car, const QString& efctvIso, const QString& termIso = QString(),
                    const QString& lockedSalary = QStringLiteral("0"), int active = 1) {
    TestDataFile::exec(
        QStringLiteral("INSERT INTO team_car (team_nmbr, car_nmbr, efctv_dt, term_dt, price,"
                       " locked_salary, active) VALUES (%1, %2, '%3', %4, 0, %5, %6)")
            .arg(team)
            .arg(car)
            .arg(efctvIso, termIso.isEmpty() ? QStringLiteral("NULL") : QLatin1Char('\'') + termIso + QLatin1Char('\''),
                 lockedSalary)
            .arg(active));
}

inline void setGroupLimit(int group, int maxNmbr) {
    TestDataFile::exec(
        QStringLiteral("UPDATE group_dm SET max_nmbr = %1 WHERE group_nmbr = %2").arg(maxNmbr).arg(group));
}

// A posting of the car for the team in the race (which must exist).
inline void putTeamResult(int race, int league, int team, int car) {
    TestDataFile::exec(QStringLiteral("INSERT INTO team_results (race_nmbr, car_nmbr, team_nmbr, league_nmbr)"
                                      " VALUES (%1, %2, %3, %4)")
                           .arg(race)
                           .arg(car)
                           .arg(team)
                           .arg(league));
}

// The shared modal helper, under the name these tests know it by.
template <class W> void whenModal(std::function<void(W*)> act) {
    whileModal<W>(std::move(act));
}
