#pragma once

#include "data/IDatabase.h"

#include <QString>
#include <memory>

// One row of scoring_type: a scoring method's name and bonuses. Its points per place and its
// top-finish rules live in scoring_points and scoring_top_points under the same number.
class cScoringType {
public:
    cScoringType() = default;
    cScoringType(int nmbr, const QString& name, int lapsLedBonus, int mostLapsLedBonus, int fastQualBonus)
        : m_scoringTypeNmbr(nmbr), m_scoringTypeName(name), m_lapsLedBonus(lapsLedBonus),
          m_mostLapsLedBonus(mostLapsLedBonus), m_fastQualBonus(fastQualBonus) {}

    int fastQualBonus() const { return m_fastQualBonus; }
    void setFastQualBonus(int bonus) { m_fastQualBonus = bonus; }
    int mostLapsLedBonus() const { return m_mostLapsLedBonus; }
    void setMostLapsLedBonus(int bonus) { m_mostLapsLedBonus = bonus; }
    int lapsLedBonus() const { return m_lapsLedBonus; }
    void setLapsLedBonus(int bonus) { m_lapsLedBonus = bonus; }
    QString scoringTypeName() const { return m_scoringTypeName; }
    void setScoringTypeName(const QString& name) { m_scoringTypeName = name; }
    int scoringTypeNmbr() const { return m_scoringTypeNmbr; }
    void setScoringTypeNmbr(int nmbr) { m_scoringTypeNmbr = nmbr; }

    // A new object with the same five values (the number too) and a result set of its own.
    std::unique_ptr<cScoringType> copy() const;
    // Deletes the method with its points table and top-finish rules, all or nothing, so that a
    // method stored later under the same number starts without them.
    bool deleteRow();
    bool CommitChanges();
    bool updateRow();
    // Gives the object the next user number (500 or more) and inserts its row.
    bool insertRow();
    // Reads the method's row; a number without a row (or a failed query) leaves the object as it was.
    void load(int scoringTypeNmbr);

    // A bonus other than 0 is in use, negative ones too.
    bool usesMostLapsLedBonus() const { return m_mostLapsLedBonus != 0; }
    bool usesLapsLedBonus() const { return m_lapsLedBonus != 0; }
    bool usesFastQualBonus() const { return m_fastQualBonus != 0; }

private:
    IDatabase m_db;
    int m_scoringTypeNmbr = 0;
    QString m_scoringTypeName;
    int m_lapsLedBonus = 0;
    int m_mostLapsLedBonus = 0;
    int m_fastQualBonus = 0;
};
