#include "data/cTeamCar.h"

#include "data/SqlText.h"
#include "data/cCar.h"
#include "data/cConnection.h"
#include "data/cLeague.h"

#include <QStringList>

namespace {

// The date as it is stored: quoted ISO text, NULL for none.
QString dateValue(const QDate& d) {
    return sqlDate(d);
}

// The row's identity, as every single-holding statement selects it.
QString holdingWhere(int teamNmbr, int carNmbr, const QDate& efctvDt) {
    return QStringLiteral(" WHERE team_nmbr = ") + QString::number(teamNmbr) + QStringLiteral(" AND car_nmbr = ") +
           QString::number(carNmbr) + QStringLiteral(" AND efctv_dt = ") + dateValue(efctvDt);
}

QString insertStatement(const cTeamCar& h) {
    return QStringLiteral("INSERT INTO team_car ") + QStringLiteral(" (team_nmbr,") + QStringLiteral(" car_nmbr,") +
           QStringLiteral(" efctv_dt,") + QStringLiteral(" term_dt,") + QStringLiteral(" price,") +
           QStringLiteral(" locked_salary,") + QStringLiteral(" active)") + QStringLiteral(" VALUES ") +
           QLatin1Char('(') + QString::number(h.teamNmbr()) + QLatin1Char(',') + QString::number(h.carNmbr()) +
           QLatin1Char(',') + dateValue(h.efctvDt()) + QLatin1Char(',') + dateValue(h.termDt()) + QLatin1Char(',') +
           sqlDouble(h.price()) + QLatin1Char(',') + sqlDouble(h.LockedSalary()) + QLatin1Char(',') +
           QString::number(h.active()) + QLatin1Char(')');
}

// The numbers of a "(n,n,...)" team list, rebuilt from its digits so that nothing else reaches
// the statement; items that are not numbers are dropped.
QStringList teamListNumbers(const QString& teamList) {
    QString inner = teamList.trimmed();
    if (inner.startsWith(QLatin1Char('(')))
        inner.remove(0, 1);
    if (inner.endsWith(QLatin1Char(')')))
        inner.chop(1);
    QStringList numbers;
    for (const QString& item : inner.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int n = item.trimmed().toInt(&ok);
        if (ok)
            numbers.append(QString::number(n));
    }
    return numbers;
}

} // namespace

// ---- cTeamCar ----

cTeamCar::cTeamCar() : m_db(std::make_unique<IDatabase>()) {}

cTeamCar::cTeamCar(const cTeamCar& other) : m_db(std::make_unique<IDatabase>()) {
    *this = other;
}

cTeamCar& cTeamCar::operator=(const cTeamCar& other) {
    if (this != &other) {
        m_active = other.m_active;
        m_lockedSalary = other.m_lockedSalary;
        m_price = other.m_price;
        m_termDt = other.m_termDt;
        m_efctvDt = other.m_efctvDt;
        m_carNmbr = other.m_carNmbr;
        m_teamNmbr = other.m_teamNmbr;
    }
    return *this;
}

cTeamCar::~cTeamCar() = default;

void cTeamCar::setTermDt(const QString& v) {
    m_termDt = parseDate(v);
}

void cTeamCar::setEfctvDt(const QString& v) {
    m_efctvDt = parseDate(v);
}

void cTeamCar::loadFromResultSet(const IDatabase& db) {
    m_teamNmbr = db.fields.toInt(QStringLiteral("team_nmbr"));
    m_carNmbr = db.fields.toInt(QStringLiteral("car_nmbr"));
    m_efctvDt = db.fields.toDate(QStringLiteral("efctv_dt"));
    m_termDt = db.fields.toDate(QStringLiteral("term_dt"));
    m_price = db.fields.toDouble(QStringLiteral("price"));
    m_lockedSalary = db.fields.toDouble(QStringLiteral("locked_salary"));
    m_active = db.fields.toInt(QStringLiteral("active")) & 0xFF;
}

bool cTeamCar::CommitChanges() {
    if (!m_efctvDt.isValid())
        return false;
    return teamCarExists(m_teamNmbr, m_carNmbr, m_efctvDt) ? updateRow() : insertRow();
}

bool cTeamCar::updateRow() {
    if (!m_efctvDt.isValid())
        return false;
    const QString sql = QStringLiteral("UPDATE team_car ") + QStringLiteral(" set efctv_dt = ") + dateValue(m_efctvDt) +
                        QStringLiteral(" ,term_dt = ") + dateValue(m_termDt) + QStringLiteral(" ,active = ") +
                        QString::number(m_active) + holdingWhere(m_teamNmbr, m_carNmbr, m_efctvDt);
    return m_db->execute(sql);
}

bool cTeamCar::insertRow() {
    if (!m_efctvDt.isValid())
        return false;
    return m_db->execute(insertStatement(*this));
}

bool cTeamCar::deleteRow() {
    return m_db->execute(QStringLiteral("DELETE FROM team_car ") + holdingWhere(m_teamNmbr, m_carNmbr, m_efctvDt));
}

bool cTeamCar::teamCarExists(int teamNmbr, int carNmbr, const QDate& efctvDt) {
    const QString sql =
        QStringLiteral("SELECT *") + QStringLiteral(" FROM team_car") + holdingWhere(teamNmbr, carNmbr, efctvDt);
    return m_db->OpenResultSet(sql) && !m_db->isEOF();
}

int cTeamCar::load(int teamNmbr, int carNmbr) {
    const QString sql = QStringLiteral("SELECT *") + QStringLiteral(" FROM team_car") +
                        QStringLiteral(" WHERE team_nmbr = ") + QString::number(teamNmbr) +
                        QStringLiteral(" AND car_nmbr = ") + QString::number(carNmbr);
    if (!m_db->OpenResultSet(sql) || m_db->isEOF())
        return 0;
    loadFromResultSet(*m_db);
    return 1;
}

int cTeamCar::duplicateTeam(int teamNmbr) {
    const QString sql = QStringLiteral("SELECT car_nmbr ") + QStringLiteral(" FROM team_car ") +
                        QStringLiteral(" WHERE team_nmbr = ") + QString::number(teamNmbr) +
                        QStringLiteral(" AND term_dt is NULL");
    if (!m_db->OpenResultSet(sql))
        return -1;
    QList<int> cars;
    for (; !m_db->isEOF(); m_db->MoveNext())
        cars.append(m_db->fields.toInt(QStringLiteral("car_nmbr")));
    if (cars.isEmpty())
        return -1;
    // Narrow the candidates car by car: after the last car only teams holding all of them remain.
    QString teamList;
    for (int car : cars) {
        teamList = getTeamsForCar(teamNmbr, car, teamList);
        if (teamList == QLatin1String("()"))
            return -1;
    }
    const QStringList numbers = teamListNumbers(teamList);
    return numbers.isEmpty() ? -1 : numbers.first().toInt();
}

QString cTeamCar::getTeamsForCar(int teamNmbr, int carNmbr, const QString& teamList) {
    QString sql = QStringLiteral("SELECT team_nmbr") + QStringLiteral(" FROM team_car") +
                  QStringLiteral(" WHERE car_nmbr = ") + QString::number(carNmbr) +
                  QStringLiteral(" AND team_nmbr <> ") + QString::number(teamNmbr);
    if (!teamList.trimmed().isEmpty()) {
        const QStringList numbers = teamListNumbers(teamList);
        if (numbers.isEmpty())
            return QStringLiteral("()");
        sql += QStringLiteral(" AND team_nmbr in (") + numbers.join(QLatin1Char(',')) + QLatin1Char(')');
    }
    sql += QStringLiteral(" AND term_dt is NULL");
    QStringList found;
    if (m_db->OpenResultSet(sql))
        for (; !m_db->isEOF(); m_db->MoveNext())
            found.append(QString::number(m_db->fields.toInt(QStringLiteral("team_nmbr"))));
    return QLatin1Char('(') + found.join(QLatin1Char(',')) + QLatin1Char(')');
}

// ---- cTeamCarCollection ----

cTeamCar* cTeamCarCollection::Add(int teamNmbr, int carNmbr, const QDate& efctvDt, const QDate& termDt, double price,
                                  double LockedSalary, int active, const QString& key) {
    auto holding = std::make_unique<cTeamCar>();
    holding->setTeamNmbr(teamNmbr);
    holding->setCarNmbr(carNmbr);
    holding->setEfctvDt(efctvDt);
    holding->setTermDt(termDt);
    holding->setPrice(price);
    holding->setLockedSalary(LockedSalary);
    holding->setActive(active);
    return append(std::move(holding), key);
}

void cTeamCarCollection::loadFromResultSet() {
    while (!m_db.isEOF()) {
        auto holding = std::make_unique<cTeamCar>();
        holding->loadFromResultSet(m_db);
        append(std::move(holding), QString());
        m_db.MoveNext();
    }
}

int cTeamCarCollection::load(std::optional<int> teamNmbr) {
    QString sql = QStringLiteral("SELECT *") + QStringLiteral(" FROM team_car");
    if (teamNmbr)
        sql += QStringLiteral(" WHERE team_nmbr = ") + QString::number(*teamNmbr);
    if (m_db.OpenResultSet(sql))
        loadFromResultSet();
    return Count();
}

int cTeamCarCollection::loadNoBonus(std::optional<int> teamNmbr) {
    QString sql = QStringLiteral("SELECT team_car.*") + QStringLiteral(" FROM team_car, cars") +
                  QStringLiteral(" WHERE team_car.car_nmbr = cars.car_nmbr") +
                  QStringLiteral(" AND car_type_nmbr in (1,2)");
    if (teamNmbr)
        sql += QStringLiteral(" AND team_nmbr = ") + QString::number(*teamNmbr);
    if (m_db.OpenResultSet(sql))
        loadFromResultSet();
    return Count();
}

int cTeamCarCollection::loadCar(int carNmbr) {
    const QString sql = QStringLiteral("SELECT *") + QStringLiteral(" FROM team_car") +
                        QStringLiteral(" WHERE car_nmbr = ") + QString::number(carNmbr);
    if (m_db.OpenResultSet(sql))
        loadFromResultSet();
    return Count();
}

int cTeamCarCollection::loadGroup(int teamNmbr, int groupNmbr) {
    const QString sql = QStringLiteral("SELECT A.* ") + QStringLiteral(" FROM team_car A, cars B ") +
                        QStringLiteral(" WHERE A.car_nmbr = B.car_nmbr ") + QStringLiteral(" AND B.group_nmbr = ") +
                        QString::number(groupNmbr) + QStringLiteral(" AND A.team_nmbr = ") + QString::number(teamNmbr) +
                        QStringLiteral(" AND A.term_dt is NULL ");
    if (m_db.OpenResultSet(sql))
        loadFromResultSet();
    return Count();
}

bool cTeamCarCollection::insertNew(int teamNmbr) {
    Transaction tx;
    if (!tx.begun())
        return false;
    if (!m_db.execute(QStringLiteral("DELETE FROM team_car ") + QStringLiteral(" WHERE team_nmbr = ") +
                      QString::number(teamNmbr)))
        return false;
    for (const cTeamCar& h : *this)
        if (!m_db.execute(insertStatement(h)))
            return false;
    return tx.commit();
}

bool cTeamCarCollection::carExists(int carNmbr) {
    if (Count() == 0)
        load();
    for (const cTeamCar& h : *this)
        if (h.carNmbr() == carNmbr)
            return true;
    return false;
}

void cTeamCarCollection::loadForTypeCheck(std::optional<int> teamNmbr, std::optional<int> carNmbr) {
    if (Count() != 0)
        return;
    if (teamNmbr)
        load(teamNmbr);
    else if (!carNmbr)
        load();
    else
        loadCar(*carNmbr);
}

bool cTeamCarCollection::raceTypeExists(int raceTypeNmbr, std::optional<int> teamNmbr, std::optional<int> carNmbr) {
    loadForTypeCheck(teamNmbr, carNmbr);
    cCar car;
    for (const cTeamCar& h : *this)
        if (car.load(h.carNmbr()) == 1 && car.raceTypeNmbr() == raceTypeNmbr)
            return true;
    return false;
}

bool cTeamCarCollection::carTypeExists(int carTypeNmbr, std::optional<int> teamNmbr, std::optional<int> carNmbr) {
    loadForTypeCheck(teamNmbr, carNmbr);
    cCar car;
    for (const cTeamCar& h : *this)
        if (car.load(h.carNmbr()) == 1 && car.carTypeNmbr() == carTypeNmbr)
            return true;
    return false;
}

int cTeamCarCollection::loadDNQcars(const cLeague& league, int raceNmbr) {
    const QString r = QString::number(raceNmbr);
    if (!m_db.OpenResultSet(QStringLiteral("SELECT race_dt, race_type_nmbr ") + QStringLiteral(" FROM races ") +
                            QStringLiteral(" WHERE race_nmbr = ") + r) ||
        m_db.isEOF())
        return Count();
    const QString d = dateValue(m_db.fields.toDate(QStringLiteral("race_dt")));
    const QString rt = QString::number(m_db.fields.toInt(QStringLiteral("race_type_nmbr")));
    // In force on the race day: effective on or before it, and ending after it or not at all.
    const QString sql = QStringLiteral(" SELECT team_car.* ") + QStringLiteral(" FROM team_car, cars, league_teams ") +
                        QStringLiteral(" WHERE team_car.car_nmbr NOT IN (") + QStringLiteral("   SELECT car_nmbr") +
                        QStringLiteral("   FROM results") + QStringLiteral("   WHERE race_nmbr = ") + r +
                        QStringLiteral(")") + QStringLiteral(" AND team_car.team_nmbr = league_teams.team_nmbr ") +
                        QStringLiteral(" AND league_teams.league_nmbr = ") + QString::number(league.leagueNmbr()) +
                        QStringLiteral(" AND team_car.car_nmbr = cars.car_nmbr ") +
                        QStringLiteral(" AND cars.race_type_nmbr = ") + rt +
                        QStringLiteral(" AND team_car.efctv_dt <= ") + d + QStringLiteral(" AND (team_car.term_dt > ") +
                        d + QStringLiteral("  OR team_car.term_dt is null)");
    if (m_db.OpenResultSet(sql))
        loadFromResultSet();
    return Count();
}

bool cTeamCarCollection::TermAll(int teamNmbr, const QDate& termDt) {
    if (!termDt.isValid())
        return false;
    const QString sql = QStringLiteral(" UPDATE team_car ") + QStringLiteral(" SET term_dt = ") + dateValue(termDt) +
                        QStringLiteral(" WHERE team_nmbr = ") + QString::number(teamNmbr) +
                        QStringLiteral(" AND term_dt is NULL ") +
                        // A holding that starts on or after the day stays open: ending it before it
                        // begins would break the rule every termination date keeps.
                        QStringLiteral(" AND efctv_dt < ") + dateValue(termDt);
    return m_db.execute(sql);
}
