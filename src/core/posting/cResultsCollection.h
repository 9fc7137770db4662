#pragma once

#include "data/IDatabase.h"
#include "data/RowList.h"
#include "posting/cResults.h"

#include <optional>

class cRaces;

// A race's results as a list, with the whole-race save, the duplicate check, the deletes of a
// race's results and postings, and the selections the scoring steps read. Every load appends.
class cResultsCollection : public RowList<cResults> {
public:
    cResults* Add(int raceNmbr, int carNmbr, int place, int fastQual, int lapsLead, int qualified, int adjustment,
                  const QString& key = QString());

    // The race's results (every result of every race without one), ordered by place.
    int load(std::optional<int> raceNmbr = std::nullopt);
    // The results of the race before the given one in its race type's season.
    int loadPrevious(const cRaces& race);
    // Load every result when the list is empty, else search what it holds.
    bool raceExists(int raceNmbr);
    bool carExists(int carNmbr);

    // Replaces the stored results of the first item's race, and removes that race's postings in
    // every league, in one transaction: all or nothing. An empty list changes nothing.
    bool insertResults();
    // The race's postings, then its results; stops at the first failure.
    bool deleteResults(int raceNmbr);
    // The race's team race summaries, then its team result rows, in every league.
    bool deletePosting(int raceNmbr);
    bool deleteTeamResults(int raceNmbr);
    bool deleteTeamResultsSummary(int raceNmbr);

    // The place of the first held result of the car; 0 when the list does not hold it.
    int getPlace(int carNmbr) const;
    // The results that led the race's most laps, all of them when tied. When nobody led a lap the
    // maximum is 0 and every result of the race is returned.
    int loadMostLapsLed(int raceNmbr);
    int loadFastQualifier(int raceNmbr);
    int loadLapsLed(int raceNmbr);

    // The duplicates of a list about to be saved: one line (ended by CR LF) per pair of results with
    // the same car, named by its car text, and per pair with the same place other than 0. Empty
    // when the list is valid.
    QString validateData() const;

private:
    int loadFromResultSet();
    int loadQuery(const QString& sql);

    IDatabase m_db;
};
