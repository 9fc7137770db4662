#pragma once

#include <QString>

// A league's standings after one race: one row per team with its season points, places, win and
// top-finish counts, last race's points and distance to the leader. Team cells link to the team race
// detail pages, written on the way. Writes ls<league><race>.html; "" when the run failed, and "" with
// no file when the league has no posting of the race ("Results not posted for this Race." when show).
QString createLeagueStandingsReport(int leagueNmbr, int raceNmbr, bool show);
