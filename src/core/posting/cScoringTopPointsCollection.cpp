#include "posting/cScoringTopPointsCollection.h"

#include "data/cConnection.h"

cScoringTopPoints* cScoringTopPointsCollection::Add(int nmbr, int scoringTypeNmbr, int points, int top,
                                                    const QString& key) {
    auto rule = std::make_unique<cScoringTopPoints>();
    rule->setNmbr(nmbr);
    rule->setScoringTypeNmbr(scoringTypeNmbr);
    rule->setPoints(points);
    rule->setTop(top);
    return append(std::move(rule), key);
}

int cScoringTopPointsCollection::loadFromResultSet() {
    while (!m_db.isEOF()) {
        Add(m_db.fields.toInt(QStringLiteral("nmbr_cars")), m_db.fields.toInt(QStringLiteral("scoring_type_nmbr")),
            m_db.fields.toInt(QStringLiteral("points")), m_db.fields.toInt(QStringLiteral("top_nmbr")));
        m_db.MoveNext();
    }
    return Count();
}

int cScoringTopPointsCollection::load(int scoringTypeNmbr) {
    // The table has no order of its own; rowid is the order the rules were written in.
    const QString sql = QStringLiteral("SELECT *") + QStringLiteral(" FROM scoring_top_points") +
                        QStringLiteral(" WHERE scoring_type_nmbr = ") + QString::number(scoringTypeNmbr) +
                        QStringLiteral(" ORDER BY rowid");
    if (m_db.OpenResultSet(sql))
        loadFromResultSet();
    return Count();
}

bool cScoringTopPointsCollection::insertScoringTopPoints() {
    Transaction tx;
    if (!tx.begun())
        return false;
    if (!isEmpty() && !deleteScoringTopPoints(Item(1)->scoringTypeNmbr()))
        return false;
    for (cScoringTopPoints& rule : *this)
        if (!rule.insertRow())
            return false;
    return tx.commit();
}

bool cScoringTopPointsCollection::deleteScoringTopPoints(int scoringTypeNmbr) {
    return m_db.execute(QStringLiteral("DELETE FROM scoring_top_points where scoring_type_nmbr = ") +
                        QString::number(scoringTypeNmbr));
}
