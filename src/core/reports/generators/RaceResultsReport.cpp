#include "reports/generators/RaceResultsReport.h"

#include "data/IDatabase.h"
#include "reports/generators/ReportPipeline.h"

namespace {

const QString kCode = QStringLiteral("RR");
constexpr int kDidNotQualify = 999;

std::optional<QString> headingFor(int column) {
    switch (column) {
    case ColPlace:
        return QStringLiteral("<BR>Place");
    case ColCarTxt:
        return QStringLiteral("<BR>Car#");
    case ColDriverName:
        return QStringLiteral("<BR>Driver");
    case ColSponsor:
        return QStringLiteral("<BR>Sponsor");
    case ColQualified:
        return QStringLiteral("<BR>Qualified");
    case ColLapsLed:
        return QStringLiteral("Laps<BR> Led");
    case ColFastQual:
        return QStringLiteral("Fast<BR> Qualifier");
    default:
        return std::nullopt;
    }
}

std::optional<ReportCell> cellFor(const IDatabase& db, int column) {
    const QString center = QStringLiteral("center");
    const QString left = QStringLiteral("left");
    switch (column) {
    case ColPlace: {
        const QVariant place = db.fields("place");
        return ReportCell{!place.isNull() && place.toInt() == kDidNotQualify ? QStringLiteral("DNQ") : cellText(place),
                          center};
    }
    case ColCarTxt:
        return ReportCell{cellText(db.fields("car_txt")), center};
    case ColDriverName:
        return ReportCell{cellText(db.fields("driver_name")), left};
    case ColSponsor:
        return ReportCell{cellText(db.fields("sponsor")), left};
    case ColQualified:
        return ReportCell{cellText(db.fields("qualified")), center};
    case ColLapsLed:
        return ReportCell{cellText(db.fields("laps_led")), center};
    case ColFastQual:
        return ReportCell{db.fields.toInt("fast_qual") != 0 ? QStringLiteral("X") : QString(), center};
    default:
        return std::nullopt;
    }
}

void writeReportPage(ReportPage& page, IDatabase& db) {
    page.writeHead(QStringLiteral("Race Results Report"));
    page.writeHeaderImage();
    page.writeLine(QStringLiteral("<br>"));
    page.writeTitle(htmlText(db.fields.toText("race_name").trimmed()) + QStringLiteral("<BR>") +
                    cellDate(db.fields("race_dt")));
    page.writeRaceStatus(db.fields.toInt("race_status_nmbr"));
    page.writeTableStart();
    page.writeLine(QStringLiteral("<br>"));
    page.writeColumnHeadings(headingFor, QStringLiteral("nowrap"));
    for (int rowIndex = 1; !db.isEOF(); db.MoveNext(), ++rowIndex)
        page.writeDataRow(rowIndex, [&db](int column) { return cellFor(db, column); });
    page.writeTableEnd();
    page.writeFooter();
    page.writeEnd();
}

} // namespace

QString createRaceResultsReport(int raceNmbr, bool show) {
    return runReport(kCode, [&](ReportPage& page) -> QString {
        IDatabase db;
        if (!db.OpenResultSet(QStringLiteral("SELECT D.car_txt, D.driver_name, D.sponsor, E.race_dt, E.race_name, "
                                             "E.track_name, E.race_nmbr, F.place, F.qualified, F.laps_led, "
                                             "F.fast_qual,E.race_status_nmbr"
                                             " FROM cars D, races E, results F"
                                             " WHERE F.race_nmbr = ") +
                              QString::number(raceNmbr) +
                              QStringLiteral(" AND F.car_nmbr = D.car_nmbr"
                                             " AND F.race_nmbr = E.race_nmbr"
                                             " ORDER BY F.place")))
            return {};
        if (db.isEOF()) {
            if (show)
                showReportMessage(QStringLiteral("Results not entered for this Race."));
            return {};
        }
        page.open(raceNmbr);
        writeReportPage(page, db);
        return page.finish(show);
    });
}
