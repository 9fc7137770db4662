#pragma once

#include <QString>

// The season table of every car/driver of the league's race type that has results: starts, poles,
// wins, top-5 and top-10 finishes, average finish and start, laps led; most starts first, then the
// lowest sum of places. Writes ds<league>0000.html and returns its name; "" (and no message) when no
// car/driver has results.
QString createDriverStatsReport(int leagueNmbr, bool show);
