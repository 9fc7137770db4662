#pragma once

#include "data/IDatabase.h"
#include "data/SqlText.h"

#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

// One row of cars: a car (type 1), a driver (type 2) or a race type's "Top Bonus" entry (type 3)
// that carries the teams' bonuses when a race is posted.
class cCar {
public:
    static constexpr int CarType = 1;
    static constexpr int DriverType = 2;
    static constexpr int BonusType = 3;

    cCar() = default;

    // No group reads as -1. Any negative value, and a value that is not a number, means no group.
    int groupNmbr() const { return m_groupNmbr.value_or(-1); }
    void setGroupNmbr(int groupNmbr);
    void setGroupNmbr(const QVariant& groupNmbr);
    bool hasGroup() const { return m_groupNmbr.has_value(); }
    int raceTypeNmbr() const { return m_raceTypeNmbr; }
    void setRaceTypeNmbr(int nmbr) { m_raceTypeNmbr = nmbr; }
    Currency salary() const { return m_salary; }
    void setSalary(Currency salary) { m_salary = salary; }
    int carTypeNmbr() const { return m_carTypeNmbr; }
    void setCarTypeNmbr(int nmbr) { m_carTypeNmbr = nmbr; }
    QString driverName() const { return m_driverName; }
    void setDriverName(const QString& name) { m_driverName = name; }
    QString sponsor() const { return m_sponsor; }
    void setSponsor(const QString& sponsor) { m_sponsor = sponsor; }
    QString carMake() const { return m_carMake; }
    void setCarMake(const QString& make) { m_carMake = make; }
    QString carOwner() const { return m_carOwner; }
    void setCarOwner(const QString& owner) { m_carOwner = owner; }
    QString carTxt() const { return m_carTxt; }
    // Stored without leading and trailing blanks.
    void setCarTxt(const QString& text) { m_carTxt = text.trimmed(); }
    // Below 1 while the entry is not stored.
    int carNmbr() const { return m_carNmbr; }
    void setCarNmbr(int nmbr) { m_carNmbr = nmbr; }

    bool isCar() const { return m_carTypeNmbr == CarType; }
    bool isDriver() const { return m_carTypeNmbr == DriverType; }
    bool isBonus() const { return m_carTypeNmbr == BonusType; }

    // Fills the object from the row of that number: 1 when found; 0 (object unchanged) otherwise.
    int load(int carNmbr);
    QString nameOf() const { return QStringLiteral("CAR"); }
    // insertRow while carNmbr is below 1, else updateRow.
    bool CommitChanges();
    bool updateRow();
    // The import's update: texts, race type and car type; salary and group stay as they are.
    bool updateImportRow();
    // Gives the object the next user number (500 or more) and inserts it. On failure the object
    // keeps the number it had, so it still counts as not stored.
    bool insertRow();
    // Inserts under the number the object already has (the import's numbers). A number already in
    // the table is dropped by the table's key without an error.
    bool insert();
    bool deleteRow();
    // A new object with all ten values and a result set of its own.
    std::unique_ptr<cCar> copy() const;
    // True when another entry (carNmbr above 0 excludes that entry) of the race type and car type
    // has the car text, or the driver name; blanks around the text and letter case do not count.
    bool carTxtExists(const QString& carTxt, int carNmbr, int raceTypeNmbr, int carTypeNmbr);
    bool driverExists(const QString& driverName, int carNmbr, int raceTypeNmbr, int carTypeNmbr);
    // Makes this object the race type's bonus entry, creating the entry when the race type has none.
    void getTopBonusCar(int raceTypeNmbr);

    // Fills the ten values from the current row of a result set.
    void loadFromResultSet(const IDatabase& db);

private:
    bool textExists(const QString& column, const QString& text, int carNmbr, int raceTypeNmbr, int carTypeNmbr);
    QString groupSql() const { return QString::number(groupNmbr()); }
    QString updateSql(const QString& extraColumns) const;

    IDatabase m_db;
    std::optional<int> m_groupNmbr = 0;
    int m_raceTypeNmbr = 0;
    Currency m_salary;
    int m_carTypeNmbr = 0;
    QString m_driverName;
    QString m_sponsor;
    QString m_carMake;
    QString m_carOwner;
    QString m_carTxt;
    int m_carNmbr = 0;
};
