#include "reports/generators/HoldingColumns.h"

#include "data/IDatabase.h"

std::optional<QString> holdingHeading(int column) {
    switch (column) {
    case ColCarTxt:
        return QStringLiteral("<BR>Car#");
    case ColDriverName:
        return QStringLiteral("<BR>Driver");
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

std::optional<ReportCell> holdingCell(const IDatabase& db, int column) {
    const QString center = QStringLiteral("center");
    switch (column) {
    case ColCarTxt:
        return ReportCell{cellText(db.fields(QStringLiteral("car_txt"))), center};
    case ColDriverName:
        return ReportCell{cellText(db.fields(QStringLiteral("driver_name"))), QStringLiteral("left")};
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

namespace {

// The salary as money when it is a number, else as it is stored.
QString carSalaryText(const QVariant& value) {
    bool numeric = false;
    value.toString().trimmed().toDouble(&numeric);
    return numeric ? cellMoney(value) : cellText(value);
}

} // namespace

std::optional<QString> carHeading(int column) {
    switch (column) {
    case ColCarTxt:
        return QStringLiteral("<BR>Car#");
    case ColDriverName:
        return QStringLiteral("<BR>Driver");
    case ColSponsor:
        return QStringLiteral("<BR>Sponsor");
    case ColSalary:
        return QStringLiteral("<BR>Salary");
    case ColCarMake:
        return QStringLiteral("<BR>Make");
    case ColCarOwner:
        return QStringLiteral("<BR>Owner");
    default:
        return std::nullopt;
    }
}

std::optional<ReportCell> carCell(const IDatabase& db, int column) {
    const QString left = QStringLiteral("left");
    switch (column) {
    case ColCarTxt:
        return ReportCell{cellText(db.fields("car_txt")), QStringLiteral("center")};
    case ColDriverName:
        return ReportCell{cellText(db.fields("driver_name")), left};
    case ColSponsor:
        return ReportCell{cellText(db.fields("sponsor")), left};
    case ColSalary:
        return ReportCell{carSalaryText(db.fields("salary")), QStringLiteral("right")};
    case ColCarMake:
        return ReportCell{cellText(db.fields("car_make")), left};
    case ColCarOwner:
        return ReportCell{cellText(db.fields("car_owner")), left};
    default:
        return std::nullopt;
    }
}
