#pragma once

#include "data/IDatabase.h"

#include <QDate>
#include <QString>
#include <memory>

// One race of a race type's schedule (a row of `races`).
class cRaces {
public:
    cRaces() = default;
    cRaces(const cRaces&) = delete;
    cRaces& operator=(const cRaces&) = delete;

    // The race's status (race_status_dm): 0, "Scheduled", until another is chosen. Its report pages
    // carry a line under the title only for 1 "Unofficial" and 3 "Qualifying".
    int raceStatusNmbr() const { return m_raceStatusNmbr; }
    void setRaceStatusNmbr(int v) { m_raceStatusNmbr = v; }
    int carTypeNmbr() const { return m_carTypeNmbr; }
    void setCarTypeNmbr(int v) { m_carTypeNmbr = v; }
    int raceTypeNmbr() const { return m_raceTypeNmbr; }
    void setRaceTypeNmbr(int v) { m_raceTypeNmbr = v; }
    // An invalid date stands for the empty race date.
    QDate raceDate() const { return m_raceDate; }
    void setRaceDate(const QDate& v) { m_raceDate = v; }
    // Text in the short (M/D/YYYY) or ISO form; anything that is not a date empties the race date.
    void setRaceDate(const QString& text);
    QString trackName() const { return m_trackName; }
    void setTrackName(const QString& v) { m_trackName = v; }
    QString raceName() const { return m_raceName; }
    void setRaceName(const QString& v) { m_raceName = v; }
    int raceNmbr() const { return m_raceNmbr; }
    void setRaceNmbr(int v) { m_raceNmbr = v; }

    // Fills the object from the race with that number; false (object unchanged) when there is none.
    bool load(int raceNmbr);
    // Fills the object with the previous race of that race for its own race type and car type
    // (see previousRaceNmbr). False (object unchanged) when there is none.
    bool loadPrevious(int raceNmbr);
    // The race that the totals of a league of the race type scored by the car type carry on from
    // in race raceNmbr: the latest earlier race of that race type and car type that has results,
    // races of one date in number order. 0 when there is none.
    static int previousRaceNmbr(int raceTypeNmbr, int carTypeNmbr, int raceNmbr);
    QString nameOf() const { return QStringLiteral("RACES"); }
    // Inserts under a new number while raceNmbr is below 1, otherwise updates.
    bool CommitChanges();
    bool updateRow();
    // Gives the object the next race number (never below 500), then inserts it.
    bool insertRow();
    // Inserts the object under the number it holds (imports keep their file's numbers).
    bool insert();
    // Deletes the race with its postings, results and pairings, all or nothing.
    bool deleteRow();
    std::unique_ptr<cRaces> copy() const;

private:
    friend class cRacesCollection;
    void loadFromResultSet();

    int m_raceStatusNmbr = 0;
    int m_carTypeNmbr = 0;
    int m_raceTypeNmbr = 0;
    QDate m_raceDate;
    QString m_trackName;
    QString m_raceName;
    int m_raceNmbr = 0;
    IDatabase m_db;
};
