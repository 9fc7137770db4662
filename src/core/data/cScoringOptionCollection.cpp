#include "data/cScoringOptionCollection.h"

#include "data/NamedRows.h"

cScoringOption* cScoringOptionCollection::Add(int scoringOptionNmbr, const QString& scoringOptionName,
                                              const QString& key) {
    return append(std::make_unique<cScoringOption>(scoringOptionNmbr, scoringOptionName), key);
}

int cScoringOptionCollection::load() {
    return appendNamedRows(m_db, *this, QStringLiteral("SELECT * FROM scoring_option_dm"),
                           QStringLiteral("scoring_option_nmbr"), QStringLiteral("scoring_option_name"));
}

QString cScoringOptionCollection::getScoringOptionName(int scoringOptionNmbr) {
    if (isEmpty())
        load();
    for (const cScoringOption& row : *this)
        if (row.scoringOptionNmbr() == scoringOptionNmbr)
            return row.scoringOptionName();
    return QString();
}
