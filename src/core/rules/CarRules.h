#pragma once

// What a car, driver or Top Bonus entry must be before it is stored: the rules the car editor and the
// Cars/Drivers panel both apply when the user saves. Each window reads its own fields (the salary in
// its own money form) and shows the refusal.

#include "data/SqlText.h"
#include "data/UiServices.h"

#include <QString>
#include <optional>

// The entry as the window's fields stand.
struct CarEntry {
    int carNmbr = 0;                 // below 1: not stored yet
    int carTypeNmbr = 0;             // cCar::CarType, DriverType or BonusType; anything else: no type chosen
    std::optional<int> raceTypeNmbr; // none: no race type chosen
    QString carTxt;
    QString driverName;
    std::optional<Currency> salary; // none: the salary box holds no amount
};

// The field a refusal concerns, for the window to put the focus in.
enum class CarField { None, RaceType, CarNumber, Driver, CarType, Salary };

struct CarRefusal {
    CarField field = CarField::None; // None: the entry may be stored
    QString text;                    // the message to show; empty when the user's own answer stopped the save
    bool refused() const { return field != CarField::None; }
};

// The first rule the entry breaks, in the order the user meets them: a race type; for a car or driver a
// number text and a driver name, neither used by another entry of its race type and car type (a car by
// its number, a driver by its name); one Top Bonus entry per race type; a type; a stored entry that a
// team holds or held, or that has results, keeps its race type; a salary. A driver not stored yet has
// its name checked by the user first (ask), since the name is final once stored.
CarRefusal carRefusal(const CarEntry& entry, const AskUser& ask);

// "Duplicate Car" when another car of the entry's race type has its number text, else "".
QString duplicateCarRefusal(const CarEntry& entry);
// "Duplicate Driver" when another driver of the entry's race type has its name, else "".
QString duplicateDriverRefusal(const CarEntry& entry);
