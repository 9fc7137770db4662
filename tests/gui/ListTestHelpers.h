#pragma once

// Set-up shared by the list window tests: rows put straight into the data file.

#include "TestDataFile.h"

#include <QString>

inline void putCar(int nmbr, int raceType, int carType, const QString& carTxt, const QString& driver,
                   const QString& salary = QStringLiteral("0"), const QString& group = QStringLiteral("NULL")) {
    TestDataFile::exec(QStringLiteral("INSERT INTO cars (car_nmbr, race_type_nmbr, car_type_nmbr, car_txt, driver_name,"
                                      " sponsor, car_make, car_owner, group_nmbr, salary)"
                                      " VALUES (%1, %2, %3, '%4', '%5', 'Acme', 'Make', 'Owner', %6, %7)")
                           .arg(nmbr)
                           .arg(raceType)
                           .arg(carType)
                           .arg(carTxt, driver, group, salary));
}

inline void putRace(int nmbr, const QString& name, const QString& isoDate, int raceType = 1, int carType = 1) {
    TestDataFile::exec(
        QStringLiteral("INSERT INTO races (race_nmbr, race_name, track_name, race_dt, race_type_nmbr,"
                       " car_type_nmbr, race_status_nmbr) VALUES (%1, '%2', 'Track %1', '%3', %4, %5, 1)")
            .arg(nmbr)
            .arg(name, isoDate)
            .arg(raceType)
            .arg(carType));
}

inline void putResult(int raceNmbr, int carNmbr, int place) {
    TestDataFile::exec(QStringLiteral("INSERT INTO results (race_nmbr, car_nmbr, place, qualified, laps_led,"
                                      " adjustment, fast_qual) VALUES (%1, %2, %3, 1, 0, 0, 0)")
                           .arg(raceNmbr)
                           .arg(carNmbr)
                           .arg(place));
}

inline void putLeague(int nmbr, const QString& name, int scoringType = 1, const QString& cap = QStringLiteral("0")) {
    TestDataFile::exec(
        QStringLiteral("INSERT INTO leagues (league_nmbr, league_name, league_short_name, race_type_nmbr,"
                       " scoring_option_nmbr, scoring_type_nmbr, salary_cap, drop_lowest, car_type_nmbr)"
                       " VALUES (%1, '%2', 'L%1', 1, 1, %3, %4, 0, 1)")
            .arg(nmbr)
            .arg(name)
            .arg(scoringType)
            .arg(cap));
}

inline void putTeam(int nmbr, const QString& name, const QString& owner = QStringLiteral("Owner")) {
    TestDataFile::exec(
        QStringLiteral("INSERT INTO teams (team_nmbr, team_name, team_owner, race_type_nmbr, car_type_nmbr)"
                       " VALUES (%1, '%2', '%3', 1, 1)")
            .arg(nmbr)
            .arg(name, owner));
}

inline void putMembership(int leagueNmbr, int teamNmbr) {
    TestDataFile::exec(QStringLiteral("INSERT INTO league_teams (league_nmbr, team_nmbr) VALUES (%1, %2)")
                           .arg(leagueNmbr)
                           .arg(teamNmbr));
}

// A holding from the effective date; an empty termDate leaves it current.
inline void putHolding(int teamNmbr, int carNmbr, const QString& efctvDate, const QString& termDate = QString()) {
    TestDataFile::exec(
        QStringLiteral("INSERT INTO team_car (team_nmbr, car_nmbr, efctv_dt, term_dt) VALUES (%1, %2, '%3', %4)")
            .arg(teamNmbr)
            .arg(carNmbr)
            .arg(efctvDate,
                 termDate.isEmpty() ? QStringLiteral("NULL") : QLatin1Char('\'') + termDate + QLatin1Char('\'')));
}

inline void putSummary(int raceNmbr, int teamNmbr, int leagueNmbr) {
    TestDataFile::exec(
        QStringLiteral("INSERT INTO team_results_summary (race_nmbr, team_nmbr, league_nmbr, points, team_place)"
                       " VALUES (%1, %2, %3, 40, 1)")
            .arg(raceNmbr)
            .arg(teamNmbr)
            .arg(leagueNmbr));
}
