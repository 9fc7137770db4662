#include "reports/framework/cColor.h"

cColor* cColorCollection::Add(int colorNmbr, const QString& colorName, const QString& colorCd, const QString& key) {
    return append(std::make_unique<cColor>(colorNmbr, colorName, colorCd), key);
}

int cColorCollection::load() {
    return loadQuery(QStringLiteral("SELECT * FROM color_dm"));
}

int cColorCollection::loadNoDefault() {
    return loadQuery(QStringLiteral("SELECT *  FROM color_dm  WHERE color_nmbr <> 0 "));
}

int cColorCollection::loadQuery(const QString& sql) {
    if (m_db.OpenResultSet(sql) && !m_db.isEOF())
        loadFromResultSet();
    return Count();
}

void cColorCollection::loadFromResultSet() {
    for (m_db.MoveFirst(); !m_db.isEOF(); m_db.MoveNext())
        Add(m_db.fields.toInt(QStringLiteral("color_nmbr")), m_db.fields.toText(QStringLiteral("color_name")),
            m_db.fields.toText(QStringLiteral("color_cd")));
}
