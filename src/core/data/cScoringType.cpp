#include "data/cScoringType.h"

#include "data/NewNumber.h"
#include "data/SqlText.h"
#include "data/cConnection.h"

std::unique_ptr<cScoringType> cScoringType::copy() const {
    return std::make_unique<cScoringType>(m_scoringTypeNmbr, m_scoringTypeName, m_lapsLedBonus, m_mostLapsLedBonus,
                                          m_fastQualBonus);
}

bool cScoringType::deleteRow() {
    const QString where = QStringLiteral(" WHERE scoring_type_nmbr = ") + QString::number(m_scoringTypeNmbr);
    Transaction tx;
    if (!tx.begun())
        return false;
    if (!m_db.execute(QStringLiteral("DELETE FROM scoring_points ") + where))
        return false;
    if (!m_db.execute(QStringLiteral("DELETE FROM scoring_top_points ") + where))
        return false;
    if (!m_db.execute(QStringLiteral("DELETE FROM scoring_type ") + where))
        return false;
    return tx.commit();
}

bool cScoringType::CommitChanges() {
    return m_scoringTypeNmbr < 1 ? insertRow() : updateRow();
}

bool cScoringType::updateRow() {
    return m_db.execute(QStringLiteral("UPDATE scoring_type  set scoring_type_name = ") + sqlText(m_scoringTypeName) +
                        QStringLiteral(" ,laps_led_bonus = ") + QString::number(m_lapsLedBonus) +
                        QStringLiteral(" ,most_laps_led_bonus = ") + QString::number(m_mostLapsLedBonus) +
                        QStringLiteral(" ,fast_qual_bonus = ") + QString::number(m_fastQualBonus) +
                        QStringLiteral(" WHERE scoring_type_nmbr = ") + QString::number(m_scoringTypeNmbr));
}

bool cScoringType::insertRow() {
    int nmbr = 0;
    if (!newUserNumber(m_db,
                       QStringLiteral("SELECT MAX(scoring_type_nmbr) as max_scoring_type_nmbr FROM scoring_type "),
                       QStringLiteral("max_scoring_type_nmbr"), &nmbr))
        return false;
    const int previous = m_scoringTypeNmbr;
    m_scoringTypeNmbr = nmbr;
    const bool ok = m_db.execute(
        QStringLiteral("INSERT INTO scoring_type  (scoring_type_nmbr, scoring_type_name, laps_led_bonus,"
                       " most_laps_led_bonus, fast_qual_bonus) VALUES (") +
        QString::number(m_scoringTypeNmbr) + QLatin1Char(',') + sqlText(m_scoringTypeName) + QLatin1Char(',') +
        QString::number(m_lapsLedBonus) + QLatin1Char(',') + QString::number(m_mostLapsLedBonus) + QLatin1Char(',') +
        QString::number(m_fastQualBonus) + QLatin1Char(')'));
    // Without a stored row the object must stay "new", or the next save would update nothing and
    // the editor would store a points table under a number no method has.
    if (!ok)
        m_scoringTypeNmbr = previous;
    return ok;
}

void cScoringType::load(int scoringTypeNmbr) {
    if (!m_db.OpenResultSet(QStringLiteral("SELECT * FROM scoring_type WHERE scoring_type_nmbr = ") +
                            QString::number(scoringTypeNmbr)) ||
        m_db.isEOF())
        return;
    m_scoringTypeNmbr = m_db.fields.toInt(QStringLiteral("scoring_type_nmbr"));
    m_scoringTypeName = m_db.fields.toText(QStringLiteral("scoring_type_name"));
    m_lapsLedBonus = m_db.fields.toInt(QStringLiteral("laps_led_bonus"));
    m_mostLapsLedBonus = m_db.fields.toInt(QStringLiteral("most_laps_led_bonus"));
    m_fastQualBonus = m_db.fields.toInt(QStringLiteral("fast_qual_bonus"));
}
