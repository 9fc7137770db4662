#include "reports/generators/TeamRaceDetailReport.h"

#include "reports/generators/RaceDetailColumns.h"
#include "reports/generators/ReportPipeline.h"
#include "reports/generators/ReportRequestState.h"

#include <vector>

namespace {

using RaceDetailColumns::Variant;

// A row of the team's query: its result, car and holding.
struct TeamRaceRow {
    TeamResult result;
    CarOnFile car;
    Holding holding;
};

// What the team race detail page shows: the team, the race and the team's rows in it.
struct TeamRaceDetail {
    QString teamName, email, phone, raceName;
    QVariant raceDt;
    std::vector<TeamRaceRow> rows;
    qint64 seasonPoints = 0; // the team's line in the standings as of the race
};

// The numbers are bound (?1 the league, ?2 the team, ?3 the race), so that the statement is prepared
// once for all the team pages of a run.
const QString kTeamRaceDetailQuery = QStringLiteral(
    "SELECT F.team_name, F.email, F.phone, E.race_name, E.race_dt, D.car_txt, D.driver_name, D.sponsor,"
    " D.car_type_nmbr, A.current_status, A.place, A.laps_led_bonus, A.most_laps_led_bonus, A.fast_qual_bonus,"
    " A.points, A.total_points, A.qual_points, A.adjustment, B.efctv_dt, B.term_dt"
    " FROM team_results A, team_car B, team_results_summary C, cars D, races E, teams F, leagues G"
    " WHERE E.race_nmbr = ?3 And E.race_nmbr = A.race_nmbr AND D.car_nmbr = A.car_nmbr AND C.team_nmbr = ?2"
    " AND C.race_nmbr = A.race_nmbr AND C.team_nmbr = A.team_nmbr AND C.league_nmbr = A.league_nmbr"
    " AND A.league_nmbr = ?1 AND A.race_nmbr = ?3 AND A.team_nmbr = ?2 AND B.team_nmbr = A.team_nmbr"
    " AND B.car_nmbr = A.car_nmbr AND B.team_nmbr = ?2 AND F.team_nmbr = A.team_nmbr AND G.league_nmbr = ?1"
    " AND B.efctv_dt =           (SELECT max(efctv_dt)               FROM team_car "
    "             WHERE car_nmbr = B.car_nmbr                AND team_nmbr = B.team_nmbr) "
    " ORDER BY C.team_place,F.team_name, D.car_type_nmbr desc, A.current_status, B.term_dt, A.place");

TeamRaceDetail readTeamRaceDetail(int leagueNmbr, int teamNmbr, int raceNmbr) {
    const QueryRows rows(kTeamRaceDetailQuery, {leagueNmbr, teamNmbr, raceNmbr});
    TeamRaceDetail detail;
    if (rows.count() == 0)
        return detail;
    detail.teamName = rows.text(0, 0);
    detail.email = rows.text(0, 1);
    detail.phone = rows.text(0, 2);
    detail.raceName = rows.text(0, 3);
    detail.raceDt = rows.value(0, 4);
    for (qsizetype r = 0; r < rows.count(); ++r) {
        TeamResult result{.teamNmbr = teamNmbr,
                          .place = rows.value(r, 10),
                          .lapsLedBonus = rows.value(r, 11),
                          .mostLapsLedBonus = rows.value(r, 12),
                          .fastQualBonus = rows.value(r, 13),
                          .points = rows.value(r, 14),
                          .totalPoints = rows.value(r, 15),
                          .currentStatus = rows.value(r, 9),
                          .qualPoints = rows.value(r, 16),
                          .adjustment = rows.value(r, 17)};
        detail.rows.push_back({std::move(result),
                               {rows.text(r, 5), rows.text(r, 6), rows.text(r, 7), rows.value(r, 8)},
                               {rows.value(r, 18), rows.value(r, 19)}});
    }
    // A page within a league's page is one of its teams' pages: the request reads the league's season
    // points once for all of them. A page of its own reads its team's line alone.
    ReportRequestState& request = ReportRequestState::current();
    detail.seasonPoints = ReportPage::nested() ? request.seasonPoints(leagueNmbr, raceNmbr).value(teamNmbr, 0)
                                               : request.teamSeasonPoints(leagueNmbr, raceNmbr, teamNmbr);
    return detail;
}

// E-mail and phone, each on a line of its own, in the order their columns are chosen.
QString contactText(ReportPage& page, const TeamRaceDetail& detail) {
    QString text;
    for (int c : page.columns()) {
        if (c == ColEmail) {
            const QString email = emailAddress(htmlText(detail.email));
            text +=
                QStringLiteral("<BR><A href='mailto:") + email + QStringLiteral("'>") + email + QStringLiteral("</A>");
        } else if (c == ColPhone) {
            text += QStringLiteral("<BR>") + htmlText(detail.phone);
        }
    }
    return text;
}

void writeTeamRaceDetailPage(ReportPage& page, const TeamRaceDetail& detail) {
    const bool activeOnly = page.includeActiveOnly();
    page.writeHead(QStringLiteral("Team Race Detail Report"));
    page.writeEmptyRow();
    page.writeHeaderImage();
    page.writeTitle(htmlText(detail.teamName));
    page.writeTitle(contactText(page, detail), 4);
    page.writeEmptyRow();
    page.writeTitle(cellDate(detail.raceDt) + QStringLiteral("  ") + htmlText(detail.raceName), 2);
    page.writeTableStart();
    page.writeColumnHeadings([](int c) { return RaceDetailColumns::heading(c, Variant::TeamRaceDetail); },
                             QStringLiteral("nowrap"));
    // By calendar day: a holding that ended before the race day or began after it is hidden, its points
    // counted all the same.
    qint32 racePoints = 0;
    int rowIndex = 1;
    for (const TeamRaceRow& own : detail.rows) {
        const RaceDetailRow row{own.result.teamNmbr, detail.teamName, &own.result, &own.car, &own.holding};
        if (!activeOnly || holdingShownOnRaceDay(detail.raceDt, own.holding.efctvDt, own.holding.termDt))
            page.writeDataRow(rowIndex++,
                              [&](int c) { return RaceDetailColumns::cell(row, c, Variant::TeamRaceDetail); });
        addToSum(racePoints, own.result.points.toDouble());
    }
    RaceDetailColumns::writeTotalsRow(page, racePoints, detail.seasonPoints, QStringLiteral("STRONG"));
    page.writeTableEnd();
    page.writeFooter();
    page.writeEnd();
}

} // namespace

QString createTeamRaceDetailReport(int leagueNmbr, int teamNmbr, int raceNmbr, bool show) {
    return runReport(QStringLiteral("TR"), [&](ReportPage& page) {
        if (page.writtenInRequest({leagueNmbr, teamNmbr, raceNmbr}))
            return page.fileName();
        const TeamRaceDetail detail = readTeamRaceDetail(leagueNmbr, teamNmbr, raceNmbr);
        if (detail.rows.empty()) {
            if (show)
                showReportMessage(QStringLiteral("Results not posted for this Race."));
            return QString();
        }
        page.open({leagueNmbr, teamNmbr, raceNmbr});
        writeTeamRaceDetailPage(page, detail);
        return page.finish(show);
    });
}
