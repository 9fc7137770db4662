#pragma once

#include "data/IDatabase.h"
#include "posting/KeyedList.h"
#include "posting/cScoringPoints.h"

#include <optional>

// A scoring method's points table: lookups by place and the whole-table write. Every load appends.
class cScoringPointsCollection {
public:
    cScoringPoints& Add(int scoringTypeNmbr, int place, int points, int qualPoints, const QString& key = QString());
    cScoringPoints& Item(int index) const { return m_list.at(index); }
    cScoringPoints* Item(const QString& key) const { return m_list.find(key); }
    int Count() const { return m_list.count(); }
    void Remove(int index) { m_list.remove(index); }
    void Remove(const QString& key) { m_list.remove(key); }
    auto begin() const { return m_list.begin(); }
    auto end() const { return m_list.end(); }

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

    KeyedList<cScoringPoints> m_list;
    IDatabase m_db;
};
