#include "data/cCarTypeCollection.h"

#include "data/NamedRows.h"

cCarType* cCarTypeCollection::Add(int carTypeNmbr, const QString& carTypeName, const QString& key) {
    return append(std::make_unique<cCarType>(carTypeNmbr, carTypeName), key);
}

int cCarTypeCollection::load() {
    return appendNamedRows(m_db, *this, QStringLiteral("SELECT * FROM car_type_dm"), QStringLiteral("car_type_nmbr"),
                           QStringLiteral("car_type_name"));
}

int cCarTypeCollection::loadNoBonus() {
    return appendNamedRows(m_db, *this, QStringLiteral("SELECT * FROM car_type_dm WHERE car_type_nmbr in (1,2)"),
                           QStringLiteral("car_type_nmbr"), QStringLiteral("car_type_name"));
}

QString cCarTypeCollection::getCarTypeName(int carTypeNmbr) {
    if (isEmpty())
        load();
    for (const cCarType& row : *this)
        if (row.carTypeNmbr() == carTypeNmbr)
            return row.carTypeName();
    return QString();
}
