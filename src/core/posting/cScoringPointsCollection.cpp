#include "posting/cScoringPointsCollection.h"

#include "data/cConnection.h"

namespace {
QString num(int v) {
    return QString::number(v);
}
} // namespace

cScoringPoints* cScoringPointsCollection::Add(int scoringTypeNmbr, int place, int points, int qualPoints,
                                              const QString& key) {
    auto row = std::make_unique<cScoringPoints>();
    row->setScoringTypeNmbr(scoringTypeNmbr);
    row->setPlace(place);
    row->setPoints(points);
    row->setQualPoints(qualPoints);
    return append(std::move(row), key);
}

int cScoringPointsCollection::loadFromResultSet() {
    while (!m_db.isEOF()) {
        Add(m_db.fields.toInt(QStringLiteral("scoring_type_nmbr")), m_db.fields.toInt(QStringLiteral("place")),
            m_db.fields.toInt(QStringLiteral("points")), m_db.fields.toInt(QStringLiteral("qual_points")));
        m_db.MoveNext();
    }
    return Count();
}

int cScoringPointsCollection::load(std::optional<int> scoringTypeNmbr) {
    QString sql = QStringLiteral("SELECT *") + QStringLiteral(" FROM scoring_Points");
    if (scoringTypeNmbr)
        sql += QStringLiteral(" WHERE scoring_type_nmbr = ") + num(*scoringTypeNmbr);
    sql += QStringLiteral(" order by place");
    if (m_db.OpenResultSet(sql))
        loadFromResultSet();
    return Count();
}

int cScoringPointsCollection::loadQual(std::optional<int> scoringTypeNmbr) {
    QString sql = QStringLiteral("SELECT *") + QStringLiteral(" FROM scoring_Points") +
                  QStringLiteral(" WHERE qual_points <> 0 ");
    if (scoringTypeNmbr)
        sql += QStringLiteral(" AND scoring_type_nmbr = ") + num(*scoringTypeNmbr);
    sql += QStringLiteral(" order by place");
    if (m_db.OpenResultSet(sql))
        loadFromResultSet();
    return Count();
}

bool cScoringPointsCollection::insertScoringPoints(int scoringTypeNmbr) {
    Transaction tx;
    if (!tx.begun())
        return false;
    if (!deleteScoringPoints(scoringTypeNmbr))
        return false;
    for (cScoringPoints& row : *this)
        if (!row.insertRow())
            return false;
    return tx.commit();
}

bool cScoringPointsCollection::deleteScoringPoints(int scoringTypeNmbr) {
    return m_db.execute(QStringLiteral("DELETE FROM scoring_points where scoring_type_nmbr = ") + num(scoringTypeNmbr));
}

int cScoringPointsCollection::pointsForPlace(int place) const {
    for (const cScoringPoints& row : *this)
        if (row.place() == place)
            return row.points();
    return 0;
}

int cScoringPointsCollection::qualPointsForPlace(int position) const {
    for (const cScoringPoints& row : *this)
        if (row.place() == position)
            return row.qualPoints();
    return 0;
}

bool cScoringPointsCollection::usesQualPointsBonus() const {
    for (const cScoringPoints& row : *this)
        if (row.qualPoints() != 0)
            return true;
    return false;
}

bool cScoringPointsCollection::highScore() const {
    return pointsForPlace(1) >= pointsForPlace(2);
}
