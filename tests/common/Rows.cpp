#include "Rows.h"

#include "TestDataFile.h"

#include <QStringList>
#include <QVariantList>
#include <initializer_list>
#include <utility>

namespace {

QVariant value(const std::optional<QString>& v) {
    return v ? QVariant(*v) : QVariant();
}
QVariant value(const std::optional<int>& v) {
    return v ? QVariant(*v) : QVariant();
}
QVariant value(int v) {
    return v;
}
QVariant value(double v) {
    return v;
}
QVariant value(const QString& v) {
    return v;
}

using Column = std::pair<const char*, QVariant>;

// The statement's text depends only on the table and its names, so the connection prepares it once
// and a bench's thousands of rows reuse it.
void insert(const char* table, std::initializer_list<Column> columns) {
    QStringList names, marks;
    QVariantList values;
    for (const Column& c : columns) {
        names << QLatin1String(c.first);
        marks << QStringLiteral("?");
        values << c.second;
    }
    TestDataFile::exec(
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(QLatin1String(table), names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
        values);
}

void insertCode(const char* table, const char* nmbr, const char* name, const CodeRow& row) {
    insert(table, {{nmbr, value(row.nmbr)}, {name, value(row.name)}});
}

} // namespace

void addRaceType(const CodeRow& row) {
    insertCode("race_type_dm", "race_type_nmbr", "race_type_name", row);
}

void addCarType(const CodeRow& row) {
    insertCode("car_type_dm", "car_type_nmbr", "car_type_name", row);
}

void addScoringOption(const CodeRow& row) {
    insertCode("scoring_option_dm", "scoring_option_nmbr", "scoring_option_name", row);
}

void addRaceStatus(const CodeRow& row) {
    insertCode("race_status_dm", "race_status_nmbr", "race_status_name", row);
}

void addGroup(const GroupRow& row) {
    insert("group_dm",
           {{"group_nmbr", value(row.nmbr)}, {"max_nmbr", value(row.maxNmbr)}, {"group_name", value(row.name)}});
}

void addScoringType(const ScoringTypeRow& row) {
    insert("scoring_type", {{"scoring_type_nmbr", value(row.nmbr)},
                            {"scoring_type_name", value(row.name)},
                            {"laps_led_bonus", value(row.lapsLed)},
                            {"most_laps_led_bonus", value(row.mostLapsLed)},
                            {"fast_qual_bonus", value(row.fastQual)}});
}

void addPoints(const PointsRow& row) {
    insert("scoring_points", {{"scoring_type_nmbr", value(row.scoringType)},
                              {"place", value(row.place)},
                              {"points", value(row.points)},
                              {"qual_points", value(row.qualPoints)}});
}

void addTopPoints(const TopPointsRow& row) {
    insert("scoring_top_points", {{"scoring_type_nmbr", value(row.scoringType)},
                                  {"nmbr_cars", value(row.cars)},
                                  {"points", value(row.points)},
                                  {"top_nmbr", value(row.top)}});
}

void addLeague(const LeagueRow& row) {
    insert("leagues", {{"league_nmbr", value(row.nmbr)},
                       {"league_name", value(row.name)},
                       {"league_short_name", value(row.shortName)},
                       {"race_type_nmbr", value(row.raceType)},
                       {"scoring_option_nmbr", value(row.scoringOption)},
                       {"scoring_type_nmbr", value(row.scoringType)},
                       {"salary_cap", value(row.salaryCap)},
                       {"drop_lowest", value(row.dropLowest)},
                       {"car_type_nmbr", value(row.carType)}});
}

void addTeam(const TeamRow& row) {
    insert("teams", {{"team_nmbr", value(row.nmbr)},
                     {"team_name", value(row.name)},
                     {"team_owner", value(row.owner)},
                     {"email", value(row.email)},
                     {"phone", value(row.phone)},
                     {"race_type_nmbr", value(row.raceType)},
                     {"car_type_nmbr", value(row.carType)},
                     {"address_line1", value(row.address1)},
                     {"address_line2", value(row.address2)},
                     {"city", value(row.city)},
                     {"state", value(row.state)},
                     {"zip", value(row.zip)}});
}

void addMember(const MemberRow& row) {
    insert("league_teams", {{"league_nmbr", value(row.league)}, {"team_nmbr", value(row.team)}});
}

void addCar(const CarRow& row) {
    insert("cars", {{"car_nmbr", value(row.nmbr)},
                    {"race_type_nmbr", value(row.raceType)},
                    {"car_type_nmbr", value(row.carType)},
                    {"car_txt", value(row.txt)},
                    {"car_owner", value(row.owner)},
                    {"driver_name", value(row.driver)},
                    {"car_make", value(row.make)},
                    {"sponsor", value(row.sponsor)},
                    {"group_nmbr", value(row.group)},
                    {"salary", value(row.salary)}});
}

void addHolding(const HoldingRow& row) {
    insert("team_car", {{"team_nmbr", value(row.team)},
                        {"car_nmbr", value(row.car)},
                        {"efctv_dt", value(row.from)},
                        {"term_dt", value(row.to)},
                        {"price", value(row.price)},
                        {"locked_salary", value(row.lockedSalary)},
                        {"active", value(row.active)}});
}

void addRace(const RaceRow& row) {
    insert("races", {{"race_nmbr", value(row.nmbr)},
                     {"race_name", value(row.name)},
                     {"track_name", value(row.track)},
                     {"race_dt", value(row.date)},
                     {"car_type_nmbr", value(row.carType)},
                     {"race_type_nmbr", value(row.raceType)},
                     {"race_status_nmbr", value(row.status)}});
}

void addResult(const ResultRow& row) {
    insert("results", {{"car_nmbr", value(row.car)},
                       {"race_nmbr", value(row.race)},
                       {"place", value(row.place)},
                       {"qualified", value(row.qualified)},
                       {"fast_qual", value(row.fastQual)},
                       {"laps_led", value(row.lapsLed)},
                       {"adjustment", value(row.adjustment)}});
}

void addPairing(const PairingRow& row) {
    insert("race_head_head", {{"race_nmbr", value(row.race)},
                              {"league_nmbr", value(row.league)},
                              {"team_nmbr1", value(row.team1)},
                              {"team_nmbr2", value(row.team2)}});
}

void addTeamResult(const TeamResultRow& row) {
    insert("team_results", {{"race_nmbr", value(row.race)},
                            {"place", value(row.place)},
                            {"qualified", value(row.qualified)},
                            {"car_nmbr", value(row.car)},
                            {"team_nmbr", value(row.team)},
                            {"current_status", value(row.status)},
                            {"fast_qual_bonus", value(row.fastQualBonus)},
                            {"laps_led_bonus", value(row.lapsLedBonus)},
                            {"most_laps_led_bonus", value(row.mostLapsLedBonus)},
                            {"adjustment", value(row.adjustment)},
                            {"points", value(row.points)},
                            {"qual_points", value(row.qualPoints)},
                            {"total_points", value(row.total)},
                            {"league_nmbr", value(row.league)}});
}

void addSummary(const SummaryRow& row) {
    insert("team_results_summary", {{"race_nmbr", value(row.race)},
                                    {"team_nmbr", value(row.team)},
                                    {"league_nmbr", value(row.league)},
                                    {"points", value(row.points)},
                                    {"team_place", value(row.place)}});
}

void addReportColumn(const ReportColumnRow& row) {
    insert(
        "report_columns",
        {{"report_nmbr", value(row.report)}, {"column_nmbr", value(row.column)}, {"column_order", value(row.order)}});
}

void addColor(const ColorRow& row) {
    insert("color_dm",
           {{"color_nmbr", value(row.nmbr)}, {"color_name", value(row.name)}, {"color_cd", value(row.code)}});
}

void chooseColumns(const QString& reportId, const QList<int>& columns) {
    TestDataFile::exec(
        QStringLiteral(
            "DELETE FROM report_columns WHERE report_nmbr = (SELECT report_nmbr FROM report WHERE report_id = ?)"),
        {reportId});
    int order = 0;
    for (int column : columns)
        TestDataFile::exec(QStringLiteral("INSERT INTO report_columns (report_nmbr, column_nmbr, column_order)"
                                          " SELECT report_nmbr, ?, ? FROM report WHERE report_id = ?"),
                           {column, ++order, reportId});
}

void setReportAttribute(const QString& reportId, int attribute, int amt) {
    TestDataFile::exec(QStringLiteral("DELETE FROM report_attributes WHERE attribute_nmbr = ? AND report_nmbr ="
                                      " (SELECT report_nmbr FROM report WHERE report_id = ?)"),
                       {attribute, reportId});
    TestDataFile::exec(QStringLiteral("INSERT INTO report_attributes (report_nmbr, attribute_nmbr, amt)"
                                      " SELECT report_nmbr, ?, ? FROM report WHERE report_id = ?"),
                       {attribute, amt, reportId});
}
