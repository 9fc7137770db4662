#pragma once

#include "reports/generators/ReportPipeline.h"

#include <optional>

class IDatabase;

// The columns of a team's holdings, shared by the team cars and team trades pages: car, driver,
// start and stop dates, locked and current salary, group.
std::optional<QString> holdingHeading(int column);
std::optional<ReportCell> holdingCell(const IDatabase& db, int column);

// The columns of a car/driver entry, shared by the car pick and car details pages: car, driver,
// sponsor, salary (as money when it is a number), make, owner.
std::optional<QString> carHeading(int column);
std::optional<ReportCell> carCell(const IDatabase& db, int column);
