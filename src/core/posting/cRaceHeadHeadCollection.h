#pragma once

#include "data/IDatabase.h"
#include "data/RowList.h"
#include "posting/cRaceHeadHead.h"

#include <optional>

// The head-to-head pairings of a league and race, with the whole-set replace. Every load appends.
class cRaceHeadHeadCollection : public RowList<cRaceHeadHead> {
public:
    cRaceHeadHead* Add(int raceNmbr, int leagueNmbr, int teamNmbr1, int teamnmbr2, const QString& key = QString());

    // Pairings of the league and/or race (every pairing without either), in the store's order.
    int load(std::optional<int> leagueNmbr = std::nullopt, std::optional<int> raceNmbr = std::nullopt);
    // Replaces the league's pairings of the race by the list, in one transaction. The league and
    // race are passed in rather than read from the first item, so that an empty list clears them.
    bool update(int leagueNmbr, int raceNmbr);

private:
    int loadFromResultSet();

    IDatabase m_db;
};
