#pragma once

#include "data/IDatabase.h"
#include "data/RowList.h"

#include <QString>

// The attribute numbers of report_attributes.
enum ReportAttribute {
    AttrHeadingTextColor = 1,
    AttrHeadingBackColor = 2,
    AttrOddRowTextColor = 3,
    AttrOddRowBackColor = 4,
    AttrEvenRowTextColor = 5,
    AttrEvenRowBackColor = 6,
    AttrTitleTextColor = 7,
    AttrBackColor = 8,
    AttrBorderSize = 9,
    AttrCellSpacing = 10,
    AttrCellPadding = 11,
    AttrHeadingTextSize = 12,
    AttrOddRowTextSize = 13,
    AttrEvenRowTextSize = 14,
    AttrTitleTextSize = 15,
    AttrLinkColor = 16,
    AttrVisitedLinkColor = 17,
    AttrHoverLinkColor = 18,
    AttrHeaderImage = 19,
    AttrBackgroundImage = 20,
    AttrIncludeActiveOnly = 21,
    AttrIncludeFooter = 22,
};

// One display attribute of one report. value is the stored amount (a colour number, size, count or
// switch; 0 is stored as NULL), text the image name, Color the colour text of the colour numbered
// value ("0", meaning no colour, when there is none).
class cReportAttributes {
public:
    cReportAttributes() = default;
    cReportAttributes(int reportNmbr, int attributeNmbr, int value, const QString& text, const QString& color)
        : m_reportNmbr(reportNmbr), m_attributeNmbr(attributeNmbr), m_value(value), m_text(text), m_color(color) {}

    QString Color() const { return m_color; }
    void setColor(const QString& v) { m_color = v; }
    QString text() const { return m_text; }
    void setText(const QString& v) { m_text = v; }
    int value() const { return m_value; }
    void setValue(int v) { m_value = v; }
    int attributeNmbr() const { return m_attributeNmbr; }
    void setAttributeNmbr(int v) { m_attributeNmbr = v; }
    int reportNmbr() const { return m_reportNmbr; }
    void setReportNmbr(int v) { m_reportNmbr = v; }

    bool isDefault() const { return m_value == 0; }
    void setDefault() { m_value = 0; }
    // Stores the row; a value of 0 and an empty text are stored as NULL.
    bool insertRow();

    bool islinkColor() const { return m_attributeNmbr == AttrLinkColor; }
    bool isVisitedlinkColor() const { return m_attributeNmbr == AttrVisitedLinkColor; }
    bool isHoverlinkColor() const { return m_attributeNmbr == AttrHoverLinkColor; }
    bool isCellPadding() const { return m_attributeNmbr == AttrCellPadding; }
    bool isCellSpacing() const { return m_attributeNmbr == AttrCellSpacing; }
    bool isBorderSize() const { return m_attributeNmbr == AttrBorderSize; }
    bool isHeadingBackColor() const { return m_attributeNmbr == AttrHeadingBackColor; }
    bool isHeadingTextColor() const { return m_attributeNmbr == AttrHeadingTextColor; }
    bool isOddRowBackColor() const { return m_attributeNmbr == AttrOddRowBackColor; }
    bool isBackgroundImage() const { return m_attributeNmbr == AttrBackgroundImage; }
    bool isHeaderImage() const { return m_attributeNmbr == AttrHeaderImage; }
    bool isOddRowTextColor() const { return m_attributeNmbr == AttrOddRowTextColor; }
    bool isEvenRowBackColor() const { return m_attributeNmbr == AttrEvenRowBackColor; }
    bool isEvenRowTextColor() const { return m_attributeNmbr == AttrEvenRowTextColor; }
    bool isBackColor() const { return m_attributeNmbr == AttrBackColor; }
    bool isTitleTextColor() const { return m_attributeNmbr == AttrTitleTextColor; }
    bool isTitleTextSize() const { return m_attributeNmbr == AttrTitleTextSize; }
    bool isHeadingTextSize() const { return m_attributeNmbr == AttrHeadingTextSize; }
    bool isEvenRowTextSize() const { return m_attributeNmbr == AttrEvenRowTextSize; }
    bool isOddRowTextSize() const { return m_attributeNmbr == AttrOddRowTextSize; }
    bool isIncludeActiveOnly() const { return m_attributeNmbr == AttrIncludeActiveOnly; }
    bool isIncludeFooter() const { return m_attributeNmbr == AttrIncludeFooter; }

private:
    IDatabase m_db;
    int m_reportNmbr = 0;
    int m_attributeNmbr = 0;
    int m_value = 0;
    QString m_text;
    QString m_color = QStringLiteral("0");
};

// The display attributes of one report, with one getter per attribute. A getter on an empty
// collection first loads the rows of the report whose code it is given (again at every call while
// the report has none); a missing attribute gives its fixed default. Colours come back as colour
// texts ("0" for none), numbers and sizes as decimal text, images as their names.
class cReportAttributesCollection : public RowList<cReportAttributes> {
public:
    cReportAttributes* Add(int reportNmbr, int attributeNmbr, int value, const QString& text, const QString& color,
                           const QString& key = QString());
    // Appends the report's rows (without emptying the list first); returns the count.
    int load(int reportNmbr);
    // load for the report with that code; 0 when it has no attribute rows.
    int loadReportCd(const QString& reportCd);
    // Deletes every attribute row of the report.
    bool Delete(int reportNmbr);

    QString headingTextColor(const QString& reportCd);
    QString headingBackColor(const QString& reportCd);
    QString oddRowTextColor(const QString& reportCd);
    QString oddRowBackColor(const QString& reportCd);
    QString evenRowTextColor(const QString& reportCd);
    QString evenRowBackColor(const QString& reportCd);
    QString titleTextColor(const QString& reportCd);
    QString backColor(const QString& reportCd);
    QString borderSize(const QString& reportCd);
    QString cellSpacing(const QString& reportCd);
    QString cellPadding(const QString& reportCd);
    QString headingTextSize(const QString& reportCd);
    QString oddRowTextSize(const QString& reportCd);
    QString evenRowTextSize(const QString& reportCd);
    QString titleTextSize(const QString& reportCd);
    QString linkColor(const QString& reportCd);
    QString VisitedlinkColor(const QString& reportCd);
    QString HoverlinkColor(const QString& reportCd);
    QString headerImage(const QString& reportCd);
    QString backgroundImage(const QString& reportCd);
    bool includeActiveOnly(const QString& reportCd);
    bool includeFooter(const QString& reportCd);

private:
    // The first row with the attribute number; nullptr when there is none.
    const cReportAttributes* find(const QString& reportCd, int attributeNmbr);
    QString colorOf(const QString& reportCd, int attributeNmbr, const QString& missing);
    QString numberOf(const QString& reportCd, int attributeNmbr);
    QString textOf(const QString& reportCd, int attributeNmbr);
    bool switchOf(const QString& reportCd, int attributeNmbr);

    IDatabase m_db;
};
