#pragma once

#include <QDate>
#include <QDateTime>

// The one place the program reads the date and time. Tests set a fixed moment; otherwise it is the
// system clock.
QDate today();
QDateTime now();

// A fixed moment for every later reading; an invalid one returns to the system clock.
void setClock(const QDateTime& fixed);
