#pragma once

#include "data/IDatabase.h"
#include "data/RowList.h"
#include "data/cCar.h"

#include <optional>

// A list of cars/drivers. Loads append; the lookups by number load every entry into an empty
// list first and reuse that list afterwards.
class cCarCollection : public RowList<cCar> {
public:
    cCar* Add(int carNmbr, int raceTypeNmbr, const QString& carTxt, const QString& carOwner, const QString& carMake,
              const QString& sponsor, const QString& driverName, int carTypeNmbr, Currency salary, int groupNmbr,
              const QString& key = QString());
    // Entries of the race type and/or car type given (every entry with neither). With a car type
    // they come by car text for cars (1), else by driver name; without one, in table order.
    int load(std::optional<int> raceTypeNmbr = std::nullopt, std::optional<int> carTypeNmbr = std::nullopt);
    // The driver name of a driver entry, else the car text; "" when the number is not in the list.
    QString getCarDisplay(int carNmbr);
    // 0 when the number is not in the list.
    Currency getCarSalary(int carNmbr);
    // The name of the entry's group; "" without a group or when the number is not in the list.
    QString getCarGroupDisplay(int carNmbr);
    // Some entry has the group; -1 matches the entries without one.
    bool groupNmbrExists(int groupNmbr);

private:
    const cCar* find(int carNmbr);

    IDatabase m_db;
};
