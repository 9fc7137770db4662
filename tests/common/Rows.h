#pragma once

// Rows put straight into the data file by the tests and the benches, one helper a table:
//
//     addCar({.nmbr = 5, .txt = "24", .driver = "Gordon", .salary = 1000});
//
// Every helper names its columns, so a column a table gains later breaks none of the callers; a field
// left out takes the default written here (the one most callers want; an optional left empty is NULL).
// The fields follow the table's column order, as designators must. Values are bound, never spliced
// into the statement, so a name with a quote in it needs no doubling. A failing insert ends the
// program, as TestDataFile::exec does: a set-up that did not happen must not pass as a test.

#include <QList>
#include <QString>
#include <optional>

// The number-and-name tables: race_type_dm, car_type_dm, scoring_option_dm, race_status_dm.
struct CodeRow {
    int nmbr = 0;
    std::optional<QString> name;
};

struct GroupRow {
    int nmbr = 0;
    std::optional<int> maxNmbr; // NULL: no limit set
    std::optional<QString> name;
};

struct ScoringTypeRow {
    int nmbr = 0;
    std::optional<QString> name;
    int lapsLed = 0;
    int mostLapsLed = 0;
    int fastQual = 0;
};

// scoring_points: what a place and a qualifying position pay.
struct PointsRow {
    int scoringType = 0;
    int place = 0;
    int points = 0;
    int qualPoints = 0;
};

// scoring_top_points: `cars` cars in places 1..`top` pay the team `points`.
struct TopPointsRow {
    int scoringType = 0;
    int cars = 0;
    int points = 0;
    int top = 0;
};

struct LeagueRow {
    int nmbr = 0;
    std::optional<QString> name;
    std::optional<QString> shortName;
    std::optional<int> raceType = 1;
    std::optional<int> scoringOption = 1;
    std::optional<int> scoringType = 1;
    double salaryCap = 0;
    int dropLowest = 0;
    std::optional<int> carType = 1;
};

struct TeamRow {
    int nmbr = 0;
    std::optional<QString> name;
    std::optional<QString> owner;
    std::optional<QString> email;
    std::optional<QString> phone;
    std::optional<int> raceType = 1;
    std::optional<int> carType = 1;
    std::optional<QString> address1;
    std::optional<QString> address2;
    std::optional<QString> city;
    std::optional<QString> state;
    std::optional<QString> zip;
};

// league_teams: a team's membership of a league.
struct MemberRow {
    int league = 0;
    int team = 0;
};

struct CarRow {
    int nmbr = 0;
    std::optional<int> raceType = 1;
    std::optional<int> carType = 1;
    std::optional<QString> txt;
    std::optional<QString> owner;
    std::optional<QString> driver;
    std::optional<QString> make;
    std::optional<QString> sponsor;
    std::optional<int> group;
    double salary = 0;
};

// team_car: a team holds the car from `from` (ISO date) until `to`, or still when `to` is empty.
struct HoldingRow {
    int team = 0;
    int car = 0;
    QString from = QStringLiteral("2024-01-01");
    std::optional<QString> to;
    double price = 0;
    double lockedSalary = 0;
    int active = 1;
};

// status 2 is Completed, 1 Unofficial, 0 Scheduled (a new race's).
struct RaceRow {
    int nmbr = 0;
    std::optional<QString> name;
    std::optional<QString> track;
    std::optional<QString> date; // ISO
    std::optional<int> carType = 1;
    std::optional<int> raceType = 1;
    int status = 2;
};

struct ResultRow {
    int car = 0;
    int race = 0;
    int place = 0;
    int qualified = 0;
    int fastQual = 0;
    int lapsLed = 0;
    int adjustment = 0;
};

// race_head_head: two teams of a league paired for a race.
struct PairingRow {
    int race = 0;
    int league = 0;
    int team1 = 0;
    int team2 = 0;
};

// team_results: one posted row of a team's car; status 1 is a current holding.
struct TeamResultRow {
    int race = 0;
    int place = 0;
    int qualified = 0;
    int car = 0;
    int team = 0;
    int status = 1;
    int fastQualBonus = 0;
    int lapsLedBonus = 0;
    int mostLapsLedBonus = 0;
    int adjustment = 0;
    int points = 0;
    int qualPoints = 0;
    int total = 0;
    int league = 0;
};

// team_results_summary: a team's points and place in a league's race.
struct SummaryRow {
    int race = 0;
    int team = 0;
    int league = 0;
    int points = 0;
    int place = 0;
};

// report_columns: a column a report shows, at its place in the order.
struct ReportColumnRow {
    int report = 0;
    int column = 0;
    std::optional<int> order;
};

struct ColorRow {
    int nmbr = 0;
    std::optional<QString> name;
    std::optional<QString> code;
};

void addRaceType(const CodeRow& row);
void addCarType(const CodeRow& row);
void addScoringOption(const CodeRow& row);
void addRaceStatus(const CodeRow& row);
void addGroup(const GroupRow& row);
void addScoringType(const ScoringTypeRow& row);
void addPoints(const PointsRow& row);
void addTopPoints(const TopPointsRow& row);
void addLeague(const LeagueRow& row);
void addTeam(const TeamRow& row);
void addMember(const MemberRow& row);
void addCar(const CarRow& row);
void addHolding(const HoldingRow& row);
void addRace(const RaceRow& row);
void addResult(const ResultRow& row);
void addPairing(const PairingRow& row);
void addTeamResult(const TeamResultRow& row);
void addSummary(const SummaryRow& row);
void addReportColumn(const ReportColumnRow& row);
void addColor(const ColorRow& row);

// A report by its id ("RD", "LS", ..): replaces the columns it shows by these, in this order.
void chooseColumns(const QString& reportId, const QList<int>& columns);
// A report by its id: sets one of its attributes (a colour, size, count or switch), replacing what it had.
void setReportAttribute(const QString& reportId, int attribute, int amt);
