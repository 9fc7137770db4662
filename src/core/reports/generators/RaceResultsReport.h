#pragma once

#include <QString>

// The results of one race as entered (no league, scoring or posting needed), best place first.
// Writes rr<race>0000.html and returns its name. A race without results writes nothing and gives "";
// when show is true it says "Results not entered for this Race.".
QString createRaceResultsReport(int raceNmbr, bool show);
