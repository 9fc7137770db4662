#include "rules/CarRules.h"

#include "data/Paths.h"
#include "data/Regional.h"
#include "data/cCar.h"
#include "data/cCarCollection.h"
#include "rules/DeleteChecks.h"

namespace {

CarRefusal refuse(CarField field, const QString& text) {
    return {field, text};
}

// Another Top Bonus entry of the race type: the posting pays every team's bonus through one entry.
bool otherBonusEntry(int raceTypeNmbr, int carNmbr) {
    cCarCollection bonus;
    bonus.load(raceTypeNmbr, cCar::BonusType);
    for (const cCar& car : bonus)
        if (car.carNmbr() != carNmbr)
            return true;
    return false;
}

} // namespace

QString duplicateCarRefusal(const CarEntry& entry) {
    cCar car;
    return car.carTxtExists(entry.carTxt, entry.carNmbr, entry.raceTypeNmbr.value_or(0), entry.carTypeNmbr)
               ? QStringLiteral("Duplicate Car")
               : QString();
}

QString duplicateDriverRefusal(const CarEntry& entry) {
    cCar car;
    return car.driverExists(entry.driverName, entry.carNmbr, entry.raceTypeNmbr.value_or(0), entry.carTypeNmbr)
               ? QStringLiteral("Duplicate Driver")
               : QString();
}

CarRefusal carRefusal(const CarEntry& entry, const AskUser& ask) {
    if (!entry.raceTypeNmbr)
        return refuse(CarField::RaceType, QStringLiteral("Race Type is a required field"));
    const int raceTypeNmbr = *entry.raceTypeNmbr;
    const bool isCar = entry.carTypeNmbr == cCar::CarType;
    const bool isDriver = entry.carTypeNmbr == cCar::DriverType;
    const bool isBonus = entry.carTypeNmbr == cCar::BonusType;

    // The Top Bonus entry needs neither: the posting names it.
    if (isCar || isDriver) {
        if (entry.carTxt.trimmed().isEmpty())
            return refuse(CarField::CarNumber, QStringLiteral("Car Number is a required field"));
        if (isCar) {
            const QString duplicate = duplicateCarRefusal(entry);
            if (!duplicate.isEmpty())
                return refuse(CarField::CarNumber, duplicate);
        }
        if (entry.driverName.trimmed().isEmpty())
            return refuse(CarField::Driver, QStringLiteral("Driver is a required field"));
        if (isDriver) {
            const QString duplicate = duplicateDriverRefusal(entry);
            if (!duplicate.isEmpty())
                return refuse(CarField::Driver, duplicate);
        }
    }
    if (isBonus && otherBonusEntry(raceTypeNmbr, entry.carNmbr))
        return refuse(CarField::RaceType, QStringLiteral("You can only have one Bonus type per Race Type."));
    if (!isCar && !isDriver && !isBonus)
        return refuse(CarField::CarType, QStringLiteral("You must define this as a Car or Driver"));

    // Read as stored now: the windows may have held the entry since before a team picked it.
    if (entry.carNmbr >= 1) {
        cCar stored;
        if (stored.load(entry.carNmbr) == 1 && stored.raceTypeNmbr() != raceTypeNmbr) {
            const QString refusal = raceTypeChangeRefusal(entry.carNmbr, stored.raceTypeNmbr());
            if (!refusal.isEmpty())
                return refuse(CarField::RaceType, refusal);
        }
    }

    if (isDriver && entry.carNmbr < 1 &&
        ask(QStringLiteral("Driver name can not be changed once the Driver is saved.\r\n"
                           "Are you sure the name is spelled correctly?"),
            QString::fromLatin1(kProductName), MsgButtons::YesNoCancel) != AnswerYes)
        return refuse(CarField::Driver, QString());

    if (!entry.salary)
        return refuse(CarField::Salary, moneyRefusal(QStringLiteral("Invalid Salary amount")));
    return {};
}
