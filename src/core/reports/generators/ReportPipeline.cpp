#include "reports/generators/ReportPipeline.h"

#include "data/cGroup.h"

#include "data/Feedback.h"
#include "data/IDatabase.h"
#include "data/Paths.h"
#include "data/SqlText.h"
#include "data/TextFiles.h"
#include "platform/Clock.h"

#include "reports/generators/ReportRequestState.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A box of a report run: the hourglass is lifted while it shows, and put back after. The box
// says why a page is not written, so the status no longer says it is being created.
void showRunBox(const QString& text, MsgIcon icon) {
    setStatus();
    const int previous = ui().pointer();
    if (previous == PointerHourglass)
        ui().setPointer(PointerDefault);
    ui().messageBox(text, QString::fromLatin1(kProductName), icon, MsgButtons::Ok);
    ui().setPointer(previous);
}

// The decimal digits of a number, "-" before a negative one, into digits.
QStringView decimalDigits(char16_t (&digits)[24], qint64 n) {
    int i = std::size(digits);
    quint64 rest = n < 0 ? 0 - quint64(n) : quint64(n);
    do {
        digits[--i] = char16_t(u'0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    if (n < 0)
        digits[--i] = u'-';
    return QStringView(digits + i, std::size(digits) - i);
}

int scopeDepth = 0; // request scopes in progress: the outermost is the user's request
int runDepth = 0;   // runReport calls in progress: a nested page's run is inside its parent's

// Thrown by ReportPage::open for a nested page the request has written already; runReport gives its
// name without writing it again.
struct PageWrittenAlready {};

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

ReportPage::ReportPage(const QString& code)
    : m_code(code), m_fileNumber(ReportRequestState::current().fileNumber(code)) {}

ReportPage::~ReportPage() {
    // A page whose run ended without finish() is incomplete: it neither keeps its file number busy
    // nor replaces the page of its name.
    abandonFile();
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
    if (runDepth > 1 && ReportRequestState::current().hasWritten(m_fileName))
        throw PageWrittenAlready{};
    if (!openReportFile(m_fileNumber, m_fileName))
        throw ReportFolderError(QStringLiteral("Bad file name or number"), true);
    m_columns = ReportRequestState::current().columns(m_code);
    return m_fileName;
}

bool ReportPage::nested() {
    return runDepth > 1;
}

bool ReportPage::writtenInRequest(const QList<int>& numbers) {
    const QString name = makeReportFileName(m_code, numbers);
    if (!nested() || !ReportRequestState::current().hasWritten(name))
        return false;
    m_fileName = name;
    return true;
}

QString ReportPage::finish(bool show) {
    if (m_fileNumber != 0)
        closeReportFile(m_fileNumber);
    ReportRequestState::current().noteWritten(m_fileName);
    if (show)
        openReportInBrowser(m_fileName);
    return m_fileName;
}

cReportAttributesCollection& ReportPage::attributes() {
    return ReportRequestState::current().attributes(m_code);
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

int ReportPage::titleTextSize() {
    if (!m_titleTextSize)
        m_titleTextSize = number(attributes().titleTextSize(m_code));
    return *m_titleTextSize;
}

int ReportPage::headingTextSize() {
    if (!m_headingTextSize)
        m_headingTextSize = number(attributes().headingTextSize(m_code));
    return *m_headingTextSize;
}

const QString& ReportPage::titleTextColor() {
    if (!m_titleTextColor)
        m_titleTextColor = attributes().titleTextColor(m_code);
    return *m_titleTextColor;
}

const QString& ReportPage::headingTextColor() {
    if (!m_headingTextColor)
        m_headingTextColor = attributes().headingTextColor(m_code);
    return *m_headingTextColor;
}

const QString& ReportPage::headingBackColor() {
    if (!m_headingBackColor)
        m_headingBackColor = attributes().headingBackColor(m_code);
    return *m_headingBackColor;
}

RowStyle ReportPage::rowStyle(int rowIndex) {
    // The attributes stay as they are while the page is written: each style is read once.
    if (isOdd(rowIndex)) {
        if (!m_oddRowStyle)
            m_oddRowStyle = RowStyle{number(attributes().oddRowTextSize(m_code)), attributes().oddRowTextColor(m_code),
                                     attributes().oddRowBackColor(m_code)};
        return *m_oddRowStyle;
    }
    if (!m_evenRowStyle)
        m_evenRowStyle = RowStyle{number(attributes().evenRowTextSize(m_code)), attributes().evenRowTextColor(m_code),
                                  attributes().evenRowBackColor(m_code)};
    return *m_evenRowStyle;
}

void ReportPage::writeHead(const QString& title) {
    writeLine(QStringLiteral("<html>"));
    writeLine(QStringLiteral("<head>"));
    writeLine(QStringLiteral("<title>") + title + QStringLiteral("</title>"));
    writeLine(QStringLiteral("</head>"));
    writeLine(styleTag(attributes().linkColor(m_code), attributes().VisitedlinkColor(m_code),
                       attributes().HoverlinkColor(m_code)));
    writeLine(bodyTag(attributes().backColor(m_code), attributes().backgroundImage(m_code)));
}

void ReportPage::writeHeaderImage() {
    writeLine(imageParagraph(attributes().headerImage(m_code), QStringLiteral("center")));
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
    writeLine(tableTag(number(attributes().borderSize(m_code)), number(attributes().cellPadding(m_code)),
                       number(attributes().cellSpacing(m_code))));
}

void ReportPage::writeColumnHeadings(const HeadingFor& heading, const QString& extra) {
    writeLine(rowTag(headingBackColor()));
    if (m_columns.isEmpty())
        throw ReportRunError(QStringLiteral("No current record"));
    for (int column : m_columns)
        if (const std::optional<QString> text = heading(column))
            writeLine(headingCell(headingTextSize(), headingTextColor(), *text, QStringLiteral("center"), 1, extra));
    writeLine(QStringLiteral("</TR>"));
}

void ReportPage::writeDataRow(int rowIndex, const CellFor& cell) {
    const RowStyle style = rowStyle(rowIndex);
    writeLine(rowTagOf(style.backColor));
    for (int column : m_columns)
        if (const std::optional<ReportCell> c = cell(column))
            writeCell(style, *c);
    writeLine(QStringLiteral("</TR>"));
}

const QString& ReportPage::rowTagOf(const QString& backColor) {
    for (const auto& [color, tag] : m_rowTags)
        if (color == backColor)
            return tag;
    m_rowTags.emplace_back(backColor, rowTag(backColor));
    return m_rowTags.back().second;
}

void ReportPage::writeCell(const RowStyle& style, const ReportCell& cell) {
    // A page of race rows holds tens of thousands of data cells, nearly all of a few styles and
    // alignments: each start is turned into page bytes once a page, rather than once a cell, which takes
    // a fifth off the processor time of a package (bench/reports).
    static const QByteArray end = reportPageBytes(kDataCellEnd);
    auto known = std::find_if(m_cellStarts.begin(), m_cellStarts.end(), [&](const CellStart& c) {
        return c.size == style.size && c.align == cell.align && c.color == style.textColor;
    });
    if (known == m_cellStarts.end())
        known = m_cellStarts.insert(
            known, {style.size, style.textColor, cell.align,
                    reportPageBytes(dataCellStart(style.size, style.textColor, cell.align, QStringLiteral("1")))});
    char16_t digits[24];
    const QStringView text = cell.number           ? decimalDigits(digits, *cell.number)
                             : cell.text.isEmpty() ? kNoText
                                                   : QStringView(cell.text);
    writeReportLine(known->bytes, text, end, m_fileNumber);
}

void ReportPage::writeTableEnd() {
    writeLine(QStringLiteral("</TABLE>"));
}

void ReportPage::writeFooter() {
    if (!attributes().includeFooter(m_code))
        return;
    // Below the table, on the page itself: in the page's (title) colour, as heading text would not show.
    int size = number(attributes().evenRowTextSize(m_code));
    writeLine(fontParagraph(size, titleTextColor(), footerText(now()), QStringLiteral("Center")));
}

void ReportPage::writeEnd() {
    writeLine(QStringLiteral("</body>"));
    writeLine(QStringLiteral("</html>"));
}

// ---- the run ----

namespace {

bool refusedFolder = false; // the report folder refused a page of the request in progress

} // namespace

ReportRunScope::ReportRunScope() {
    if (scopeDepth++ == 0) {
        refusedFolder = false;
        ReportRequestState::begin();
        removeReportLeftovers(reportsDir());
    }
}

ReportRunScope::~ReportRunScope() {
    // What the request read is not kept for the next one: the data may change in between.
    if (--scopeDepth == 0)
        ReportRequestState::end();
}

bool ReportRunScope::folderRefused() {
    return refusedFolder;
}

QString reportRunName(const QString& code) {
    // The names the reports' runs have always shown, odd ones included ("Stangings"); the tree's
    // captions differ from some of them.
    static const std::pair<const char*, const char*> names[] = {
        {"RD", "Race Detail Report"},
        {"TR", "Team Race Detail Report"},
        {"LS", "League Stangings Report"},
        {"RS", "League Race Standings Report"},
        {"LR", "League Race Summary Report"},
        {"TD", "Team Detail Report"},
        {"TC", "Team Cars Report"},
        {"TT", "Team Trades Report"},
        {"DT", "Teams per Car/Driver Report"},
        {"CP", "Car/Driver Picks Report"},
        {"CD", "Cars Detail Report"},
        {"RR", "Race Results Report"},
        {"DS", "Driver Stats Report"},
        {"RP", "Report Package"},
    };
    for (const auto& [c, name] : names)
        if (code == QLatin1String(c))
            return QLatin1String(name);
    return code + QStringLiteral(" Report");
}

QString reportOutcomeText(const QString& code, bool written) {
    return reportRunName(code) + (written ? QStringLiteral(" Created") : QStringLiteral(" Not Created"));
}

QString runReport(const QString& code, const std::function<QString(ReportPage&)>& body) {
    ReportRunScope scope;
    if (refusedFolder)
        return QString(); // an earlier page of this request could not be written: none can
    setMousePointer(PointerHourglass);
    QString result;
    ReportPage page(code);
    setStatus(QStringLiteral("Creating ") + reportRunName(code));
    struct Nesting {
        Nesting() { ++runDepth; }
        ~Nesting() { --runDepth; }
    } nesting;
    try {
        result = body(page);
    } catch (const PageWrittenAlready&) {
        result = page.fileName();
    } catch (const ReportReadingFailed&) {
        page.abandonFile(); // the engine's box has been shown
        result.clear();
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

ReportCell valueCell(const QVariant& value, const QString& align) {
    if (value.typeId() == QMetaType::LongLong)
        return numberCell(value.value<qlonglong>(), align);
    return ReportCell{cellText(value), align};
}

QString cellText(const cFields& fields, const QString& name) {
    const StoredRows::Value* v = fields.stored(name);
    if (!v)
        return QString();
    if (v->kind == SqlValue::Integer)
        return cellNumber(v->integer);
    return htmlText(fields.text(*v)); // a NULL is a null text, which stays one
}

QString cellNumber(qint64 value) {
    return QString::number(value);
}

QString cellDate(const QVariant& value) {
    const QDate date = dateOf(value);
    if (!date.isValid())
        return QString();
    return ReportRequestState::inProgress() ? ReportRequestState::current().dateText(date) : shortDate(date);
}

QString cellMoney(const QVariant& value) {
    const Currency amount = Currency::fromVariant(value);
    return ReportRequestState::inProgress() ? ReportRequestState::current().moneyText(amount) : moneyText(amount);
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

bool holdingShownOnRaceDay(const QVariant& raceDt, const QVariant& efctvDt, const QVariant& termDt) {
    const QString race = dateKey(raceDt);
    const QString term = dateKey(termDt);
    if (!term.isEmpty() && term < race)
        return false;
    return !(dateKey(efctvDt) > race);
}
