#pragma once

#include "data/Regional.h"

#include <QDate>
#include <QString>
#include <QVariant>
#include <cmath>
#include <cstdint>
#include <optional>

// SQL literals for statements composed as text.

// A text value in single quotes with every quote doubled.
inline QString sqlText(const QString& value) {
    return QLatin1Char('\'') + QString(value).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

// A date as stored in the data file: ISO text in quotes, or NULL for no date.
inline QString sqlDate(const QDate& date) {
    return date.isValid() ? QLatin1Char('\'') + date.toString(Qt::ISODate) + QLatin1Char('\'') : QStringLiteral("NULL");
}

// The WHERE clause of the lists that filter by race type and car type, either of which may be absent:
// " WHERE race_type_nmbr = 3 AND car_type_nmbr = 1", " WHERE car_type_nmbr = 2", or "" for all rows.
inline QString sqlTypeFilter(std::optional<int> raceTypeNmbr, std::optional<int> carTypeNmbr) {
    QString where;
    if (raceTypeNmbr)
        where = QStringLiteral(" WHERE race_type_nmbr = ") + QString::number(*raceTypeNmbr);
    if (carTypeNmbr)
        where += (where.isEmpty() ? QStringLiteral(" WHERE") : QStringLiteral(" AND")) +
                 QStringLiteral(" car_type_nmbr = ") + QString::number(*carTypeNmbr);
    return where;
}

// A floating-point value written the same way whatever the locale.
inline QString sqlDouble(double value) {
    return QString::number(value, 'g', 17);
}

// A currency amount: a fixed-point number with four decimals, as the salary cap and salaries are.
class Currency {
public:
    constexpr Currency() = default;
    static constexpr Currency fromUnits(std::int64_t tenThousandths) {
        Currency c;
        c.m_units = tenThousandths;
        return c;
    }
    static Currency fromDouble(double value) { return fromUnits(std::int64_t(std::llround(value * 10000.0))); }
    // Parses plain decimal text ("1234.5", "-3", "1,000.25" with thousands commas); false when it is not a number.
    static bool parse(const QString& text, Currency* out);
    static Currency fromVariant(const QVariant& v) { return v.isNull() ? Currency() : fromDouble(v.toDouble()); }

    constexpr std::int64_t units() const { return m_units; }
    double toDouble() const { return double(m_units) / 10000.0; }
    // Exact decimal text for SQL, e.g. "1234.5600".
    QString toSql() const;
    // Two decimals for the windows, e.g. "1234.56".
    QString toString(int decimals = 2) const;

    friend constexpr bool operator==(Currency a, Currency b) { return a.m_units == b.m_units; }
    friend constexpr auto operator<=>(Currency a, Currency b) { return a.m_units <=> b.m_units; }
    friend constexpr Currency operator+(Currency a, Currency b) { return fromUnits(a.m_units + b.m_units); }
    friend constexpr Currency operator-(Currency a, Currency b) { return fromUnits(a.m_units - b.m_units); }
    Currency& operator+=(Currency b) {
        m_units += b.m_units;
        return *this;
    }
    Currency& operator-=(Currency b) {
        m_units -= b.m_units;
        return *this;
    }

private:
    std::int64_t m_units = 0;
};
