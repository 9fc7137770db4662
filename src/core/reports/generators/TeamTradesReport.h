#pragma once

#include <QString>

// The team trades report ("TT"): the cars/drivers each team of a league took on or let go since the
// race before the given one, one table per team.
//
// separate writes one page per member team (allInOne is then ignored) and returns the last page's
// name; otherwise one page, for the given team or (allInOne) for every team, named after the team
// number given. A page is tt + league + team + race + .html; "" after a page's error path.
QString createTeamTradesReport(int leagueNmbr, int teamNmbr, int raceNmbr, bool show, bool allInOne, bool separate);
