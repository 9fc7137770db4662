#include "reports/generators/TeamCarsReport.h"

#include "data/IDatabase.h"
#include "data/SqlText.h"
#include "data/cGroup.h"
#include "data/cLeagueTeams.h"
#include "posting/cRaces.h"
#include "reports/generators/HoldingColumns.h"
#include "reports/generators/ReportPipeline.h"
#include "reports/generators/ReportRequestState.h"

namespace {

const QString kCode = QStringLiteral("TC");

// What one run knows before its pages are written; a run without a race holds none, whatever an
// earlier run held.
struct TeamCarsRun {
    bool activeOnly = false;
    bool hasRace = false;
    QString raceKey; // the race day as stored text; empty when the race has no date
    QDate raceDate;
    QString raceName;
};

// The numbers are bound (?1 the league, ?2 the team), so that the statement is prepared once for all
// the team pages of a run.
QString teamCarsQuery(bool allInOne) {
    // Cars without a group stay in (the group join is an outer one).
    QString sql = QStringLiteral(
        "SELECT car_txt, teams.team_name, efctv_dt, term_dt, driver_name, team_owner, locked_salary, salary, "
        "teams.team_nmbr, phone, email, league_name, group_name, cars.group_nmbr, leagues.car_type_nmbr"
        " FROM teams INNER JOIN league_teams ON teams.team_nmbr = league_teams.team_nmbr"
        " INNER JOIN leagues ON leagues.league_nmbr = league_teams.league_nmbr"
        " INNER JOIN team_car ON teams.team_nmbr = team_car.team_nmbr"
        " INNER JOIN cars ON cars.car_nmbr = team_car.car_nmbr"
        " LEFT JOIN group_dm ON group_dm.group_nmbr = cars.group_nmbr"
        " WHERE leagues.league_nmbr = ?1 AND cars.car_type_nmbr in (1,2) ");
    if (!allInOne)
        sql += QStringLiteral(" AND teams.team_nmbr = ?2");
    return sql +
           QStringLiteral(
               " ORDER BY teams.team_name, teams.team_nmbr, group_name, team_car.term_dt, salary desc, cars.car_txt");
}

// Compared by calendar day: a holding ending on the race day is still in force.
bool isRowActive(const TeamCarsRun& run, const IDatabase& db) {
    if (!run.activeOnly || !run.hasRace)
        return true;
    const QString term = dateKey(db.fields(QStringLiteral("term_dt")));
    if (!term.isEmpty() && term < run.raceKey)
        return false;
    return !(dateKey(db.fields(QStringLiteral("efctv_dt"))) > run.raceKey);
}

void writeTeamHeader(ReportPage& page, const IDatabase& db) {
    QString text = cellText(db.fields(QStringLiteral("team_name")));
    if (text.isEmpty())
        text = cellText(db.fields(QStringLiteral("team_owner")));
    const QString email = emailAddress(cellText(db.fields(QStringLiteral("email"))));
    const QString phone = cellText(db.fields(QStringLiteral("phone")));
    for (int column : page.columns()) {
        if (column == ColEmail && !email.isEmpty())
            text +=
                QStringLiteral("<BR><A href='mailto:") + email + QStringLiteral("'>") + email + QStringLiteral("</A>");
        else if (column == ColPhone && !phone.isEmpty())
            text += QStringLiteral("<BR>") + phone;
    }
    // On the page, above the table: in the page's (title) colour.
    int size = page.titleTextSize() - 4;
    page.writeLine(fontParagraph(size, page.titleTextColor(), text, QStringLiteral("center")));
}

void writeTeamTotals(ReportPage& page, Currency lockedSum, Currency currentSum) {
    page.writeLine(rowTag(page.headingBackColor()));
    const int size = page.headingTextSize();
    const QString color = page.headingTextColor();
    const QString noColor = QStringLiteral("0");
    for (int column : page.columns()) {
        switch (column) {
        case ColLockedSalary:
        case ColSalary: {
            const Currency sum = column == ColLockedSalary ? lockedSum : currentSum;
            page.writeLine(dataCell(size, color,
                                    QStringLiteral("<B>") + cellMoney(sum.toDouble()) + QStringLiteral("</B>"),
                                    QStringLiteral("right"), QStringLiteral("1")));
            break;
        }
        case ColCarTxt:
        case ColDriverName:
        case ColEfctvDt:
        case ColTermDt:
            page.writeLine(dataCell(0, noColor, QString(), QStringLiteral("center"), QStringLiteral("1")));
            break;
        case ColGroup:
            page.writeLine(dataCell(0, noColor, QString(), QStringLiteral("left"), QStringLiteral("1")));
            break;
        default:
            break;
        }
    }
    page.writeLine(QStringLiteral("</TR>"));
}

void writeReportPage(ReportPage& page, IDatabase& db, const TeamCarsRun& run) {
    if (db.isEOF())
        return; // the page stays empty
    page.writeHead(QStringLiteral("Team Car Report"));
    page.writeHeaderImage();
    page.writeTitle(cellText(db.fields(QStringLiteral("league_name"))));
    QString subTitle = db.fields.toInt(QStringLiteral("car_type_nmbr")) == 1 ? QStringLiteral("Team Cars")
                                                                             : QStringLiteral("Team Drivers");
    if (run.hasRace)
        subTitle +=
            QStringLiteral(" as of <BR>") + shortDate(run.raceDate) + QStringLiteral("  ") + htmlText(run.raceName);
    page.writeTitle(subTitle, 2);
    page.writeEmptyRow();

    int rowIndex = 1;
    std::optional<int> openTeam; // the team whose table is open
    Currency lockedSum, currentSum;
    const bool sumLocked = page.hasColumn(ColLockedSalary);
    const bool sumCurrent = page.hasColumn(ColSalary);
    for (; !db.isEOF(); db.MoveNext()) {
        if (!isRowActive(run, db))
            continue;
        const int teamNmbr = db.fields.toInt(QStringLiteral("team_nmbr"));
        if (openTeam != teamNmbr) {
            if (openTeam) {
                writeTeamTotals(page, lockedSum, currentSum);
                page.writeTableEnd();
            }
            lockedSum = currentSum = Currency();
            writeTeamHeader(page, db);
            page.writeTableStart();
            page.writeColumnHeadings(holdingHeading, QStringLiteral("nowrap"));
            openTeam = teamNmbr;
        }
        page.writeDataRow(rowIndex, [&](int column) { return holdingCell(db, column); });
        if (sumLocked)
            lockedSum += Currency::fromVariant(db.fields(QStringLiteral("locked_salary")));
        if (sumCurrent)
            currentSum += Currency::fromVariant(db.fields(QStringLiteral("salary")));
        ++rowIndex;
    }
    if (openTeam) {
        writeTeamTotals(page, lockedSum, currentSum);
        page.writeTableEnd();
    }
    page.writeFooter();
    page.writeEnd();
}

QString createTeamCarsPage(const TeamCarsRun& run, int leagueNmbr, int teamNmbr, bool show, bool allInOne,
                           int raceNmbr) {
    return runReport(kCode, [&](ReportPage& page) -> QString {
        IDatabase db;
        const bool queried = db.OpenResultSet(teamCarsQuery(allInOne),
                                              allInOne ? QVariantList{leagueNmbr} : QVariantList{leagueNmbr, teamNmbr});
        page.open({leagueNmbr, teamNmbr, raceNmbr});
        if (!queried) // the result set has shown the engine's message; the page ends on its error path
            throw ReportRunError(QStringLiteral("No current record"));
        writeReportPage(page, db, run);
        return page.finish(show);
    });
}

} // namespace

QString createTeamCarsReport(int leagueNmbr, int teamNmbr, bool show, bool allInOne, bool separate,
                             std::optional<int> raceNmbr) {
    ReportRunScope request; // the run's attributes are the request's
    TeamCarsRun run;
    run.activeOnly = ReportRequestState::current().attributes(kCode).includeActiveOnly(kCode);
    if (raceNmbr) {
        cRaces race;
        race.load(*raceNmbr);
        run.hasRace = true;
        run.raceDate = race.raceDate();
        run.raceKey = race.raceDate().isValid() ? race.raceDate().toString(Qt::ISODate) : QString();
        run.raceName = race.raceName();
    }
    const int race = raceNmbr.value_or(0);
    if (!separate)
        return createTeamCarsPage(run, leagueNmbr, teamNmbr, show, allInOne, race);
    // A folder that refuses one page ends the request there, with one box.
    cLeagueTeamsCollection members;
    members.load(leagueNmbr);
    QString result;
    for (const cLeagueTeams& member : members) {
        result = createTeamCarsPage(run, leagueNmbr, member.teamNmbr(), show, false, race);
        if (ReportRunScope::folderRefused())
            return QString();
    }
    return result;
}
