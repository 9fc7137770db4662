#pragma once

#include "reports/generators/RaceDetailColumns.h"

#include <QHash>
#include <QString>
#include <QVariant>
#include <vector>

// How one league scored one posted race: every team by its place in the race, its team results
// under it, and its race and season points. Writes rd<league><race>.html; "" when the race has no
// posting for the league (with a message when show is true) or the run failed.
QString createRaceDetailReport(int leagueNmbr, int raceNmbr, bool show);

// What the race detail page shows: the league and the race, and its rows.
struct RaceDetail {
    QString leagueName, raceName;
    QVariant raceDt;
    int raceStatusNmbr = 0;
    // One per team result of the league in the race whose car is on file and whose team has its line
    // in the race's standings and holds (or held) the car, with the team's latest holding of it. The
    // teams come by their place in the race, name (letter case aside) and number; a team's rows by car
    // type (highest first), status and place, rows alike in all three in the order they were stored.
    std::vector<RaceDetailRow> rows;
    // Each team's season points as of the race (its line in the league's standings), for the totals.
    QHash<int, qint64> seasonPoints;
};

// Reads the race detail page of the league and the race within the request in progress, its rows
// pointing at what the request holds while it runs; no rows when the race or the league is not on file. Throws
// ReportReadingFailed after a query the engine refused.
RaceDetail readRaceDetail(int leagueNmbr, int raceNmbr);
