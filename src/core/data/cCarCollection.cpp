#include "data/cCarCollection.h"

#include "data/SqlText.h"
#include "data/cGroup.h"

cCar* cCarCollection::Add(int carNmbr, int raceTypeNmbr, const QString& carTxt, const QString& carOwner,
                          const QString& carMake, const QString& sponsor, const QString& driverName, int carTypeNmbr,
                          Currency salary, int groupNmbr, const QString& key) {
    auto car = std::make_unique<cCar>();
    car->setCarNmbr(carNmbr);
    car->setRaceTypeNmbr(raceTypeNmbr);
    car->setCarTxt(carTxt);
    car->setCarOwner(carOwner);
    car->setCarMake(carMake);
    car->setSponsor(sponsor);
    car->setDriverName(driverName);
    car->setCarTypeNmbr(carTypeNmbr);
    car->setSalary(salary);
    car->setGroupNmbr(groupNmbr);
    return append(std::move(car), key);
}

int cCarCollection::load(std::optional<int> raceTypeNmbr, std::optional<int> carTypeNmbr) {
    QString sql = QStringLiteral("SELECT * FROM cars");
    sql += sqlTypeFilter(raceTypeNmbr, carTypeNmbr);
    if (carTypeNmbr) {
        sql += *carTypeNmbr == cCar::CarType ? QStringLiteral(" ORDER BY car_txt")
                                             : QStringLiteral(" ORDER BY driver_name");
    }
    if (m_db.OpenResultSet(sql)) {
        for (m_db.MoveFirst(); !m_db.isEOF(); m_db.MoveNext()) {
            auto car = std::make_unique<cCar>();
            car->loadFromResultSet(m_db);
            append(std::move(car));
        }
    }
    return Count();
}

const cCar* cCarCollection::find(int carNmbr) {
    if (isEmpty())
        load();
    for (const cCar& car : *this)
        if (car.carNmbr() == carNmbr)
            return &car;
    return nullptr;
}

QString cCarCollection::getCarDisplay(int carNmbr) {
    const cCar* car = find(carNmbr);
    if (!car)
        return QString();
    return car->isDriver() ? car->driverName() : car->carTxt();
}

Currency cCarCollection::getCarSalary(int carNmbr) {
    const cCar* car = find(carNmbr);
    return car ? car->salary() : Currency();
}

QString cCarCollection::getCarGroupDisplay(int carNmbr) {
    const cCar* car = find(carNmbr);
    if (!car || !car->hasGroup())
        return QString();
    cGroup group;
    group.load(car->groupNmbr());
    return group.groupName();
}

bool cCarCollection::groupNmbrExists(int groupNmbr) {
    if (isEmpty())
        load();
    for (const cCar& car : *this)
        if (car.groupNmbr() == groupNmbr)
            return true;
    return false;
}
