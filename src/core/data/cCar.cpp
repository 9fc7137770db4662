#include "data/cCar.h"

#include "data/NewNumber.h"

void cCar::setGroupNmbr(int groupNmbr) {
    if (groupNmbr < 0)
        m_groupNmbr.reset();
    else
        m_groupNmbr = groupNmbr;
}

void cCar::setGroupNmbr(const QVariant& groupNmbr) {
    bool ok = false;
    const int n = groupNmbr.isNull() ? -1 : groupNmbr.toString().trimmed().toInt(&ok);
    setGroupNmbr(ok ? n : -1);
}

void cCar::loadFromResultSet(const IDatabase& db) {
    setCarNmbr(db.fields.toInt(QStringLiteral("car_nmbr")));
    setRaceTypeNmbr(db.fields.toInt(QStringLiteral("race_type_nmbr")));
    setCarTypeNmbr(db.fields.toInt(QStringLiteral("car_type_nmbr")));
    setCarTxt(db.fields.toText(QStringLiteral("car_txt")));
    setCarOwner(db.fields.toText(QStringLiteral("car_owner")));
    setDriverName(db.fields.toText(QStringLiteral("driver_name")));
    setCarMake(db.fields.toText(QStringLiteral("car_make")));
    setSponsor(db.fields.toText(QStringLiteral("sponsor")));
    setGroupNmbr(db.fields(QStringLiteral("group_nmbr")));
    setSalary(Currency::fromVariant(db.fields(QStringLiteral("salary"))));
}

int cCar::load(int carNmbr) {
    if (!m_db.OpenResultSet(QStringLiteral("SELECT * FROM cars WHERE car_nmbr = ") + QString::number(carNmbr)) ||
        m_db.isEOF())
        return 0;
    loadFromResultSet(m_db);
    return 1;
}

bool cCar::CommitChanges() {
    return m_carNmbr < 1 ? insertRow() : updateRow();
}

// The columns an import writes as well as the editors; the editors add the group and the salary.
QString cCar::updateSql(const QString& extraColumns) const {
    return QStringLiteral("UPDATE cars  set car_txt = ") + sqlText(m_carTxt) + QStringLiteral(" ,car_owner = ") +
           sqlText(m_carOwner) + QStringLiteral(" ,driver_name = ") + sqlText(m_driverName) +
           QStringLiteral(" ,car_make = ") + sqlText(m_carMake) + QStringLiteral(" ,sponsor = ") + sqlText(m_sponsor) +
           QStringLiteral(" ,race_type_nmbr = ") + QString::number(m_raceTypeNmbr) +
           QStringLiteral(" ,car_type_nmbr = ") + QString::number(m_carTypeNmbr) + extraColumns +
           QStringLiteral(" WHERE car_nmbr = ") + QString::number(m_carNmbr);
}

bool cCar::updateRow() {
    return m_db.execute(
        updateSql(QStringLiteral(" ,group_nmbr = ") + groupSql() + QStringLiteral(" ,salary = ") + m_salary.toSql()));
}

bool cCar::updateImportRow() {
    return m_db.execute(updateSql(QString()));
}

bool cCar::insertRow() {
    int nmbr = 0;
    if (!newUserNumber(m_db, QStringLiteral("SELECT MAX(car_nmbr) as max_car_nmbr FROM cars "),
                       QStringLiteral("max_car_nmbr"), &nmbr))
        return false;
    const int previous = m_carNmbr;
    m_carNmbr = nmbr;
    const bool ok = insert();
    // Without a stored row the object must stay "new", or the next save would update nothing.
    if (!ok)
        m_carNmbr = previous;
    return ok;
}

bool cCar::insert() {
    return m_db.execute(QStringLiteral("INSERT INTO cars  (car_nmbr, race_type_nmbr, car_type_nmbr, car_txt,"
                                       " car_owner, driver_name, car_make, sponsor, group_nmbr, salary) VALUES (") +
                        QString::number(m_carNmbr) + QLatin1Char(',') + QString::number(m_raceTypeNmbr) +
                        QLatin1Char(',') + QString::number(m_carTypeNmbr) + QLatin1Char(',') + sqlText(m_carTxt) +
                        QLatin1Char(',') + sqlText(m_carOwner) + QLatin1Char(',') + sqlText(m_driverName) +
                        QLatin1Char(',') + sqlText(m_carMake) + QLatin1Char(',') + sqlText(m_sponsor) +
                        QLatin1Char(',') + groupSql() + QLatin1Char(',') + m_salary.toSql() + QLatin1Char(')'));
}

bool cCar::deleteRow() {
    return m_db.execute(QStringLiteral("DELETE FROM cars  WHERE car_nmbr = ") + QString::number(m_carNmbr));
}

std::unique_ptr<cCar> cCar::copy() const {
    auto c = std::make_unique<cCar>();
    c->m_groupNmbr = m_groupNmbr;
    c->m_raceTypeNmbr = m_raceTypeNmbr;
    c->m_salary = m_salary;
    c->m_carTypeNmbr = m_carTypeNmbr;
    c->m_driverName = m_driverName;
    c->m_sponsor = m_sponsor;
    c->m_carMake = m_carMake;
    c->m_carOwner = m_carOwner;
    c->m_carTxt = m_carTxt;
    c->m_carNmbr = m_carNmbr;
    return c;
}

bool cCar::textExists(const QString& column, const QString& text, int carNmbr, int raceTypeNmbr, int carTypeNmbr) {
    // The text is compared here rather than in SQL: the engine folds letter case for ASCII only,
    // and a name typed with a blank around it is still the same name.
    QString sql = QStringLiteral("SELECT car_nmbr, ") + column + QStringLiteral(" FROM cars  WHERE race_type_nmbr = ") +
                  QString::number(raceTypeNmbr) + QStringLiteral(" AND car_type_nmbr = ") +
                  QString::number(carTypeNmbr);
    if (carNmbr > 0)
        sql += QStringLiteral(" AND car_nmbr <> ") + QString::number(carNmbr);
    if (!m_db.OpenResultSet(sql))
        return false;
    const QString wanted = text.trimmed();
    for (m_db.MoveFirst(); !m_db.isEOF(); m_db.MoveNext())
        if (m_db.fields.toText(column).trimmed().compare(wanted, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool cCar::carTxtExists(const QString& carTxt, int carNmbr, int raceTypeNmbr, int carTypeNmbr) {
    return textExists(QStringLiteral("car_txt"), carTxt, carNmbr, raceTypeNmbr, carTypeNmbr);
}

bool cCar::driverExists(const QString& driverName, int carNmbr, int raceTypeNmbr, int carTypeNmbr) {
    return textExists(QStringLiteral("driver_name"), driverName, carNmbr, raceTypeNmbr, carTypeNmbr);
}

void cCar::getTopBonusCar(int raceTypeNmbr) {
    // Ordered so that a data file that somehow holds two bonus entries always gives the same one.
    if (!m_db.OpenResultSet(QStringLiteral("SELECT * FROM cars  WHERE car_type_nmbr = 3  AND race_type_nmbr = ") +
                            QString::number(raceTypeNmbr) + QStringLiteral(" ORDER BY car_nmbr")))
        return;
    if (!m_db.isEOF()) {
        loadFromResultSet(m_db);
        return;
    }
    setCarTxt(QStringLiteral("Top Bonus"));
    setDriverName(QStringLiteral("Top Bonus"));
    setCarTypeNmbr(BonusType);
    setRaceTypeNmbr(raceTypeNmbr);
    insertRow();
}
