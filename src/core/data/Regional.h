#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

// How the windows and reports show dates and money: the user's own conventions. The data file and
// the import files keep fixed forms of their own and never go through these.

// The locale money and dates are shown in: the user's, or the program's home locale (English,
// United States) when the system has none of its own (the "C" locale knows no currency sign).
QLocale regionalLocale();

// The user's short date pattern with the year always in four digits ("M/d/yyyy", "dd/MM/yyyy").
QString shortDatePattern();

// A date in the user's short form; empty for no date.
QString shortDate(const QDate& date);

// Reads a date typed in the user's short form (leading zeros optional, a four-digit year) or in
// ISO form (YYYY-MM-DD); invalid when it is neither.
QDate parseDate(const QString& text);
