#include "reports/generators/RaceDetailReport.h"

#include "reports/generators/ReportPipeline.h"
#include "reports/generators/ReportRequestState.h"
#include "reports/generators/StoredValues.h"

#include <algorithm>
#include <ranges>

namespace {

using RaceDetailColumns::Variant;

// A team's rows: car type (highest first), status, place.
bool inTeamOrder(const RaceDetailRow& a, const RaceDetailRow& b) {
    int c = compareStored(b.car->carTypeNmbr, a.car->carTypeNmbr);
    if (c == 0)
        c = compareStored(a.result->currentStatus, b.result->currentStatus);
    if (c == 0)
        c = compareStored(a.result->place, b.result->place);
    return c < 0;
}

// The rows are the query of the seven tables (results, holdings, standings lines, cars, race, team,
// league) put together from what the request reads once: the league's results of the race, the cars
// on file and the teams' latest holdings, which every race page of a request shares. One query of the
// seven tables for each page made the package of a big league a third slower (bench/reports).
void readRows(RaceDetail& detail, int leagueNmbr, int raceNmbr) {
    ReportRequestState& request = ReportRequestState::current();
    const std::vector<TeamResult>& results = request.raceResults(leagueNmbr, raceNmbr);
    const QHash<int, CarOnFile>& cars = request.carsOnFile();
    const QHash<TeamAndCar, Holding>& holdings = request.latestHoldings(leagueNmbr);
    // The engine orders the teams, comparing their names as the page always has.
    const QueryRows teams(QStringLiteral("SELECT C.team_nmbr, F.team_name FROM team_results_summary C, teams F"
                                         " WHERE C.league_nmbr = ? AND C.race_nmbr = ? AND F.team_nmbr = C.team_nmbr"
                                         " ORDER BY C.team_place, F.team_name, C.team_nmbr"),
                          {leagueNmbr, raceNmbr});
    for (qsizetype t = 0; t < teams.count(); ++t) {
        const std::optional<int> team = wholeNumber(teams.value(t, 0));
        if (!team)
            continue;
        const QString teamName = teams.text(t, 1);
        const auto teamStart = std::ssize(detail.rows);
        for (const TeamResult& result : std::ranges::equal_range(results, *team, {}, &TeamResult::teamNmbr)) {
            const auto car = cars.constFind(result.carNmbr);
            const auto held = holdings.constFind({*team, result.carNmbr});
            if (car != cars.constEnd() && held != holdings.constEnd())
                detail.rows.push_back({*team, teamName, &result, &*car, &*held});
        }
        std::stable_sort(detail.rows.begin() + teamStart, detail.rows.end(), inTeamOrder);
    }
}

void writeTeamHeader(ReportPage& page, const QString& teamName) {
    page.writeLine(rowTag(page.headingBackColor()));
    page.writeLine(headingCell(page.headingTextSize(), page.headingTextColor(), htmlText(teamName),
                               QStringLiteral("left"), int(page.columns().size()), QStringLiteral("NOWRAP")));
    page.writeLine(QStringLiteral("</TR>"));
}

// One group per team, each with its header and totals: two teams of the same name are two groups.
// The row index runs on from one team to the next; hidden rows count in the totals all the same.
void writeTeamGroups(ReportPage& page, const RaceDetail& detail) {
    const bool activeOnly = page.includeActiveOnly();
    int rowIndex = 1;
    for (auto first = detail.rows.begin(); first != detail.rows.end();) {
        const int team = first->teamNmbr;
        const auto end =
            std::find_if(first, detail.rows.end(), [&](const RaceDetailRow& r) { return r.teamNmbr != team; });
        if (first != detail.rows.begin())
            page.writeEmptyRow();
        writeTeamHeader(page, first->teamName);
        qint32 racePoints = 0;
        for (auto row = first; row != end; ++row) {
            if (!activeOnly || holdingShownOnRaceDay(detail.raceDt, row->holding->efctvDt, row->holding->termDt))
                page.writeDataRow(rowIndex++,
                                  [&](int c) { return RaceDetailColumns::cell(*row, c, Variant::RaceDetail); });
            addToSum(racePoints, row->result->points.toDouble());
        }
        RaceDetailColumns::writeTotalsRow(page, racePoints, detail.seasonPoints.value(team, 0), QStringLiteral("B"));
        first = end;
    }
}

void writeRaceDetailPage(ReportPage& page, const RaceDetail& detail) {
    page.writeHead(QStringLiteral("Race Detail Report"));
    page.writeHeaderImage();
    page.writeEmptyRow();
    page.writeLine(QStringLiteral("<br>"));
    page.writeTitle(htmlText(detail.leagueName));
    page.writeLine(QStringLiteral("<br>"));
    page.writeTitle(htmlText(detail.raceName), 2);
    page.writeRaceStatus(detail.raceStatusNmbr);
    page.writeTableStart();
    page.writeColumnHeadings([](int c) { return RaceDetailColumns::heading(c, Variant::RaceDetail); }, QString());
    writeTeamGroups(page, detail);
    page.writeTableEnd();
    page.writeFooter();
    page.writeEnd();
}

} // namespace

RaceDetail readRaceDetail(int leagueNmbr, int raceNmbr) {
    const QueryRows head(QStringLiteral("SELECT G.league_name, E.race_name, E.race_dt, E.race_status_nmbr"
                                        " FROM races E, leagues G WHERE E.race_nmbr = ? AND G.league_nmbr = ?"),
                         {raceNmbr, leagueNmbr});
    RaceDetail detail;
    if (head.count() == 0)
        return detail;
    detail.leagueName = head.text(0, 0);
    detail.raceName = head.text(0, 1);
    detail.raceDt = head.value(0, 2);
    detail.raceStatusNmbr = head.value(0, 3).toInt();
    readRows(detail, leagueNmbr, raceNmbr);
    if (!detail.rows.empty())
        detail.seasonPoints = ReportRequestState::current().seasonPoints(leagueNmbr, raceNmbr);
    return detail;
}

QString createRaceDetailReport(int leagueNmbr, int raceNmbr, bool show) {
    return runReport(QStringLiteral("RD"), [&](ReportPage& page) {
        if (page.writtenInRequest({leagueNmbr, raceNmbr}))
            return page.fileName();
        const RaceDetail detail = readRaceDetail(leagueNmbr, raceNmbr);
        if (detail.rows.empty()) {
            if (show)
                showReportMessage(QStringLiteral("Results not posted for this Race."));
            return QString();
        }
        page.open(leagueNmbr, raceNmbr);
        writeRaceDetailPage(page, detail);
        return page.finish(show);
    });
}
