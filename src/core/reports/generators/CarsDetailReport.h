#pragma once

#include <QString>

// Every car and driver of the league's race type (no bonus entries) with number, driver, sponsor,
// salary, make, owner and group, by car number. Writes cd<league>0000.html and returns its name
// ("" after an error); a race type without cars/drivers gives an empty file.
QString createCarsDetailReport(int leagueNmbr, bool show);
