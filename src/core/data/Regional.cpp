#include "data/Regional.h"

namespace {

QLocale homeLocale() { return QLocale(QLocale::English, QLocale::UnitedStates); }

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
template <typename Rewrite>
QString rewriteFields(const QString& pattern, Rewrite rewrite) {
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

} // namespace

QLocale regionalLocale() {
    const QLocale user;
    return user.language() == QLocale::C ? homeLocale() : user;
}

QString shortDatePattern() { return rewriteFields(userDatePattern(), fourDigitYear); }

QString shortDate(const QDate& date) {
    return date.isValid() ? regionalLocale().toString(date, shortDatePattern()) : QString();
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
