#include "reports/framework/cReportAttributes.h"

#include "data/SqlText.h"

bool cReportAttributes::insertRow() {
    const QString amount = m_value != 0 ? QString::number(m_value) + QStringLiteral(", ") : QStringLiteral(" NULL, ");
    const QString text = m_text.isEmpty() ? QStringLiteral(" NULL) ") : sqlText(m_text) + QStringLiteral(") ");
    return m_db.execute(QStringLiteral("INSERT INTO report_attributes "
                                       " (report_nmbr, "
                                       " attribute_nmbr, "
                                       " amt, "
                                       " string_value) "
                                       " VALUES "
                                       " (%1, %2, ")
                            .arg(m_reportNmbr)
                            .arg(m_attributeNmbr) +
                        amount + text);
}

cReportAttributes* cReportAttributesCollection::Add(int reportNmbr, int attributeNmbr, int value, const QString& text,
                                                    const QString& color, const QString& key) {
    return append(std::make_unique<cReportAttributes>(reportNmbr, attributeNmbr, value, text, color), key);
}

int cReportAttributesCollection::load(int reportNmbr) {
    if (m_db.OpenResultSet(QStringLiteral("SELECT report_attributes.*, color_cd "
                                          " FROM report_attributes "
                                          " LEFT JOIN color_dm "
                                          " ON report_attributes.amt = color_dm.color_nmbr "
                                          " WHERE report_nmbr = %1")
                               .arg(reportNmbr))) {
        for (m_db.MoveFirst(); !m_db.isEOF(); m_db.MoveNext()) {
            const QVariant color = m_db.fields(QStringLiteral("color_cd"));
            Add(m_db.fields.toInt(QStringLiteral("report_nmbr")), m_db.fields.toInt(QStringLiteral("attribute_nmbr")),
                m_db.fields.toInt(QStringLiteral("amt")), m_db.fields.toText(QStringLiteral("string_value")),
                color.isNull() ? QStringLiteral("0") : color.toString());
        }
    }
    return Count();
}

int cReportAttributesCollection::loadReportCd(const QString& reportCd) {
    if (!m_db.OpenResultSet(QStringLiteral("SELECT report_attributes.report_nmbr "
                                           " FROM report_attributes , report "
                                           " WHERE report_attributes.report_nmbr = report.report_nmbr "
                                           " AND report.report_Id = ?"),
                            {reportCd}) ||
        m_db.isEOF())
        return 0;
    m_db.MoveFirst();
    return load(m_db.fields.toInt(QStringLiteral("report_nmbr")));
}

bool cReportAttributesCollection::Delete(int reportNmbr) {
    return m_db.execute(QStringLiteral("DELETE FROM report_attributes  WHERE report_nmbr = %1").arg(reportNmbr));
}

const cReportAttributes* cReportAttributesCollection::find(const QString& reportCd, int attributeNmbr) {
    if (Count() < 1)
        loadReportCd(reportCd);
    for (const cReportAttributes& row : *this)
        if (row.attributeNmbr() == attributeNmbr)
            return &row;
    return nullptr;
}

QString cReportAttributesCollection::colorOf(const QString& reportCd, int attributeNmbr, const QString& missing) {
    const cReportAttributes* row = find(reportCd, attributeNmbr);
    return row ? row->Color() : missing;
}

QString cReportAttributesCollection::numberOf(const QString& reportCd, int attributeNmbr) {
    const cReportAttributes* row = find(reportCd, attributeNmbr);
    return row ? QString::number(row->value()) : QStringLiteral("0");
}

QString cReportAttributesCollection::textOf(const QString& reportCd, int attributeNmbr) {
    const cReportAttributes* row = find(reportCd, attributeNmbr);
    return row ? row->text() : QString();
}

bool cReportAttributesCollection::switchOf(const QString& reportCd, int attributeNmbr) {
    const cReportAttributes* row = find(reportCd, attributeNmbr);
    return row && row->value() == 1;
}

// A missing page or row colour is the empty text (a colour attribute with no value); a missing link
// colour is "0", which leaves its style rule out.
QString cReportAttributesCollection::headingTextColor(const QString& c) {
    return colorOf(c, AttrHeadingTextColor, {});
}
QString cReportAttributesCollection::headingBackColor(const QString& c) {
    return colorOf(c, AttrHeadingBackColor, {});
}
QString cReportAttributesCollection::oddRowTextColor(const QString& c) {
    return colorOf(c, AttrOddRowTextColor, {});
}
QString cReportAttributesCollection::oddRowBackColor(const QString& c) {
    return colorOf(c, AttrOddRowBackColor, {});
}
QString cReportAttributesCollection::evenRowTextColor(const QString& c) {
    return colorOf(c, AttrEvenRowTextColor, {});
}
QString cReportAttributesCollection::evenRowBackColor(const QString& c) {
    return colorOf(c, AttrEvenRowBackColor, {});
}
QString cReportAttributesCollection::titleTextColor(const QString& c) {
    return colorOf(c, AttrTitleTextColor, {});
}
QString cReportAttributesCollection::backColor(const QString& c) {
    return colorOf(c, AttrBackColor, {});
}
QString cReportAttributesCollection::borderSize(const QString& c) {
    return numberOf(c, AttrBorderSize);
}
QString cReportAttributesCollection::cellSpacing(const QString& c) {
    return numberOf(c, AttrCellSpacing);
}
QString cReportAttributesCollection::cellPadding(const QString& c) {
    return numberOf(c, AttrCellPadding);
}
QString cReportAttributesCollection::headingTextSize(const QString& c) {
    return numberOf(c, AttrHeadingTextSize);
}
QString cReportAttributesCollection::oddRowTextSize(const QString& c) {
    return numberOf(c, AttrOddRowTextSize);
}
QString cReportAttributesCollection::evenRowTextSize(const QString& c) {
    return numberOf(c, AttrEvenRowTextSize);
}
QString cReportAttributesCollection::titleTextSize(const QString& c) {
    return numberOf(c, AttrTitleTextSize);
}
QString cReportAttributesCollection::linkColor(const QString& c) {
    return colorOf(c, AttrLinkColor, QStringLiteral("0"));
}
QString cReportAttributesCollection::VisitedlinkColor(const QString& c) {
    return colorOf(c, AttrVisitedLinkColor, QStringLiteral("0"));
}
QString cReportAttributesCollection::HoverlinkColor(const QString& c) {
    return colorOf(c, AttrHoverLinkColor, QStringLiteral("0"));
}
QString cReportAttributesCollection::headerImage(const QString& c) {
    return textOf(c, AttrHeaderImage);
}
QString cReportAttributesCollection::backgroundImage(const QString& c) {
    return textOf(c, AttrBackgroundImage);
}
bool cReportAttributesCollection::includeActiveOnly(const QString& c) {
    return switchOf(c, AttrIncludeActiveOnly);
}
bool cReportAttributesCollection::includeFooter(const QString& c) {
    return switchOf(c, AttrIncludeFooter);
}
