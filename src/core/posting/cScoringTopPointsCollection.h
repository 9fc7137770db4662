#pragma once

#include "data/IDatabase.h"
#include "data/RowList.h"
#include "posting/cScoringTopPoints.h"

// A scoring method's top-finish bonus rules. Every load appends.
class cScoringTopPointsCollection : public RowList<cScoringTopPoints> {
public:
    // Note the order: number of cars first, then the method, the points and the top places.
    cScoringTopPoints* Add(int nmbr, int scoringTypeNmbr, int points, int top, const QString& key = QString());

    // The method's rules in the order they were stored.
    int load(int scoringTypeNmbr);
    // Replaces the rules of the first rule's method by the list, in one transaction; an empty list
    // changes nothing (the editor clears rules with deleteScoringTopPoints).
    bool insertScoringTopPoints();
    bool deleteScoringTopPoints(int scoringTypeNmbr);

private:
    int loadFromResultSet();

    IDatabase m_db;
};
