#pragma once

#include <QString>

// The list a team owner picks from: every car/driver of the league's race type and car type, grouped
// by pick group (each group with its name and how many of it one team may hold), most expensive first,
// under the league's salary cap. Writes cp<league>0000.html and returns its name ("" after an error).
// A league with no car/driver to pick still gets its (empty) file.
QString createCarPickReport(int leagueNmbr, bool show);
