#pragma once

#include "reports/generators/ReportPipeline.h"

#include <optional>

class IDatabase;

// The columns of a team's holdings, shared by the team cars and team trades pages: car, driver,
// start and stop dates, locked and current salary, group.
std::optional<QString> holdingHeading(int column);
std::optional<ReportCell> holdingCell(const IDatabase& db, int column);
