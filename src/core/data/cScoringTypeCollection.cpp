#include "data/cScoringTypeCollection.h"

cScoringType* cScoringTypeCollection::Add(int scoringTypeNmbr, const QString& scoringTypeName, int lapsLedBonus,
                                          int mostLapsLedBonus, int fastQualBonus, const QString& key) {
    return append(
        std::make_unique<cScoringType>(scoringTypeNmbr, scoringTypeName, lapsLedBonus, mostLapsLedBonus, fastQualBonus),
        key);
}

int cScoringTypeCollection::load() {
    if (m_db.OpenResultSet(QStringLiteral("SELECT * FROM scoring_type"))) {
        for (m_db.MoveFirst(); !m_db.isEOF(); m_db.MoveNext())
            Add(m_db.fields.toInt(QStringLiteral("scoring_type_nmbr")),
                m_db.fields.toText(QStringLiteral("scoring_type_name")),
                m_db.fields.toInt(QStringLiteral("laps_led_bonus")),
                m_db.fields.toInt(QStringLiteral("most_laps_led_bonus")),
                m_db.fields.toInt(QStringLiteral("fast_qual_bonus")));
    }
    return Count();
}

QString cScoringTypeCollection::getScoringTypeName(int scoringTypeNmbr) {
    if (isEmpty())
        load();
    for (const cScoringType& row : *this)
        if (row.scoringTypeNmbr() == scoringTypeNmbr)
            return row.scoringTypeName();
    return QString();
}
