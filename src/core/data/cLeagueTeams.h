#pragma once

#include "data/IDatabase.h"
#include "data/RowList.h"

#include <functional>
#include <memory>
#include <optional>

class cTeam;

// One membership: a team playing in a league (a row of league_teams).
class cLeagueTeams {
public:
    int teamNmbr() const { return m_teamNmbr; }
    void setTeamNmbr(int v) { m_teamNmbr = v; }
    int leagueNmbr() const { return m_leagueNmbr; }
    void setLeagueNmbr(int v) { m_leagueNmbr = v; }

private:
    int m_leagueNmbr = 0;
    int m_teamNmbr = 0;
};

// An ordered list of memberships. Loads append and return the new count; the existence checks
// that load do so only while the list is empty, and otherwise answer for the list as it is.
class cLeagueTeamsCollection : public RowList<cLeagueTeams> {
public:
    // The new membership, or nullptr when sKey is already in the list.
    cLeagueTeams* Add(int leagueNmbr, int teamNmbr, const QString& sKey = QString());

    // The memberships of a league and/or a team (all when neither is given), by team name.
    // Memberships whose team row is missing are left out.
    int load(std::optional<int> leagueNmbr = std::nullopt, std::optional<int> teamNmbr = std::nullopt);
    // Loads the league's memberships (all of them without a league) when the list is empty.
    bool teamExists(int teamNmbr, std::optional<int> leagueNmbr = std::nullopt);
    // Loads nothing: the caller has loaded the team's memberships, so this tells whether that team
    // plays in the league.
    bool leagueExists(int teamNmbr, int leagueNmbr) const;
    // Whether a member team plays that race type (car type); loads with the given numbers first
    // when the list is empty.
    bool raceTypeExists(int raceTypeNmbr, std::optional<int> leagueNmbr = std::nullopt,
                        std::optional<int> teamNmbr = std::nullopt);
    bool carTypeExists(int carTypeNmbr, std::optional<int> leagueNmbr = std::nullopt,
                       std::optional<int> teamNmbr = std::nullopt);
    // Stores the list's memberships in one transaction. With a league, that league's memberships
    // are replaced by the list; without, the list's pairs are added (a pair already stored stays
    // once). False, with nothing changed, when a statement fails.
    bool insertNew(std::optional<int> leagueNmbr = std::nullopt);

private:
    void loadFromResultSet();
    // True when a member team of the list (loaded first when empty) passes the test.
    bool anyMemberTeam(std::optional<int> leagueNmbr, std::optional<int> teamNmbr,
                       const std::function<bool(const cTeam&)>& test);

    IDatabase m_db;
};
