#pragma once

#include "data/IDatabase.h"
#include "posting/KeyedList.h"
#include "posting/cRaceHeadHead.h"

#include <optional>

// The head-to-head pairings of a league and race, with the whole-set replace. Every load appends.
class cRaceHeadHeadCollection {
public:
    cRaceHeadHead& Add(int raceNmbr, int leagueNmbr, int teamNmbr1, int teamnmbr2, const QString& key = QString());
    cRaceHeadHead& Item(int index) const { return m_list.at(index); }
    cRaceHeadHead* Item(const QString& key) const { return m_list.find(key); }
    int Count() const { return m_list.count(); }
    void Remove(int index) { m_list.remove(index); }
    void Remove(const QString& key) { m_list.remove(key); }
    auto begin() const { return m_list.begin(); }
    auto end() const { return m_list.end(); }

    // Pairings of the league and/or race (every pairing without either), in the store's order.
    int load(std::optional<int> leagueNmbr = std::nullopt, std::optional<int> raceNmbr = std::nullopt);
    // Replaces the league's pairings of the race by the list, in one transaction. The league and
    // race are passed in rather than read from the first item, so that an empty list clears them.
    bool update(int leagueNmbr, int raceNmbr);

private:
    int loadFromResultSet();

    KeyedList<cRaceHeadHead> m_list;
    IDatabase m_db;
};
