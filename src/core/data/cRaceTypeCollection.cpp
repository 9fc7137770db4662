#include "data/cRaceTypeCollection.h"

#include "data/NamedRows.h"

cRaceType* cRaceTypeCollection::Add(int raceTypeNmbr, const QString& raceTypeName, const QString& key) {
    return append(std::make_unique<cRaceType>(raceTypeNmbr, raceTypeName), key);
}

int cRaceTypeCollection::load() {
    return appendNamedRows(m_db, *this, QStringLiteral("SELECT * FROM race_type_dm"), QStringLiteral("race_type_nmbr"),
                           QStringLiteral("race_type_name"));
}

QString cRaceTypeCollection::getRaceTypeName(const QVariant& raceTypeNmbr) {
    int nmbr = 0;
    if (!lookupNumber(raceTypeNmbr, &nmbr))
        return QString();
    if (isEmpty())
        load();
    for (const cRaceType& row : *this)
        if (row.raceTypeNmbr() == nmbr)
            return row.raceTypeName();
    return QString();
}
