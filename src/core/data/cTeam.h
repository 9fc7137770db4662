#pragma once

#include "data/IDatabase.h"
#include "data/RowList.h"

#include <QString>
#include <memory>
#include <optional>

// One row of table teams. A team numbered below 1 has not been stored yet.
class cTeam {
public:
    cTeam();
    // A copy holds the same values and a result set of its own.
    cTeam(const cTeam& other);
    cTeam& operator=(const cTeam& other);
    ~cTeam();

    int teamNmbr() const { return m_teamNmbr; }
    void setTeamNmbr(int v) { m_teamNmbr = v; }
    QString teamName() const { return m_teamName; }
    void setTeamName(const QString& v) { m_teamName = v; }
    QString teamOwner() const { return m_teamOwner; }
    void setTeamOwner(const QString& v) { m_teamOwner = v; }
    int raceTypeNmbr() const { return m_raceTypeNmbr; }
    void setRaceTypeNmbr(int v) { m_raceTypeNmbr = v; }
    QString email() const { return m_email; }
    void setEmail(const QString& v) { m_email = v; }
    QString phone() const { return m_phone; }
    void setPhone(const QString& v) { m_phone = v; }
    int carTypeNmbr() const { return m_carTypeNmbr; }
    void setCarTypeNmbr(int v) { m_carTypeNmbr = v; }
    QString addressLine1() const { return m_addressLine1; }
    void setAddressLine1(const QString& v) { m_addressLine1 = v; }
    QString addressLine2() const { return m_addressLine2; }
    void setAddressLine2(const QString& v) { m_addressLine2 = v; }
    QString city() const { return m_city; }
    void setCity(const QString& v) { m_city = v; }
    QString state() const { return m_state; }
    void setState(const QString& v) { m_state = v; }
    QString zip() const { return m_zip; }
    void setZip(const QString& v) { m_zip = v; }

    QString nameOf() const { return QStringLiteral("TEAM"); }
    std::unique_ptr<cTeam> copy() const { return std::make_unique<cTeam>(*this); }
    // Inserts a new team (numbered below 1) or updates the stored one.
    bool CommitChanges();
    bool updateRow();
    // Gives the team a new number (500 and up) and inserts it; on failure the number it had is put
    // back, so a later save tries the insert again.
    bool insertRow();
    // Deletes the team with all its holdings and head-to-head pairings, all or nothing.
    // Memberships and posted results are not touched (the delete command refuses such teams).
    bool deleteRow();
    // 1 when the team was found and read; 0 leaves the object as it was.
    int load(int teamNmbr);

private:
    friend class cTeamCollection;
    void loadFromResultSet(const IDatabase& db);

    std::unique_ptr<IDatabase> m_db;
    int m_teamNmbr = 0;
    QString m_teamName;
    QString m_teamOwner;
    int m_raceTypeNmbr = 0;
    QString m_email;
    QString m_phone;
    int m_carTypeNmbr = 0;
    QString m_addressLine1;
    QString m_addressLine2;
    QString m_city;
    QString m_state;
    QString m_zip;
};

// An ordered list of teams. Loads append and return the new count.
class cTeamCollection : public RowList<cTeam> {
public:
    // The new team, or nullptr when sKey is already in the list.
    cTeam* Add(int teamNmbr, const QString& teamName, const QString& teamOwner, int raceTypeNmbr, const QString& email,
               const QString& phone, int carTypeNmbr, const QString& addressLine1, const QString& addressLine2,
               const QString& city, const QString& state, const QString& zip, const QString& sKey = QString());

    // The teams of a race type and/or car type (every team when neither is given).
    int load(std::optional<int> raceTypeNmbr = std::nullopt, std::optional<int> carTypeNmbr = std::nullopt);

private:
    void loadFromResultSet();

    IDatabase m_db;
};
