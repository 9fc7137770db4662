#include "reports/generators/RaceDetailColumns.h"

#include "reports/framework/CommonReportCode.h"

namespace RaceDetailColumns {

namespace {

const QString kLeft = QStringLiteral("left");
const QString kCenter = QStringLiteral("center");
const QString kRight = QStringLiteral("right");

// Place 999 marks a car or driver that did not qualify; on the bonus entry it means nothing.
QString placeText(const RaceDetailRow& row) {
    const int place = row.result->place.toInt();
    const int carType = row.car->carTypeNmbr.toInt();
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

std::optional<ReportCell> cell(const RaceDetailRow& row, int column, Variant variant) {
    switch (column) {
    case ColPlace:
        return ReportCell{placeText(row), kCenter};
    case ColCarTxt:
        return ReportCell{htmlText(row.car->carTxt), kCenter};
    case ColDriverName:
        return ReportCell{htmlText(row.car->driverName), kLeft};
    case ColSponsor:
        return ReportCell{htmlText(variant == Variant::RaceDetail ? row.car->sponsor.trimmed() : row.car->sponsor),
                          kLeft};
    case ColTermDt:
        return ReportCell{cellDate(row.holding->termDt), kCenter};
    case ColLapsLedBonus:
        return valueCell(row.result->lapsLedBonus, kRight);
    case ColMostLapsLedBonus:
        return valueCell(row.result->mostLapsLedBonus, kRight);
    case ColPoints:
        return valueCell(row.result->points, kRight);
    case ColTotalPoints:
        return valueCell(row.result->totalPoints, kRight);
    case ColEfctvDt:
        return ReportCell{cellDate(row.holding->efctvDt), kCenter};
    case ColFastQualBonus:
        return valueCell(row.result->fastQualBonus, kRight);
    case ColQualPoints:
        return valueCell(row.result->qualPoints, kRight);
    case ColAdjustment:
        return valueCell(row.result->adjustment, kRight);
    default:
        return std::nullopt;
    }
}

void writeTotalsRow(ReportPage& page, qint32 racePoints, qint64 seasonPoints, const QString& boldTag) {
    const RowStyle totals{page.headingTextSize(), page.headingTextColor(), page.headingBackColor()};
    page.writeLine(page.rowTagOf(totals.backColor));
    for (int c : page.columns()) {
        if (c == ColPoints || c == ColTotalPoints) {
            const QString sum = cellNumber(c == ColPoints ? racePoints : seasonPoints);
            page.writeCell(totals, {QLatin1Char('<') + boldTag + QLatin1Char('>') + sum + QStringLiteral("</") +
                                        boldTag + QLatin1Char('>'),
                                    kRight});
        } else if (heading(c, Variant::RaceDetail)) {
            page.writeLine(QStringLiteral("<TD></TD>"));
        }
    }
    page.writeLine(QStringLiteral("</TR>"));
}

} // namespace RaceDetailColumns
