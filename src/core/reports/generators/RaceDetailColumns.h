#pragma once

#include "reports/generators/ReportPipeline.h"

class IDatabase;

// The columns the race detail page and the team race detail page share: one row per team result of
// a race with the car, the holding and the points. The team page words one heading differently and
// writes the sponsor and effective date a little differently.
namespace RaceDetailColumns {

enum class Variant { RaceDetail, TeamRaceDetail };

// The heading text of a column; nullopt for a column these pages do not show in the table.
std::optional<QString> heading(int column, Variant variant);
// The alignment of a column's data cells ("left", "center", "right"); the first for a column these pages
// do not show.
const QString& align(int column);
// The data cell of a column for the current row of the report's query.
std::optional<ReportCell> cell(const IDatabase& db, int column, Variant variant);
// The cell of a column in the totals row: race points and season points in bold, an empty cell for
// every other column of the table. The season points are the team's line in the league's standings
// as of the race: summing the rows' totals would count what the bonus entry carried once for each
// of its rows.
std::optional<QString> totalsCell(int column, ReportPage& page, qint32 racePoints, qint64 seasonPoints,
                                  const QString& boldTag);
// A team's totals row: every column's totals cell on the heading background, as the totals take the
// heading text colour.
void writeTotalsRow(ReportPage& page, qint32 racePoints, qint64 seasonPoints, const QString& boldTag);

} // namespace RaceDetailColumns
