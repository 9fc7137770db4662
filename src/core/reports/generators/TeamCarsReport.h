#pragma once

#include <QString>
#include <optional>

// The team cars report ("TC"): every car/driver holding of a league's teams, one table per team with
// its salary totals. Without a race every holding is listed; with one, the sub-title names the race
// and the report's include-active-only attribute keeps the holdings in force on the race day.
//
// separate writes one page per member team (allInOne is then ignored) and returns the last page's
// name; otherwise one page, for the given team or (allInOne) for every team, named after the team
// number given. A page is tc + league + team + race (0000 without one) + .html; "" after a page's
// error path.
QString createTeamCarsReport(int leagueNmbr, int teamNmbr, bool show, bool allInOne, bool separate,
                             std::optional<int> raceNmbr = std::nullopt);
