#include "data/cRaceStatusCollection.h"

#include "data/NamedRows.h"

cRaceStatus* cRaceStatusCollection::Add(int raceStatusNmbr, const QString& raceStatusName, const QString& key) {
    return append(std::make_unique<cRaceStatus>(raceStatusNmbr, raceStatusName), key);
}

int cRaceStatusCollection::load() {
    return appendNamedRows(m_db, *this, QStringLiteral("SELECT * FROM race_status_dm"),
                           QStringLiteral("race_status_nmbr"), QStringLiteral("race_status_name"));
}

QString cRaceStatusCollection::getraceStatusName(int raceStatusNmbr) {
    if (isEmpty())
        load();
    for (const cRaceStatus& row : *this)
        if (row.raceStatusNmbr() == raceStatusNmbr)
            return row.raceStatusName();
    return QString();
}
