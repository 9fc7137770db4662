#include "reports/generators/ReportPipeline.h"

#include "data/cGroup.h"

#include "data/Feedback.h"
#include "data/IDatabase.h"
#include "data/Paths.h"
#include "data/SqlText.h"
#include "data/TextFiles.h"
#include "platform/Clock.h"

#include "posting/RaceOrder.h"
#include "posting/cLeagueStandingsCollection.h"

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace {

// A box of a report run: the hourglass is lifted while it shows, and put back after.
void showRunBox(const QString& text, MsgIcon icon) {
    const int previous = ui().pointer();
    if (previous == PointerHourglass)
        ui().setPointer(PointerDefault);
    ui().messageBox(text, QString::fromLatin1(kProductName), icon, MsgButtons::Ok);
    ui().setPointer(previous);
}

// What a request reads once: nothing a request does changes the data, so a page, a report's set-up
// or a league's standings read for one page of the request hold for every other page of it.
// A heading cell's line by what it is made of.
struct HeadingCellKey {
    int size;
    QString color, text, extra;
    bool operator==(const HeadingCellKey&) const = default;
};

size_t qHash(const HeadingCellKey& key, size_t seed = 0) {
    return qHashMulti(seed, key.size, key.color, key.text, key.extra);
}

struct RequestMemory {
    // The pages put in place. A page's name stands for the numbers its content depends on, so a page
    // that other pages link to is written once however many pages link to it.
    QSet<QString> writtenPages;
    // A report's file number, chosen columns and attributes, by report code.
    struct Setup {
        std::optional<int> fileNumber;
        std::optional<QList<int>> columns;
        std::shared_ptr<cReportAttributesCollection> attributes;
    };
    QHash<QString, Setup> setups;
    // Each team's points in each race of a league that its standings count (the race's points are
    // summed over the season's races), by league, then race, then team.
    QHash<int, QHash<int, QHash<int, qint64>>> leaguePoints;
    // The teams' season points by league and race, and the leagues asked for.
    QHash<QPair<int, int>, QHash<int, qint64>> seasonPoints;
    QSet<int> leaguesAsked;
    // What readOncePerRequest keeps, by its key.
    QHash<QString, std::shared_ptr<const void>> kept;
    // Dates (by day number) and amounts (by units) in the user's regional forms: a page shows the same
    // few of each on many rows, and the forms stay as they are while a request runs.
    QHash<qint64, QString> dateTexts, moneyTexts;
    // The heading cells of the request's pages: the pages of a report repeat the same heading row.
    QHash<HeadingCellKey, QString> headingCells;
    // The last footer line written: the pages of a request written within one second carry the same.
    struct Footer {
        int size;
        QString color;
        QDate date;
        int second; // of the day
        QString line;
    };
    std::optional<Footer> footer;

    void clear() {
        headingCells.clear();
        footer.reset();
        dateTexts.clear();
        moneyTexts.clear();
        writtenPages.clear();
        setups.clear();
        leaguePoints.clear();
        seasonPoints.clear();
        leaguesAsked.clear();
        kept.clear();
    }
};

int scopeDepth = 0; // request scopes in progress: the outermost is the user's request
int runDepth = 0;   // runReport calls in progress: a nested page's run is inside its parent's

RequestMemory& request() {
    static RequestMemory memory;
    // Outside a request nothing is kept from one call to the next.
    if (scopeDepth == 0)
        memory.clear();
    return memory;
}

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

std::shared_ptr<cReportAttributesCollection> requestAttributes(const QString& code) {
    RequestMemory::Setup& setup = request().setups[code];
    if (!setup.attributes) {
        setup.attributes = std::make_shared<cReportAttributesCollection>();
        setup.attributes->loadReportCd(code);
    }
    return setup.attributes;
}

std::shared_ptr<const void> keptForRequest(const QString& key,
                                           const std::function<std::shared_ptr<const void>()>& read) {
    RequestMemory& memory = request();
    const auto it = memory.kept.constFind(key);
    if (it != memory.kept.constEnd())
        return *it;
    std::shared_ptr<const void> value = read();
    if (value && scopeDepth > 0)
        memory.kept.insert(key, value);
    return value;
}

std::shared_ptr<const void> keptSoFar(const QString& key) {
    return scopeDepth > 0 ? request().kept.value(key) : nullptr;
}

// ---- ReportPage ----

ReportPage::ReportPage(const QString& code)
    : m_code(code), m_attributes(std::make_shared<cReportAttributesCollection>()) {
    RequestMemory::Setup& setup = request().setups[code];
    if (!setup.fileNumber)
        setup.fileNumber = getReportFileHandle(code);
    m_fileNumber = *setup.fileNumber;
}

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
    if (runDepth > 1 && request().writtenPages.contains(m_fileName))
        throw PageWrittenAlready{};
    if (!openReportFile(m_fileNumber, m_fileName))
        throw ReportFolderError(QStringLiteral("Bad file name or number"), true);
    RequestMemory::Setup& setup = request().setups[m_code];
    if (!setup.columns) {
        loadReportColumns();
        setup.columns = m_columns;
    } else {
        m_columns = *setup.columns;
    }
    m_attributes = requestAttributes(m_code);
    m_oddRowStyle.reset();
    m_evenRowStyle.reset();
    m_titleTextSize.reset();
    m_headingTextSize.reset();
    m_titleTextColor.reset();
    m_headingTextColor.reset();
    m_headingBackColor.reset();
    return m_fileName;
}

bool ReportPage::writtenInRequest(const QList<int>& numbers) {
    if (runDepth < 2 || !request().writtenPages.contains(makeReportFileName(m_code, numbers)))
        return false;
    m_fileName = makeReportFileName(m_code, numbers);
    return true;
}

QString ReportPage::finish(bool show) {
    closeFile();
    request().writtenPages.insert(m_fileName);
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

int ReportPage::titleTextSize() {
    if (!m_titleTextSize)
        m_titleTextSize = number(m_attributes->titleTextSize(m_code));
    return *m_titleTextSize;
}

int ReportPage::headingTextSize() {
    if (!m_headingTextSize)
        m_headingTextSize = number(m_attributes->headingTextSize(m_code));
    return *m_headingTextSize;
}

const QString& ReportPage::titleTextColor() {
    if (!m_titleTextColor)
        m_titleTextColor = m_attributes->titleTextColor(m_code);
    return *m_titleTextColor;
}

const QString& ReportPage::headingTextColor() {
    if (!m_headingTextColor)
        m_headingTextColor = m_attributes->headingTextColor(m_code);
    return *m_headingTextColor;
}

const QString& ReportPage::headingBackColor() {
    if (!m_headingBackColor)
        m_headingBackColor = m_attributes->headingBackColor(m_code);
    return *m_headingBackColor;
}

RowStyle ReportPage::rowStyle(int rowIndex) {
    // The attributes stay as they are while the page is written: each style is read once.
    if (isOdd(rowIndex)) {
        if (!m_oddRowStyle)
            m_oddRowStyle = RowStyle{number(m_attributes->oddRowTextSize(m_code)),
                                     m_attributes->oddRowTextColor(m_code), m_attributes->oddRowBackColor(m_code)};
        return *m_oddRowStyle;
    }
    if (!m_evenRowStyle)
        m_evenRowStyle = RowStyle{number(m_attributes->evenRowTextSize(m_code)), m_attributes->evenRowTextColor(m_code),
                                  m_attributes->evenRowBackColor(m_code)};
    return *m_evenRowStyle;
}

void ReportPage::writeHead(const QString& title) {
    writeLine(QStringLiteral("<html>"));
    writeLine(QStringLiteral("<head>"));
    writeLine(QStringLiteral("<title>") + title + QStringLiteral("</title>"));
    writeLine(QStringLiteral("</head>"));
    writeLine(styleTag(m_attributes->linkColor(m_code), m_attributes->VisitedlinkColor(m_code),
                       m_attributes->HoverlinkColor(m_code)));
    writeLine(bodyTag(m_attributes->backColor(m_code), m_attributes->backgroundImage(m_code)));
}

void ReportPage::writeHeaderImage() {
    writeLine(imageParagraph(m_attributes->headerImage(m_code), QStringLiteral("center")));
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
    writeLine(tableTag(number(m_attributes->borderSize(m_code)), number(m_attributes->cellPadding(m_code)),
                       number(m_attributes->cellSpacing(m_code))));
}

void ReportPage::writeColumnHeadings(const HeadingFor& heading, const QString& extra) {
    writeLine(rowTag(headingBackColor()));
    if (m_columns.isEmpty())
        throw ReportRunError(QStringLiteral("No current record"));
    const int size = headingTextSize();
    const QString color = headingTextColor();
    QHash<HeadingCellKey, QString>& made = request().headingCells;
    for (int column : m_columns)
        if (const std::optional<QString> text = heading(column)) {
            HeadingCellKey key{size, color, *text, extra};
            auto line = made.constFind(key);
            if (line == made.constEnd())
                line = made.insert(key, headingCell(size, color, *text, QStringLiteral("center"), 1, extra));
            writeLine(*line);
        }
    writeLine(QStringLiteral("</TR>"));
}

void ReportPage::writeDataRow(int rowIndex, const CellFor& cell) {
    writeRow(rowStyle(rowIndex), cell);
}

namespace {

const QByteArray kDataCellEndBytes = reportPageBytes(kDataCellEnd);

} // namespace

void ReportPage::writeRow(const RowStyle& style, const CellFor& cell) {
    writeLine(rowTagOf(style.backColor));
    for (int column : m_columns)
        if (const std::optional<ReportCell> c = cell(column))
            writeReportLine(knownCellStart(style, c->align).bytes, c->text.isEmpty() ? kNoText : QStringView(c->text),
                            kDataCellEndBytes, m_fileNumber);
    writeLine(QStringLiteral("</TR>"));
}

const QString& ReportPage::rowTagOf(const QString& backColor) {
    for (const auto& [color, tag] : m_rowTags)
        if ((color.constData() == backColor.constData() && color.size() == backColor.size()) || color == backColor)
            return tag;
    m_rowTags.emplace_back(backColor, rowTag(backColor));
    return m_rowTags.back().second;
}

const QString& ReportPage::cellStart(const RowStyle& style, const QString& align) {
    return knownCellStart(style, align).start;
}

const ReportPage::CellStart& ReportPage::knownCellStart(const RowStyle& style, const QString& align) {
    // A page has a few row styles and alignments: each start is made once. The texts asked for are
    // mostly the very ones the start was made with.
    auto same = [](const QString& a, const QString& b) {
        return (a.constData() == b.constData() && a.size() == b.size()) || a == b;
    };
    for (const CellStart& known : m_cellStarts)
        if (known.size == style.size && same(known.align, align) && same(known.color, style.textColor))
            return known;
    const QString start = dataCellStart(style.size, style.textColor, align, QStringLiteral("1"));
    m_cellStarts.push_back({style.size, style.textColor, align, start, reportPageBytes(start)});
    return m_cellStarts.back();
}

void ReportPage::writeTableEnd() {
    writeLine(QStringLiteral("</TABLE>"));
}

void ReportPage::writeFooter() {
    if (!m_attributes->includeFooter(m_code))
        return;
    int size = number(m_attributes->evenRowTextSize(m_code));
    const QDateTime moment = now();
    const QDate date = moment.date();
    const int second = moment.time().msecsSinceStartOfDay() / 1000;
    std::optional<RequestMemory::Footer>& made = request().footer;
    if (!made || made->size != size || made->color != titleTextColor() || made->date != date ||
        made->second != second) {
        // Below the table, on the page itself: in the page's (title) colour, as heading text would not show.
        const int asked = size;
        made =
            RequestMemory::Footer{asked, titleTextColor(), date, second,
                                  fontParagraph(size, titleTextColor(), footerText(moment), QStringLiteral("Center"))};
    }
    writeLine(made->line);
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
        request().clear();
        removeReportLeftovers(reportsDir());
    }
}

ReportRunScope::~ReportRunScope() {
    // What the request read is not kept for the next one: the data may change in between.
    if (--scopeDepth == 0)
        request().clear();
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
    } catch (const PageWrittenAlready&) {
        result = page.fileName();
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

namespace {

// What the league's standings sum, race by race: the rows of its teams in races of its race type.
const QHash<int, QHash<int, qint64>>& leaguePointsByRace(int leagueNmbr) {
    auto& memo = request().leaguePoints;
    auto it = memo.constFind(leagueNmbr);
    if (it != memo.constEnd())
        return *it;
    QHash<int, QHash<int, qint64>> byRace;
    IDatabase db;
    // A team's line of a race is one row of the league's key: grouped in the key's order, the rows need
    // no sorting.
    if (db.OpenResultSet(QStringLiteral("SELECT team_results_summary.team_nmbr, races.race_nmbr, sum(points) as "
                                        "sum_points"
                                        " FROM team_results_summary, teams, races, leagues"
                                        " WHERE team_results_summary.team_nmbr = teams.team_nmbr"
                                        " AND team_results_summary.race_nmbr = races.race_nmbr"
                                        " AND team_results_summary.league_nmbr = leagues.league_nmbr"
                                        " AND team_results_summary.league_nmbr = ?"
                                        " AND races.race_type_nmbr = leagues.race_type_nmbr"
                                        " GROUP BY team_results_summary.race_nmbr, team_results_summary.team_nmbr"),
                         {leagueNmbr}))
        for (; !db.isEOF(); db.MoveNext())
            byRace[db.fields.toInt(QStringLiteral("race_nmbr"))].insert(
                db.fields.toInt(QStringLiteral("team_nmbr")), db.fields.toInt64(QStringLiteral("sum_points")));
    return *memo.insert(leagueNmbr, byRace);
}

} // namespace

std::shared_ptr<const cLeagueStandingsCollection> leagueStandingsAsOf(int leagueNmbr, int raceNmbr, bool highScore) {
    return readOncePerRequest<cLeagueStandingsCollection>(
        QStringLiteral("league standings %1 %2 %3").arg(leagueNmbr).arg(raceNmbr).arg(int(highScore)), [&] {
            auto standings = std::make_shared<cLeagueStandingsCollection>();
            standings->load(leagueNmbr, raceNmbr, highScore);
            return std::shared_ptr<const cLeagueStandingsCollection>(std::move(standings));
        });
}

QHash<int, qint64> seasonPointsOfTeamsAsOf(int leagueNmbr, int raceNmbr) {
    RequestMemory& memory = request();
    auto it = memory.seasonPoints.constFind({leagueNmbr, raceNmbr});
    if (it != memory.seasonPoints.constEnd())
        return *it;
    QHash<int, qint64> points;
    if (!memory.leaguesAsked.contains(leagueNmbr)) {
        // The first race of the league the request asks for: its standings.
        const std::shared_ptr<const cLeagueStandingsCollection> standings =
            leagueStandingsAsOf(leagueNmbr, raceNmbr, true);
        for (const cLeagueStandings& line : *standings)
            if (!points.contains(line.teamNmbr()))
                points.insert(line.teamNmbr(), line.points());
    } else {
        // A request that asks for more races of the league (a page per race) sums the league's points
        // per race over the races the standings count, rather than the whole season again each time.
        const QHash<int, QHash<int, qint64>>& byRace = leaguePointsByRace(leagueNmbr);
        IDatabase counted;
        if (counted.OpenResultSet(QStringLiteral("SELECT races.race_nmbr FROM races WHERE ") +
                                  raceUpToCondition(QStringLiteral("races"), raceNmbr)))
            for (; !counted.isEOF(); counted.MoveNext()) {
                const auto race = byRace.constFind(counted.fields.toInt(QStringLiteral("race_nmbr")));
                if (race != byRace.constEnd())
                    for (auto team = race->constBegin(); team != race->constEnd(); ++team)
                        points[team.key()] += team.value();
            }
    }
    memory.leaguesAsked.insert(leagueNmbr);
    memory.seasonPoints.insert({leagueNmbr, raceNmbr}, points);
    return points;
}

qint64 seasonPointsAsOf(int leagueNmbr, int raceNmbr, int teamNmbr) {
    RequestMemory& memory = request();
    const auto it = memory.seasonPoints.constFind({leagueNmbr, raceNmbr});
    if (it != memory.seasonPoints.constEnd())
        return it->value(teamNmbr, 0);
    if (runDepth > 1)
        return seasonPointsOfTeamsAsOf(leagueNmbr, raceNmbr).value(teamNmbr, 0);
    // A page of its own needs its one team's line.
    cLeagueStandingsCollection standings;
    standings.loadTeam(leagueNmbr, raceNmbr, teamNmbr);
    return standings.pointsForTeam(teamNmbr);
}

void showReportMessage(const QString& text) {
    showRunBox(text, MsgIcon::Information);
}

// ---- cell texts ----

QString cellText(const QVariant& value) {
    return value.isNull() ? QString() : htmlText(value.toString());
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
    if (scopeDepth == 0 || !date.isValid())
        return shortDate(date);
    QHash<qint64, QString>& known = request().dateTexts;
    auto it = known.constFind(date.toJulianDay());
    if (it == known.constEnd())
        it = known.insert(date.toJulianDay(), shortDate(date));
    return *it;
}

QString cellMoney(const QVariant& value) {
    const Currency amount = Currency::fromVariant(value);
    if (scopeDepth == 0)
        return moneyText(amount);
    QHash<qint64, QString>& known = request().moneyTexts;
    auto it = known.constFind(amount.units());
    if (it == known.constEnd())
        it = known.insert(amount.units(), moneyText(amount));
    return *it;
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
