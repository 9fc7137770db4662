#pragma once

#include <QString>

// The season order of a race type: by race date, then by race number, so that two races on one
// date still have a fixed order and "the previous race" is always exactly one race.

// SQL condition: the race of the given table alias (e.g. "races") is of race n's race type and
// comes before race n. Race n is SQL text: its number, or the parameter ("?2") a prepared statement
// binds it to, so that one statement serves every race.
inline QString raceBeforeCondition(const QString& alias, const QString& race) {
    const QString date = QStringLiteral("(SELECT rn.race_dt FROM races rn WHERE rn.race_nmbr = %1)").arg(race);
    return QStringLiteral("%1.race_type_nmbr = (SELECT rt.race_type_nmbr FROM races rt WHERE rt.race_nmbr = %2)"
                          " AND (%1.race_dt < %3 OR (%1.race_dt = %3 AND %1.race_nmbr < %2))")
        .arg(alias, race, date);
}
inline QString raceBeforeCondition(const QString& alias, int raceNmbr) {
    return raceBeforeCondition(alias, QString::number(raceNmbr));
}

// Race n itself or a race of its type before it: the season up to and including race n.
inline QString raceUpToCondition(const QString& alias, const QString& race) {
    return QStringLiteral("(%1.race_nmbr = %2 OR (%3))").arg(alias, race, raceBeforeCondition(alias, race));
}
inline QString raceUpToCondition(const QString& alias, int raceNmbr) {
    return raceUpToCondition(alias, QString::number(raceNmbr));
}

// The mirror condition: of race n's race type and after race n.
inline QString raceAfterCondition(const QString& alias, int raceNmbr) {
    const QString n = QString::number(raceNmbr);
    const QString date = QStringLiteral("(SELECT rn.race_dt FROM races rn WHERE rn.race_nmbr = %1)").arg(n);
    return QStringLiteral("%1.race_type_nmbr = (SELECT rt.race_type_nmbr FROM races rt WHERE rt.race_nmbr = %2)"
                          " AND (%1.race_dt > %3 OR (%1.race_dt = %3 AND %1.race_nmbr > %2))")
        .arg(alias, n, date);
}

// The previous race of race n for a league of race type rt scored by car type ct: the latest race
// before race n in the season order that is of race type rt, scored by car type ct, and has
// results. It is the one race a league's totals in race n carry on from and its dropped cars are
// counted against; a race of the other car type, or one rained out, is passed over. The values,
// in order: race n, rt, ct.
inline QString previousRaceSql() {
    return QStringLiteral("SELECT p.race_nmbr FROM races p, races n"
                          " WHERE n.race_nmbr = ? AND p.race_type_nmbr = ? AND p.car_type_nmbr = ?"
                          " AND (p.race_dt < n.race_dt OR (p.race_dt = n.race_dt AND p.race_nmbr < n.race_nmbr))"
                          " AND EXISTS (SELECT 1 FROM results x WHERE x.race_nmbr = p.race_nmbr)"
                          " ORDER BY p.race_dt DESC, p.race_nmbr DESC LIMIT 1");
}

// ORDER BY clause of the season order, oldest first.
inline QString seasonOrder(const QString& alias) {
    return QStringLiteral(" ORDER BY %1.race_dt, %1.race_nmbr").arg(alias);
}
