#pragma once

#include <QDate>
#include <QString>

// Import files (".qvi"): lines (CR LF, LF or CR) of ";"-separated fields, one row per line. Record
// types: 11 car/driver, 12 race, 13 race result, 14 team car holding. Each record is inserted under
// the file's key and then updated, so a row that already exists takes the record's values and
// importing the same file twice leaves the same data.

// Imports the whole file (a full path), all or nothing: true when every record was stored. A line of
// a known record type that cannot be read (its field count, a number, a date the data file can keep),
// that names what does not exist (a race, car/driver, team, race type, car type or race status, a
// Score By other than cars or drivers), a negative place, qualifying position or laps led, a pick
// ending on or before the day it starts, or a failing store refuses the whole file: nothing is changed, a box names
// the line (the store shows its own), and the result is false. So is a file with no record of types
// 11 to 14 in it (its box says so), and a file that does not exist or cannot be read. Lines of other
// record types are passed over with one "Invalid file format." box per file. A file whose first
// record is a race result replaces that race's results and postings; when it had a posting, one box
// says that the race must be posted again.
bool importFile(const QString& path);

// How an import ended. Refused: a line could not be imported, or the file holds no record, and its
// one box has said so and that nothing was imported. Failed: the file could not be read or stored
// (a missing file says nothing; a store or read error has shown its own box).
enum class ImportOutcome { Imported, Refused, Failed };
// importFile, telling a refused file from one that could not be imported.
ImportOutcome importFileOutcome(const QString& path);

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
