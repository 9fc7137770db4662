#include "reports/generators/CarsDetailReport.h"

#include "data/IDatabase.h"
#include "data/cGroup.h"
#include "reports/generators/HoldingColumns.h"
#include "reports/generators/ReportPipeline.h"

namespace {

const QString kCode = QStringLiteral("CD");

// The car/driver columns with the group name.
std::optional<QString> headingFor(int column) {
    return column == ColGroup ? std::optional<QString>(QStringLiteral("<BR>Group")) : carHeading(column);
}

std::optional<ReportCell> cellFor(const IDatabase& db, int column) {
    if (column == ColGroup)
        return ReportCell{getGroupDisplay(db.fields("group_nmbr")), QStringLiteral("left")};
    return carCell(db, column);
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
    return runReport(kCode, [&](ReportPage& page) {
        IDatabase db;
        // A query that fails has shown its box and leaves no row: the page is then empty, as for a
        // race type without cars. Car numbers sort by value, as on the other pages.
        if (!db.OpenResultSet(QStringLiteral("SELECT cars.*, league_name"
                                             " FROM cars, leagues"
                                             " WHERE cars.race_type_nmbr = leagues.race_type_nmbr"
                                             " AND leagues.league_nmbr = ") +
                              QString::number(leagueNmbr) +
                              QStringLiteral(" AND cars.car_type_nmbr in (1,2) "
                                             " ORDER BY ") +
                              carNumberOrder(QStringLiteral("cars.car_txt")) + QStringLiteral(", cars.car_nmbr")))
            db.setEOF(true);
        page.open(leagueNmbr);
        writeReportPage(page, db);
        return page.finish(show);
    });
}
