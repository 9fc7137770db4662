#include "exchange/Import.h"

#include "data/CommonCode.h"
#include "data/Paths.h"
#include "data/cCar.h"
#include "data/cConnection.h"
#include "data/cTeamCar.h"
#include "exchange/FtpTransfer.h"
#include "posting/cRaces.h"
#include "posting/cResults.h"
#include "posting/cResultsCollection.h"

#include <QDir>
#include <QStringList>

#include <optional>

namespace {

constexpr int CarRecord = 11;
constexpr int RaceRecord = 12;
constexpr int ResultRecord = 13;
constexpr int HoldingRecord = 14;

// Field counts of the four record types.
int fieldCount(int recordType) {
    switch (recordType) {
    case CarRecord:
    case ResultRecord:
        return 9;
    case RaceRecord:
    case HoldingRecord:
        return 7;
    default:
        return 0;
    }
}

// Whole numbers are 16-bit, as the files have always been written; anything else makes the
// record unreadable.
std::optional<int> toInt16(const QString& field) {
    bool ok = false;
    const int n = field.trimmed().toInt(&ok);
    if (!ok || n < -32768 || n > 32767)
        return std::nullopt;
    return n;
}

std::optional<double> toNumber(const QString& field) {
    bool ok = false;
    const double d = field.trimmed().toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return d;
}

// Text fields carry a delimiter at each end. A one-character field has nothing between them.
QString toText(const QString& field) {
    return field.size() < 2 ? QString() : field.mid(1, field.size() - 2);
}

// The date forms the files use (month first), with or without delimiters; invalid when none fits.
QDate toDate(const QString& field) {
    QString t = field.trimmed();
    if (t.size() >= 2 && !t.front().isLetterOrNumber() && !t.back().isLetterOrNumber())
        t = t.mid(1, t.size() - 2).trimmed();
    for (const char* format : {"M/d/yyyy", "yyyy-MM-dd", "M-d-yyyy"}) {
        const QDate d = QDate::fromString(t, QLatin1String(format));
        if (d.isValid())
            return d;
    }
    // Two-digit years: 30 to 99 are 1900s, 00 to 29 the 2000s.
    QDate d = QDate::fromString(t, QStringLiteral("M/d/yy"));
    if (d.isValid() && d.year() < 1930)
        d = d.addYears(100);
    return d;
}

// One line's fields with the numbers read; nothing when a field the record needs is missing or unreadable.
struct Record {
    int type = 0;
    QStringList fields;
    QList<int> ints; // the integer fields by index; 0 where the field is not an integer field
};

std::optional<Record> readRecord(const QStringList& fields, int type) {
    if (fields.size() < fieldCount(type))
        return std::nullopt;
    Record r;
    r.type = type;
    r.fields = fields;
    r.ints.fill(0, fields.size());
    QList<int> intFields;
    switch (type) {
    case CarRecord:
        intFields = {1, 2, 3};
        break;
    case RaceRecord:
        intFields = {1, 5, 6};
        break;
    case ResultRecord:
        intFields = {1, 2, 3, 4, 5, 6, 7, 8};
        break;
    case HoldingRecord:
        intFields = {1, 2};
        break;
    }
    for (int i : intFields) {
        const auto n = toInt16(fields.at(i));
        if (!n)
            return std::nullopt;
        r.ints[i] = *n;
    }
    return r;
}

void importCar(const Record& r) {
    cCar car;
    car.setCarNmbr(r.ints[1]);
    car.setCarTypeNmbr(r.ints[2]);
    car.setRaceTypeNmbr(r.ints[3]);
    car.setCarTxt(toText(r.fields[4]));
    car.setCarOwner(toText(r.fields[5]));
    car.setCarMake(toText(r.fields[6]));
    car.setSponsor(toText(r.fields[7]));
    car.setDriverName(toText(r.fields[8]));
    // A new car gets group 0 and salary 0; an existing one keeps both and takes the rest.
    car.insert();
    car.updateImportRow();
}

void importRace(const Record& r) {
    const QDate date = toDate(r.fields[4]);
    // Races are ordered by date everywhere (carried totals, standings), so a race without one is
    // not stored.
    if (!date.isValid())
        return;
    cRaces race;
    race.setRaceNmbr(r.ints[1]);
    race.setRaceName(toText(r.fields[2]));
    race.setTrackName(toText(r.fields[3]));
    race.setRaceDate(date);
    race.setRaceTypeNmbr(r.ints[5]);
    race.setCarTypeNmbr(r.ints[6]);
    race.insert();
    race.updateRow(); // status 0, also for a race that existed
}

void importResult(const Record& r) {
    const int raceNmbr = r.ints[2];
    cRaces race;
    if (race.load(raceNmbr) && race.raceStatusNmbr() != r.ints[1]) {
        race.setRaceStatusNmbr(r.ints[1]);
        race.updateRow();
    }
    cResults result;
    result.setRaceNmbr(raceNmbr);
    result.setCarNmbr(r.ints[3]);
    result.setPlace(r.ints[4]);
    result.setQualified(r.ints[5]);
    result.setFastQual(r.ints[6]);
    result.setLapsLead(r.ints[7]);
    result.setAdjustment(r.ints[8]);
    // An existing result keeps its adjustment.
    result.insertRow();
    result.updateRow();
}

void importHolding(const Record& r) {
    const auto price = toNumber(r.fields[5]);
    const auto lockedSalary = toNumber(r.fields[6]);
    const QDate efctvDt = toDate(r.fields[3]);
    // The effective date is part of the holding's key; without it there is no row to write.
    if (!price || !lockedSalary || !efctvDt.isValid())
        return;
    cTeamCar holding; // active 1
    holding.setTeamNmbr(r.ints[1]);
    holding.setCarNmbr(r.ints[2]);
    holding.setEfctvDt(efctvDt);
    holding.setTermDt(toDate(r.fields[4]));
    holding.setPrice(*price);
    holding.setLockedSalary(*lockedSalary);
    // An existing holding keeps its price and locked salary.
    holding.insertRow();
    holding.updateRow();
}

// Lines that cannot be read (too few fields, numbers that are not numbers) are skipped.
void importLine(const QString& line) {
    const QStringList fields = line.split(QLatin1Char(';'));
    if (fields.size() < 2)
        return;
    const auto type = toInt16(fields.at(0));
    if (!type)
        return;
    if (*type < CarRecord || *type > HoldingRecord) {
        ui().messageBox(QStringLiteral("Invalid file format.\r\nDo you have the most current version of Quorvanti?"),
                        QLatin1String(kProductName), MsgIcon::None, MsgButtons::Ok);
        return;
    }
    const auto record = readRecord(fields, *type);
    if (!record)
        return;
    switch (*type) {
    case CarRecord:
        importCar(*record);
        break;
    case RaceRecord:
        importRace(*record);
        break;
    case ResultRecord:
        importResult(*record);
        break;
    case HoldingRecord:
        importHolding(*record);
        break;
    }
}

// The race whose results a results file replaces: the race of its first record, when that record
// is a readable race result that will itself be imported.
std::optional<int> raceReplacedBy(const QStringList& lines) {
    if (lines.size() < 2) // a first line without its CR LF is not imported
        return std::nullopt;
    const QStringList fields = lines.first().split(QLatin1Char(';'));
    const auto type = toInt16(fields.value(0));
    if (!type || *type != ResultRecord)
        return std::nullopt;
    const auto record = readRecord(fields, ResultRecord);
    if (!record)
        return std::nullopt;
    return record->ints[2];
}

bool importSeriesFile(const char* name) {
    return downloadAndImport(QLatin1String(name));
}

} // namespace

bool importFile(const QString& path) {
    const int handle = openFile(path);
    if (fileErrorFlag == QLatin1String("Y"))
        return handle == -1; // a missing file is nothing to import
    const QString text = readFile(handle);
    if (fileErrorFlag == QLatin1String("Y")) {
        closeFile(handle);
        return false;
    }
    closeFile(handle);

    // The piece after the last CR LF is not a line.
    const QStringList lines = text.split(QStringLiteral("\r\n"));

    // One transaction: a results file never leaves a race with its old results cleared and only
    // part of the new ones stored, and thousands of rows are written at once.
    Transaction tx;
    if (const auto race = raceReplacedBy(lines)) {
        cResultsCollection results;
        if (results.deletePosting(*race))
            results.deleteResults(*race);
    }
    for (qsizetype i = 0; i + 1 < lines.size(); ++i)
        importLine(lines.at(i));
    return tx.commit();
}

bool downloadAndImport(const QString& fileName) {
    if (!downloadFile(fileName))
        return false;
    return importFile(QDir(importsDir()).filePath(fileName));
}

bool importWcCars() { return importSeriesFile("wccars.qvi"); }
bool importWcDrivers() { return importSeriesFile("wcdrivers.qvi"); }
bool importF1Cars() { return importSeriesFile("f1cars.qvi"); }
bool importF1Drivers() { return importSeriesFile("f1drivers.qvi"); }

QString raceScheduleFileName(int raceTypeNmbr, int carTypeNmbr) {
    const bool drivers = carTypeNmbr == cCar::DriverType;
    if (carTypeNmbr != cCar::CarType && !drivers)
        return QString();
    if (raceTypeNmbr == 1)
        return drivers ? QStringLiteral("wcdriverraces.qvi") : QStringLiteral("wccarraces.qvi");
    if (raceTypeNmbr == 6)
        return drivers ? QStringLiteral("f1driverraces.qvi") : QStringLiteral("f1carraces.qvi");
    return QString();
}

QString resultsFileName(int carTypeNmbr, const QDate& raceDate) {
    return (carTypeNmbr == cCar::DriverType ? QStringLiteral("wcd") : QStringLiteral("wcc")) +
           raceDate.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".qvi");
}

bool importRaceResults(int carTypeNmbr, const QDate& raceDate) {
    const bool listOk = carTypeNmbr == cCar::DriverType ? importWcDrivers() : importWcCars();
    if (!listOk || !raceDate.isValid())
        return false;
    return downloadAndImport(resultsFileName(carTypeNmbr, raceDate));
}
