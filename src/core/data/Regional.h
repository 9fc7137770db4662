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

// A whole number in the user's form, with its group marks: "12,800" in the home locale, "12.800" in German.
QString numberText(qint64 n);

// An amount in the user's currency form, rounded to cents (half away from zero): "$1,234.50" and
// "($12.35)" in the home locale, "1.234,50 €" and "-12,35 €" in German.
QString moneyText(Currency amount);

// An amount as an edit box shows it: the currency form with every decimal the amount has, two at
// least ("$1,234.50", "$1.005", "1,005 €"), so that what is shown reads back as the amount itself.
QString moneyEditText(Currency amount);

// Reads an amount typed in the user's own form and nothing else: digits with the user's decimal
// mark, at most as many decimals as an amount keeps (four), group marks only where the user's form
// puts them, the user's currency sign before or after the number, and a negative amount as the
// user's form writes one (a minus sign, or parentheses where moneyText shows them). Whatever
// moneyText and moneyEditText show reads back. False for anything else: "12,500.50" in German or
// "1.234,56" in English is refused rather than read as another number.
bool parseMoney(const QString& text, Currency* amount);

// The message that refuses a typed amount: the window's own words, then how to type an amount
// ("Invalid Salary amount", then "Type the amount in the form 1,234.56").
QString moneyRefusal(const QString& message);

// Reads a date typed in the user's short form (leading zeros optional, a four-digit year) or in
// ISO form (YYYY-MM-DD); invalid when it is neither, or when the data file could not keep it.
QDate parseDate(const QString& text);

// Whether the data file keeps the date as that day: it stores ISO text, four digits of year with no
// sign, so a year before 1 would be stored as no date at all.
bool isStorableDate(const QDate& date);

// The user's short date form spelt out for a person: "M/D/YYYY", "DD.MM.YYYY".
QString dateEntryForm();

// The message that refuses a typed date: the window's own words, then the form to type it in
// ("Invalid Entry", then "Type the date in the form M/D/YYYY, for example 12/31/2026.").
QString dateRefusal(const QString& message);
