#include "reports/generators/TeamsperCarDriverReport.h"

#include "data/IDatabase.h"
#include "data/cGroup.h"
#include "reports/generators/ReportPipeline.h"

namespace {

const QString kCode = QStringLiteral("DT");

QString teamsPerCarQuery(int leagueNmbr, int raceNmbr, bool activeOnly) {
    // car_type_nmbr is the league's car type: the titles speak of cars or drivers by it.
    QString sql =
        QStringLiteral("SELECT C.car_txt, B.team_name, A.efctv_dt, A.term_dt, C.driver_name, B.team_owner, "
                       "A.locked_salary, C.salary, B.team_nmbr, B.phone, B.email, E.league_name, C.group_nmbr, "
                       "E.car_type_nmbr as car_type_nmbr, F.race_name, F.race_dt, C.car_nmbr"
                       " FROM team_car A, teams B, cars C, league_teams D, leagues E, races F"
                       " WHERE A.team_nmbr = B.team_nmbr AND A.car_nmbr = C.car_nmbr AND C.car_type_nmbr in (1,2) "
                       " AND D.team_nmbr = B.team_nmbr AND D.league_nmbr = ") +
        QString::number(leagueNmbr) + QStringLiteral(" AND E.league_nmbr = D.league_nmbr AND F.race_nmbr = ") +
        QString::number(raceNmbr);
    // A holding that ends on the race day is still in force that day.
    if (activeOnly)
        sql += QStringLiteral(" AND A.efctv_dt <= F.race_dt AND (A.term_dt is NULL or A.term_dt >= F.race_dt)");
    return sql + QStringLiteral(" ORDER BY ") + carNumberOrder(QStringLiteral("C.car_txt")) +
           QStringLiteral(", C.car_nmbr, team_name, A.term_dt ");
}

std::optional<QString> heading(int column) {
    switch (column) {
    case ColTeamName:
        return QStringLiteral("Team<BR>Name");
    case ColTeamOwner:
        return QStringLiteral("Team<BR>Owner");
    case ColEfctvDt:
        return QStringLiteral("<BR>Start Date");
    case ColTermDt:
        return QStringLiteral("<BR>Stop Date");
    case ColLockedSalary:
        return QStringLiteral("Locked<BR>Salary");
    case ColSalary:
        return QStringLiteral("Current<BR>Salary");
    case ColGroup:
        return QStringLiteral("<BR>Group");
    default:
        return std::nullopt;
    }
}

std::optional<ReportCell> cell(const IDatabase& db, int column) {
    const QString center = QStringLiteral("center");
    switch (column) {
    case ColTeamName:
        return ReportCell{cellText(db.fields(QStringLiteral("team_name"))), QStringLiteral("left")};
    case ColTeamOwner:
        return ReportCell{cellText(db.fields(QStringLiteral("team_owner"))), QStringLiteral("left")};
    case ColEfctvDt:
        return ReportCell{cellDate(db.fields(QStringLiteral("efctv_dt"))), center};
    case ColTermDt:
        return ReportCell{cellDate(db.fields(QStringLiteral("term_dt"))), center};
    case ColLockedSalary:
        return ReportCell{cellMoney(db.fields(QStringLiteral("locked_salary"))), QStringLiteral("right")};
    case ColSalary:
        return ReportCell{cellMoney(db.fields(QStringLiteral("salary"))), QStringLiteral("right")};
    case ColGroup:
        return ReportCell{getGroupDisplay(db.fields(QStringLiteral("group_nmbr"))), QStringLiteral("left")};
    default:
        return std::nullopt;
    }
}

bool leagueOfCars(const IDatabase& db) {
    return db.fields.toInt(QStringLiteral("car_type_nmbr")) == 1;
}

void writeCarHeader(ReportPage& page, const IDatabase& db) {
    const QString car = cellText(db.fields(QStringLiteral("car_txt")));
    const QString driver = cellText(db.fields(QStringLiteral("driver_name")));
    const QString text = leagueOfCars(db) ? car + QStringLiteral(" - ") + driver : driver + QStringLiteral(" - ") + car;
    // On the page, above the table: in the page's (title) colour.
    int size = page.titleTextSize() - 2;
    page.writeLine(fontParagraph(size, page.titleTextColor(), text, QStringLiteral("center")));
}

void writeReportPage(ReportPage& page, IDatabase& db) {
    if (db.isEOF())
        return; // the page stays empty
    page.writeHead(QStringLiteral("Teams per Car/Driver Report"));
    page.writeHeaderImage();
    page.writeTitle(cellText(db.fields(QStringLiteral("league_name"))));
    page.writeTitle(
        leagueOfCars(db) ? QStringLiteral("Teams per Car as of ") : QStringLiteral("Teams per Driver as of "), 2);
    page.writeTitle(cellDate(db.fields(QStringLiteral("race_dt"))) + QStringLiteral("  ") +
                        cellText(db.fields(QStringLiteral("race_name"))),
                    2);
    page.writeEmptyRow();

    int rowIndex = 1;
    // One table per car: two cars with the same number text are two tables.
    std::optional<int> openCar;
    for (; !db.isEOF(); db.MoveNext()) {
        const int carNmbr = db.fields.toInt(QStringLiteral("car_nmbr"));
        if (openCar != carNmbr) {
            if (openCar)
                page.writeTableEnd();
            writeCarHeader(page, db);
            page.writeTableStart();
            page.writeColumnHeadings(heading, QStringLiteral("nowrap"));
            openCar = carNmbr;
        }
        page.writeDataRow(rowIndex, [&](int column) { return cell(db, column); });
        ++rowIndex;
    }
    page.writeTableEnd();
    page.writeFooter();
    page.writeEnd();
}

} // namespace

QString createTeamsperCarDriverReport(int leagueNmbr, bool show, int raceNmbr) {
    return runReport(kCode, [&](ReportPage& page) -> QString {
        const bool activeOnly = page.includeActiveOnly();
        IDatabase db;
        const bool queried = db.OpenResultSet(teamsPerCarQuery(leagueNmbr, raceNmbr, activeOnly));
        page.open(leagueNmbr, raceNmbr);
        if (!queried) // the result set has shown the engine's message; the page ends on its error path
            throw ReportRunError(QStringLiteral("No current record"));
        writeReportPage(page, db);
        return page.finish(show);
    });
}
