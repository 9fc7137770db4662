#pragma once

// Rules the team editor and both pick editors share: what a pick costs the team, what a league
// still allows, and which dates a pick may take.

#include "data/SqlText.h"

#include <QDate>
#include <QString>

class cCar;
class cLeague;
class cTeamCar;

// A pick costs its locked salary while it is open or ends after today; one ending today is free.
bool pickCountsInSalary(const cTeamCar& pick, const QDate& today);

// What the league still allows the team to spend: the cap less the team's salary, 0 without a cap.
Currency availableSalary(const cLeague& league, Currency teamSalary);

// The text that stands for a car or driver in every list: the driver's name for a driver.
QString carDisplay(const cCar& car);

// The refusal for an effective date, or "" when the date is allowed: the date must come after the
// latest race of the race type that has been posted.
QString efctvDtRefusal(int raceTypeNmbr, const QDate& efctvDt);

// The refusal for a termination date, or "" when it is allowed: it may not fall on or before a race
// the team scored with the car, nor on or before the effective date (an empty one never refuses).
QString termDtRefusal(int teamNmbr, int carNmbr, const QDate& termDt, const QDate& efctvDt);

// The refusal for holding a car over dates, or "" when allowed: the team may not hold the same car
// twice on any day. A holding is in force from its effective date until the day before its
// termination date (for ever when it has none). The stored row of the pick being changed, named by
// its effective date, is not held against it.
QString holdingOverlapRefusal(int teamNmbr, int carNmbr, const QDate& efctvDt, const QDate& termDt,
                              const QDate& ownStoredEfctvDt = QDate());
// Whether two holdings of one car share a day; an invalid termination date never ends.
bool holdingsOverlap(const QDate& efctvA, const QDate& termA, const QDate& efctvB, const QDate& termB);

// The refusal shown when a group's limit is reached: names the group.
QString groupLimitRefusal(const QString& groupName);
