#include "reports/generators/TeamTradesReport.h"

#include "data/IDatabase.h"
#include "data/cGroup.h"
#include "data/cLeagueTeams.h"
#include "posting/cRaces.h"
#include "reports/generators/HoldingColumns.h"
#include "reports/generators/ReportPipeline.h"

namespace {

const QString kCode = QStringLiteral("TT");

// The days that bound the window, as stored date texts: after the previous race's day (empty when
// the race is the first of its type) and on or before this race's day.
struct TradeWindow {
    QString previousDay;
    QString raceDay;

    bool contains(const IDatabase& db) const {
        const QString start = dateKey(db.fields(QStringLiteral("efctv_dt")));
        // A holding that started after the previous race is judged by its start alone.
        if (start > previousDay)
            return start <= raceDay;
        const QString stop = dateKey(db.fields(QStringLiteral("term_dt")));
        return stop > previousDay && stop <= raceDay;
    }
};

QString teamTradesQuery(int leagueNmbr, int teamNmbr, int raceNmbr, bool allInOne) {
    QString sql =
        QStringLiteral("SELECT C.car_txt, B.team_name, A.efctv_dt, A.term_dt, C.driver_name, B.team_owner, "
                       "A.locked_salary, C.salary, B.team_nmbr, B.phone, B.email, E.league_name, F.race_name, "
                       "F.race_dt, C.group_nmbr"
                       " FROM team_car A, teams B, cars C, league_teams D, leagues E, races F"
                       " WHERE A.team_nmbr = B.team_nmbr AND A.car_nmbr = C.car_nmbr AND C.car_type_nmbr in (1,2) "
                       " AND D.team_nmbr = B.team_nmbr AND D.league_nmbr = ") +
        QString::number(leagueNmbr) + QStringLiteral(" AND E.league_nmbr = D.league_nmbr AND F.race_nmbr = ") +
        QString::number(raceNmbr);
    if (!allInOne)
        sql += QStringLiteral(" AND A.team_nmbr = ") + QString::number(teamNmbr);
    return sql + QStringLiteral(" ORDER BY team_name, B.team_nmbr, A.term_dt, C.car_txt");
}

// Unlike the team cars header, the contact lines are added whenever their column is chosen.
void writeTeamHeader(ReportPage& page, const IDatabase& db) {
    QString text = cellText(db.fields(QStringLiteral("team_name")));
    if (text.isEmpty())
        text = cellText(db.fields(QStringLiteral("team_owner")));
    const QString email = emailAddress(cellText(db.fields(QStringLiteral("email"))));
    for (int column : page.columns()) {
        if (column == ColEmail)
            text +=
                QStringLiteral("<BR><A href='mailto:") + email + QStringLiteral("'>") + email + QStringLiteral("</A>");
        else if (column == ColPhone)
            text += QStringLiteral("<BR>") + cellText(db.fields(QStringLiteral("phone")));
    }
    // On the page, above the table: in the page's (title) colour.
    int size = page.titleTextSize() - 4;
    page.writeLine(fontParagraph(size, page.titleTextColor(), text, QStringLiteral("center")));
}

void writeReportPage(ReportPage& page, IDatabase& db, const TradeWindow& window) {
    if (db.isEOF())
        return; // the page stays empty
    page.writeHead(QStringLiteral("Team Trades Report"));
    page.writeHeaderImage();
    page.writeTitle(cellText(db.fields(QStringLiteral("league_name"))));
    page.writeTitle(QStringLiteral("Trades for ") + cellText(db.fields(QStringLiteral("race_name"))), 2);
    page.writeEmptyRow();

    int rowIndex = 1;
    std::optional<int> openTeam;
    for (; !db.isEOF(); db.MoveNext()) {
        const int teamNmbr = db.fields.toInt(QStringLiteral("team_nmbr"));
        // A team gets its header and headings even when none of its holdings is in the window.
        if (openTeam != teamNmbr) {
            if (openTeam)
                page.writeTableEnd();
            writeTeamHeader(page, db);
            page.writeTableStart();
            page.writeColumnHeadings(holdingHeading, QStringLiteral("nowrap"));
            openTeam = teamNmbr;
        }
        if (window.contains(db)) {
            page.writeDataRow(rowIndex, [&](int column) { return holdingCell(db, column); });
            ++rowIndex;
        }
    }
    page.writeTableEnd();
    page.writeFooter();
    page.writeEnd();
}

QString createTeamTradesPage(int leagueNmbr, int teamNmbr, int raceNmbr, bool show, bool allInOne) {
    return runReport(kCode, [&](ReportPage& page) -> QString {
        cRaces race;
        cRaces previous;
        race.load(raceNmbr);
        previous.loadPrevious(raceNmbr);
        const TradeWindow window{dateKey(previous.raceDate()), dateKey(race.raceDate())};
        IDatabase db;
        const bool queried = db.OpenResultSet(teamTradesQuery(leagueNmbr, teamNmbr, raceNmbr, allInOne));
        page.open({leagueNmbr, teamNmbr, raceNmbr});
        if (!queried) // the result set has shown the engine's message; the page ends on its error path
            throw ReportRunError(QStringLiteral("No current record"));
        writeReportPage(page, db, window);
        return page.finish(show);
    });
}

} // namespace

QString createTeamTradesReport(int leagueNmbr, int teamNmbr, int raceNmbr, bool show, bool allInOne, bool separate) {
    if (!separate)
        return createTeamTradesPage(leagueNmbr, teamNmbr, raceNmbr, show, allInOne);
    ReportRunScope request; // a folder that refuses one page ends the run there, with one box
    cLeagueTeamsCollection members;
    members.load(leagueNmbr);
    QString result;
    for (const cLeagueTeams& member : members) {
        result = createTeamTradesPage(leagueNmbr, member.teamNmbr(), raceNmbr, show, false);
        if (ReportRunScope::folderRefused())
            return QString();
    }
    return result;
}
