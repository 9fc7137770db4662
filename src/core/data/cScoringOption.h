#pragma once

#include <QString>

// One row of scoring_option_dm; the number picks the scoring chain a league's posting runs.
class cScoringOption {
public:
    cScoringOption() = default;
    cScoringOption(int nmbr, const QString& name) : m_scoringOptionNmbr(nmbr), m_scoringOptionName(name) {}

    QString scoringOptionName() const { return m_scoringOptionName; }
    void setScoringOptionName(const QString& name) { m_scoringOptionName = name; }
    int scoringOptionNmbr() const { return m_scoringOptionNmbr; }
    void setScoringOptionNmbr(int nmbr) { m_scoringOptionNmbr = nmbr; }

private:
    int m_scoringOptionNmbr = 0;
    QString m_scoringOptionName;
};
