#pragma once

#include "reports/generators/ReportPipeline.h"
#include "reports/generators/ReportRequestState.h"

#include <QString>
#include <QVariant>

// One row of the race detail page and of the team race detail page: a team result of a race with its
// car and the team's holding of it, where the reading that gave them holds them (the request, for the
// race detail page), so that a row is not a copy of them.
struct RaceDetailRow {
    int teamNmbr = 0;
    QString teamName;
    const TeamResult* result = nullptr;
    const CarOnFile* car = nullptr;
    const Holding* holding = nullptr;
};

// The columns the race detail page and the team race detail page share. The team page words one
// heading differently and writes the sponsor as stored, where the race page trims it.
namespace RaceDetailColumns {

enum class Variant { RaceDetail, TeamRaceDetail };

// The heading text of a column; nullopt for a column these pages do not show in the table.
std::optional<QString> heading(int column, Variant variant);
// The data cell of a column for the row; nullopt for a column these pages do not show.
std::optional<ReportCell> cell(const RaceDetailRow& row, int column, Variant variant);
// A team's totals row on the heading background, as the totals take the heading text colour: the race
// points and the season points in bold (boldTag), an empty cell for every other column of the table.
// The season points are the team's line in the league's standings as of the race: summing the rows'
// totals would count what the bonus entry carried once for each of its rows.
void writeTotalsRow(ReportPage& page, qint32 racePoints, qint64 seasonPoints, const QString& boldTag);

} // namespace RaceDetailColumns
