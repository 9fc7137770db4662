#pragma once

#include "data/IDatabase.h"
#include "data/RowList.h"
#include "posting/cScoringPoints.h"

#include <optional>

// A scoring method's points table: lookups by place and the whole-table write. Every load appends.
class cScoringPointsCollection : public RowList<cScoringPoints> {
public:
    cScoringPoints* Add(int scoringTypeNmbr, int place, int points, int qualPoints, const QString& key = QString());

    // The method's rows (every method's without one), ordered by place.
    int load(std::optional<int> scoringTypeNmbr = std::nullopt);
    // Only the rows that pay qualifying points, ordered by place.
    int loadQual(std::optional<int> scoringTypeNmbr = std::nullopt);
    // Replaces the method's stored table by the list, in one transaction. The method is passed in
    // rather than read from the first row, so that an empty list empties the table.
    bool insertScoringPoints(int scoringTypeNmbr);
    bool deleteScoringPoints(int scoringTypeNmbr);

    // Lookups walk the list in order and take the first row of the place; 0 when there is none.
    int pointsForPlace(int place) const;
    int qualPointsForPlace(int position) const;
    bool usesQualPointsBonus() const;
    // True when more points is better: place 1 pays at least as much as place 2. Equal points and
    // an empty table count as more is better.
    bool highScore() const;

private:
    int loadFromResultSet();

    IDatabase m_db;
};
