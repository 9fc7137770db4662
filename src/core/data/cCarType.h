#pragma once

#include <QString>

// One row of car_type_dm: 1 car, 2 driver, 3 the bonus car.
class cCarType {
public:
    cCarType() = default;
    cCarType(int nmbr, const QString& name) : m_carTypeNmbr(nmbr), m_carTypeName(name) {}

    QString carTypeName() const { return m_carTypeName; }
    void setCarTypeName(const QString& name) { m_carTypeName = name; }
    int carTypeNmbr() const { return m_carTypeNmbr; }
    void setCarTypeNmbr(int nmbr) { m_carTypeNmbr = nmbr; }

private:
    int m_carTypeNmbr = 0;
    QString m_carTypeName;
};
