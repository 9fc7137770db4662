#pragma once

#include "data/IDatabase.h"

#include <QString>
#include <memory>

// One car's (or driver's) result in a race (a row of `results`), plus the car's season counts.
class cResults {
public:
    cResults() = default;
    cResults(const cResults&) = delete;
    cResults& operator=(const cResults&) = delete;

    int adjustment() const { return m_adjustment; }
    void setAdjustment(int v) { m_adjustment = v; }
    int lapsLead() const { return m_lapsLead; }
    void setLapsLead(int v) { m_lapsLead = v; }
    int fastQual() const { return m_fastQual; }
    void setFastQual(int v) { m_fastQual = v; }
    int place() const { return m_place; }
    void setPlace(int v) { m_place = v; }
    int qualified() const { return m_qualified; }
    void setQualified(int v) { m_qualified = v; }
    int carNmbr() const { return m_carNmbr; }
    void setCarNmbr(int v) { m_carNmbr = v; }
    int raceNmbr() const { return m_raceNmbr; }
    void setRaceNmbr(int v) { m_raceNmbr = v; }

    QString nameOf() const { return QStringLiteral("RESULTS"); }
    bool CommitChanges();
    // Writes place, qualifying position, fastest-qualifier flag and laps led; a stored adjustment stays.
    bool updateRow();
    bool insertRow();
    bool deleteRow();
    std::unique_ptr<cResults> copy() const;

    // The latest race of the race type that has results (season order); 0 when there is none.
    int currentRaceNmbr(int raceTypeNmbr);
    // The car's results in every race of the league's race type: wins, places up to 5 and up to 10
    // (place 0 included), and qualifying position 1. 0 when the count cannot be read.
    int wins(int leagueNmbr, int carNmbr);
    int top5s(int leagueNmbr, int carNmbr);
    int top10s(int leagueNmbr, int carNmbr);
    int poles(int leagueNmbr, int carNmbr);

private:
    int countResults(int leagueNmbr, int carNmbr, const QString& condition);

    int m_adjustment = 0;
    int m_lapsLead = 0;
    int m_fastQual = 0;
    int m_place = 0;
    int m_qualified = 0;
    int m_carNmbr = 0;
    int m_raceNmbr = 0;
    IDatabase m_db;
};
