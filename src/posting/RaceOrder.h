#pragma once

#include <QString>

// The season order of a race type: by race date, then by race number, so that two races on one
// date still have a fixed order and "the previous race" is always exactly one race.

// SQL condition: the race of the given table alias (e.g. "races") is of race n's race type and
// comes before race n.
inline QString raceBeforeCondition(const QString& alias, int raceNmbr) {
    const QString n = QString::number(raceNmbr);
    const QString date = QStringLiteral("(SELECT rn.race_dt FROM races rn WHERE rn.race_nmbr = %1)").arg(n);
    return QStringLiteral("%1.race_type_nmbr = (SELECT rt.race_type_nmbr FROM races rt WHERE rt.race_nmbr = %2)"
                          " AND (%1.race_dt < %3 OR (%1.race_dt = %3 AND %1.race_nmbr < %2))")
        .arg(alias, n, date);
}

// The mirror condition: of race n's race type and after race n.
inline QString raceAfterCondition(const QString& alias, int raceNmbr) {
    const QString n = QString::number(raceNmbr);
    const QString date = QStringLiteral("(SELECT rn.race_dt FROM races rn WHERE rn.race_nmbr = %1)").arg(n);
    return QStringLiteral("%1.race_type_nmbr = (SELECT rt.race_type_nmbr FROM races rt WHERE rt.race_nmbr = %2)"
                          " AND (%1.race_dt > %3 OR (%1.race_dt = %3 AND %1.race_nmbr > %2))")
        .arg(alias, n, date);
}

// ORDER BY clause of the season order, oldest first.
inline QString seasonOrder(const QString& alias) {
    return QStringLiteral(" ORDER BY %1.race_dt, %1.race_nmbr").arg(alias);
}
