#pragma once

#include <QString>

// A league's standings after one race: one row per team with its season points, places, win and
// top-finish counts, last race's points and distance to the leader. Team cells link to the team race
// detail pages, written on the way. Writes ls<league><race>.html (always, also with no standings);
// "" when the run failed.
QString createLeagueStandingsReport(int leagueNmbr, int raceNmbr, bool show);
