#pragma once

#include "data/IDatabase.h"

// The points of one finishing place (and of the same qualifying position) of a scoring method
// (a row of `scoring_points`).
class cScoringPoints {
public:
    cScoringPoints() = default;
    cScoringPoints(const cScoringPoints&) = delete;
    cScoringPoints& operator=(const cScoringPoints&) = delete;

    int points() const { return m_points; }
    void setPoints(int v) { m_points = v; }
    int qualPoints() const { return m_qualPoints; }
    void setQualPoints(int v) { m_qualPoints = v; }
    int place() const { return m_place; }
    void setPlace(int v) { m_place = v; }
    int scoringTypeNmbr() const { return m_scoringTypeNmbr; }
    void setScoringTypeNmbr(int v) { m_scoringTypeNmbr = v; }

    QString nameOf() const { return QStringLiteral("SCORINGPOINTS"); }
    // Updates the method's row of this place when there is one, else inserts it.
    bool CommitChanges();
    bool updateRow();
    bool insertRow();
    bool deleteRow();

private:
    int m_points = 0;
    int m_qualPoints = 0;
    int m_place = 0;
    int m_scoringTypeNmbr = 0;
    IDatabase m_db;
};
