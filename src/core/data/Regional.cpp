#include "data/Regional.h"

#include "data/SqlText.h"

namespace {

QLocale homeLocale() {
    return QLocale(QLocale::English, QLocale::UnitedStates);
}

// The system may have no locale of its own yet one for dates alone (LC_TIME); only when the date
// pattern, too, is the bare "C" one is the home locale's used.
QString userDatePattern() {
    const QLocale user;
    const QString pattern = user.dateFormat(QLocale::ShortFormat);
    if (user.language() == QLocale::C && pattern == QLocale::c().dateFormat(QLocale::ShortFormat))
        return homeLocale().dateFormat(QLocale::ShortFormat);
    return pattern;
}

// Rewrites each field of a date pattern; quoted literal text is kept as it stands.
template <typename Rewrite> QString rewriteFields(const QString& pattern, Rewrite rewrite) {
    QString out;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('\'')) {
            const qsizetype end = pattern.indexOf(QLatin1Char('\''), i + 1);
            const qsizetype stop = end < 0 ? pattern.size() : end + 1;
            out += pattern.mid(i, stop - i);
            i = stop;
            continue;
        }
        qsizetype run = 1;
        while (i + run < pattern.size() && pattern.at(i + run) == c)
            ++run;
        out += rewrite(c, run);
        i += run;
    }
    return out;
}

QString fourDigitYear(QChar c, qsizetype run) {
    return c == QLatin1Char('y') ? QStringLiteral("yyyy") : QString(run, c);
}

// The user's time of day with seconds: the long form without its time zone, which the clock of a
// page's reader need not share.
QString timePattern() {
    const QLocale user;
    QString pattern = user.timeFormat(QLocale::LongFormat);
    if (user.language() == QLocale::C && pattern == QLocale::c().timeFormat(QLocale::LongFormat))
        pattern = homeLocale().timeFormat(QLocale::LongFormat);
    pattern = rewriteFields(pattern,
                            [](QChar c, qsizetype run) { return c == QLatin1Char('t') ? QString() : QString(run, c); });
    return pattern.simplified();
}

} // namespace

QLocale regionalLocale() {
    const QLocale user;
    return user.language() == QLocale::C ? homeLocale() : user;
}

QString shortDatePattern() {
    return rewriteFields(userDatePattern(), fourDigitYear);
}

QString shortDate(const QDate& date) {
    return date.isValid() ? regionalLocale().toString(date, shortDatePattern()) : QString();
}

QString dateTimeText(const QDateTime& when) {
    QString text = shortDate(when.date());
    const QTime time = when.time();
    if (time.hour() != 0 || time.minute() != 0 || time.second() != 0)
        text += QLatin1Char(' ') + regionalLocale().toString(time, timePattern());
    return text;
}

QString moneyText(Currency amount) {
    const std::int64_t units = amount.units();
    const std::int64_t cents = (units < 0 ? units - 50 : units + 50) / 100;
    return regionalLocale().toCurrencyString(Currency::fromUnits(cents * 100).toDouble());
}

bool parseMoney(const QString& text, Currency* amount) {
    const QLocale locale = regionalLocale();
    QString t = text.trimmed();
    const bool enclosed = t.startsWith(QLatin1Char('(')) && t.endsWith(QLatin1Char(')'));
    if (enclosed)
        t = t.mid(1, t.size() - 2);
    t.remove(locale.currencySymbol());
    t.remove(QLatin1Char('$'));
    t.remove(locale.groupSeparator());
    t.replace(locale.decimalPoint(), QStringLiteral("."));
    t = t.trimmed();
    if (enclosed && (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))))
        return false;
    Currency read;
    if (!Currency::parse(t, &read))
        return false;
    *amount = enclosed ? Currency() - read : read;
    return true;
}

QDate parseDate(const QString& text) {
    const QString t = text.trimmed();
    // A typed day or month may go without its leading zero whatever the shown form; the year
    // stays at four digits, so "3/1/26" is no date rather than a guess at the century.
    const QString typed = rewriteFields(shortDatePattern(), [](QChar c, qsizetype run) {
        if ((c == QLatin1Char('d') || c == QLatin1Char('M')) && run == 2)
            return QString(c);
        return fourDigitYear(c, run);
    });
    QDate d = regionalLocale().toDate(t, typed);
    if (!d.isValid())
        d = QDate::fromString(t, Qt::ISODate);
    return d;
}
