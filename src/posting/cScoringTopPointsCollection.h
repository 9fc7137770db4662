#pragma once

#include "data/IDatabase.h"
#include "posting/KeyedList.h"
#include "posting/cScoringTopPoints.h"

// A scoring method's top-finish bonus rules. Every load appends.
class cScoringTopPointsCollection {
public:
    // Note the order: number of cars first, then the method, the points and the top places.
    cScoringTopPoints& Add(int nmbr, int scoringTypeNmbr, int points, int top, const QString& key = QString());
    cScoringTopPoints& Item(int index) const { return m_list.at(index); }
    cScoringTopPoints* Item(const QString& key) const { return m_list.find(key); }
    int Count() const { return m_list.count(); }
    void Remove(int index) { m_list.remove(index); }
    void Remove(const QString& key) { m_list.remove(key); }
    auto begin() const { return m_list.begin(); }
    auto end() const { return m_list.end(); }

    // The method's rules in the order they were stored.
    int load(int scoringTypeNmbr);
    // Replaces the rules of the first rule's method by the list, in one transaction; an empty list
    // changes nothing (the editor clears rules with deleteScoringTopPoints).
    bool insertScoringTopPoints();
    bool deleteScoringTopPoints(int scoringTypeNmbr);

private:
    int loadFromResultSet();

    KeyedList<cScoringTopPoints> m_list;
    IDatabase m_db;
};
