#pragma once

#include "data/IDatabase.h"
#include "data/RowList.h"

#include <QString>

// One named report colour (color_dm). ColorCd is the text the pages carry as the colour value.
class cColor {
public:
    cColor() = default;
    cColor(int colorNmbr, const QString& colorName, const QString& colorCd)
        : m_colorNmbr(colorNmbr), m_colorName(colorName), m_colorCd(colorCd) {}

    void setColorCd(const QString& v) { m_colorCd = v; }
    QString ColorCd() const { return m_colorCd; }
    void setColorName(const QString& v) { m_colorName = v; }
    QString ColorName() const { return m_colorName; }
    void setColorNmbr(int v) { m_colorNmbr = v; }
    int ColorNmbr() const { return m_colorNmbr; }

private:
    int m_colorNmbr = 0;
    QString m_colorName;
    QString m_colorCd;
};

// The report colours in table order. Every load appends.
class cColorCollection : public RowList<cColor> {
public:
    cColor* Add(int colorNmbr, const QString& colorName, const QString& colorCd, const QString& key = QString());
    // Every colour, the default (number 0) included; returns the count.
    int load();
    // Every colour but the default; returns the count.
    int loadNoDefault();

private:
    int loadQuery(const QString& sql);
    void loadFromResultSet();
    IDatabase m_db;
};
