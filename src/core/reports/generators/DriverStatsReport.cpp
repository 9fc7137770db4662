#include "reports/generators/DriverStatsReport.h"

#include "data/IDatabase.h"
#include "data/Regional.h"
#include "posting/cResults.h"
#include "reports/generators/ReportPipeline.h"

#include <cmath>

namespace {

const QString kCode = QStringLiteral("DS");

std::optional<QString> headingFor(int column) {
    switch (column) {
    case ColCarTxt:
        return QStringLiteral("<BR>Car#");
    case ColDriverName:
        return QStringLiteral("<BR>Driver");
    case ColStarts:
        return QStringLiteral("<BR>Starts");
    case ColPoles:
        return QStringLiteral("<BR>Poles");
    case ColCarWins:
        return QStringLiteral("<BR>Wins");
    case ColCarTop5s:
        return QStringLiteral("<BR>Top 5's");
    case ColCarTop10s:
        return QStringLiteral("<BR>Top 10's");
    case ColAverageFinish:
        return QStringLiteral("Average<BR>Finish");
    case ColAverageStart:
        return QStringLiteral("Average<BR>Start");
    case ColTotalLapsLed:
        return QStringLiteral("Total<BR>Laps Led");
    default:
        return std::nullopt;
    }
}

// A sum over the starts, rounded to 2 decimals (halves to even) and written with exactly 2, in the
// user's number form as the money cells are.
QString average(double sum, double starts) {
    const double rounded = std::nearbyint(sum / starts * 100.0) / 100.0;
    return regionalLocale().toString(rounded, 'f', 2);
}

std::optional<ReportCell> cellFor(const IDatabase& db, cResults& counts, int column) {
    const QString center = QStringLiteral("center");
    const QString right = QStringLiteral("right");
    const int league = db.fields.toInt("league_nmbr");
    const int car = db.fields.toInt("car_nmbr");
    const double starts = db.fields.toDouble("RaceCount");
    switch (column) {
    case ColCarTxt:
        return ReportCell{cellText(db.fields("car_txt")), center};
    case ColDriverName:
        return ReportCell{cellText(db.fields("driver_name")), QStringLiteral("left")};
    case ColStarts:
        return ReportCell{cellNumber(db.fields.toInt64("RaceCount")), center};
    case ColPoles:
        return ReportCell{cellNumber(counts.poles(league, car)), center};
    case ColCarWins:
        return ReportCell{cellNumber(counts.wins(league, car)), center};
    case ColCarTop5s:
        return ReportCell{cellNumber(counts.top5s(league, car)), center};
    case ColCarTop10s:
        return ReportCell{cellNumber(counts.top10s(league, car)), center};
    case ColAverageFinish: {
        // Over the results with a finishing place; without any there is no average to show.
        const double finishes = db.fields.toDouble("FinishCount");
        return ReportCell{finishes > 0 ? average(db.fields.toDouble("PlaceSum"), finishes) : QString(), right};
    }
    case ColAverageStart:
        return ReportCell{average(db.fields.toDouble("QualifiedSum"), starts), right};
    case ColTotalLapsLed:
        return ReportCell{cellNumber(db.fields.toInt64("LapsLedSum")), right};
    default:
        return std::nullopt;
    }
}

void writeReportPage(ReportPage& page, IDatabase& db) {
    cResults counts;
    page.writeHead(QStringLiteral("Car/Driver Stats Report"));
    page.writeHeaderImage();
    page.writeTitle(htmlText(db.fields.toText("league_name").trimmed()));
    page.writeTableStart();
    page.writeLine(QStringLiteral("<br>"));
    page.writeColumnHeadings(headingFor, QStringLiteral("nowrap"));
    for (int rowIndex = 1; !db.isEOF(); db.MoveNext(), ++rowIndex)
        page.writeDataRow(rowIndex, [&](int column) { return cellFor(db, counts, column); });
    page.writeTableEnd();
    page.writeEnd();
}

} // namespace

QString createDriverStatsReport(int leagueNmbr, bool show) {
    return runReport(kCode, QStringLiteral("Creating Driver Stats Report"), [&](ReportPage& page) -> QString {
        const QString league = QString::number(leagueNmbr);
        IDatabase db;
        if (!db.OpenResultSet(
                QStringLiteral("SELECT  Count(results.race_nmbr) as RaceCount, Sum(results.place) as PlaceSum, "
                               "Sum(results.laps_led) as LapsLedSum, Sum(results.qualified) as QualifiedSum, "
                               "cars.car_nmbr, cars.car_txt, cars.driver_name, leagues.league_name, "
                               "leagues.league_nmbr, Sum(CASE WHEN results.place > 0 THEN 1 ELSE 0 END) as FinishCount "
                               " From cars, results, leagues "
                               " WHERE results.car_nmbr = cars.car_nmbr "
                               " AND leagues.league_nmbr = ") +
                league +
                QStringLiteral(" AND cars.race_type_nmbr = leagues.race_type_nmbr "
                               " AND cars.car_type_nmbr in (1,2) "
                               " AND results.race_nmbr In "
                               "         (SELECT distinct(races.race_nmbr) "
                               "         From races, leagues, results "
                               "         Where leagues.league_nmbr = ") +
                league +
                QStringLiteral("         AND results.race_nmbr = races.race_nmbr "
                               "         AND races.race_type_nmbr = leagues.race_type_nmbr) "
                               " GROUP BY league_name, leagues.league_nmbr, cars.driver_name, cars.car_nmbr, "
                               "cars.car_txt "
                               " ORDER BY 1 desc, 2, ") +
                carNumberOrder(QStringLiteral("cars.car_txt")) + QStringLiteral(", cars.car_nmbr ")))
            return {};
        if (db.isEOF())
            return {}; // nothing to say, whoever asked
        page.open(leagueNmbr);
        writeReportPage(page, db);
        return page.finish(show);
    });
}
