#pragma once

class cFields;

#include "reports/framework/CommonReportCode.h"
#include "reports/framework/cReportAttributes.h"
#include "reports/generators/ReportRunError.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

// What every report page shares: one run of a report entry, the page's file, its chosen columns and
// display attributes, and the lines every page repeats (head, title block, heading row, striped data
// rows, footer). A report is rows, then a page: an entry reads its rows (a query, or what the request
// shares through ReportRequestState), then its writer turns them into the page:
//
//   QString createXReport(int league, int race, bool show) {
//       return runReport("XX", [&](ReportPage& page) -> QString {
//           const std::vector<XRow> rows = readXRows(league, race); // a failed query throws, its box shown
//           if (rows.empty()) { if (show) showReportMessage("..."); return {}; }
//           page.open(league, race);                                // file, columns, attributes
//           writeXPage(page, rows);                                 // head, title block, table, footer
//           return page.finish(show);                               // close, browser, file name
//       });
//   }
//
// Nested pages: a report may call another report's entry (show false) while its own page is open;
// each report writes on its own file number, so both files stay open together. A nested page that the
// request has already put in place is not written again: its open() ends the nested run, which gives
// the page's name.

// The column numbers of report_columns. A number means the same datum in every report that offers it.
enum ReportColumn : int {
    ColPlace = 1,  // finishing place
    ColCarTxt = 2, // car number (car_txt)
    ColDriverName = 3,
    ColSponsor = 4,
    ColTermDt = 5, // termination date of the holding
    ColLapsLedBonus = 6,
    ColMostLapsLedBonus = 7,
    ColPoints = 8,      // race points
    ColTotalPoints = 9, // season points
    ColEfctvDt = 10,    // effective date of the holding
    ColLockedSalary = 11,
    ColSalary = 12, // current salary
    ColTeamPlace = 13,
    ColTeamPrevPlace = 14,
    ColTeamWins = 15,
    ColTeamTop5s = 16,
    ColTeamTop10s = 17,
    ColCarWins = 18,
    ColCarTop5s = 19,
    ColCarTop10s = 20,
    ColPointsLastRace = 21, // points scored in the report's race
    ColPointsBehind = 22,   // points behind the league leader
    ColCarMake = 23,
    ColCarOwner = 24,
    ColQualified = 25,
    ColLapsLed = 26,
    ColFastQual = 27,
    ColStarts = 28,
    ColPoles = 29,
    ColAverageFinish = 30,
    ColFastQualBonus = 31,
    ColQualPoints = 32, // qualifying bonus
    ColTeamName = 33,
    ColTeamOwner = 34,
    ColAdjustment = 35,
    ColAverageStart = 36,
    ColTotalLapsLed = 37,
    ColEmail = 38, // a team's contact line, not a table column
    ColPhone = 39, // likewise
    ColGroup = 40, // group_nmbr shown by its group name
    // The report package's linked reports.
    ColPkgRaceDetail = 100,
    ColPkgLeagueRaceSummary = 101,
    ColPkgLeagueRaceStandings = 102,
    ColPkgLeagueStandings = 103,
    ColPkgTeamDetail = 104,
    ColPkgTeamCars = 105,
    ColPkgCarDetails = 106,
    ColPkgRaceResults = 107,
    ColPkgDriverStats = 108,
    ColPkgTeamTrades = 109,
    ColPkgCarPicks = 110,
    ColPkgTeamsPerCar = 111,
};

// The text size and colours of one data row.
struct RowStyle {
    int size = 0;
    QString textColor;
    QString backColor;
};

// One data cell: its text (markup allowed; data values go through htmlText or the helpers below) and
// its alignment ("left", "center", "right").
struct ReportCell {
    QString text;
    QString align;
    // A whole number, written as its digits (text is then empty): most cells of the race pages are
    // numbers, and a text made for each cost a page of race rows a seventh of its time (bench/reports).
    std::optional<qint64> number = std::nullopt;
};
// A cell showing a whole number.
inline ReportCell numberCell(qint64 number, const QString& align) {
    return ReportCell{QString(), align, number};
}
// A cell showing a value from the data: a whole number as its digits, anything else as cellText makes it.
ReportCell valueCell(const QVariant& value, const QString& align);

// A heading text per column number; nullopt for a column the report does not know (no cell).
using HeadingFor = std::function<std::optional<QString>(int column)>;
// A data cell per column number; nullopt for a column the report does not know (no cell).
using CellFor = std::function<std::optional<ReportCell>(int column)>;

// The state of one report run: code, fixed file number, file name, chosen columns, attributes.
class ReportPage {
public:
    // Takes the report's fixed file number (0 when the catalogue has no such report) from the request.
    explicit ReportPage(const QString& code);
    ~ReportPage();
    ReportPage(const ReportPage&) = delete;
    ReportPage& operator=(const ReportPage&) = delete;

    int fileNumber() const { return m_fileNumber; }
    // Empty until open() has named the file.
    const QString& fileName() const { return m_fileName; }

    // Names the file (code and two numbers), opens it in the report folder, takes the chosen columns
    // and the attributes. Throws ReportRunError when the report has no file number, ReportFolderError
    // when the folder refused the file (the file routines have shown their box); ends a nested run whose
    // page the request has written already. Returns the file name.
    QString open(int firstNumber, int secondNumber = 0);
    // As above for a page whose content depends on more numbers than two (league, team, race).
    QString open(const QList<int>& numbers);
    // For a nested page: true, with the name set, when the request has put the page of these numbers in
    // place already, so that a report can skip its readings for a page it would not write.
    bool writtenInRequest(const QList<int>& numbers);
    // The page is written within another report's run, as one of the pages that report links.
    static bool nested();
    // Closes the file, which then replaces an earlier page of its name; when show is true opens it in
    // the browser. Returns the file name.
    QString finish(bool show);

    // One line of the page; throws when the file is not open.
    void writeLine(const QString& text);
    // "<TR>" and "</TR>": a spacer row.
    void writeEmptyRow();

    // The chosen column numbers, in the user's order.
    const QList<int>& columns() const { return m_columns; }
    bool hasColumn(int column) const { return m_columns.contains(column); }

    // The attributes of this report (getters take the code; see the usual ones below).
    cReportAttributesCollection& attributes();
    // A size or number attribute as a whole number; throws when it is not one.
    static int number(const QString& attributeText);
    // The attributes stay as they are while a page is written: each is read once a page, which takes a
    // tenth off the time of a page of race rows (bench/reports).
    int titleTextSize();
    int headingTextSize();
    const QString& titleTextColor();
    const QString& headingTextColor();
    const QString& headingBackColor();
    bool includeActiveOnly() { return attributes().includeActiveOnly(m_code); }
    // Odd row indexes take the odd-row attributes, even ones the even-row attributes.
    RowStyle rowStyle(int rowIndex);

    // "<html>", "<head>", "<title>" + title + "</title>", "</head>", the style tag and the body tag.
    void writeHead(const QString& title);
    // The header image paragraph, centred (an empty line when there is none).
    void writeHeaderImage();
    // A centred title line in the title colour at the title size less sizeDrop (raised to 1).
    void writeTitle(const QString& text, int sizeDrop = 0);
    // Status 1: "<br>" and "Unofficial"; status 3 (when qualifyingLine): "<br>" and "Qualifying";
    // each at the title size less 3. Other statuses write nothing.
    void writeRaceStatus(int raceStatusNmbr, bool qualifyingLine = true);
    // The table tag with the border, padding and spacing attributes.
    void writeTableStart();
    // The heading row: one heading cell per chosen column the report knows. Throws when no column is
    // chosen, as a page without columns has nothing to show.
    void writeColumnHeadings(const HeadingFor& heading, const QString& extra);
    // One data row with the row index's style: one data cell (colspan 1) per chosen column it knows.
    void writeDataRow(int rowIndex, const CellFor& cell);
    // One data cell's line (colspan 1) in the row's style; an empty text as "&nbsp;".
    void writeCell(const RowStyle& style, const ReportCell& cell);
    // rowTag of the colour, made once for all the rows of that colour on the page.
    const QString& rowTagOf(const QString& backColor);
    // "</TABLE>".
    void writeTableEnd();
    // The footer paragraph when the report's footer attribute is set, in the title colour.
    void writeFooter();
    // "</body>", "</html>".
    void writeEnd();

private:
    friend QString runReport(const QString&, const std::function<QString(ReportPage&)>&);
    void abandonFile();

    QString m_code;
    int m_fileNumber = 0;
    QString m_fileName;
    QList<int> m_columns;
    // The line of a data cell up to its text, by the row style and the alignment, as page bytes.
    struct CellStart {
        int size;
        QString color, align;
        QByteArray bytes;
    };
    std::vector<CellStart> m_cellStarts;
    std::vector<std::pair<QString, QString>> m_rowTags; // by background colour
    std::optional<RowStyle> m_oddRowStyle, m_evenRowStyle;
    std::optional<int> m_titleTextSize, m_headingTextSize;
    std::optional<QString> m_titleTextColor, m_headingTextColor, m_headingBackColor;
};

// One request of the user, from its first page to its last: a report entry, with the pages it writes
// nested in it, or a loop writing one page per team. Its outermost scope first removes what killed
// runs left in the report folder. The first page the report folder refuses ends the request: one box
// names the folder and the reason, and every page after it, nested or not, is not attempted. Each page
// is written once per request (see nested pages above).
class ReportRunScope {
public:
    ReportRunScope();
    ~ReportRunScope();
    ReportRunScope(const ReportRunScope&) = delete;
    ReportRunScope& operator=(const ReportRunScope&) = delete;
    // The report folder refused a page of the request in progress.
    static bool folderRefused();
};

// The name the status bar gives a report, by its code ("Cars Detail Report" for "CD"): "Creating " and
// the name while the report runs, the name and " Created" or " Not Created" once the user's request is
// through. Both halves take it from here, so that they always name the report alike.
QString reportRunName(const QString& code);
QString reportOutcomeText(const QString& code, bool written);

// One run of a report entry: hourglass and the status text "Creating " and the report's name, then
// body; both restored at every way out.
// A run-time error inside body shows "Error generating report " + the file name (critical, titled
// "Quorvanti"), drops the page's unfinished file (an earlier page of its name stays) and gives "". A
// reading that failed (ReportReadingFailed, its box shown) drops the page and gives "" without another
// box. Otherwise the result is body's (the file name, or "" when no page was written).
// A page the report folder refuses ends the whole request instead (see ReportRunScope): the run that
// holds this one is ended too, and it gives "" as well.
QString runReport(const QString& code, const std::function<QString(ReportPage&)>& body);

// The "nothing to report" box of the entries: information icon, titled "Quorvanti".
void showReportMessage(const QString& text);

// ---- cell texts ----

// A value from the data as cell text: its plain text, escaped (an empty text for NULL).
QString cellText(const QVariant& value);
// The same for a column of the current row.
QString cellText(const cFields& fields, const QString& name);
// A whole number as plain decimal text.
QString cellNumber(qint64 value);
// A date column (ISO text) in the short date form; empty for NULL or no date.
QString cellDate(const QVariant& value);
// A money value in the user's currency form, as the windows show it: "$1,234.56", negative "($1,234.56)".
QString cellMoney(const QVariant& value);
// ORDER BY terms that sort a car number column as the program's lists do: blanks first, then whole
// numbers by value (car 2 before car 10), then other text with letter case ignored.
QString carNumberOrder(const QString& column);
// The name of the group a car/driver belongs to, escaped; empty for no group (NULL, 0 or negative).
QString getGroupDisplay(const QVariant& groupNmbr);
// The date of a date column as stored text (YYYY-MM-DD), for the active-row tests by calendar day.
QString dateKey(const QVariant& value);
// For the active-only pages: a holding (its start and stop dates as stored) is shown for the race unless
// it ended before the race day or began after it, compared by calendar day.
bool holdingShownOnRaceDay(const QVariant& raceDt, const QVariant& efctvDt, const QVariant& termDt);
// Adds to a running 32-bit sum, rounding the value to the nearest whole number (halves to even);
// throws ReportRunError on overflow.
void addToSum(qint32& sum, double value);

// The footer's credit address.
inline const char* const kMakerWebAddress = "https://www.quorvanti.example";
// "Created " + the date and time + the credit line.
QString footerText(const QDateTime& now);
