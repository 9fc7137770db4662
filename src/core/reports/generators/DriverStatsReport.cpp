#include "reports/generators/DriverStatsReport.h"

#include "data/IDatabase.h"
#include "data/Regional.h"
#include "reports/generators/ReportPipeline.h"

#include <QHash>
#include <cmath>
#include <optional>

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

// The poles, wins, top 5's and top 10's of every car in the results of the league's race type, counted
// as cResults counts them for one car, here for all of them in one reading rather than four a row.
class TopFinishes {
public:
    struct Counts {
        int poles = 0, wins = 0, top5s = 0, top10s = 0;
    };

    const Counts& of(int leagueNmbr, int carNmbr) {
        if (!m_leagueNmbr || *m_leagueNmbr != leagueNmbr)
            load(leagueNmbr);
        static const Counts none;
        const auto it = m_counts.constFind(carNmbr);
        return it == m_counts.constEnd() ? none : *it;
    }

private:
    void load(int leagueNmbr) {
        m_leagueNmbr = leagueNmbr;
        m_counts.clear();
        IDatabase db;
        if (!db.OpenResultSet(QStringLiteral("SELECT results.car_nmbr, sum(qualified = 1), sum(Place = 1),"
                                             " sum(Place <= 5 and Place > 0), sum(Place <= 10 and Place > 0)"
                                             " FROM results WHERE results.race_nmbr in (SELECT races.race_nmbr"
                                             " FROM races, leagues WHERE leagues.league_nmbr = ?"
                                             " AND leagues.race_type_nmbr = races.race_type_nmbr)"
                                             " GROUP BY results.car_nmbr"),
                              {leagueNmbr}))
            return;
        const StoredRows& rows = db.storedRows();
        auto count = [&](qsizetype row, int column) {
            const StoredRows::Value& v = rows.at(row, column);
            return v.kind == SqlValue::Integer ? int(v.integer) : 0; // no result that counts: NULL
        };
        for (qsizetype i = 0; i < rows.rowCount(); ++i) {
            const StoredRows::Value& car = rows.at(i, 0);
            // A car number stored as anything but a whole number is no car's.
            if (car.kind == SqlValue::Integer)
                m_counts.insert(car.integer, {count(i, 1), count(i, 2), count(i, 3), count(i, 4)});
        }
    }

    std::optional<int> m_leagueNmbr;
    QHash<qint64, Counts> m_counts;
};

std::optional<ReportCell> cellFor(const IDatabase& db, TopFinishes& counts, int column) {
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
        return numberCell(db.fields.toInt64("RaceCount"), center);
    case ColPoles:
        return numberCell(counts.of(league, car).poles, center);
    case ColCarWins:
        return numberCell(counts.of(league, car).wins, center);
    case ColCarTop5s:
        return numberCell(counts.of(league, car).top5s, center);
    case ColCarTop10s:
        return numberCell(counts.of(league, car).top10s, center);
    case ColAverageFinish: {
        // Over the results with a finishing place; without any there is no average to show.
        const double finishes = db.fields.toDouble("FinishCount");
        return ReportCell{finishes > 0 ? average(db.fields.toDouble("PlaceSum"), finishes) : QString(), right};
    }
    case ColAverageStart:
        return ReportCell{average(db.fields.toDouble("QualifiedSum"), starts), right};
    case ColTotalLapsLed:
        return numberCell(db.fields.toInt64("LapsLedSum"), right);
    default:
        return std::nullopt;
    }
}

void writeReportPage(ReportPage& page, IDatabase& db) {
    TopFinishes counts;
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
    return runReport(kCode, [&](ReportPage& page) -> QString {
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
