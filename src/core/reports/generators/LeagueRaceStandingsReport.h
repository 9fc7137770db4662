#pragma once

#include <QString>

// How the teams of one league scored in one race: one row per team, by its place in the race, with
// the race's points and bonuses summed over its cars. Writes the team race detail page of every
// team it lists and rs<league><race>.html; "" when the race has no posting for the league (with a
// message when show is true) or the run failed.
QString createLeagueRaceStandings(int leagueNmbr, int raceNmbr, bool show);
