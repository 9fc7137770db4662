#pragma once

#include <QString>

// The team detail report ("TD"): for one league and one posted race, the cars/drivers of each team
// with a posted result in that race, their race and season points, season bonus sums, adjustment
// and how far each trails the best of its team. Each team's rows stand under its header and
// headings, all in one table.
//
// separate writes one page per member team (allInOne is then ignored) and returns the last team's
// result; otherwise one page, for the given team or (allInOne) for every team, named after the
// league, the team number given and the race: td + league + team + race + .html. A page with no rows is not
// written ("Results not posted for this Race." when show) and gives "".
QString createTeamDetailReport(int leagueNmbr, int teamNmbr, int raceNmbr, bool show, bool allInOne, bool separate);
