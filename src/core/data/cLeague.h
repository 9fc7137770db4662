#pragma once

#include "data/IDatabase.h"
#include "data/RowList.h"
#include "data/SqlText.h"

#include <QString>
#include <memory>
#include <optional>

// One row of table leagues. A league numbered below 1 has not been stored yet.
class cLeague {
public:
    cLeague();
    // A copy holds the same values and a result set of its own.
    cLeague(const cLeague& other);
    cLeague& operator=(const cLeague& other);
    ~cLeague();

    int leagueNmbr() const { return m_leagueNmbr; }
    void setLeagueNmbr(int v) { m_leagueNmbr = v; }
    QString leagueName() const { return m_leagueName; }
    void setLeagueName(const QString& v) { m_leagueName = v; }
    QString leagueShortName() const { return m_leagueShortName; }
    void setLeagueShortName(const QString& v) { m_leagueShortName = v; }
    int scoringTypeNmbr() const { return m_scoringTypeNmbr; }
    void setScoringTypeNmbr(int v) { m_scoringTypeNmbr = v; }
    int raceTypeNmbr() const { return m_raceTypeNmbr; }
    void setRaceTypeNmbr(int v) { m_raceTypeNmbr = v; }
    int scoringOptionNmbr() const { return m_scoringOptionNmbr; }
    void setScoringOptionNmbr(int v) { m_scoringOptionNmbr = v; }
    Currency salaryCap() const { return m_salaryCap; }
    void setSalaryCap(Currency v) { m_salaryCap = v; }
    int dropLowest() const { return m_dropLowest; }
    void setDropLowest(int v) { m_dropLowest = v; }
    int carTypeNmbr() const { return m_carTypeNmbr; }
    void setCarTypeNmbr(int v) { m_carTypeNmbr = v; }

    // 1 when the league was found and read; 0 leaves the object as it was.
    int load(int leagueNmbr);
    QString nameOf() const { return QStringLiteral("LEAGUE"); }
    std::unique_ptr<cLeague> copy() const { return std::make_unique<cLeague>(*this); }
    // Inserts a new league (numbered below 1) or updates the stored one.
    bool CommitChanges();
    bool updateRow();
    // Gives the league a new number (500 and up) and inserts it; on failure the number it had is
    // put back, so a later save tries the insert again.
    bool insertRow();
    // Deletes the league with its memberships, team results, race summaries and head-to-head
    // pairings, all or nothing. Teams and their holdings stay.
    bool deleteRow();

private:
    friend class cLeagueCollection;
    void loadFromResultSet(const IDatabase& db);

    std::unique_ptr<IDatabase> m_db;
    int m_leagueNmbr = 0;
    QString m_leagueName;
    QString m_leagueShortName;
    int m_scoringTypeNmbr = 0;
    int m_raceTypeNmbr = 0;
    int m_scoringOptionNmbr = 0;
    Currency m_salaryCap;
    int m_dropLowest = 0;
    int m_carTypeNmbr = 0;
};

// An ordered list of leagues. Loads append and return the new count.
class cLeagueCollection : public RowList<cLeague> {
public:
    // The new league, or nullptr when sKey is already in the list.
    cLeague* Add(int leagueNmbr, const QString& leagueName, const QString& leagueShortName, int scoringTypeNmbr,
                 int raceTypeNmbr, int scoringOptionNmbr, Currency salaryCap, int dropLowest, int carTypeNmbr,
                 const QString& sKey = QString());

    // The leagues of a race type and/or car type (every league when neither is given).
    int load(std::optional<int> raceTypeNmbr = std::nullopt, std::optional<int> carTypeNmbr = std::nullopt);
    // The leagues the team is a member of.
    int loadForTeam(int teamNmbr);
    // Both load every league first when the list is empty, else answer for the list as it is.
    bool raceTypeNmbrExists(int raceTypeNmbr);
    bool scoringTypeNmbrExists(int scoringTypeNmbr);

private:
    void loadFromResultSet();

    IDatabase m_db;
};
