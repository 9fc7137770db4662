#pragma once

#include <QString>

// The dependency checks of the delete commands. Each reads the tables afresh when called, so a
// list loaded before a question was answered can never let a delete through.

// Some team holds or has held the car/driver, in any period.
bool carHeldByAnyTeam(int carNmbr);
// Some race has a result of the car/driver.
bool carHasResults(int carNmbr);
// The team has posted team race summaries.
bool teamHasPostedSummaries(int teamNmbr);
// The team is a member of some league.
bool teamIsLeagueMember(int teamNmbr);
// Some league scores by the scoring method.
bool scoringMethodInUse(int scoringTypeNmbr);

// The refusal of moving a stored car/driver away from its race type, or "" when it may move. A car a
// team holds under its race type keeps it; so does one with results, which name it by number and
// would lose it in the race window's grid under another race type.
QString raceTypeChangeRefusal(int carNmbr, int raceTypeNmbr);

// The refusals of a car/driver delete; carTxt is trimmed here.
QString carHeldRefusal(const QString& carTxt);
QString carResultsRefusal(const QString& carTxt);

// The refusal of deleting a race type or a group the program ships (numbered below 500), or "".
QString shippedRaceTypeRefusal(int raceTypeNmbr, const QString& name);
QString shippedGroupRefusal(int groupNmbr, const QString& name);
// The refusal of deleting a race type something still uses, or "": a league, a race, a team or a
// car/driver (race type numbers are given out again, so a deleted type's teams and cars/drivers would
// silently belong to the next new one).
QString raceTypeInUseRefusal(int raceTypeNmbr, const QString& name);
// The refusal of deleting a group a car/driver is in, or "".
QString groupInUseRefusal(int groupNmbr, const QString& name);
