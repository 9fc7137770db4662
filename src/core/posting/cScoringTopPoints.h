#pragma once

#include "data/IDatabase.h"

// A top-finish bonus rule of a scoring method (a row of `scoring_top_points`): a team with exactly
// `nmbr` cars in places 1 to `top` earns `points`.
class cScoringTopPoints {
public:
    cScoringTopPoints() = default;
    cScoringTopPoints(const cScoringTopPoints&) = delete;
    cScoringTopPoints& operator=(const cScoringTopPoints&) = delete;

    int top() const { return m_top; }
    void setTop(int v) { m_top = v; }
    int points() const { return m_points; }
    void setPoints(int v) { m_points = v; }
    int scoringTypeNmbr() const { return m_scoringTypeNmbr; }
    void setScoringTypeNmbr(int v) { m_scoringTypeNmbr = v; }
    int nmbr() const { return m_nmbr; }
    void setNmbr(int v) { m_nmbr = v; }

    bool insertRow();

private:
    int m_top = 0;
    int m_points = 0;
    int m_scoringTypeNmbr = 0;
    int m_nmbr = 0;
    IDatabase m_db;
};
