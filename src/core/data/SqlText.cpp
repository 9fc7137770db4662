#include "data/SqlText.h"

#include <QRegularExpression>

bool Currency::parse(const QString& text, Currency* out) {
    QString t = text.trimmed();
    t.remove(QLatin1Char('$'));
    static const QRegularExpression shape(QStringLiteral("^([+-]?)(\\d{1,3}(?:,\\d{3})+|\\d*)(?:\\.(\\d*))?$"));
    const QRegularExpressionMatch m = shape.match(t);
    if (!m.hasMatch() || (m.captured(2).isEmpty() && m.captured(3).isEmpty()))
        return false;
    QString whole = m.captured(2);
    whole.remove(QLatin1Char(','));
    QString frac = m.captured(3);
    if (frac.size() > 4) {
        // round half away from zero on the fifth decimal
        const bool up = frac.at(4) >= QLatin1Char('5');
        frac = frac.left(4);
        if (whole.size() > 14)
            return false;
        std::int64_t units = whole.toLongLong() * 10000 + frac.toLongLong() + (up ? 1 : 0);
        *out = fromUnits(m.captured(1) == QLatin1String("-") ? -units : units);
        return true;
    }
    if (whole.size() > 14)
        return false;
    frac = frac.leftJustified(4, QLatin1Char('0'));
    const std::int64_t units = whole.toLongLong() * 10000 + frac.toLongLong();
    *out = fromUnits(m.captured(1) == QLatin1String("-") ? -units : units);
    return true;
}

QString Currency::toSql() const {
    const std::int64_t a = m_units < 0 ? -m_units : m_units;
    return QStringLiteral("%1%2.%3")
        .arg(m_units < 0 ? QStringLiteral("-") : QString())
        .arg(a / 10000)
        .arg(a % 10000, 4, 10, QLatin1Char('0'));
}

QString Currency::toString(int decimals) const {
    decimals = std::clamp(decimals, 0, 4);
    std::int64_t a = m_units < 0 ? -m_units : m_units;
    std::int64_t div = 1;
    for (int i = decimals; i < 4; ++i)
        div *= 10;
    a = (a + div / 2) / div; // round half away from zero
    std::int64_t scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    QString s = QString::number(a / scale);
    if (decimals > 0)
        s += QLatin1Char('.') + QStringLiteral("%1").arg(a % scale, decimals, 10, QLatin1Char('0'));
    return (m_units < 0 && a != 0 ? QStringLiteral("-") : QString()) + s;
}
