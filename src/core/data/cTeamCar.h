#pragma once

#include "data/IDatabase.h"
#include "data/RowList.h"

#include <QDate>
#include <QString>
#include <memory>
#include <optional>

// One holding: a team holds a car, driver or bonus entry from its effective date until its
// termination date (none while current). A holding is in force on day d when efctvDt <= d and
// termDt is empty or after d. Team, car and effective date identify the row.
class cTeamCar {
public:
    cTeamCar();
    // A copy holds the same values and a result set of its own.
    cTeamCar(const cTeamCar& other);
    cTeamCar& operator=(const cTeamCar& other);
    ~cTeamCar();

    int active() const { return m_active; }
    void setActive(int v) { m_active = v & 0xFF; }
    double LockedSalary() const { return m_lockedSalary; }
    void setLockedSalary(double v) { m_lockedSalary = v; }
    double price() const { return m_price; }
    void setPrice(double v) { m_price = v; }
    // Dates are invalid (empty) when not set. A text that does not read as a date (M/D/YYYY or
    // YYYY-MM-DD) sets the empty date.
    QDate termDt() const { return m_termDt; }
    void setTermDt(const QDate& v) { m_termDt = v; }
    void setTermDt(const QString& v);
    QDate efctvDt() const { return m_efctvDt; }
    void setEfctvDt(const QDate& v) { m_efctvDt = v; }
    void setEfctvDt(const QString& v);
    int carNmbr() const { return m_carNmbr; }
    void setCarNmbr(int v) { m_carNmbr = v; }
    int teamNmbr() const { return m_teamNmbr; }
    void setTeamNmbr(int v) { m_teamNmbr = v; }

    // Updates the holding when its team, car and effective date are stored, else inserts it.
    // False without an effective date.
    bool CommitChanges();
    // Writes the effective date, termination date and active flag; price and locked salary stay.
    bool updateRow();
    // Inserts all seven columns without looking for an existing row.
    bool insertRow();
    bool deleteRow();
    bool teamCarExists(int teamNmbr, int carNmbr, const QDate& efctvDt);
    // 1 when the team holds or held the car (the object is filled from the first such row,
    // whatever its dates); 0 leaves the object as it was.
    int load(int teamNmbr, int carNmbr);
    // Another team whose current holdings include every car this team currently holds, or -1.
    int duplicateTeam(int teamNmbr);
    // The other teams currently holding the car, within teamList when it is not empty, as
    // "(n,n,...)"; "()" when there is none. teamList has the same form.
    QString getTeamsForCar(int teamNmbr, int carNmbr, const QString& teamList);

private:
    friend class cTeamCarCollection;
    void loadFromResultSet(const IDatabase& db);

    std::unique_ptr<IDatabase> m_db;
    int m_active = 1;
    double m_lockedSalary = 0;
    double m_price = 0;
    QDate m_termDt;
    QDate m_efctvDt;
    int m_carNmbr = 0;
    int m_teamNmbr = 0;
};

class cLeague;

// An ordered list of holdings. Loads append and return the new count; the existence checks load
// only while the list is empty, and otherwise answer for the list as it is.
class cTeamCarCollection : public RowList<cTeamCar> {
public:
    // The new holding, or nullptr when key is already in the list.
    cTeamCar* Add(int teamNmbr, int carNmbr, const QDate& efctvDt, const QDate& termDt, double price,
                  double LockedSalary, int active, const QString& key = QString());

    // Every holding of the team, current and ended (of every team without one).
    int load(std::optional<int> teamNmbr = std::nullopt);
    // The same without bonus entries (car types 1 and 2 only).
    int loadNoBonus(std::optional<int> teamNmbr = std::nullopt);
    // Every holding of the car, by every team.
    int loadCar(int carNmbr);
    // The team's current holdings of entries in the group.
    int loadGroup(int teamNmbr, int groupNmbr);
    // Replaces every holding of the team by the list's holdings, in one transaction; false, with
    // nothing changed, when a statement fails.
    bool insertNew(int teamNmbr);
    // Loads every holding first when the list is empty.
    bool carExists(int carNmbr);
    // Whether the entry of some holding is of that race type (car type). An empty list is first
    // loaded with the team's holdings, else every holding when no car is given, else the car's.
    bool raceTypeExists(int raceTypeNmbr, std::optional<int> teamNmbr = std::nullopt,
                        std::optional<int> carNmbr = std::nullopt);
    bool carTypeExists(int carTypeNmbr, std::optional<int> teamNmbr = std::nullopt,
                       std::optional<int> carNmbr = std::nullopt);
    // The holdings of the league's teams in force on the race day, of entries of the race's race
    // type, whose entry has no result in that race (bonus entries and inactive holdings included).
    int loadDNQcars(const cLeague& league, int raceNmbr);
    // Ends every current holding of the team on termDt; one that starts on termDt or later stays
    // open. False without a date.
    bool TermAll(int teamNmbr, const QDate& termDt);

private:
    void loadFromResultSet();
    // Loads an empty list as the type checks need it.
    void loadForTypeCheck(std::optional<int> teamNmbr, std::optional<int> carNmbr);

    IDatabase m_db;
};
