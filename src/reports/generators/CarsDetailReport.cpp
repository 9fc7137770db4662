#include "reports/generators/CarsDetailReport.h"

#include "data/IDatabase.h"
#include "data/cGroup.h"
#include "reports/generators/ReportPipeline.h"

namespace {

const QString kCode = QStringLiteral("CD");

QString salaryText(const QVariant& value) {
    bool numeric = false;
    value.toString().trimmed().toDouble(&numeric);
    return numeric ? cellMoney(value) : cellText(value);
}

std::optional<QString> headingFor(int column) {
    switch (column) {
    case ColCarTxt: return QStringLiteral("<BR>Car#");
    case ColDriverName: return QStringLiteral("<BR>Driver");
    case ColSponsor: return QStringLiteral("<BR>Sponsor");
    case ColSalary: return QStringLiteral("<BR>Salary");
    case ColCarMake: return QStringLiteral("<BR>Make");
    case ColCarOwner: return QStringLiteral("<BR>Owner");
    case ColGroup: return QStringLiteral("<BR>Group");
    default: return std::nullopt;
    }
}

std::optional<ReportCell> cellFor(const IDatabase& db, int column) {
    const QString left = QStringLiteral("left");
    switch (column) {
    case ColCarTxt: return ReportCell{cellText(db.fields("car_txt")), QStringLiteral("center")};
    case ColDriverName: return ReportCell{cellText(db.fields("driver_name")), left};
    case ColSponsor: return ReportCell{cellText(db.fields("sponsor")), left};
    case ColSalary: return ReportCell{salaryText(db.fields("salary")), QStringLiteral("right")};
    case ColCarMake: return ReportCell{cellText(db.fields("car_make")), left};
    case ColCarOwner: return ReportCell{cellText(db.fields("car_owner")), left};
    case ColGroup: return ReportCell{getGroupDisplay(db.fields("group_nmbr")), left};
    default: return std::nullopt;
    }
}

void writeReportPage(ReportPage& page, IDatabase& db) {
    if (db.isEOF())
        return;
    page.writeHead(QStringLiteral(" Car Details Report"));
    page.writeHeaderImage();
    page.writeTitle(cellText(db.fields("league_name")));
    page.writeTableStart();
    page.writeEmptyRow();
    page.writeColumnHeadings(headingFor, QStringLiteral("nowrap"));
    for (int rowIndex = 1; !db.isEOF(); db.MoveNext(), ++rowIndex)
        page.writeDataRow(rowIndex, [&db](int column) { return cellFor(db, column); });
    page.writeTableEnd();
    page.writeEnd();
}

} // namespace

QString createCarsDetailReport(int leagueNmbr, bool show) {
    return runReport(kCode, QStringLiteral("Creating Cars Detail Report"), [&](ReportPage& page) {
        IDatabase db;
        // A query that fails has shown its box and leaves no row: the page is then empty, as for a
        // race type without cars.
        if (!db.OpenResultSet(QStringLiteral("SELECT cars.*, league_name"
                                             " FROM cars, leagues"
                                             " WHERE cars.race_type_nmbr = leagues.race_type_nmbr"
                                             " AND leagues.league_nmbr = ") +
                              QString::number(leagueNmbr) +
                              QStringLiteral(" AND cars.car_type_nmbr in (1,2) "
                                             " ORDER BY car_txt")))
            db.setEOF(true);
        page.open(leagueNmbr);
        writeReportPage(page, db);
        return page.finish(show);
    });
}
