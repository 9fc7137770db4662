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
    TestDataFile::exec(QStringLiteral("INSERT INTO races (race_nmbr, race_name, track_name, race_dt, race_type_nmbr,"
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

inline int countRows(const QString& sql) { return TestDataFile::scalar(sql).toInt(); }
