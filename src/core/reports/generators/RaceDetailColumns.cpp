#include "reports/generators/RaceDetailColumns.h"

#include "data/IDatabase.h"
#include "reports/framework/CommonReportCode.h"

namespace RaceDetailColumns {

namespace {

const QString kLeft = QStringLiteral("left");
const QString kCenter = QStringLiteral("center");
const QString kRight = QStringLiteral("right");

// Place 999 marks a car or driver that did not qualify; on the bonus entry it means nothing.
QString placeText(const IDatabase& db) {
    const int place = db.fields.toInt(QStringLiteral("place"));
    const int carType = db.fields.toInt(QStringLiteral("car_type_nmbr"));
    if (place == 999 && (carType == 1 || carType == 2))
        return QStringLiteral("DNQ");
    if (place == 0 || place == 999)
        return QString();
    return QString::number(place);
}

} // namespace

std::optional<QString> heading(int column, Variant variant) {
    switch (column) {
    case ColPlace:
        return QStringLiteral("<BR>Finish<BR>Pos.");
    case ColCarTxt:
        return QStringLiteral("<BR><BR>Car#");
    case ColDriverName:
        return QStringLiteral("<BR><BR>Driver");
    case ColSponsor:
        return QStringLiteral("<BR><BR>Sponsor");
    case ColTermDt:
        return QStringLiteral("Car/Driver<BR>Termination<BR>Date");
    case ColLapsLedBonus:
        return QStringLiteral("<BR>Lap Led<BR>Bonus");
    case ColMostLapsLedBonus:
        return QStringLiteral("Most<BR>Laps Led<BR>Bonus");
    case ColPoints:
        return QStringLiteral("<BR>Race<BR>Points");
    case ColTotalPoints:
        return QStringLiteral("<BR>Season <BR>Points");
    case ColEfctvDt:
        return variant == Variant::RaceDetail ? QStringLiteral("Car/Driver<BR>Effective <BR>Date")
                                              : QStringLiteral("Car/Driver<BR>Effective<BR>Date");
    case ColFastQualBonus:
        return QStringLiteral("Fast <BR>Qualifier<BR>Bonus");
    case ColQualPoints:
        return QStringLiteral("<BR>Qualifing<BR>Bonus");
    case ColAdjustment:
        return QStringLiteral("<BR><BR>Adjustment");
    default:
        return std::nullopt;
    }
}

const QString& align(int column) {
    switch (column) {
    case ColPlace:
    case ColCarTxt:
    case ColTermDt:
    case ColEfctvDt:
        return kCenter;
    case ColLapsLedBonus:
    case ColMostLapsLedBonus:
    case ColPoints:
    case ColTotalPoints:
    case ColFastQualBonus:
    case ColQualPoints:
    case ColAdjustment:
        return kRight;
    default:
        return kLeft;
    }
}

std::optional<ReportCell> cell(const IDatabase& db, int column, Variant variant) {
    auto field = [&](const QString& name) { return cellText(db.fields, name); };
    switch (column) {
    case ColPlace:
        return ReportCell{placeText(db), kCenter};
    case ColCarTxt:
        return ReportCell{field(QStringLiteral("car_txt")), kCenter};
    case ColDriverName:
        return ReportCell{field(QStringLiteral("driver_name")), kLeft};
    case ColSponsor:
        return ReportCell{variant == Variant::RaceDetail
                              ? htmlText(db.fields.toText(QStringLiteral("sponsor")).trimmed())
                              : field(QStringLiteral("sponsor")),
                          kLeft};
    case ColTermDt:
        return ReportCell{cellDate(db.fields(QStringLiteral("term_dt"))), kCenter};
    case ColLapsLedBonus:
        return ReportCell{field(QStringLiteral("laps_led_bonus")), kRight};
    case ColMostLapsLedBonus:
        return ReportCell{field(QStringLiteral("most_laps_led_bonus")), kRight};
    case ColPoints:
        return ReportCell{field(QStringLiteral("points")), kRight};
    case ColTotalPoints:
        return ReportCell{field(QStringLiteral("total_points")), kRight};
    case ColEfctvDt:
        return ReportCell{cellDate(db.fields(QStringLiteral("efctv_dt"))), kCenter};
    case ColFastQualBonus:
        return ReportCell{field(QStringLiteral("fast_qual_bonus")), kRight};
    case ColQualPoints:
        return ReportCell{field(QStringLiteral("qual_points")), kRight};
    case ColAdjustment:
        return ReportCell{field(QStringLiteral("adjustment")), kRight};
    default:
        return std::nullopt;
    }
}

std::optional<QString> totalsCell(int column, ReportPage& page, qint32 racePoints, qint64 seasonPoints,
                                  const QString& boldTag) {
    if (column != ColPoints && column != ColTotalPoints)
        return heading(column, Variant::RaceDetail) ? std::optional<QString>(QStringLiteral("<TD></TD>"))
                                                    : std::nullopt;
    const qint64 sum = column == ColPoints ? racePoints : seasonPoints;
    const QString text = QLatin1Char('<') + boldTag + QLatin1Char('>') + cellNumber(sum) + QStringLiteral("</") +
                         boldTag + QLatin1Char('>');
    return dataCell(page.headingTextSize(), page.headingTextColor(), text, kRight, QStringLiteral("1"));
}

void writeTotalsRow(ReportPage& page, qint32 racePoints, qint64 seasonPoints, const QString& boldTag) {
    page.writeLine(page.rowTagOf(page.headingBackColor()));
    // A team's totals row comes once a team on a page of hundreds: its cells are written in parts, as
    // totalsCell puts them together, from a start made once a page.
    std::optional<RowStyle> style;
    for (int c : page.columns()) {
        if (c != ColPoints && c != ColTotalPoints) {
            if (heading(c, Variant::RaceDetail))
                page.writeLine(QStringLiteral("<TD></TD>"));
            continue;
        }
        if (!style)
            style = RowStyle{page.headingTextSize(), page.headingTextColor(), QString()};
        const QString number = cellNumber(c == ColPoints ? racePoints : seasonPoints);
        writeReportLine(
            {page.cellStart(*style, kRight), u"<", boldTag, u">", number, u"</", boldTag, u">", kDataCellEnd},
            page.fileNumber());
    }
    page.writeLine(QStringLiteral("</TR>"));
}

} // namespace RaceDetailColumns
