#include "Rows.h"
#include "TestDataFile.h"
#include "reports/framework/cAvailableReportColumns.h"
#include "reports/framework/cColor.h"
#include "reports/framework/cReportAttributes.h"
#include "reports/framework/cReportColumns.h"
#include "reports/framework/cReports.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

int reportNmbr(const QString& code) {
    return TestDataFile::scalar(QStringLiteral("SELECT report_nmbr FROM report WHERE report_id = '%1'").arg(code))
        .toInt();
}

QList<int> chosenColumns(int report) {
    cReportColumnsCollection columns;
    columns.load(report);
    QList<int> out;
    for (const cReportColumns& c : columns)
        out.append(c.columnNmbr());
    return out;
}

} // namespace

TEST(ReportCatalogue, EveryCodeHasOneReportOnItsOwnFileNumber) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    cReportsCollection reports;
    ASSERT_EQ(reports.load(), 14);
    QSet<QString> codes;
    QSet<int> handles;
    for (const cReports& r : reports) {
        codes.insert(r.reportId());
        handles.insert(r.fileHandle());
        EXPECT_FALSE(r.reportName().isEmpty());
        EXPECT_GT(r.fileHandle(), 0);
    }
    for (const char* code : {"RD", "TR", "LS", "RS", "LR", "TD", "TC", "TT", "DT", "CP", "CD", "RR", "DS", "RP"})
        EXPECT_TRUE(codes.contains(QString::fromLatin1(code))) << code;
    // Nested pages are written while the outer page is open, so no two reports may share a number.
    EXPECT_EQ(handles.size(), 14);
}

TEST(ReportCatalogue, ShippedChoicesAreAvailableNamedAndOrderedWithoutGaps) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    EXPECT_EQ(TestDataFile::count(
                  "SELECT count(*) FROM report_columns c WHERE NOT EXISTS (SELECT 1 FROM available_report_columns a "
                  "WHERE a.report_nmbr = c.report_nmbr AND a.column_nmbr = c.column_nmbr)"),
              0);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM available_report_columns a WHERE NOT EXISTS "
                                  "(SELECT 1 FROM column_dm d WHERE d.column_nmbr = a.column_nmbr)"),
              0);
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM (SELECT report_nmbr FROM report_columns GROUP BY report_nmbr "
                                  "HAVING min(column_order) <> 1 OR max(column_order) <> count(*))"),
              0);
    // The package offers exactly its twelve linked reports.
    cAvailableReportColumnsCollection package;
    EXPECT_EQ(package.load(reportNmbr("RP")), 12);
    for (const cAvailableReportColumns& c : package) {
        EXPECT_GE(c.columnNmbr(), 100);
        EXPECT_LE(c.columnNmbr(), 111);
    }
}

TEST(ReportColumns, AvailableAndNotUsed) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    // The league race summary has fixed columns: nothing to offer.
    cAvailableReportColumnsCollection summary;
    EXPECT_EQ(summary.load(reportNmbr("LR")), 0);
    EXPECT_EQ(summary.loadNotUsed(reportNmbr("LR")), 0);

    const int rr = reportNmbr("RR");
    TestDataFile::exec(QStringLiteral("DELETE FROM report_columns WHERE report_nmbr = %1").arg(rr));
    addReportColumn({.report = rr, .column = 3, .order = 1});
    cAvailableReportColumnsCollection notUsed;
    const int offered = TestDataFile::count(
        QStringLiteral("SELECT count(*) FROM available_report_columns WHERE report_nmbr = %1").arg(rr));
    EXPECT_EQ(notUsed.loadNotUsed(rr), offered - 1);
    for (const cAvailableReportColumns& c : notUsed) {
        EXPECT_NE(c.columnNmbr(), 3);
        EXPECT_EQ(c.reportNmbr(), rr);
        EXPECT_FALSE(c.columnName().isEmpty());
    }

    TestDataFile::exec(
        QStringLiteral("INSERT INTO report_columns (report_nmbr, column_nmbr, column_order) SELECT "
                       "report_nmbr, column_nmbr, 9 FROM available_report_columns WHERE report_nmbr = %1")
            .arg(rr));
    cAvailableReportColumnsCollection none;
    EXPECT_EQ(none.loadNotUsed(rr), 0);
    EXPECT_TRUE(data.ui().boxes.isEmpty());
}

TEST(ReportColumns, StoringReplacesTheChoiceInTheGivenOrder) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    const int cd = reportNmbr("CD");
    cReportColumnsCollection choice;
    choice.Add(cd, 12, 1, {});
    choice.Add(cd, 3, 2, {});
    choice.Add(cd, 4, 3, {});
    ASSERT_TRUE(choice.insertReportColumns());
    EXPECT_EQ(chosenColumns(cd), (QList<int>{12, 3, 4}));
    cReportColumnsCollection loaded;
    loaded.load(cd);
    EXPECT_EQ(loaded.Item(1)->columnOrder(), 1);
    EXPECT_EQ(loaded.Item(3)->columnOrder(), 3);
    EXPECT_EQ(loaded.Item(1)->columnName(), QStringLiteral("Current Salary"));

    // Other reports keep their columns.
    EXPECT_FALSE(chosenColumns(reportNmbr("RR")).isEmpty());

    // An empty choice names no report, so nothing changes.
    cReportColumnsCollection empty;
    EXPECT_TRUE(empty.insertReportColumns());
    EXPECT_EQ(chosenColumns(cd), (QList<int>{12, 3, 4}));
}

TEST(ReportColumns, FailedInsertKeepsTheEarlierChoice) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    const int cd = reportNmbr("CD");
    const QList<int> before = chosenColumns(cd);
    ASSERT_FALSE(before.isEmpty());
    TestDataFile::exec("CREATE TRIGGER no_23 BEFORE INSERT ON report_columns WHEN NEW.column_nmbr = 23 "
                       "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    cReportColumnsCollection choice;
    choice.Add(cd, 2, 1, {});
    choice.Add(cd, 23, 2, {});
    choice.Add(cd, 24, 3, {});
    EXPECT_FALSE(choice.insertReportColumns());
    EXPECT_EQ(chosenColumns(cd), before);
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_TRUE(data.ui().boxes.first().text.contains("refused"));
}

TEST(ReportAttributes, MissingRowsGiveTheDefaults) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    TestDataFile::exec("DELETE FROM report_attributes");
    cReportAttributesCollection a;
    for (const QString& c : {a.headingTextColor("RD"), a.headingBackColor("RD"), a.oddRowTextColor("RD"),
                             a.oddRowBackColor("RD"), a.evenRowTextColor("RD"), a.evenRowBackColor("RD"),
                             a.titleTextColor("RD"), a.backColor("RD"), a.headerImage("RD"), a.backgroundImage("RD")})
        EXPECT_EQ(c, QString());
    for (const QString& c : {a.linkColor("RD"), a.VisitedlinkColor("RD"), a.HoverlinkColor("RD"), a.borderSize("RD"),
                             a.cellSpacing("RD"), a.cellPadding("RD"), a.headingTextSize("RD"), a.oddRowTextSize("RD"),
                             a.evenRowTextSize("RD"), a.titleTextSize("RD")})
        EXPECT_EQ(c, QStringLiteral("0"));
    EXPECT_FALSE(a.includeActiveOnly("RD"));
    EXPECT_FALSE(a.includeFooter("RD"));
    EXPECT_EQ(a.Count(), 0);
    EXPECT_TRUE(data.ui().boxes.isEmpty());
}

TEST(ReportAttributes, StoredValuesReadBackByKind) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    const int td = reportNmbr("TD");
    cReportAttributesCollection old;
    ASSERT_TRUE(old.Delete(td));
    EXPECT_EQ(
        TestDataFile::count(QStringLiteral("SELECT count(*) FROM report_attributes WHERE report_nmbr = %1").arg(td)),
        0);

    cReportAttributes row;
    row.setReportNmbr(td);
    auto store = [&](int nmbr, int value, const QString& text = QString()) {
        row.setAttributeNmbr(nmbr);
        row.setValue(value);
        row.setText(text);
        ASSERT_TRUE(row.insertRow());
    };
    store(AttrHeadingTextColor, 3); // Red
    store(AttrHeadingBackColor, 0); // Default: stored as NULL
    store(AttrBorderSize, 2);
    store(AttrTitleTextSize, -1);
    store(AttrHeaderImage, 0, "O'Brien's logo.gif");
    store(AttrIncludeFooter, 1);
    store(AttrIncludeActiveOnly, 2); // only 1 means on
    store(AttrLinkColor, 999);       // no such colour

    EXPECT_EQ(TestDataFile::count(
                  QStringLiteral("SELECT count(*) FROM report_attributes WHERE report_nmbr = %1 AND attribute_nmbr = 2 "
                                 "AND amt IS NULL AND string_value IS NULL")
                      .arg(td)),
              1);

    cReportAttributesCollection a;
    EXPECT_EQ(a.headingTextColor("TD"), QStringLiteral("#FF0000"));
    EXPECT_EQ(a.Count(), 8);
    EXPECT_EQ(a.headingBackColor("TD"), QStringLiteral("0"));
    EXPECT_EQ(a.borderSize("TD"), QStringLiteral("2"));
    EXPECT_EQ(a.titleTextSize("TD"), QStringLiteral("-1"));
    EXPECT_EQ(a.headerImage("TD"), QStringLiteral("O'Brien's logo.gif"));
    EXPECT_TRUE(a.includeFooter("TD"));
    EXPECT_FALSE(a.includeActiveOnly("TD"));
    EXPECT_EQ(a.linkColor("TD"), QStringLiteral("0"));
    EXPECT_EQ(a.backColor("TD"), QString()); // not stored
    for (const cReportAttributes& r : a)
        if (r.isHeadingBackColor()) {
            EXPECT_TRUE(r.isDefault());
            EXPECT_EQ(r.Color(), QStringLiteral("0"));
        }

    // A second load appends the same rows again; the getters still answer from the first.
    EXPECT_EQ(a.load(td), 16);
    EXPECT_EQ(a.borderSize("TD"), QStringLiteral("2"));
    // A code with no rows finds nothing to load.
    cReportAttributesCollection unknown;
    EXPECT_EQ(unknown.loadReportCd("ZZ"), 0);
    EXPECT_EQ(unknown.loadReportCd("x' OR '1'='1"), 0);
    EXPECT_TRUE(data.ui().boxes.isEmpty());
}

TEST(ReportColors, DefaultRowOnlyInTheFullList) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    const int all = TestDataFile::count("SELECT count(*) FROM color_dm");
    cColorCollection full;
    EXPECT_EQ(full.load(), all);
    cColorCollection offered;
    EXPECT_EQ(offered.loadNoDefault(), all - 1);
    for (const cColor& c : offered) {
        EXPECT_NE(c.ColorNmbr(), 0);
        EXPECT_FALSE(c.ColorName().isEmpty());
    }
    EXPECT_EQ(offered.loadNoDefault(), 2 * (all - 1));

    addColor({.nmbr = 900, .name = "Blank"});
    cColorCollection withBlank;
    withBlank.load();
    EXPECT_EQ(withBlank.Item(withBlank.Count())->ColorCd(), QString());

    TestDataFile::exec("DELETE FROM color_dm WHERE color_nmbr <> 0");
    cColorCollection onlyDefault;
    EXPECT_EQ(onlyDefault.loadNoDefault(), 0);
}
