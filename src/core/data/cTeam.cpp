#include "data/cTeam.h"

#include "data/NewNumber.h"
#include "data/SqlText.h"
#include "data/cConnection.h"

// ---- cTeam ----

cTeam::cTeam() : m_db(std::make_unique<IDatabase>()) {}

cTeam::cTeam(const cTeam& other) : m_db(std::make_unique<IDatabase>()) {
    *this = other;
}

cTeam& cTeam::operator=(const cTeam& other) {
    if (this != &other) {
        m_teamNmbr = other.m_teamNmbr;
        m_teamName = other.m_teamName;
        m_teamOwner = other.m_teamOwner;
        m_raceTypeNmbr = other.m_raceTypeNmbr;
        m_email = other.m_email;
        m_phone = other.m_phone;
        m_carTypeNmbr = other.m_carTypeNmbr;
        m_addressLine1 = other.m_addressLine1;
        m_addressLine2 = other.m_addressLine2;
        m_city = other.m_city;
        m_state = other.m_state;
        m_zip = other.m_zip;
    }
    return *this;
}

cTeam::~cTeam() = default;

void cTeam::loadFromResultSet(const IDatabase& db) {
    m_teamNmbr = db.fields.toInt(QStringLiteral("team_nmbr"));
    m_teamName = db.fields.toText(QStringLiteral("team_name"));
    m_teamOwner = db.fields.toText(QStringLiteral("team_owner"));
    m_raceTypeNmbr = db.fields.toInt(QStringLiteral("race_type_nmbr"));
    m_email = db.fields.toText(QStringLiteral("email"));
    m_phone = db.fields.toText(QStringLiteral("phone"));
    m_carTypeNmbr = db.fields.toInt(QStringLiteral("car_type_nmbr"));
    m_addressLine1 = db.fields.toText(QStringLiteral("address_line1"));
    m_addressLine2 = db.fields.toText(QStringLiteral("address_line2"));
    m_city = db.fields.toText(QStringLiteral("city"));
    m_state = db.fields.toText(QStringLiteral("state"));
    m_zip = db.fields.toText(QStringLiteral("zip"));
}

int cTeam::load(int teamNmbr) {
    const QString sql = QStringLiteral("SELECT *") + QStringLiteral(" FROM teams") +
                        QStringLiteral(" WHERE team_nmbr = ") + QString::number(teamNmbr);
    if (!m_db->OpenResultSet(sql) || m_db->isEOF())
        return 0;
    loadFromResultSet(*m_db);
    return 1;
}

bool cTeam::CommitChanges() {
    return m_teamNmbr < 1 ? insertRow() : updateRow();
}

bool cTeam::updateRow() {
    const QString sql = QStringLiteral("UPDATE teams ") + QStringLiteral(" set team_name = ") + sqlText(m_teamName) +
                        QStringLiteral(" ,team_owner = ") + sqlText(m_teamOwner) + QStringLiteral(" ,email = ") +
                        sqlText(m_email) + QStringLiteral(" ,phone = ") + sqlText(m_phone) +
                        QStringLiteral(" ,race_type_nmbr = ") + QString::number(m_raceTypeNmbr) +
                        QStringLiteral(" ,car_type_nmbr = ") + QString::number(m_carTypeNmbr) +
                        QStringLiteral(" ,address_line1 = ") + sqlText(m_addressLine1) +
                        QStringLiteral(" ,address_line2 = ") + sqlText(m_addressLine2) + QStringLiteral(" ,city = ") +
                        sqlText(m_city) + QStringLiteral(" ,state = ") + sqlText(m_state) + QStringLiteral(" ,zip = ") +
                        sqlText(m_zip) + QStringLiteral(" WHERE team_nmbr = ") + QString::number(m_teamNmbr);
    return m_db->execute(sql);
}

bool cTeam::insertRow() {
    const int previous = m_teamNmbr;
    if (!newUserNumber(*m_db,
                       QStringLiteral("SELECT MAX(team_nmbr) as max_team_nmbr ") + QStringLiteral(" FROM teams "),
                       QStringLiteral("max_team_nmbr"), &m_teamNmbr))
        return false;
    const QString sql =
        QStringLiteral("INSERT INTO teams ") + QStringLiteral(" (team_nmbr,") + QStringLiteral(" team_name,") +
        QStringLiteral(" team_owner,") + QStringLiteral(" email,") + QStringLiteral(" phone,") +
        QStringLiteral(" race_type_nmbr,") + QStringLiteral(" car_type_nmbr,") + QStringLiteral(" address_line1,") +
        QStringLiteral(" address_line2,") + QStringLiteral(" city,") + QStringLiteral(" state,") +
        QStringLiteral(" zip)") + QStringLiteral(" VALUES ") + QLatin1Char('(') + QString::number(m_teamNmbr) +
        QLatin1Char(',') + sqlText(m_teamName) + QLatin1Char(',') + sqlText(m_teamOwner) + QLatin1Char(',') +
        sqlText(m_email) + QLatin1Char(',') + sqlText(m_phone) + QLatin1Char(',') + QString::number(m_raceTypeNmbr) +
        QLatin1Char(',') + QString::number(m_carTypeNmbr) + QLatin1Char(',') + sqlText(m_addressLine1) +
        QLatin1Char(',') + sqlText(m_addressLine2) + QLatin1Char(',') + sqlText(m_city) + QLatin1Char(',') +
        sqlText(m_state) + QLatin1Char(',') + sqlText(m_zip) + QLatin1Char(')');
    if (m_db->execute(sql))
        return true;
    m_teamNmbr = previous;
    return false;
}

bool cTeam::deleteRow() {
    const QString n = QString::number(m_teamNmbr);
    Transaction tx;
    if (!tx.begun())
        return false;
    if (!m_db->execute(QStringLiteral("DELETE FROM team_car ") + QStringLiteral(" WHERE team_nmbr = ") + n))
        return false;
    // A pairing names the team on either side.
    if (!m_db->execute(QStringLiteral("DELETE FROM race_head_head ") + QStringLiteral(" WHERE team_nmbr1 = ") + n +
                       QStringLiteral(" OR team_nmbr2 = ") + n))
        return false;
    if (!m_db->execute(QStringLiteral("DELETE FROM teams ") + QStringLiteral(" WHERE team_nmbr = ") + n))
        return false;
    return tx.commit();
}

// ---- cTeamCollection ----

cTeam* cTeamCollection::Add(int teamNmbr, const QString& teamName, const QString& teamOwner, int raceTypeNmbr,
                            const QString& email, const QString& phone, int carTypeNmbr, const QString& addressLine1,
                            const QString& addressLine2, const QString& city, const QString& state, const QString& zip,
                            const QString& sKey) {
    auto team = std::make_unique<cTeam>();
    team->setTeamNmbr(teamNmbr);
    team->setTeamName(teamName);
    team->setTeamOwner(teamOwner);
    team->setRaceTypeNmbr(raceTypeNmbr);
    team->setEmail(email);
    team->setPhone(phone);
    team->setCarTypeNmbr(carTypeNmbr);
    team->setAddressLine1(addressLine1);
    team->setAddressLine2(addressLine2);
    team->setCity(city);
    team->setState(state);
    team->setZip(zip);
    return append(std::move(team), sKey);
}

void cTeamCollection::loadFromResultSet() {
    while (!m_db.isEOF()) {
        auto team = std::make_unique<cTeam>();
        team->loadFromResultSet(m_db);
        append(std::move(team), QString());
        m_db.MoveNext();
    }
}

int cTeamCollection::load(std::optional<int> raceTypeNmbr, std::optional<int> carTypeNmbr) {
    QString sql = QStringLiteral("SELECT *") + QStringLiteral(" FROM teams");
    sql += sqlTypeFilter(raceTypeNmbr, carTypeNmbr);
    if (m_db.OpenResultSet(sql))
        loadFromResultSet();
    return Count();
}
