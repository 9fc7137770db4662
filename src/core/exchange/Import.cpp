#include "exchange/Import.h"

#include "data/Feedback.h"
#include "data/IDatabase.h"
#include "data/Paths.h"
#include "data/Regional.h"
#include "data/TextFiles.h"
#include "data/cCar.h"
#include "data/cConnection.h"
#include "exchange/FtpTransfer.h"
#include "platform/TextLines.h"
#include "posting/Scoring.h"
#include "posting/cRaces.h"
#include "posting/cResultsCollection.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <QVarLengthArray>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace {

constexpr int CarRecord = 11;
constexpr int RaceRecord = 12;
constexpr int ResultRecord = 13;
constexpr int HoldingRecord = 14;

// The fields of each record type, in file order, by the names the messages use.
const QStringList& fieldNames(int recordType) {
    static const QStringList car = {"record type", "car number", "car type", "race type",  "car text",
                                    "car owner",   "car make",   "sponsor",  "driver name"};
    static const QStringList race = {"record type", "race number", "race name", "track name",
                                     "race date",   "race type",   "car type"};
    static const QStringList result = {"record type",       "race status",     "race number",
                                       "car number",        "finishing place", "qualified",
                                       "fastest qualifier", "laps led",        "adjustment"};
    static const QStringList holding = {"record type",      "team number", "car number",   "effective date",
                                        "termination date", "price",       "locked salary"};
    switch (recordType) {
    case CarRecord:
        return car;
    case RaceRecord:
        return race;
    case ResultRecord:
        return result;
    default:
        return holding;
    }
}

QString recordName(int recordType) {
    switch (recordType) {
    case CarRecord:
        return QStringLiteral("car/driver record");
    case RaceRecord:
        return QStringLiteral("race record");
    case ResultRecord:
        return QStringLiteral("result record");
    default:
        return QStringLiteral("team car record");
    }
}

// The fields of one line, pointing into the line: nothing is copied before it is needed. Room for
// every record's fields without an allocation.
using LineFields = QVarLengthArray<QStringView, 12>;

LineFields splitFields(const QString& line) {
    LineFields fields;
    for (const QStringView field : QStringView(line).tokenize(u';'))
        fields.append(field);
    if (fields.isEmpty()) // an empty line is one empty field
        fields.append(QStringView(line));
    return fields;
}

// Whole numbers are 16-bit, as the files have always been written.
std::optional<int> toInt16(QStringView field) {
    // Plain digits, as nearly every field holds, are read here; anything else as the platform reads it.
    if (!field.isEmpty() && field.size() <= 5) {
        int n = 0;
        bool digits = true;
        for (const QChar c : field) {
            if (c < u'0' || c > u'9') {
                digits = false;
                break;
            }
            n = n * 10 + (c.unicode() - u'0');
        }
        if (digits && n <= 32767)
            return n;
    }
    bool ok = false;
    const int n = field.trimmed().toInt(&ok);
    if (!ok || n < -32768 || n > 32767)
        return std::nullopt;
    return n;
}

// Text fields carry a delimiter at each end. A one-character field has nothing between them.
QStringView toText(QStringView field) {
    return field.size() < 2 ? QStringView() : field.mid(1, field.size() - 2);
}

// A date field without the delimiters it may carry.
QStringView dateText(QStringView field) {
    QStringView t = field.trimmed();
    if (t.size() >= 2 && !t.front().isLetterOrNumber() && !t.back().isLetterOrNumber())
        t = t.mid(1, t.size() - 2).trimmed();
    return t;
}

// The date forms the files use (month first); invalid when none fits.
QDate toDate(QStringView field) {
    const QString t = dateText(field).toString();
    for (const char* format : {"M/d/yyyy", "yyyy-MM-dd", "M-d-yyyy"}) {
        const QDate d = QDate::fromString(t, QLatin1String(format));
        if (d.isValid())
            return isStorableDate(d) ? d : QDate(); // "-2026" reads as a year before Christ
    }
    // Two-digit years: 30 to 99 are 1900s, 00 to 29 the 2000s.
    QDate d = QDate::fromString(t, QStringLiteral("M/d/yy"));
    if (d.isValid() && d.year() < 1930)
        d = d.addYears(100);
    return d;
}

// The fields of one line of a known record type, read one by one; the first that cannot be read
// leaves its reason in `problem`.
class RecordReader {
public:
    RecordReader(int type, const LineFields& fields) : m_type(type), m_fields(fields), m_names(fieldNames(type)) {}

    bool hasAllFields() {
        if (m_fields.size() == m_names.size())
            return true;
        problem = QStringLiteral("a %1 has %2 fields, this line has %3.")
                      .arg(recordName(m_type))
                      .arg(m_names.size())
                      .arg(m_fields.size());
        return false;
    }
    bool integer(int i, int* out) {
        const auto n = toInt16(m_fields.at(i));
        if (n) {
            *out = *n;
            return true;
        }
        problem = QStringLiteral("the %1 %2 is not a whole number from -32768 to 32767.").arg(m_names.at(i), shown(i));
        return false;
    }
    // A place or a count of laps: never below 0.
    bool nonNegative(int i, int* out) {
        if (!integer(i, out))
            return false;
        if (*out >= 0)
            return true;
        problem = QStringLiteral("the %1 %2 is not a whole number from 0 to 32767.").arg(m_names.at(i), shown(i));
        return false;
    }
    bool number(int i, double* out) {
        bool ok = false;
        *out = m_fields.at(i).trimmed().toDouble(&ok);
        if (ok && std::isfinite(*out))
            return true;
        problem = QStringLiteral("the %1 %2 is not a number.").arg(m_names.at(i), shown(i));
        return false;
    }
    // An empty field is no date; with `optional` that is allowed.
    bool date(int i, QDate* out, bool optional) {
        *out = toDate(m_fields.at(i));
        if (out->isValid() || (optional && dateText(m_fields.at(i)).isEmpty()))
            return true;
        problem = dateText(m_fields.at(i)).isEmpty()
                      ? QStringLiteral("the %1 is missing.").arg(m_names.at(i))
                      : QStringLiteral("the %1 %2 is not a date.").arg(m_names.at(i), shown(i));
        return false;
    }
    QStringView text(int i) const { return toText(m_fields.at(i)); }
    // The field as the file has it, quoted, and cut short when long.
    QString shown(int i) const {
        QString f = m_fields.at(i).trimmed().toString();
        if (f.size() > 40)
            f = f.left(37) + QStringLiteral("...");
        return QLatin1Char('"') + f + QLatin1Char('"');
    }

    QString problem;

private:
    int m_type;
    const LineFields& m_fields;
    const QStringList& m_names;
};

// What became of one line.
enum class LineOutcome { Imported, Refused, StoreFailed };

// What the import knows of a stored race.
struct RaceFacts {
    int status = 0;
    int raceType = 0;
    bool hasResults = false;
};

// Each record brings the row under its key to the file's values, or adds it when there is none.
// An existing row keeps the columns the update does not name: a car its group and salary, a result
// its adjustment, a holding its price and locked salary. A new car gets group 0 and salary 0; a
// race, new or not, the status 0; a holding is active.
const QString kInsertCarSql =
    QStringLiteral("INSERT INTO cars (race_type_nmbr, car_type_nmbr, car_txt, car_owner, driver_name, car_make,"
                   " sponsor, car_nmbr, group_nmbr, salary) VALUES (?, ?, ?, ?, ?, ?, ?, ?, 0, 0)");
const QString kUpdateCarSql =
    QStringLiteral("UPDATE cars SET race_type_nmbr = ?, car_type_nmbr = ?, car_txt = ?, car_owner = ?,"
                   " driver_name = ?, car_make = ?, sponsor = ? WHERE car_nmbr = ?");
const QString kInsertRaceSql =
    QStringLiteral("INSERT INTO races (race_name, track_name, race_dt, car_type_nmbr, race_type_nmbr,"
                   " race_status_nmbr, race_nmbr) VALUES (?, ?, ?, ?, ?, 0, ?)");
const QString kUpdateRaceSql =
    QStringLiteral("UPDATE races SET race_name = ?, track_name = ?, race_dt = ?, car_type_nmbr = ?,"
                   " race_type_nmbr = ?, race_status_nmbr = 0 WHERE race_nmbr = ?");
const QString kRaceStatusSql = QStringLiteral("UPDATE races SET race_status_nmbr = ? WHERE race_nmbr = ?");
const QString kInsertResultSql =
    QStringLiteral("INSERT INTO results (place, qualified, fast_qual, laps_led, race_nmbr, car_nmbr, adjustment)"
                   " VALUES (?, ?, ?, ?, ?, ?, ?)");
const QString kUpdateResultSql = QStringLiteral(
    "UPDATE results SET place = ?, qualified = ?, fast_qual = ?, laps_led = ? WHERE race_nmbr = ? AND car_nmbr = ?");
const QString kInsertHoldingSql =
    QStringLiteral("INSERT INTO team_car (term_dt, team_nmbr, car_nmbr, efctv_dt, price, locked_salary, active)"
                   " VALUES (?, ?, ?, ?, ?, ?, 1)");
const QString kUpdateHoldingSql =
    QStringLiteral("UPDATE team_car SET term_dt = ?, active = 1 WHERE team_nmbr = ? AND car_nmbr = ? AND efctv_dt = ?");

// The statements each record runs, prepared once for the whole file; the values of each line are
// bound to them in turn.
struct ImportStatements {
    explicit ImportStatements(SqlDatabase& db)
        : insertCar(db, kInsertCarSql), updateCar(db, kUpdateCarSql), insertRace(db, kInsertRaceSql),
          updateRace(db, kUpdateRaceSql), raceStatus(db, kRaceStatusSql), insertResult(db, kInsertResultSql),
          updateResult(db, kUpdateResultSql), insertHolding(db, kInsertHoldingSql),
          updateHolding(db, kUpdateHoldingSql) {}
    // The SQL of the first statement that could not be prepared, or nothing.
    QString unprepared() const {
        for (const SqlStatement* s : {&insertCar, &updateCar, &insertRace, &updateRace, &raceStatus, &insertResult,
                                      &updateResult, &insertHolding, &updateHolding})
            if (!s->isValid())
                return s->sql();
        return QString();
    }

    SqlStatement insertCar, updateCar, insertRace, updateRace, raceStatus, insertResult, updateResult, insertHolding,
        updateHolding;
};

// One of the lists the windows take the names of numbers from. A number it does not have is one
// that no window can show or choose.
struct NumberList {
    const char* table;
    const char* column;
    const char* name; // of a number, in the refusal
    std::optional<QSet<int>> numbers;
};

struct ImportRun {
    QString problem;             // why a line was refused
    bool replaceResults = false; // the line is the first of a results file
    // The races, cars/drivers and teams the file has named so far (nothing for one that does not
    // exist), so that the lines do not read them again and again. Only this import writes them
    // while it runs (teams it never writes).
    QHash<int, std::optional<RaceFacts>> races;
    QHash<int, std::optional<int>> carRaceTypes;
    QHash<int, std::optional<int>> teamRaceTypes;
    NumberList raceTypes{"race_type_dm", "race_type_nmbr", "race type", {}};
    NumberList carTypes{"car_type_dm", "car_type_nmbr", "car type", {}};
    NumberList raceStatuses{"race_status_dm", "race_status_nmbr", "race status", {}};
    // The races this file brought results for: their places are checked once the file is read.
    QSet<int> resultRaces;
    // The race of the latest run of result lines, and the cars/drivers that run wrote. When the
    // race had no results as the run began (runFresh), a car not in runCars has none either.
    int runRace = 0;
    bool runFresh = false;
    QSet<int> runCars;
    int postingRemoved = 0; // the race whose posting the file's results replaced, if it had one
    SqlDatabase* db = nullptr;
    std::optional<ImportStatements> sql;

    // Runs one of the statements; a failure shows the store's box, as every statement does.
    bool exec(SqlStatement& statement) {
        if (statement.exec())
            return true;
        showQuorvantiBox(QStringLiteral("Error = ") + db->lastError() + QStringLiteral(" SQL = ") + statement.sql());
        return false;
    }
};

// Whether the row under a record's key is stored, as far as the import knows.
enum class Stored { Yes, No, Unknown };

// The update runs on a row that is stored or may be, with the values bindValues gives (those of
// its SET, then of its WHERE); the insert runs on a row that is not, or when the update found
// none, with the same values and after them those bindNewRow gives.
template <typename BindValues, typename BindNewRow>
bool writeRow(ImportRun& run, Stored stored, SqlStatement& update, SqlStatement& insert, const BindValues& bindValues,
              const BindNewRow& bindNewRow) {
    if (stored != Stored::No) {
        bindValues(update);
        if (!run.exec(update))
            return false;
        if (stored == Stored::Yes || update.changes() > 0)
            return true;
    }
    bindValues(insert);
    bindNewRow(insert);
    return run.exec(insert);
}

void noNewRowValues(SqlStatement&) {}

void bindDate(SqlStatement& statement, int index, const QDate& date) {
    if (date.isValid())
        statement.bind(index, date.toString(Qt::ISODate));
    else
        statement.bindNull(index);
}

// Whether the list has the number, read once a file; a number it lacks refuses the line.
bool listed(NumberList& list, int nmbr, ImportRun& run, LineOutcome* failed) {
    if (!list.numbers) {
        IDatabase db;
        const QString column = QLatin1String(list.column);
        if (!db.OpenResultSet(QStringLiteral("SELECT %1 FROM %2").arg(column, QLatin1String(list.table)))) {
            *failed = LineOutcome::StoreFailed;
            return false;
        }
        list.numbers.emplace();
        for (db.MoveFirst(); !db.isEOF(); db.MoveNext())
            list.numbers->insert(db.fields.toInt(column));
    }
    if (list.numbers->contains(nmbr))
        return true;
    run.problem = QStringLiteral("%1 %2 does not exist.").arg(QLatin1String(list.name)).arg(nmbr);
    *failed = LineOutcome::Refused;
    return false;
}

// The stored race, read once; nothing for a race that does not exist, and false after a failing query.
bool findRace(int raceNmbr, ImportRun& run, std::optional<RaceFacts>* out) {
    auto known = run.races.constFind(raceNmbr);
    if (known == run.races.constEnd()) {
        IDatabase db;
        if (!db.OpenResultSet(QStringLiteral("SELECT race_status_nmbr, race_type_nmbr, EXISTS (SELECT 1 FROM results"
                                             " WHERE results.race_nmbr = races.race_nmbr) AS has_results"
                                             " FROM races WHERE race_nmbr = ?"),
                              {raceNmbr}))
            return false;
        std::optional<RaceFacts> facts;
        if (!db.isEOF())
            facts = RaceFacts{db.fields.toInt(QStringLiteral("race_status_nmbr")),
                              db.fields.toInt(QStringLiteral("race_type_nmbr")),
                              db.fields.toInt(QStringLiteral("has_results")) != 0};
        known = run.races.insert(raceNmbr, facts);
    }
    *out = *known;
    return true;
}

// The race type of a stored row (the query names it by its key), read once; nothing for a row that
// does not exist, and false after a failing query.
bool findRaceType(const QString& sql, int nmbr, QHash<int, std::optional<int>>& known, std::optional<int>* out) {
    auto found = known.constFind(nmbr);
    if (found == known.constEnd()) {
        IDatabase db;
        if (!db.OpenResultSet(sql, {nmbr}))
            return false;
        found = known.insert(nmbr, db.isEOF() ? std::nullopt
                                              : std::optional<int>(db.fields.toInt(QStringLiteral("race_type_nmbr"))));
    }
    *out = *found;
    return true;
}

bool findCarRaceType(int carNmbr, ImportRun& run, std::optional<int>* out) {
    return findRaceType(QStringLiteral("SELECT race_type_nmbr FROM cars WHERE car_nmbr = ?"), carNmbr, run.carRaceTypes,
                        out);
}

bool findTeamRaceType(int teamNmbr, ImportRun& run, std::optional<int>* out) {
    return findRaceType(QStringLiteral("SELECT race_type_nmbr FROM teams WHERE team_nmbr = ?"), teamNmbr,
                        run.teamRaceTypes, out);
}

// A car/driver as the windows show it, with the entry number the file names it by: "car 42 (entry
// number 501)", a driver by name. Read inside the import, so an entry the file brought is found.
QString carAsKnown(int carNmbr) {
    IDatabase db;
    QString shown;
    bool driver = false;
    if (db.OpenResultSet(QStringLiteral("SELECT car_type_nmbr, car_txt, driver_name FROM cars WHERE car_nmbr = ?"),
                         {carNmbr}) &&
        !db.isEOF()) {
        driver = db.fields.toInt(QStringLiteral("car_type_nmbr")) == cCar::DriverType;
        shown = db.fields.toText(driver ? QStringLiteral("driver_name") : QStringLiteral("car_txt")).trimmed();
    }
    if (shown.isEmpty())
        return QStringLiteral("car/driver %1").arg(carNmbr);
    return QStringLiteral("%1 %2 (entry number %3)")
        .arg(driver ? QStringLiteral("driver") : QStringLiteral("car"), shown, QString::number(carNmbr));
}

// A race or a team (`kind`, which names its table's columns) by its name, with the number the file
// names it by: "race Spring 200 (race number 301)".
QString nameAsKnown(QLatin1String kind, QLatin1String table, int nmbr) {
    IDatabase db;
    QString name;
    if (db.OpenResultSet(QStringLiteral("SELECT %1_name FROM %2 WHERE %1_nmbr = ?").arg(kind, table), {nmbr}) &&
        !db.isEOF())
        name = db.fields.toText(kind + QLatin1String("_name")).trimmed();
    if (name.isEmpty())
        return QStringLiteral("%1 %2").arg(kind).arg(nmbr);
    return QStringLiteral("%1 %2 (%1 number %3)").arg(kind, name, QString::number(nmbr));
}

QString raceAsKnown(int raceNmbr) {
    return nameAsKnown(QLatin1String("race"), QLatin1String("races"), raceNmbr);
}

QString teamAsKnown(int teamNmbr) {
    return nameAsKnown(QLatin1String("team"), QLatin1String("teams"), teamNmbr);
}

// A race type by the name System > Race Types shows.
QString raceTypeAsKnown(int raceTypeNmbr) {
    IDatabase db;
    QString name;
    if (db.OpenResultSet(QStringLiteral("SELECT race_type_name FROM race_type_dm WHERE race_type_nmbr = ?"),
                         {raceTypeNmbr}) &&
        !db.isEOF())
        name = db.fields.toText(QStringLiteral("race_type_name")).trimmed();
    return name.isEmpty() ? QString::number(raceTypeNmbr) : name;
}

// A car/driver is raced and held only in its own series: whether the stored entry (its race type,
// nothing when there is none) is of the race type of the race or team it is named with. The refusal
// names that race or team as `asKnown` gives it.
bool inSeries(int carNmbr, const std::optional<int>& carRaceType, int otherRaceType, QString (*asKnown)(int),
              int otherNmbr, ImportRun& run) {
    if (!carRaceType) {
        run.problem = QStringLiteral("car/driver %1 does not exist.").arg(carNmbr);
        return false;
    }
    if (*carRaceType == otherRaceType)
        return true;
    run.problem = QStringLiteral("%1 is of race type %2, %3 of race type %4.")
                      .arg(carAsKnown(carNmbr), raceTypeAsKnown(*carRaceType), asKnown(otherNmbr),
                           raceTypeAsKnown(otherRaceType));
    return false;
}

LineOutcome importCar(RecordReader& r, ImportRun& run) {
    int carNmbr = 0, carType = 0, raceType = 0;
    if (!r.integer(1, &carNmbr) || !r.integer(2, &carType) || !r.integer(3, &raceType))
        return LineOutcome::Refused;
    LineOutcome refused = LineOutcome::Refused;
    if (!listed(run.carTypes, carType, run, &refused) || !listed(run.raceTypes, raceType, run, &refused))
        return refused;
    std::optional<int> storedRaceType;
    if (!findCarRaceType(carNmbr, run, &storedRaceType))
        return LineOutcome::StoreFailed;
    const auto values = [&](SqlStatement& s) {
        s.bind(1, raceType);
        s.bind(2, carType);
        s.bind(3, r.text(4).trimmed()); // the label without blanks around it, as the car windows store it
        s.bind(4, r.text(5));
        s.bind(5, r.text(8));
        s.bind(6, r.text(6));
        s.bind(7, r.text(7));
        s.bind(8, carNmbr);
    };
    if (!writeRow(run, storedRaceType ? Stored::Yes : Stored::No, run.sql->updateCar, run.sql->insertCar, values,
                  noNewRowValues))
        return LineOutcome::StoreFailed;
    run.carRaceTypes.insert(carNmbr, raceType);
    return LineOutcome::Imported;
}

LineOutcome importRace(RecordReader& r, ImportRun& run) {
    int raceNmbr = 0, raceType = 0, carType = 0;
    QDate date;
    // Races are ordered by date everywhere (carried totals, standings): a race needs one.
    if (!r.integer(1, &raceNmbr) || !r.date(4, &date, false) || !r.integer(5, &raceType) || !r.integer(6, &carType))
        return LineOutcome::Refused;
    LineOutcome refused = LineOutcome::Refused;
    if (!listed(run.raceTypes, raceType, run, &refused))
        return refused;
    // The race window offers cars and drivers only: the bonus entry has no results to score by.
    if (carType != cCar::CarType && carType != cCar::DriverType) {
        run.problem = QStringLiteral("a race's Score By is 1 (cars) or 2 (drivers), this line has %1.").arg(carType);
        return LineOutcome::Refused;
    }
    std::optional<RaceFacts> stored;
    if (!findRace(raceNmbr, run, &stored))
        return LineOutcome::StoreFailed;
    const auto values = [&](SqlStatement& s) {
        s.bind(1, r.text(2));
        s.bind(2, r.text(3));
        bindDate(s, 3, date);
        s.bind(4, carType);
        s.bind(5, raceType);
        s.bind(6, raceNmbr);
    };
    if (!writeRow(run, stored ? Stored::Yes : Stored::No, run.sql->updateRace, run.sql->insertRace, values,
                  noNewRowValues))
        return LineOutcome::StoreFailed;
    run.races.insert(raceNmbr, RaceFacts{0, raceType, stored && stored->hasResults});
    return LineOutcome::Imported;
}

LineOutcome importResult(RecordReader& r, ImportRun& run) {
    int v[9] = {};
    for (int i = 1; i <= 8; ++i) {
        const bool counted = i == 4 || i == 5 || i == 7; // finishing place, qualified, laps led
        if (!(counted ? r.nonNegative(i, &v[i]) : r.integer(i, &v[i])))
            return LineOutcome::Refused;
    }
    LineOutcome refused = LineOutcome::Refused;
    if (!listed(run.raceStatuses, v[1], run, &refused))
        return refused;
    const int raceNmbr = v[2];
    const int carNmbr = v[3];
    std::optional<RaceFacts> race;
    std::optional<int> carRaceType;
    if (!findRace(raceNmbr, run, &race) || !findCarRaceType(carNmbr, run, &carRaceType))
        return LineOutcome::StoreFailed;
    // A result belongs to a race and to an entry of that race's series; without them it could
    // never be posted or shown. The file gives the entry's number in the data file, which is not
    // the number the car carries on the track.
    if (!race) {
        run.problem = QStringLiteral("race %1 does not exist.").arg(raceNmbr);
        return LineOutcome::Refused;
    }
    if (!inSeries(carNmbr, carRaceType, race->raceType, raceAsKnown, raceNmbr, run))
        return LineOutcome::Refused;
    if (run.replaceResults) {
        // A results file brings the whole result of its first race: the old one goes, and the
        // posting made from it with it.
        if (racePosted(raceNmbr))
            run.postingRemoved = raceNmbr;
        cResultsCollection results;
        if (!results.deletePosting(raceNmbr) || !results.deleteResults(raceNmbr))
            return LineOutcome::StoreFailed;
        race->hasResults = false;
    }
    const RaceFacts known = *race;
    if (race->status != v[1]) {
        run.sql->raceStatus.bind(1, v[1]);
        run.sql->raceStatus.bind(2, raceNmbr);
        if (!run.exec(run.sql->raceStatus))
            return LineOutcome::StoreFailed;
        race->status = v[1];
    }
    if (raceNmbr != run.runRace) {
        run.runRace = raceNmbr;
        run.runFresh = !race->hasResults;
        run.runCars.clear();
    }
    // A results file, or a race line followed by its results, writes new rows without looking for
    // old ones first.
    const Stored stored = run.runFresh && !run.runCars.contains(carNmbr) ? Stored::No : Stored::Unknown;
    const auto values = [&](SqlStatement& s) {
        for (int i = 1; i <= 4; ++i)
            s.bind(i, v[i + 3]);
        s.bind(5, raceNmbr);
        s.bind(6, carNmbr);
    };
    if (!writeRow(run, stored, run.sql->updateResult, run.sql->insertResult, values,
                  [&](SqlStatement& s) { s.bind(7, v[8]); }))
        return LineOutcome::StoreFailed;
    if (run.runFresh)
        run.runCars.insert(carNmbr);
    race->hasResults = true;
    if (race->status != known.status || !known.hasResults)
        run.races.insert(raceNmbr, race);
    run.resultRaces.insert(raceNmbr);
    return LineOutcome::Imported;
}

LineOutcome importHolding(RecordReader& r, ImportRun& run) {
    int teamNmbr = 0, carNmbr = 0;
    QDate efctvDt, termDt;
    double price = 0, lockedSalary = 0;
    // The effective date is part of the holding's key. A termination date that cannot be read
    // must not end up as "still held".
    if (!r.integer(1, &teamNmbr) || !r.integer(2, &carNmbr) || !r.date(3, &efctvDt, false) ||
        !r.date(4, &termDt, true) || !r.number(5, &price) || !r.number(6, &lockedSalary))
        return LineOutcome::Refused;
    // A pick ending on or before the day it starts is held on no day: the pick editor refuses it and
    // Terminate All leaves such a pick open.
    if (termDt.isValid() && termDt <= efctvDt) {
        run.problem = QStringLiteral("the termination date %1 is not later than the effective date %2.")
                          .arg(r.shown(4), r.shown(3));
        return LineOutcome::Refused;
    }
    // A pick belongs to a team and to an entry of the team's series, as the pick editor offers them;
    // a pick stored for a team number nobody has yet would come to the next team the user adds.
    std::optional<int> teamRaceType, carRaceType;
    if (!findTeamRaceType(teamNmbr, run, &teamRaceType) || !findCarRaceType(carNmbr, run, &carRaceType))
        return LineOutcome::StoreFailed;
    if (!teamRaceType) {
        run.problem = QStringLiteral("team %1 does not exist.").arg(teamNmbr);
        return LineOutcome::Refused;
    }
    if (!inSeries(carNmbr, carRaceType, *teamRaceType, teamAsKnown, teamNmbr, run))
        return LineOutcome::Refused;
    // A holding without a termination date is still held: NULL, not an empty date.
    const auto values = [&](SqlStatement& s) {
        bindDate(s, 1, termDt);
        s.bind(2, teamNmbr);
        s.bind(3, carNmbr);
        bindDate(s, 4, efctvDt);
    };
    const auto newRow = [&](SqlStatement& s) {
        s.bind(5, price);
        s.bind(6, lockedSalary);
    };
    return writeRow(run, Stored::Unknown, run.sql->updateHolding, run.sql->insertHolding, values, newRow)
               ? LineOutcome::Imported
               : LineOutcome::StoreFailed;
}

bool importSeriesFile(const char* name) {
    return downloadAndImport(QLatin1String(name));
}

// Takes the progress bar away however the import ends.
struct ProgressShown {
    ~ProgressShown() { ui().showProgress(-1); }
};

// No record comes near this; a longer line is not read, so that a file without line ends is never
// held whole.
constexpr qsizetype kMaxLineBytes = 10000;

// Two entries on one place of a race (other than place 0, which any number may share): the race
// window could never save that race's results again.
struct PlaceClash {
    int race = 0;
    int place = 0;
    int cars[2] = {};
};

// The clashes in the races the file brought results for; false after a failing query.
bool findPlaceClashes(const QSet<int>& races, QList<PlaceClash>* out) {
    SqlDatabase* db = gConnection->getConnection();
    const QString sql = QStringLiteral("SELECT place, car_nmbr FROM results WHERE race_nmbr = ? AND place <> 0");
    // (place, car) of one race, read in place rather than as rows of values: a large file brings
    // results for thousands of races.
    std::vector<std::pair<qint64, qint64>> places;
    for (const int race : races) {
        places.clear();
        if (!db->forEachRow(sql, {race},
                            [&](const SqlRowView& row) { places.emplace_back(row.integer(0), row.integer(1)); })) {
            showQuorvantiBox(QStringLiteral("Error = ") + db->lastError() + QStringLiteral(" SQL = ") + sql);
            return false;
        }
        std::sort(places.begin(), places.end());
        for (size_t i = 1; i < places.size(); ++i)
            if (places[i].first == places[i - 1].first)
                out->append(PlaceClash{race, int(places[i].first), {int(places[i - 1].second), int(places[i].second)}});
    }
    return true;
}

QString placeClashProblem(const PlaceClash& clash, int carOfLine) {
    const int other = clash.cars[0] == carOfLine ? clash.cars[1] : clash.cars[0];
    return QStringLiteral("%1 would share place %2 of %3 with %4.")
        .arg(carAsKnown(carOfLine), QString::number(clash.place), raceAsKnown(clash.race), carAsKnown(other));
}

// The line that made a clash: the later of the two results the file wrote, or the one it wrote
// when the other was stored before. Of several clashes, the one the file made first. 0 when the
// file wrote none of them (they were stored so before).
qint64 lineOfClash(QFile* file, const QList<PlaceClash>& clashes, QString* problem) {
    // (race, car) -> the clashes it is part of
    QHash<quint32, QList<int>> involved;
    const auto key = [](int race, int car) { return (quint32(quint16(race)) << 16) | quint16(car); };
    for (int i = 0; i < clashes.size(); ++i)
        for (const int car : clashes.at(i).cars)
            involved[key(clashes.at(i).race, car)].append(i);
    if (!file->seek(0))
        return 0;
    TextLineReader reader(file, kMaxLineBytes);
    QList<qint64> lastLine(clashes.size(), 0);
    QList<int> lastCar(clashes.size(), 0);
    QString line;
    while (reader.next(&line)) {
        const LineFields fields = splitFields(line);
        if (fields.size() != fieldNames(ResultRecord).size() || toInt16(fields.at(0)) != ResultRecord)
            continue;
        const auto race = toInt16(fields.at(2)), car = toInt16(fields.at(3));
        if (!race || !car)
            continue;
        for (const int i : involved.value(key(*race, *car))) {
            lastLine[i] = reader.lineNumber();
            lastCar[i] = *car;
        }
    }
    qint64 first = 0;
    for (int i = 0; i < clashes.size(); ++i) {
        if (lastLine.at(i) != 0 && (first == 0 || lastLine.at(i) < first)) {
            first = lastLine.at(i);
            *problem = placeClashProblem(clashes.at(i), lastCar.at(i));
        }
    }
    return first;
}

void refuseLine(qint64 lineNumber, const QString& problem) {
    exchangeMessage(QStringLiteral("Line %1 cannot be imported: %2\r\nNothing was imported from this file.")
                        .arg(lineNumber)
                        .arg(problem));
}

} // namespace

bool importFile(const QString& path) {
    return importFileOutcome(path) == ImportOutcome::Imported;
}

ImportOutcome importFileOutcome(const QString& path) {
    constexpr ImportOutcome failed = ImportOutcome::Failed;
    // A file that is not there has nothing to import: that is no success.
    const OpenedTextFile input(path);
    if (!input.isOpen())
        return failed;
    QFile* file = input.file();
    const qint64 size = std::max<qint64>(file->size(), 1);
    TextLineReader reader(file, kMaxLineBytes);
    ProgressShown progress;
    int percentShown = -1;

    // All or nothing: every line is written inside one transaction, which is committed only when
    // the last line has been read and stored.
    Transaction tx;
    if (!tx.begun())
        return failed;
    const auto refuse = [&](qint64 lineNumber, const QString& problem) {
        tx.rollback();
        refuseLine(lineNumber, problem);
        return ImportOutcome::Refused;
    };
    ImportRun run;
    run.db = gConnection->getConnection();
    run.sql.emplace(*run.db);
    if (const QString sql = run.sql->unprepared(); !sql.isEmpty()) {
        showQuorvantiBox(QStringLiteral("Error = ") + run.db->lastError() + QStringLiteral(" SQL = ") + sql);
        return failed;
    }
    bool unknownTypeShown = false;
    bool recordSeen = false;
    QString line;
    while (reader.next(&line)) {
        const int percent = int(reader.bytesRead() * 100 / size);
        if (percent != percentShown) {
            ui().showProgress(percent);
            percentShown = percent;
        }
        // No text field can hold it, and the statements would end their text there.
        if (line.contains(QChar(0)))
            return refuse(reader.lineNumber(), QStringLiteral("the line holds a NUL character."));
        const LineFields fields = splitFields(line);
        const auto type = toInt16(fields.at(0));
        const bool known = type && *type >= CarRecord && *type <= HoldingRecord;
        if (!known) {
            // Blank lines and lines without a field separator carry no record.
            if (fields.size() < 2)
                continue;
            if (!unknownTypeShown) {
                exchangeMessage(
                    QStringLiteral("Invalid file format.\r\nDo you have the most current version of Quorvanti?"));
                unknownTypeShown = true;
            }
            continue;
        }
        recordSeen = true;
        RecordReader record(*type, fields);
        run.problem.clear();
        // Only the first line decides whether the file replaces a race's results.
        run.replaceResults = reader.lineNumber() == 1 && *type == ResultRecord;
        LineOutcome outcome = LineOutcome::Refused;
        if (record.hasAllFields()) {
            switch (*type) {
            case CarRecord:
                outcome = importCar(record, run);
                break;
            case RaceRecord:
                outcome = importRace(record, run);
                break;
            case ResultRecord:
                outcome = importResult(record, run);
                break;
            default:
                outcome = importHolding(record, run);
                break;
            }
        }
        if (outcome == LineOutcome::StoreFailed) // the store has shown its box
            return failed;
        if (outcome == LineOutcome::Refused)
            return refuse(reader.lineNumber(), run.problem.isEmpty() ? record.problem : run.problem);
    }
    if (reader.lineTooLong())
        return refuse(reader.lineNumber(), QStringLiteral("the line is longer than %1 bytes.").arg(kMaxLineBytes));
    if (reader.failed()) {
        tx.rollback();
        reportReadFailure(input.number());
        return failed;
    }
    // Any file opens, a letter or a picture saved under the extension too: importing nothing from
    // it is no import.
    if (!recordSeen) {
        tx.rollback();
        exchangeMessage(QStringLiteral("This file holds no series records: no line is a car/driver, race, result"
                                       " or team car record.\r\nNothing was imported from this file."));
        return ImportOutcome::Refused;
    }
    // The places are checked once the whole file is in: a file may move a car to a place another
    // car leaves further down.
    QList<PlaceClash> clashes;
    if (!findPlaceClashes(run.resultRaces, &clashes))
        return failed;
    if (!clashes.isEmpty()) {
        QString problem;
        const qint64 lineNumber = lineOfClash(file, clashes, &problem);
        if (lineNumber > 0)
            return refuse(lineNumber, problem);
    }
    if (!tx.commit())
        return failed;
    cRaces replaced;
    if (run.postingRemoved != 0 && replaced.load(run.postingRemoved))
        tellPostingRemoved(replaced.raceName());
    return ImportOutcome::Imported;
}

bool downloadAndImport(const QString& fileName) {
    if (!downloadFile(fileName))
        return false;
    return importFile(QDir(importsDir()).filePath(fileName));
}

bool importWcCars() {
    return importSeriesFile("wccars.qvi");
}
bool importWcDrivers() {
    return importSeriesFile("wcdrivers.qvi");
}
bool importF1Cars() {
    return importSeriesFile("f1cars.qvi");
}
bool importF1Drivers() {
    return importSeriesFile("f1drivers.qvi");
}

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
