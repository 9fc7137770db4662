#include "data/cRaceType.h"

#include "data/NewNumber.h"
#include "data/SqlText.h"

bool cRaceType::insertRow() {
    int nmbr = 0;
    if (!newUserNumber(m_db, QStringLiteral("SELECT MAX(race_type_nmbr) as max_race_type_nmbr FROM race_type_dm "),
                       QStringLiteral("max_race_type_nmbr"), &nmbr))
        return false;
    const int previous = m_raceTypeNmbr;
    m_raceTypeNmbr = nmbr;
    const bool ok =
        m_db.execute(QStringLiteral("INSERT INTO race_type_dm  (race_type_nmbr, race_type_name) VALUES (") +
                     QString::number(m_raceTypeNmbr) + QLatin1Char(',') + sqlText(m_raceTypeName) + QLatin1Char(')'));
    // Without a stored row the object must stay "new", or the next save would update nothing.
    if (!ok)
        m_raceTypeNmbr = previous;
    return ok;
}

bool cRaceType::updateRow() {
    return m_db.execute(QStringLiteral("UPDATE race_type_dm  set race_type_name = ") + sqlText(m_raceTypeName) +
                        QStringLiteral(" WHERE race_type_nmbr = ") + QString::number(m_raceTypeNmbr));
}

bool cRaceType::deleteRow() {
    return m_db.execute(QStringLiteral("DELETE FROM race_type_dm  WHERE race_type_nmbr = ") +
                        QString::number(m_raceTypeNmbr));
}

bool cRaceType::CommitChanges() {
    return m_raceTypeNmbr < 1 ? insertRow() : updateRow();
}
