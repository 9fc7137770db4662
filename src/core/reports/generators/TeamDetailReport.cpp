#include "reports/generators/TeamDetailReport.h"

#include "data/cLeagueTeams.h"
#include "posting/cScoringPointsCollection.h"
#include "reports/generators/ReportPipeline.h"
#include "reports/generators/ReportRequestState.h"

#include <QHash>
#include <limits>
#include <stdexcept>
#include <vector>

namespace {

const QString kCode = QStringLiteral("TD");

// What every page of a run shows alike: the league and the race, and which way the league scores.
struct TeamDetailRun {
    bool found = false; // the league and the race are on file
    QString leagueName, raceName;
    QVariant raceDt;
    bool highScore = true; // more points is better
};

TeamDetailRun readRun(int leagueNmbr, int raceNmbr) {
    const QueryRows head(QStringLiteral("SELECT G.league_name, E.race_name, E.race_dt, G.scoring_type_nmbr"
                                        " FROM leagues G, races E WHERE G.league_nmbr = ? AND E.race_nmbr = ?"),
                         {leagueNmbr, raceNmbr});
    TeamDetailRun run;
    if (head.count() == 0)
        return run;
    run.found = true;
    run.leagueName = head.text(0, 0);
    run.raceName = head.text(0, 1);
    run.raceDt = head.value(0, 2);
    cScoringPointsCollection points;
    points.load(head.value(0, 3).toInt());
    run.highScore = points.highScore();
    return run;
}

// The numbers are bound (?1 the league, ?2 the race, ?3 the team), so that a run prepares the statement
// once for all its pages.
QString teamDetailQuery(bool allInOne, bool highScore) {
    // Each car is joined to the team's latest holding of it, whatever its dates; the active-row
    // test decides whether that holding counts.
    return QStringLiteral(
               "SELECT F.team_nmbr, D.car_nmbr, F.team_name, F.email, F.phone, D.car_txt, D.driver_name, D.sponsor,"
               " A.points, A.total_points, A.adjustment, B.efctv_dt, B.term_dt"
               " FROM team_results A, team_car B, team_results_summary C, cars D, races E, teams F, leagues G"
               " WHERE E.race_nmbr = ?2 AND E.race_nmbr = A.race_nmbr AND D.car_nmbr = A.car_nmbr"
               " AND D.car_type_nmbr in (1,2) AND C.race_nmbr = A.race_nmbr AND C.team_nmbr = A.team_nmbr"
               " AND C.league_nmbr = A.league_nmbr AND A.league_nmbr = ?1 AND A.race_nmbr = ?2"
               " AND B.team_nmbr = A.team_nmbr AND B.car_nmbr = A.car_nmbr AND F.team_nmbr = A.team_nmbr"
               " AND G.league_nmbr = ?1 AND B.efctv_dt = (SELECT max(efctv_dt) FROM team_car"
               " WHERE car_nmbr = B.car_nmbr AND team_nmbr = B.team_nmbr) ") +
           (allInOne ? QString() : QStringLiteral(" AND B.team_nmbr = ?3")) +
           (highScore ? QStringLiteral(" ORDER BY F.team_nmbr, A.total_points DESC")
                      : QStringLiteral(" ORDER BY F.team_nmbr, A.total_points ASC"));
}

// One row of the page: a car or driver of a team with its result in the race and the team's latest
// holding of it.
struct TeamDetailRow {
    int teamNmbr = 0, carNmbr = 0;
    QString teamName, email, phone, carTxt, driverName, sponsor;
    QVariant points, totalPoints, adjustment, efctvDt, termDt;
};

// What the page shows besides the run's: the rows, and the season's bonus sums of each team and car.
struct TeamDetail {
    // The league (or the one team) has results in the race: the page is written even when none of
    // them is a car or driver, as the other pages of the race are.
    bool posted = false;
    std::vector<TeamDetailRow> rows;
    QHash<TeamAndCar, BonusSums> bonuses;
};

// The league (or the team, ?3) has results in the race with their teams' lines in its standings.
bool hasResults(const QVariantList& numbers, bool allInOne) {
    const QueryRows any(QStringLiteral("SELECT 1 FROM team_results A, team_results_summary C"
                                       " WHERE A.league_nmbr = ?1 AND A.race_nmbr = ?2 AND C.league_nmbr = ?1"
                                       " AND C.race_nmbr = ?2 AND C.team_nmbr = A.team_nmbr") +
                            (allInOne ? QString() : QStringLiteral(" AND A.team_nmbr = ?3")) +
                            QStringLiteral(" LIMIT 1"),
                        numbers);
    return any.count() > 0;
}

TeamDetail readTeamDetail(const TeamDetailRun& run, int leagueNmbr, int teamNmbr, int raceNmbr, bool allInOne) {
    TeamDetail detail;
    if (!run.found)
        return detail;
    const QVariantList numbers =
        allInOne ? QVariantList{leagueNmbr, raceNmbr} : QVariantList{leagueNmbr, raceNmbr, teamNmbr};
    const QueryRows rows(teamDetailQuery(allInOne, run.highScore), numbers);
    for (qsizetype r = 0; r < rows.count(); ++r)
        detail.rows.push_back({.teamNmbr = rows.value(r, 0).toInt(),
                               .carNmbr = rows.value(r, 1).toInt(),
                               .teamName = rows.text(r, 2),
                               .email = rows.text(r, 3),
                               .phone = rows.text(r, 4),
                               .carTxt = rows.text(r, 5),
                               .driverName = rows.text(r, 6),
                               .sponsor = rows.text(r, 7),
                               .points = rows.value(r, 8),
                               .totalPoints = rows.value(r, 9),
                               .adjustment = rows.value(r, 10),
                               .efctvDt = rows.value(r, 11),
                               .termDt = rows.value(r, 12)});
    // Without a row of a car or driver, the bonus entry's results alone make the race posted.
    detail.posted = !detail.rows.empty() || hasResults(numbers, allInOne);
    if (detail.posted)
        detail.bonuses = ReportRequestState::current().seasonBonuses(leagueNmbr, raceNmbr);
    return detail;
}

// A season sum, kept in 32 bits as the season list's own sums are; beyond that the page fails.
qint64 checkedSum(const QVariant& sum) {
    const qint64 total = sum.toLongLong();
    if (total > std::numeric_limits<int>::max() || total < std::numeric_limits<int>::min())
        throw std::overflow_error("Overflow");
    return total;
}

std::optional<QString> heading(int column) {
    switch (column) {
    case ColCarTxt:
        return QStringLiteral("<BR><BR>Car#");
    case ColDriverName:
        return QStringLiteral("<BR><BR>Driver");
    case ColSponsor:
        return QStringLiteral("<BR><BR>Sponsor");
    case ColTermDt:
        return QStringLiteral("Car/Driver<BR>Termination<BR>Date");
    case ColLapsLedBonus:
        return QStringLiteral("<BR>Lap Led<BR>Bonus");
    case ColMostLapsLedBonus:
        return QStringLiteral("Most<BR>Laps Led<BR>Bonus");
    case ColTotalPoints:
        return QStringLiteral("<BR>Season <BR>Points");
    case ColPointsLastRace:
        return QStringLiteral("Points<BR>Last<BR>Race");
    case ColPointsBehind:
        return QStringLiteral("Points<BR>Out of <BR> Lead");
    case ColFastQualBonus:
        return QStringLiteral("Fast <BR>Qualifier<BR>Bonus");
    case ColQualPoints:
        return QStringLiteral("<BR>Qualifing<BR>Bonus");
    case ColAdjustment:
        return QStringLiteral("<BR><BR>Adjustment");
    default:
        return std::nullopt;
    }
}

// leadingTotal: the season points of the first row written for the row's team.
std::optional<ReportCell> cell(const TeamDetailRow& row, const BonusSums& bonuses, qint64 leadingTotal, int column) {
    const QString right = QStringLiteral("right");
    switch (column) {
    case ColCarTxt:
        return ReportCell{htmlText(row.carTxt), QStringLiteral("center")};
    case ColDriverName:
        return ReportCell{htmlText(row.driverName), QStringLiteral("left")};
    case ColSponsor:
        return ReportCell{htmlText(row.sponsor), QStringLiteral("left")};
    case ColTermDt:
        return ReportCell{cellDate(row.termDt), QStringLiteral("center")};
    case ColLapsLedBonus:
        return numberCell(checkedSum(bonuses.lapsLed), right);
    case ColMostLapsLedBonus:
        return numberCell(checkedSum(bonuses.mostLapsLed), right);
    case ColTotalPoints:
        return ReportCell{cellText(row.totalPoints), right};
    case ColPointsLastRace:
        return ReportCell{cellText(row.points), right};
    case ColPointsBehind:
        return numberCell(leadingTotal - row.totalPoints.toLongLong(), right);
    case ColFastQualBonus:
        return numberCell(checkedSum(bonuses.fastQual), right);
    case ColQualPoints:
        return numberCell(checkedSum(bonuses.qual), right);
    case ColAdjustment:
        return ReportCell{cellText(row.adjustment), right};
    default:
        return std::nullopt;
    }
}

// The team's name, then its e-mail link and its phone number when their columns are chosen, each on a
// heading row across the table.
void writeTeamHeader(ReportPage& page, const TeamDetailRow& row) {
    const int span = int(page.columns().size());
    int size = page.titleTextSize() - 4;
    const QString color = page.headingTextColor();
    auto headerRow = [&](const QString& text) {
        page.writeLine(rowTag(page.headingBackColor()));
        page.writeLine(headingCell(size, color, text, QStringLiteral("center"), span, QStringLiteral("nowrap")));
        page.writeLine(QStringLiteral("</TR>"));
    };
    headerRow(QStringLiteral("<STRONG>") + htmlText(row.teamName) + QStringLiteral("</STRONG>"));
    for (int column : page.columns()) {
        if (column == ColEmail)
            headerRow(
                linkOn(QStringLiteral("mailto:") + emailAddress(row.email), emailAddress(htmlText(row.email)), color));
        else if (column == ColPhone)
            headerRow(htmlText(row.phone));
    }
}

// Every team in one table: each team's header and heading row above its rows. The row index runs on
// from one team to the next; a holding no longer in force on the race day (by calendar day) is skipped.
void writeTeamRows(ReportPage& page, const TeamDetailRun& run, const TeamDetail& detail) {
    const bool activeOnly = page.includeActiveOnly();
    int rowIndex = 1;
    std::optional<int> previousTeam;
    qint64 leadingTotal = 0;
    for (const TeamDetailRow& row : detail.rows) {
        if (activeOnly && !holdingShownOnRaceDay(run.raceDt, row.efctvDt, row.termDt))
            continue;
        if (previousTeam != row.teamNmbr) {
            writeTeamHeader(page, row);
            page.writeColumnHeadings(heading, QStringLiteral("nowrap"));
            previousTeam = row.teamNmbr;
            leadingTotal = row.totalPoints.toLongLong();
        }
        const BonusSums bonuses = detail.bonuses.value({row.teamNmbr, row.carNmbr});
        page.writeDataRow(rowIndex++, [&](int column) { return cell(row, bonuses, leadingTotal, column); });
    }
}

void writeTeamDetailPage(ReportPage& page, const TeamDetailRun& run, const TeamDetail& detail) {
    page.writeHead(QStringLiteral("Team Detail Report"));
    page.writeHeaderImage();
    page.writeEmptyRow();
    page.writeLine(QStringLiteral("<br>"));
    page.writeTitle(htmlText(run.leagueName));
    page.writeTitle(QStringLiteral("Points after ") + htmlText(run.raceName), 2);
    page.writeLine(QStringLiteral("<p></p>"));
    page.writeTableStart();
    writeTeamRows(page, run, detail);
    page.writeTableEnd();
    page.writeFooter();
    page.writeEnd();
}

// run: what the run's pages share, read by its first page.
QString createTeamDetailPage(std::optional<TeamDetailRun>& run, int leagueNmbr, int teamNmbr, int raceNmbr, bool show,
                             bool allInOne) {
    return runReport(kCode, [&](ReportPage& page) -> QString {
        if (!run)
            run = readRun(leagueNmbr, raceNmbr);
        const TeamDetail detail = readTeamDetail(*run, leagueNmbr, teamNmbr, raceNmbr, allInOne);
        if (!detail.posted) {
            if (show)
                showReportMessage(QStringLiteral("Results not posted for this Race."));
            return QString();
        }
        page.open({leagueNmbr, teamNmbr, raceNmbr});
        writeTeamDetailPage(page, *run, detail);
        return page.finish(show);
    });
}

} // namespace

QString createTeamDetailReport(int leagueNmbr, int teamNmbr, int raceNmbr, bool show, bool allInOne, bool separate) {
    std::optional<TeamDetailRun> run;
    if (!separate)
        return createTeamDetailPage(run, leagueNmbr, teamNmbr, raceNmbr, show, allInOne);
    ReportRunScope request; // a folder that refuses one page ends the run there, with one box
    cLeagueTeamsCollection members;
    members.load(leagueNmbr);
    QString result;
    for (const cLeagueTeams& member : members) {
        result = createTeamDetailPage(run, leagueNmbr, member.teamNmbr(), raceNmbr, show, false);
        if (ReportRunScope::folderRefused())
            return QString();
    }
    return result;
}
