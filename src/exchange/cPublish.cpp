#include "exchange/cPublish.h"

#include "data/SqlText.h"

bool cPublish::load() {
    if (!m_db.OpenResultSet(QStringLiteral("SELECT *") + QStringLiteral(" FROM publish")) || m_db.isEOF())
        return false;
    m_location = m_db.fields.toText(QStringLiteral("location"));
    m_username = m_db.fields.toText(QStringLiteral("username"));
    m_password = m_db.fields.toText(QStringLiteral("password"));
    return true;
}

bool cPublish::updateRow() {
    return m_db.execute(QStringLiteral("UPDATE publish ") + QStringLiteral(" set location = ") + sqlText(m_location) +
                        QStringLiteral(" ,username = ") + sqlText(m_username) + QStringLiteral(" ,password = ") +
                        sqlText(m_password));
}
