#pragma once

#include <QString>

// The league race summary report ("LR"): the season grid of one league, one row per team by total
// points (largest first, whatever the scoring method), with the team's points in each race of the
// league's race type and car type that has results. Race headings link to the race detail pages and
// team names to the team cars pages, both written during the run. The page is lr + league + 0000 +
// .html; when no race is posted it is left empty and its name still returned ("Results not posted
// for this Race." when show). "" when the query or the run failed.
QString createLeagueRaceSummary(int leagueNmbr, bool show);
