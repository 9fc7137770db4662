#pragma once

#include <QString>

// How one league scored one posted race: every team by its place in the race, its team results
// under it, and its race and season points. Writes rd<league><race>.html; "" when the race has no
// posting for the league (with a message when show is true) or the run failed.
QString createRaceDetailReport(int leagueNmbr, int raceNmbr, bool show);
