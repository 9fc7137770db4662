#pragma once

#include "data/IDatabase.h"
#include "data/RowList.h"
#include "posting/cRaces.h"

#include <optional>

// A list of races with the questions asked about the schedule. Every load appends.
class cRacesCollection : public RowList<cRaces> {
public:
    cRaces* Add(int raceNmbr, const QString& raceName, const QString& trackName, const QDate& raceDate,
                int raceTypeNmbr, int carTypeNmbr, int raceStatusNmbr, const QString& key = QString());

    // Races of a race type and/or car type (all races without either), in the store's order.
    int load(std::optional<int> raceTypeNmbr = std::nullopt, std::optional<int> carTypeNmbr = std::nullopt);
    // Races that have results, oldest first.
    int loadRacesWithResults(std::optional<int> raceTypeNmbr = std::nullopt,
                             std::optional<int> carTypeNmbr = std::nullopt);
    // The races of the type on the latest date that has results for that race type and car type.
    int loadMostCurrentRaceWithResults(int raceTypeNmbr, int carTypeNmbr);
    // The races of the type on the latest date that has postings (team_results rows).
    int loadMostCurrentRaceWithPostedResults(int raceTypeNmbr);
    // The later races of race n's race type, in season order.
    int loadFutureRaces(int raceNmbr);
    // The earlier races of race n's race type with a winner, in season order; a race with two
    // results at place 1 is listed twice.
    int loadPreviouRacesWithResults(int raceNmbr);

    // Existence checks: load every race when the list is empty, else search what it holds.
    bool raceTypeNmbrExists(int raceTypeNmbr);
    bool carTypeNmbrExists(int carTypeNmbr);
    bool raceDateExistsForRaceType(const QDate& raceDate, int raceTypeNmbr, int carTypeNmbr);

private:
    int loadFromResultSet();
    int loadQuery(const QString& sql);

    IDatabase m_db;
};
