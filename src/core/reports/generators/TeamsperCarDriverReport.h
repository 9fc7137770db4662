#pragma once

#include <QString>

// The teams per car/driver report ("DT"): for each car/driver the league's teams hold, the teams
// holding it, one table per car/driver. With the report's include-active-only attribute only the
// holdings in force on the race day are listed. One page per league and race: dt + league + race + .html;
// "" after the page's error path.
QString createTeamsperCarDriverReport(int leagueNmbr, bool show, int raceNmbr);
