#pragma once

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>

class Currency;

// How the windows and reports show dates and money: the user's own conventions. The data file and
// the import files keep fixed forms of their own and never go through these.

// The locale money and dates are shown in: the user's, or the program's home locale (English,
// United States) when the system has none of its own (the "C" locale knows no currency sign).
QLocale regionalLocale();

// The user's short date pattern with the year always in four digits ("M/d/yyyy", "dd/MM/yyyy").
QString shortDatePattern();

// A date in the user's short form; empty for no date.
QString shortDate(const QDate& date);

// A date and time in the user's general form: the short date, then the time of day with its seconds
// in the user's form ("3/1/2026 3:04:05 PM", "01.03.2026 15:04:05"); midnight shows the date alone.
QString dateTimeText(const QDateTime& when);

// An amount in the user's currency form, rounded to cents (half away from zero): "$1,234.50" and
// "($12.35)" in the home locale, "1.234,50 €" and "-12,35 €" in German.
QString moneyText(Currency amount);

// Reads an amount typed in the user's number form; a currency sign, digit grouping and a negative
// amount in parentheses (the form moneyText may show) are accepted. False when it is no number.
bool parseMoney(const QString& text, Currency* amount);

// Reads a date typed in the user's short form (leading zeros optional, a four-digit year) or in
// ISO form (YYYY-MM-DD); invalid when it is neither.
QDate parseDate(const QString& text);
