#include "reports/generators/ReportPipeline.h"

#include "data/cGroup.h"

#include "data/CommonCode.h"
#include "data/IDatabase.h"
#include "data/Paths.h"
#include "data/SqlText.h"
#include "platform/Clock.h"

#include <QDateTime>
#include <cmath>
#include <limits>

namespace {

// A box of a report run: the hourglass is lifted while it shows, and put back after.
void showRunBox(const QString& text, MsgIcon icon) {
    const int previous = ui().pointer();
    if (previous == PointerHourglass)
        ui().setPointer(PointerDefault);
    ui().messageBox(text, QString::fromLatin1(kProductName), icon, MsgButtons::Ok);
    ui().setPointer(previous);
}

QDate dateOf(const QVariant& value) {
    if (value.isNull())
        return {};
    if (value.metaType().id() == QMetaType::QDate)
        return value.toDate();
    if (value.metaType().id() == QMetaType::QDateTime)
        return value.toDateTime().date();
    const QString text = value.toString().trimmed();
    // Stored dates are ISO text; a time of day after the date plays no part.
    QDate d = QDate::fromString(text.left(10), Qt::ISODate);
    if (!d.isValid())
        d = parseDate(text.section(QLatin1Char(' '), 0, 0));
    return d;
}

} // namespace

// ---- ReportPage ----

ReportPage::ReportPage(const QString& code) : m_code(code), m_fileNumber(getReportFileHandle(code)) {}

ReportPage::~ReportPage() {
    // A page whose run ended without finish() is incomplete: it neither keeps its file number busy
    // nor replaces the page of its name.
    abandonFile();
}

void ReportPage::closeFile() {
    if (m_fileNumber != 0)
        closeReportFile(m_fileNumber);
}

void ReportPage::abandonFile() {
    if (m_fileNumber != 0)
        abandonReportFile(m_fileNumber);
}

QString ReportPage::open(int firstNumber, int secondNumber) {
    return open(QList<int>{firstNumber, secondNumber});
}

QString ReportPage::open(const QList<int>& numbers) {
    m_fileName = makeReportFileName(m_code, numbers);
    if (m_fileName.isEmpty())
        throw ReportRunError(QStringLiteral("Bad file name or number"));
    // File number 0 is no report's number: the catalogue has no row for the code.
    if (m_fileNumber == 0)
        throw ReportRunError(QStringLiteral("Bad file name or number"));
    if (!openReportFile(m_fileNumber, m_fileName))
        throw ReportFolderError(QStringLiteral("Bad file name or number"), true);
    loadReportColumns();
    m_attributes.loadReportCd(m_code);
    return m_fileName;
}

QString ReportPage::finish(bool show) {
    closeFile();
    if (show)
        openReportInBrowser(m_fileName);
    return m_fileName;
}

void ReportPage::loadReportColumns() {
    m_columns.clear();
    IDatabase db;
    if (!db.OpenResultSet(QStringLiteral("SELECT A.* FROM report_columns A, report B "
                                         " WHERE B.report_id = ? AND A.report_nmbr = B.report_nmbr"
                                         " ORDER BY column_order"),
                          {m_code}))
        return;
    for (; !db.isEOF(); db.MoveNext())
        m_columns.append(db.fields.toInt(QStringLiteral("column_nmbr")));
}

void ReportPage::writeLine(const QString& text) {
    writeReportLine(text, m_fileNumber);
}

void ReportPage::writeEmptyRow() {
    writeLine(QStringLiteral("<TR>"));
    writeLine(QStringLiteral("</TR>"));
}

int ReportPage::number(const QString& attributeText) {
    bool ok = false;
    const int n = attributeText.trimmed().toInt(&ok);
    if (!ok || n < std::numeric_limits<qint16>::min() || n > std::numeric_limits<qint16>::max())
        throw ReportRunError(QStringLiteral("Type mismatch"));
    return n;
}

RowStyle ReportPage::rowStyle(int rowIndex) {
    if (isOdd(rowIndex))
        return {number(m_attributes.oddRowTextSize(m_code)), m_attributes.oddRowTextColor(m_code),
                m_attributes.oddRowBackColor(m_code)};
    return {number(m_attributes.evenRowTextSize(m_code)), m_attributes.evenRowTextColor(m_code),
            m_attributes.evenRowBackColor(m_code)};
}

void ReportPage::writeHead(const QString& title) {
    writeLine(QStringLiteral("<html>"));
    writeLine(QStringLiteral("<head>"));
    writeLine(QStringLiteral("<title>") + title + QStringLiteral("</title>"));
    writeLine(QStringLiteral("</head>"));
    writeLine(styleTag(m_attributes.linkColor(m_code), m_attributes.VisitedlinkColor(m_code),
                       m_attributes.HoverlinkColor(m_code)));
    writeLine(bodyTag(m_attributes.backColor(m_code), m_attributes.backgroundImage(m_code)));
}

void ReportPage::writeHeaderImage() {
    writeLine(imageParagraph(m_attributes.headerImage(m_code), QStringLiteral("center")));
}

void ReportPage::writeTitle(const QString& text, int sizeDrop) {
    int size = titleTextSize() - sizeDrop;
    writeLine(fontParagraph(size, titleTextColor(), text, QStringLiteral("center")));
}

void ReportPage::writeRaceStatus(int raceStatusNmbr, bool qualifyingLine) {
    QString text;
    if (raceStatusNmbr == 1)
        text = QStringLiteral("Unofficial");
    else if (raceStatusNmbr == 3 && qualifyingLine)
        text = QStringLiteral("Qualifying");
    else
        return;
    writeLine(QStringLiteral("<br>"));
    writeTitle(text, 3);
}

void ReportPage::writeTableStart() {
    writeLine(tableTag(number(m_attributes.borderSize(m_code)), number(m_attributes.cellPadding(m_code)),
                       number(m_attributes.cellSpacing(m_code))));
}

void ReportPage::writeColumnHeadings(const HeadingFor& heading, const QString& extra) {
    writeLine(rowTag(headingBackColor()));
    if (m_columns.isEmpty())
        throw ReportRunError(QStringLiteral("No current record"));
    const int size = headingTextSize();
    const QString color = headingTextColor();
    for (int column : m_columns)
        if (const std::optional<QString> text = heading(column))
            writeLine(headingCell(size, color, *text, QStringLiteral("center"), 1, extra));
    writeLine(QStringLiteral("</TR>"));
}

void ReportPage::writeDataRow(int rowIndex, const CellFor& cell) {
    writeRow(rowStyle(rowIndex), cell);
}

void ReportPage::writeRow(const RowStyle& style, const CellFor& cell) {
    writeLine(rowTag(style.backColor));
    for (int column : m_columns)
        if (const std::optional<ReportCell> c = cell(column))
            writeLine(dataCell(style.size, style.textColor, c->text, c->align, QStringLiteral("1")));
    writeLine(QStringLiteral("</TR>"));
}

void ReportPage::writeTableEnd() {
    writeLine(QStringLiteral("</TABLE>"));
}

void ReportPage::writeFooter() {
    if (!m_attributes.includeFooter(m_code))
        return;
    int size = number(m_attributes.evenRowTextSize(m_code));
    // Below the table, on the page itself: in the page's (title) colour, as heading text would not show.
    writeLine(fontParagraph(size, titleTextColor(), footerText(now()), QStringLiteral("Center")));
}

void ReportPage::writeEnd() {
    writeLine(QStringLiteral("</body>"));
    writeLine(QStringLiteral("</html>"));
}

// ---- the run ----

namespace {

int scopeDepth = 0;         // request scopes in progress: the outermost is the user's request
int runDepth = 0;           // runReport calls in progress: a nested page's run is inside its parent's
bool refusedFolder = false; // the report folder refused a page of the request in progress

} // namespace

ReportRunScope::ReportRunScope() {
    if (scopeDepth++ == 0) {
        refusedFolder = false;
        removeReportLeftovers(reportsDir());
    }
}

ReportRunScope::~ReportRunScope() {
    --scopeDepth;
}

bool ReportRunScope::folderRefused() {
    return refusedFolder;
}

QString runReport(const QString& code, const QString& statusText, const std::function<QString(ReportPage&)>& body) {
    ReportRunScope scope;
    if (refusedFolder)
        return QString(); // an earlier page of this request could not be written: none can
    setMousePointer(PointerHourglass);
    QString result;
    ReportPage page(code);
    setStatus(statusText);
    struct Nesting {
        Nesting() { ++runDepth; }
        ~Nesting() { --runDepth; }
    } nesting;
    try {
        result = body(page);
    } catch (const ReportFolderError& e) {
        page.abandonFile();
        result.clear();
        if (!refusedFolder) {
            refusedFolder = true;
            if (!e.shown()) {
                setMousePointer(PointerDefault);
                showRunBox(reportFolderMessage(e.description()), MsgIcon::Critical);
            }
        }
        if (runDepth > 1) {
            // The page that holds this one cannot be finished either: it ends on the same refusal.
            setStatus();
            throw;
        }
    } catch (const std::exception&) {
        setMousePointer(PointerDefault);
        showRunBox(QStringLiteral("Error generating report ") + page.fileName(), MsgIcon::Critical);
        page.abandonFile();
        result.clear();
    }
    setStatus();
    setMousePointer(PointerDefault);
    return result;
}

void showReportMessage(const QString& text) {
    showRunBox(text, MsgIcon::Information);
}

// ---- cell texts ----

QString cellText(const QVariant& value) {
    return value.isNull() ? QString() : htmlText(value.toString());
}

QString cellNumber(qint64 value) {
    return QString::number(value);
}

QString cellDate(const QVariant& value) {
    return shortDate(dateOf(value));
}

QString cellMoney(const QVariant& value) {
    return moneyText(Currency::fromVariant(value));
}

QString carNumberOrder(const QString& column) {
    const QString t = QStringLiteral("trim(ifnull(") + column + QStringLiteral(", ''))");
    const QString digitsOnly = QStringLiteral(" NOT GLOB '*[^0-9]*'");
    return QStringLiteral("CASE WHEN ") + t + QStringLiteral(" = '' THEN 0 WHEN ") + t + digitsOnly +
           QStringLiteral(" OR (length(") + t + QStringLiteral(") > 1 AND substr(") + t +
           QStringLiteral(", 1, 1) IN ('+', '-') AND substr(") + t + QStringLiteral(", 2)") + digitsOnly +
           QStringLiteral(") THEN 1 ELSE 2 END, CAST(") + t + QStringLiteral(" AS INTEGER), ") + column +
           QStringLiteral(" COLLATE NOCASE, ") + column;
}

QString dateKey(const QVariant& value) {
    const QDate d = dateOf(value);
    return d.isValid() ? d.toString(Qt::ISODate) : QString();
}

void addToSum(qint32& sum, double value) {
    const double total = std::nearbyint(double(sum) + value); // the default rounding: halves to even
    if (total < std::numeric_limits<qint32>::min() || total > std::numeric_limits<qint32>::max())
        throw ReportRunError(QStringLiteral("Overflow"));
    sum = qint32(total);
}

QString footerText(const QDateTime& now) {
    return QStringLiteral("Created ") + dateTimeText(now) + QStringLiteral("<BR>Powered By <A href=") +
           QLatin1String(kMakerWebAddress) + QStringLiteral(">Quorvanti</a>");
}

QString getGroupDisplay(const QVariant& groupNmbr) {
    bool numeric = false;
    const int n = groupNmbr.isNull() ? 0 : groupNmbr.toString().trimmed().toInt(&numeric);
    if (!numeric || n <= 0)
        return QString();
    cGroup group;
    group.load(n);
    return htmlText(group.groupName());
}

bool holdingShownOnRaceDay(const IDatabase& db) {
    const QString race = dateKey(db.fields(QStringLiteral("race_dt")));
    const QString term = dateKey(db.fields(QStringLiteral("term_dt")));
    if (!term.isEmpty() && term < race)
        return false;
    return !(dateKey(db.fields(QStringLiteral("efctv_dt"))) > race);
}
