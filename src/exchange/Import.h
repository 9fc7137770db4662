#pragma once

#include <QDate>
#include <QString>

// Import files (".qvi"): CR LF lines of ";"-separated fields, one row per line. Record types:
// 11 car/driver, 12 race, 13 race result, 14 team car holding. Each record is inserted under the
// file's key and then updated, so a row that already exists takes the record's values and
// importing the same file twice leaves the same data.

// Imports the whole file (a full path). True when it was read and every line handed on, and also
// when the file does not exist; false when it cannot be opened or read. A file whose first record
// is a race result first clears that race's results and postings.
bool importFile(const QString& path);

// Download the series' car or driver list into importsDir() and import it; false, without
// importing, when the download fails.
bool importWcCars();
bool importWcDrivers();
bool importF1Cars();
bool importF1Drivers();

// Downloads one series file into importsDir() and imports it. True only when both worked.
bool downloadAndImport(const QString& fileName);

// The race schedule file of a race type and Score By (car type 1 cars, 2 drivers); empty when the
// download server has none for that race type.
QString raceScheduleFileName(int raceTypeNmbr, int carTypeNmbr);
// The results file of a Wexford Cup race: "wcc" (cars) or "wcd" (drivers), the date as yyyymmdd, ".qvi".
QString resultsFileName(int carTypeNmbr, const QDate& raceDate);
// A Wexford Cup race's results: the car or driver list first, then the race day's results file.
// False when either download (or its import) failed.
bool importRaceResults(int carTypeNmbr, const QDate& raceDate);
