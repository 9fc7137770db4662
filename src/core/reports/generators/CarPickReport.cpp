#include "reports/generators/CarPickReport.h"

#include "data/IDatabase.h"
#include "data/cGroup.h"
#include "reports/generators/HoldingColumns.h"
#include "reports/generators/ReportPipeline.h"

namespace {

const QString kCode = QStringLiteral("CP");

QString groupPickText(const QVariant& value) {
    bool numeric = false;
    const int groupNmbr = value.toString().toInt(&numeric);
    if (value.isNull() || !numeric || groupNmbr <= 0)
        return QString();
    cGroup group;
    group.load(groupNmbr); // a group that is not there reads as a limit of -1
    // A limit below 0 is no limit (the shipped groups have none); "Select -1" would tell the reader nothing.
    if (group.maxNmbr() < 0)
        return QStringLiteral("No limit in this group.");
    return QStringLiteral("Select ") + QString::number(group.maxNmbr()) + QStringLiteral(" From this group.");
}

// The group's name row and its pick-limit row, each one cell across every chosen column.
void writeGroupRows(ReportPage& page, const QVariant& groupNmbr) {
    const int size = page.titleTextSize() - 2;
    const QString span = QString::number(page.columns().size());
    for (const QString& text : {getGroupDisplay(groupNmbr), groupPickText(groupNmbr)}) {
        page.writeLine(rowTag(page.headingBackColor()));
        page.writeLine(dataCell(size, page.headingTextColor(), text, QStringLiteral("center"), span));
        page.writeLine(QStringLiteral("</TR>"));
    }
}

void writeReportPage(ReportPage& page, IDatabase& db) {
    if (db.isEOF())
        return;
    page.writeHead(QStringLiteral(" Car Details Report"));
    page.writeHeaderImage();
    page.writeTitle(cellText(db.fields("league_name")));
    const QVariant cap = db.fields("salary_cap");
    if (!cap.isNull() && cap.toDouble() > 0)
        page.writeTitle(QStringLiteral("Salary Cap ") + cellMoney(cap), 2);
    page.writeTableStart();
    page.writeEmptyRow();

    int rowIndex = 1;
    int openGroup = 0;
    for (; !db.isEOF(); db.MoveNext()) {
        const QVariant group = db.fields("group_nmbr");
        const bool differs = !group.isNull() && group.toInt() != openGroup;
        if (differs) {
            openGroup = group.toInt();
            if (openGroup > 0) {
                writeGroupRows(page, group);
                page.writeColumnHeadings(carHeading, QStringLiteral("nowrap"));
            }
        } else if (rowIndex == 1) {
            page.writeColumnHeadings(carHeading, QStringLiteral("nowrap"));
        }
        page.writeDataRow(rowIndex, [&db](int column) { return carCell(db, column); });
        ++rowIndex;
    }
    page.writeTableEnd();
    page.writeEnd();
}

} // namespace

QString createCarPickReport(int leagueNmbr, bool show) {
    return runReport(kCode, [&](ReportPage& page) {
        IDatabase db;
        const bool opened = db.OpenResultSet(QStringLiteral("SELECT cars.*, league_name, salary_cap"
                                                            " FROM cars, leagues"
                                                            " WHERE cars.race_type_nmbr = leagues.race_type_nmbr"
                                                            " AND leagues.league_nmbr = ") +
                                             QString::number(leagueNmbr) +
                                             QStringLiteral(" AND cars.car_type_nmbr = leagues.car_type_nmbr "
                                                            " ORDER BY group_nmbr, salary desc, car_txt"));
        page.open(leagueNmbr);
        // The query's own box has been shown; the run ends as a page that cannot be read would.
        if (!opened)
            throw ReportRunError(QStringLiteral("No current record"));
        writeReportPage(page, db);
        return page.finish(show);
    });
}
