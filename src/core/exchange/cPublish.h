#pragma once

#include "data/IDatabase.h"

#include <QString>

// Where the report folder is published: the one row of `publish`, which comes with the data file;
// saving puts the row back when it has gone missing.
class cPublish {
public:
    void setPassword(const QString& v) { m_password = v; }
    QString password() const { return m_password; }
    void setUsername(const QString& v) { m_username = v; }
    QString username() const { return m_username; }
    // The web server's host, optionally followed by "/" and a folder on it.
    void setLocation(const QString& v) { m_location = v; }
    QString location() const { return m_location; }

    // Fills the three values from the row; NULL reads as "".
    bool load();
    bool CommitChanges() { return updateRow(); }
    bool updateRow();

private:
    IDatabase m_db;
    QString m_password;
    QString m_username;
    QString m_location;
};
