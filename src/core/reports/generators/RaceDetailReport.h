#pragma once

#include <QHash>
#include <QPair>
#include <QString>
#include <functional>

class StoredRows;

class IDatabase;

// How one league scored one posted race: every team by its place in the race, its team results
// under it, and its race and season points. Writes rd<league><race>.html; "" when the race has no
// posting for the league (with a message when show is true) or the run failed.
QString createRaceDetailReport(int leagueNmbr, int raceNmbr, bool show);

// The rows the race detail page lists, into rows as a query would give them: one per team result of
// the league in the race whose car is on file, whose team has its line in the race's standings, and
// whose team holds (or held) the car, with the team's latest holding of it; the columns car_txt,
// driver_name, sponsor, place, laps_led_bonus, most_laps_led_bonus, fast_qual_bonus, league_name,
// points, total_points, race_dt, race_name, track_name, team_name, team_place, race_nmbr,
// current_status, team_owner, qual_points, scoring_type_nmbr, term_dt, efctv_dt, adjustment,
// car_type_nmbr, race_status_nmbr and team_nmbr. The teams come by their place in the race, name
// (letter case aside) and number; a team's rows by car type (highest first), status and place, rows
// alike in all three in the order they were stored. False after a query the engine refused (its box
// shown).
bool readRaceDetailRows(IDatabase& rows, int leagueNmbr, int raceNmbr);

// Each team's points in each race of the league (the sum of its results there, by team and race) from
// the league's results as the race detail pages of the request read them. False, with points as they
// were, when a value is one the engine sums its own way (not a whole number) or the reading failed.
bool leagueRacePoints(int leagueNmbr, QHash<QPair<int, int>, int>& points);
// Hands visit each of the league's results in the races (the columns race_nmbr, team_nmbr, car_nmbr,
// place, laps_led_bonus, most_laps_led_bonus, fast_qual_bonus, points, total_points, current_status,
// qual_points and adjustment, by name) when the request in progress has read them for its race detail
// pages; false when it has not, or when visit gave false to stop.
bool forEachLeagueResultRead(int leagueNmbr, const QList<int>& races,
                             const std::function<bool(const StoredRows& rows, qsizetype row)>& visit);
