#include "exchange/cPublish.h"

bool cPublish::load() {
    if (!m_db.OpenResultSet(QStringLiteral("SELECT *") + QStringLiteral(" FROM publish")) || m_db.isEOF())
        return false;
    m_location = m_db.fields.toText(QStringLiteral("location"));
    m_username = m_db.fields.toText(QStringLiteral("username"));
    m_password = m_db.fields.toText(QStringLiteral("password"));
    return true;
}

bool cPublish::updateRow() {
    // The values are bound, never written into the statement: a failing save shows the statement
    // in its box, and the password must not be in it.
    const QVariantList values = {m_location, m_username, m_password};
    if (!m_db.execute(QStringLiteral("UPDATE publish  set location = ? ,username = ? ,password = ?"), values))
        return false;
    if (m_db.rowsAffected() > 0)
        return true;
    // A data file that has lost its one row gets it back, instead of storing nothing.
    return m_db.execute(QStringLiteral("INSERT INTO publish (location, username, password) VALUES (?, ?, ?)"), values);
}
