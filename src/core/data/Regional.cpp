#include "data/Regional.h"

#include "data/SqlText.h"
#include "platform/Clock.h"

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

// The locale amounts are read and shown in, with its own digit grouping whatever the default options.
QLocale numberLocale() {
    QLocale locale = regionalLocale();
    locale.setNumberOptions(QLocale::DefaultNumberOptions);
    return locale;
}

constexpr int kStoredDecimals = 4;
constexpr int kMostWholeDigits = 14;
constexpr QChar kDigitShape = QLatin1Char('9');
constexpr QChar kGroupShape = QLatin1Char(',');

// Whether the user's form writes a negative amount in parentheses, as "($12.35)".
bool negativeInParentheses(const QLocale& locale) {
    return locale.toCurrencyString(-1.0).contains(QLatin1Char('('));
}

// The length of a sign leading the text: the one everybody types, or the locale's own.
qsizetype leadingSign(const QString& text, const QString& typed, const QString& own) {
    if (text.startsWith(typed))
        return typed.size();
    if (!own.isEmpty() && text.startsWith(own))
        return own.size();
    return 0;
}

// Reads the whole part of an amount: its digits, and its shape with "9" for a digit and "," for a
// group mark. Where the user's group mark is a space of any width, any space typed is one; where it
// is a typographic apostrophe, a plain one is too. False for any other character.
bool digitShape(const QString& text, const QString& groupMark, QString* digits, QString* shape) {
    const bool spaceMark = groupMark.size() == 1 && groupMark.at(0).isSpace();
    const bool apostropheMark = groupMark == QString(QChar(0x2019));
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text.at(i);
        if (c.isDigit() && c.digitValue() >= 0) {
            *digits += QChar(QLatin1Char('0').unicode() + c.digitValue());
            *shape += kDigitShape;
            ++i;
        } else if (!groupMark.isEmpty() && QStringView(text).mid(i).startsWith(groupMark)) {
            *shape += kGroupShape;
            i += groupMark.size();
        } else if ((spaceMark && c.isSpace()) || (apostropheMark && c == QLatin1Char('\''))) {
            *shape += kGroupShape;
            ++i;
        } else {
            return false;
        }
    }
    return true;
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

QString numberText(qint64 n) {
    return numberLocale().toString(qlonglong(n));
}

QString moneyText(Currency amount) {
    const std::int64_t units = amount.units();
    const std::int64_t cents = (units < 0 ? units - 50 : units + 50) / 100;
    return regionalLocale().toCurrencyString(Currency::fromUnits(cents * 100).toDouble());
}

QString moneyEditText(Currency amount) {
    const std::int64_t units = amount.units();
    const int decimals = units % 10 != 0 ? 4 : units % 100 != 0 ? 3 : 2;
    const std::int64_t scale = decimals == 4 ? 1 : decimals == 3 ? 10 : 100;
    const std::int64_t shown = (units < 0 ? -units : units) / scale;
    std::int64_t perWhole = 1;
    for (int i = 0; i < decimals; ++i)
        perWhole *= 10;
    const QLocale locale = numberLocale();
    const QString number = locale.toString(qlonglong(shown / perWhole)) + locale.decimalPoint() +
                           QStringLiteral("%1").arg(shown % perWhole, decimals, 10, QLatin1Char('0'));
    // The user's currency pattern, taken from a whole amount of one, with the number put in its place.
    const QString one = locale.toString(1);
    QString pattern = locale.toCurrencyString(units < 0 ? -1.0 : 1.0, locale.currencySymbol(), 0);
    const qsizetype at = pattern.indexOf(one);
    if (at < 0)
        return moneyText(amount);
    return pattern.replace(at, one.size(), number);
}

bool parseMoney(const QString& text, Currency* amount) {
    const QLocale locale = numberLocale();
    QString t = text.trimmed();
    bool negative = false;
    if (t.size() >= 2 && t.startsWith(QLatin1Char('(')) && t.endsWith(QLatin1Char(')'))) {
        if (!negativeInParentheses(locale))
            return false;
        t = t.mid(1, t.size() - 2).trimmed();
        negative = true;
    }
    // A sign and the currency sign lead in either order; the currency sign may trail instead.
    const QString symbol = locale.currencySymbol();
    bool signSeen = false;
    bool symbolSeen = false;
    for (bool more = true; more;) {
        more = false;
        if (!signSeen) {
            if (const qsizetype n = leadingSign(t, QStringLiteral("-"), locale.negativeSign()); n > 0) {
                if (negative)
                    return false;
                negative = signSeen = more = true;
                t = t.mid(n).trimmed();
                continue;
            }
            if (const qsizetype n = leadingSign(t, QStringLiteral("+"), locale.positiveSign()); n > 0) {
                signSeen = more = true;
                t = t.mid(n).trimmed();
                continue;
            }
        }
        if (!symbolSeen && !symbol.isEmpty() && t.startsWith(symbol)) {
            symbolSeen = more = true;
            t = t.mid(symbol.size()).trimmed();
        }
    }
    if (!symbolSeen && !symbol.isEmpty() && t.endsWith(symbol)) {
        t.chop(symbol.size());
        t = t.trimmed();
    }

    const QString decimalMark = locale.decimalPoint();
    const qsizetype mark = t.indexOf(decimalMark);
    const QString whole = mark < 0 ? t : t.left(mark);
    const QString fraction = mark < 0 ? QString() : t.mid(mark + decimalMark.size());
    QString decimals;
    QString decimalsShape;
    if (!digitShape(fraction, QString(), &decimals, &decimalsShape) || decimals.size() > kStoredDecimals)
        return false;
    QString digits;
    QString shape;
    if (!digitShape(whole, locale.groupSeparator(), &digits, &shape))
        return false;
    if (digits.isEmpty() && decimals.isEmpty())
        return false;
    if (digits.size() > kMostWholeDigits)
        return false;
    // Group marks, when typed at all, stand where the user's own form of that number has them.
    if (shape.contains(kGroupShape)) {
        QString expectedDigits;
        QString expectedShape;
        digitShape(locale.toString(digits.toLongLong()), locale.groupSeparator(), &expectedDigits, &expectedShape);
        if (expectedShape != shape)
            return false;
    }
    std::int64_t units = digits.toLongLong() * 10000;
    units += decimals.leftJustified(kStoredDecimals, QLatin1Char('0')).toLongLong();
    *amount = Currency::fromUnits(negative ? -units : units);
    return true;
}

QString moneyRefusal(const QString& message) {
    const QLocale locale = numberLocale();
    return message + QStringLiteral("\r\nType the amount in the form ") + locale.toString(1234) +
           locale.decimalPoint() + QStringLiteral("56");
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
    // The platform reads "-2026" as a four-digit year before Christ.
    return isStorableDate(d) ? d : QDate();
}

bool isStorableDate(const QDate& date) {
    return date.isValid() && date.year() >= 1 && date.year() <= 9999;
}

QString dateEntryForm() {
    return rewriteFields(shortDatePattern(), [](QChar c, qsizetype run) {
        if (c == QLatin1Char('d'))
            return QString(run, QLatin1Char('D'));
        if (c == QLatin1Char('y'))
            return QString(run, QLatin1Char('Y'));
        return QString(run, c);
    });
}

QString dateRefusal(const QString& message) {
    // The last day of the year tells day and month apart in every form.
    return message + QStringLiteral("\r\nType the date in the form ") + dateEntryForm() +
           QStringLiteral(", for example ") + shortDate(QDate(today().year(), 12, 31)) + QLatin1Char('.');
}
