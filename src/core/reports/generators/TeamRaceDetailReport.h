#pragma once

#include <QString>

// The race detail of one team of one league in one race, with the team's contact line. Writes
// tr<league><team>.html (the race is not in the name: a later race's page replaces an earlier one);
// "" when the team has no posting in the race (with a message when show is true) or the run failed.
// The standings reports write it for each team they link.
QString createTeamRaceDetailReport(int leagueNmbr, int teamNmbr, int raceNmbr, bool show = false);
