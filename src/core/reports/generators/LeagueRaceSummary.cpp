#include "reports/generators/LeagueRaceSummary.h"

#include "data/IDatabase.h"
#include "data/SqlText.h"
#include "posting/cRacesCollection.h"
#include "reports/generators/RaceDetailReport.h"
#include "reports/generators/ReportPipeline.h"
#include "reports/generators/ReportRequestState.h"
#include "reports/generators/StoredValues.h"
#include "reports/generators/TeamCarsReport.h"

#include <QHash>
#include <QPair>

namespace {

const QString kCode = QStringLiteral("LR");

QString leagueRaceSummaryQuery(int leagueNmbr) {
    // Each team's lines are summed before the team's row is joined to them: a team and its league are
    // looked up once, not once per line. The teams come to the sort in team number order, as grouping
    // by the team's columns gave them, so that teams with equal points stay in the same order.
    const QString league = QString::number(leagueNmbr);
    return QStringLiteral("SELECT S.points as points, teams.team_nmbr, teams.team_name, teams.team_owner,"
                          " leagues.league_nmbr, leagues.league_name, leagues.race_type_nmbr, leagues.car_type_nmbr"
                          " FROM (SELECT team_nmbr, sum(points) as points FROM team_results_summary"
                          " WHERE league_nmbr = ") +
           league +
           QStringLiteral(" GROUP BY team_nmbr) S, teams, leagues"
                          " WHERE teams.team_nmbr = S.team_nmbr AND leagues.league_nmbr = ") +
           league + QStringLiteral(" ORDER BY S.points desc");
}

// Each team's points in each race of the list: the sum of its results there, from the league's results
// the request reads once for the race detail pages the headings link. A team with no results in a race
// has no points there.
QHash<QPair<int, int>, int> racePoints(int leagueNmbr, const cRacesCollection& races) {
    QHash<QPair<int, int>, StoredSum> sums;
    for (const cRaces& race : races)
        for (const TeamResult& result : ReportRequestState::current().raceResults(leagueNmbr, race.raceNmbr()))
            sums[{result.teamNmbr, race.raceNmbr()}].add(result.points);
    QHash<QPair<int, int>, int> points;
    for (auto it = sums.constBegin(); it != sums.constEnd(); ++it)
        points.insert(it.key(), it->total().toInt());
    return points;
}

// Every text of the heading row takes the heading text colour, the race links included: the page's
// link colours are chosen for the rows and the page, not for the heading background.
void writeColumnHeadings(ReportPage& page, const cRacesCollection& races, int leagueNmbr) {
    page.writeLine(rowTag(page.headingBackColor()));
    const int size = page.headingTextSize();
    const QString color = page.headingTextColor();
    page.writeLine(QStringLiteral("<TH></TH>")); // above the leading team cells
    page.writeLine(headingCell(size, color, QStringLiteral("Total<BR>Points"), QStringLiteral("center"), 1, QString()));
    for (const cRaces& race : races) {
        // A race whose results are not posted for the league has no race detail page: its date
        // stands without a link.
        const QString detail = createRaceDetailReport(leagueNmbr, race.raceNmbr(), false);
        page.writeLine(headingCell(size, color, linkOn(detail, shortDate(race.raceDate()) + QLatin1Char(' '), color),
                                   QStringLiteral("center"), 1, QStringLiteral("NOWRAP")));
    }
    page.writeLine(QStringLiteral("<TH></TH>")); // above the trailing team cells
    page.writeLine(QStringLiteral("</TR>"));
}

void writeReportPage(ReportPage& page, IDatabase& db) {
    cRacesCollection races;
    races.loadRacesWithResults(db.fields.toInt(QStringLiteral("race_type_nmbr")),
                               db.fields.toInt(QStringLiteral("car_type_nmbr")));

    page.writeHead(QStringLiteral("League Race Summary Report"));
    page.writeHeaderImage();
    page.writeLine(QStringLiteral("<br>"));
    page.writeLine(QStringLiteral("<br>"));
    page.writeTitle(cellText(db.fields.toText(QStringLiteral("league_name")).trimmed()));
    page.writeTableStart();
    page.writeEmptyRow();
    writeColumnHeadings(page, races, db.fields.toInt(QStringLiteral("league_nmbr")));

    const QHash<QPair<int, int>, int> points = racePoints(db.fields.toInt(QStringLiteral("league_nmbr")), races);
    for (int rowNumber = 1; !db.isEOF(); db.MoveNext(), ++rowNumber) {
        const int leagueNmbr = db.fields.toInt(QStringLiteral("league_nmbr"));
        const int teamNmbr = db.fields.toInt(QStringLiteral("team_nmbr"));
        const QString teamName = cellText(db.fields(QStringLiteral("team_name")));
        // Both team cells link to the same page: it is written once per row. A run that wrote no
        // page leaves the name without a link.
        const QString teamCars = createTeamCarsReport(leagueNmbr, teamNmbr, false, false, false);
        const QString teamLink = linkOn(teamCars, teamName + QLatin1Char(' '), QStringLiteral("0"));
        const RowStyle style = page.rowStyle(rowNumber);
        page.writeLine(rowTag(style.backColor));
        page.writeLine(headingCell(style.size, style.textColor, teamLink + QLatin1Char(' '), QStringLiteral("left"), 1,
                                   QStringLiteral("nowrap")));
        page.writeLine(dataCell(style.size, style.textColor, cellNumber(db.fields.toInt64(QStringLiteral("points"))),
                                QStringLiteral("center"), QStringLiteral("1")));
        for (const cRaces& race : races)
            page.writeLine(dataCell(style.size, style.textColor,
                                    cellNumber(points.value({teamNmbr, race.raceNmbr()}, 0)), QStringLiteral("center"),
                                    QStringLiteral("1")));
        page.writeLine(
            headingCell(style.size, style.textColor, teamLink, QStringLiteral("left"), 1, QStringLiteral("nowrap")));
        page.writeLine(QStringLiteral("</TR>"));
    }
    page.writeTableEnd();
    page.writeFooter();
    page.writeEnd();
}

} // namespace

QString createLeagueRaceSummary(int leagueNmbr, bool show) {
    return runReport(kCode, [&](ReportPage& page) -> QString {
        IDatabase db;
        // The result set has shown the engine's message: nothing to write a page from.
        if (!db.OpenResultSet(leagueRaceSummaryQuery(leagueNmbr)))
            return QString();
        // The file is made before the test for rows, so a league with no posted race leaves an
        // empty page under its name.
        page.open(leagueNmbr);
        if (db.isEOF()) {
            page.finish(false);
            if (show)
                showReportMessage(QStringLiteral("Results not posted for this Race."));
            return page.fileName();
        }
        writeReportPage(page, db);
        return page.finish(show);
    });
}
