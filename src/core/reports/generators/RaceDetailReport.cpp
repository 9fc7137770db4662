#include "reports/generators/RaceDetailReport.h"

#include "data/IDatabase.h"
#include "reports/generators/RaceDetailColumns.h"
#include "reports/generators/ReportPipeline.h"

#include <QHash>
#include <algorithm>
#include <vector>

namespace {

using RaceDetailColumns::Variant;

class RaceDetailPage {
public:
    RaceDetailPage(ReportPage& page, IDatabase& db, int leagueNmbr, int raceNmbr)
        : m_page(page), m_db(db), m_seasonPoints(seasonPointsOfTeamsAsOf(leagueNmbr, raceNmbr)) {}

    void write() {
        m_activeOnly = m_page.includeActiveOnly();
        m_db.MoveFirst();
        m_page.writeHead(QStringLiteral("Race Detail Report"));
        m_page.writeHeaderImage();
        m_page.writeEmptyRow();
        m_page.writeLine(QStringLiteral("<br>"));
        m_page.writeTitle(cellText(m_db.fields(QStringLiteral("league_name"))));
        m_page.writeLine(QStringLiteral("<br>"));
        m_page.writeTitle(cellText(m_db.fields(QStringLiteral("race_name"))), 2);
        m_page.writeRaceStatus(m_db.fields.toInt(QStringLiteral("race_status_nmbr")));
        m_page.writeTableStart();
        m_page.writeColumnHeadings([](int c) { return RaceDetailColumns::heading(c, Variant::RaceDetail); }, QString());
        writeTeamGroups();
        m_page.writeTableEnd();
        m_page.writeFooter();
        m_page.writeEnd();
    }

private:
    // One group per team: two teams of the same name are two groups with their own totals.
    void writeTeamGroups() {
        makeRowParts();
        int team = m_db.fields.toInt(QStringLiteral("team_nmbr"));
        qint32 racePoints = 0;
        int rowIndex = 1;
        writeTeamHeader(m_db.fields.toText(QStringLiteral("team_name")));
        for (; !m_db.isEOF(); m_db.MoveNext()) {
            const StoredRows::Value& teamValue = m_rows.at(m_db.position(), m_teamColumn);
            const int rowTeam = teamValue.kind == SqlValue::Integer && teamValue.integer == int(teamValue.integer)
                                    ? int(teamValue.integer)
                                    : m_db.fields.toInt(QStringLiteral("team_nmbr"));
            if (rowTeam != team) {
                writeTeamTotals(racePoints, m_seasonPoints.value(team, 0));
                m_page.writeEmptyRow();
                team = rowTeam;
                racePoints = 0;
                writeTeamHeader(m_db.fields.toText(QStringLiteral("team_name")));
            }
            if (isRowActive()) {
                writeDataRow(rowIndex);
                ++rowIndex;
            }
            // Hidden rows still count: the totals are the team's, not the page's.
            const StoredRows::Value& points = m_rows.at(m_db.position(), m_pointsColumn);
            addToSum(racePoints, points.kind == SqlValue::Integer ? double(points.integer)
                                                                  : m_db.fields.toDouble(QStringLiteral("points")));
        }
        writeTeamTotals(racePoints, m_seasonPoints.value(team, 0));
    }

    // A page holds thousands of data cells: each is written as the bytes made once a page before and
    // after its value, the value going in as it is stored when it is plain text or a whole number. Any
    // other value takes the cell texts' own way.
    enum class CellKind { Place, Text, Sponsor, Date };
    struct CellPlan {
        int column;
        CellKind kind;
        int value;           // of the rows
        QByteArray start[2]; // for odd and even rows
    };

    void makeRowParts() {
        m_teamColumn = m_rows.columnOf(u"team_nmbr");
        m_pointsColumn = m_rows.columnOf(u"points");
        m_carTypeColumn = m_rows.columnOf(u"car_type_nmbr");
        const QByteArray lineEnd("\r\n");
        m_cellEnd = reportPageBytes(kDataCellEnd);
        m_cellEndLine = m_cellEnd + lineEnd;
        m_rowEnd = reportPageBytes(u"</TR>") + lineEnd;
        const RowStyle styles[2] = {m_page.rowStyle(1), m_page.rowStyle(2)};
        for (int p = 0; p < 2; ++p)
            m_rowStart[p] = reportPageBytes(m_page.rowTagOf(styles[p].backColor)) + lineEnd;
        for (int c : m_page.columns()) {
            CellKind kind = CellKind::Text;
            const char* name = nullptr;
            switch (c) {
            case ColPlace:
                kind = CellKind::Place;
                name = "place";
                break;
            case ColCarTxt:
                name = "car_txt";
                break;
            case ColDriverName:
                name = "driver_name";
                break;
            case ColSponsor:
                kind = CellKind::Sponsor;
                name = "sponsor";
                break;
            case ColTermDt:
                kind = CellKind::Date;
                name = "term_dt";
                break;
            case ColLapsLedBonus:
                name = "laps_led_bonus";
                break;
            case ColMostLapsLedBonus:
                name = "most_laps_led_bonus";
                break;
            case ColPoints:
                name = "points";
                break;
            case ColTotalPoints:
                name = "total_points";
                break;
            case ColEfctvDt:
                kind = CellKind::Date;
                name = "efctv_dt";
                break;
            case ColFastQualBonus:
                name = "fast_qual_bonus";
                break;
            case ColQualPoints:
                name = "qual_points";
                break;
            case ColAdjustment:
                name = "adjustment";
                break;
            default:
                continue; // not a column of this page
            }
            CellPlan plan{c, kind, m_rows.columnOf(QString::fromLatin1(name)), {}};
            for (int p = 0; p < 2; ++p)
                plan.start[p] = reportPageBytes(m_page.cellStart(styles[p], RaceDetailColumns::align(c)));
            m_cells.push_back(std::move(plan));
        }
        m_dates.clear();
    }

    void writeDataRow(int rowIndex) {
        const int parity = isOdd(rowIndex) ? 0 : 1;
        const int file = m_page.fileNumber();
        const qsizetype row = m_db.position();
        writeReportBytes(m_rowStart[parity], {}, {}, file);
        for (const CellPlan& plan : m_cells) {
            const QByteArray& start = plan.start[parity];
            const StoredRows::Value& v = m_rows.at(row, plan.value);
            char digits[24];
            QByteArrayView value;
            bool plain = false;
            switch (plan.kind) {
            case CellKind::Text:
                if (v.kind == SqlValue::Integer) {
                    value = decimal(digits, v.integer);
                    plain = true;
                } else if (v.kind == SqlValue::Text) {
                    value = m_rows.bytes(v);
                    plain = isPlainText(value);
                }
                break;
            case CellKind::Sponsor:
                if (v.kind == SqlValue::Text) {
                    value = m_rows.bytes(v);
                    plain = isPlainText(value);
                    while (!value.isEmpty() && value.front() == ' ')
                        value = value.sliced(1);
                    while (!value.isEmpty() && value.back() == ' ')
                        value.chop(1);
                }
                break;
            case CellKind::Place:
                plain = placeBytes(row, v, digits, value);
                break;
            case CellKind::Date:
                value = dateBytes(v);
                plain = true;
                break;
            }
            if (!plain) {
                const std::optional<ReportCell> cell = RaceDetailColumns::cell(m_db, plan.column, Variant::RaceDetail);
                writeReportLine(start, cell->text.isEmpty() ? kNoText : QStringView(cell->text), m_cellEnd, file);
                continue;
            }
            writeReportBytes(start, value.isEmpty() ? QByteArrayView(kNoTextBytes) : value, m_cellEndLine, file);
        }
        writeReportBytes(m_rowEnd, {}, {}, file);
    }

    static QByteArrayView decimal(char (&digits)[24], qint64 n) {
        int i = sizeof digits;
        quint64 rest = n < 0 ? 0 - quint64(n) : quint64(n);
        do {
            digits[--i] = char('0' + rest % 10);
            rest /= 10;
        } while (rest != 0);
        if (n < 0)
            digits[--i] = '-';
        return QByteArrayView(digits + i, qsizetype(sizeof digits) - i);
    }

    // Text a page carries as it is stored: printable ASCII that needs no character reference.
    static bool isPlainText(QByteArrayView text) {
        for (char c : text)
            if (c < 0x20 || c > 0x7e || c == '&' || c == '<' || c == '>' || c == '"' || c == '\'')
                return false;
        return true;
    }

    // Place 999 marks a car or driver that did not qualify; on the bonus entry it means nothing.
    bool placeBytes(qsizetype row, const StoredRows::Value& place, char (&digits)[24], QByteArrayView& value) const {
        const StoredRows::Value& carType = m_rows.at(row, m_carTypeColumn);
        if (place.kind != SqlValue::Integer || place.integer != int(place.integer) ||
            carType.kind != SqlValue::Integer || carType.integer != int(carType.integer))
            return false;
        if (place.integer == 999 && (carType.integer == 1 || carType.integer == 2))
            value = "DNQ";
        else if (place.integer == 0 || place.integer == 999)
            value = {};
        else
            value = decimal(digits, place.integer);
        return true;
    }

    // A page shows few dates, each on many rows: each is made once a page, as the cell texts make it.
    QByteArrayView dateBytes(const StoredRows::Value& v) {
        QByteArray key(1, char(v.kind));
        if (v.kind == SqlValue::Text || v.kind == SqlValue::Blob)
            key += m_rows.bytes(v);
        else if (v.kind == SqlValue::Integer || v.kind == SqlValue::Real)
            key += QByteArrayView(reinterpret_cast<const char*>(&v.integer), sizeof v.integer);
        auto it = m_dates.constFind(key);
        if (it == m_dates.constEnd())
            it = m_dates.insert(key, reportPageBytes(cellDate(m_rows.variant(v))));
        return *it;
    }

    // A team's heading row, its one cell written from the bytes made once a page before and after the name.
    void writeTeamHeader(const QString& team) {
        if (m_teamStart.isEmpty()) {
            m_teamStart = reportPageBytes(m_page.rowTagOf(m_page.headingBackColor())) + QByteArray("\r\n") +
                          reportPageBytes(headingCellStart(m_page.headingTextSize(), m_page.headingTextColor(),
                                                           QStringLiteral("left"), int(m_page.columns().size()),
                                                           QStringLiteral("NOWRAP")));
            m_teamEnd = reportPageBytes(kHeadingCellEnd) + QByteArray("\r\n") + reportPageBytes(u"</TR>");
        }
        const QString name = htmlText(team);
        writeReportLine(m_teamStart, name.isEmpty() ? kNoText : QStringView(name), m_teamEnd, m_page.fileNumber());
    }

    void writeTeamTotals(qint32 racePoints, qint64 seasonPoints) {
        RaceDetailColumns::writeTotalsRow(m_page, racePoints, seasonPoints, QStringLiteral("B"));
    }

    // With active cars/drivers only, a holding that ended before the race or began after it is hidden.
    bool isRowActive() const {
        if (!m_activeOnly)
            return true;
        return holdingShownOnRaceDay(m_db);
    }

    ReportPage& m_page;
    IDatabase& m_db;
    QHash<int, qint64> m_seasonPoints; // as of the race, by team
    bool m_activeOnly = false;
    const StoredRows& m_rows = m_db.storedRows();
    int m_teamColumn = -1, m_pointsColumn = -1, m_carTypeColumn = -1;
    std::vector<CellPlan> m_cells;
    QByteArray m_rowStart[2], m_rowEnd, m_cellEnd, m_cellEndLine, m_teamStart, m_teamEnd;
    QHash<QByteArray, QByteArray> m_dates; // by kind and stored value
    inline static const QByteArray kNoTextBytes = reportPageBytes(kNoText);
};

// Where a column of the page's rows comes from: the race and league, the team's line in the race's
// standings, the team result, its car, or the holding.
enum class Source { Head, Team, Result, Car, Holding };

struct ColumnSource {
    const char* name;
    Source source;
};

constexpr ColumnSource kColumns[] = {
    {"car_txt", Source::Car},
    {"driver_name", Source::Car},
    {"sponsor", Source::Car},
    {"place", Source::Result},
    {"laps_led_bonus", Source::Result},
    {"most_laps_led_bonus", Source::Result},
    {"fast_qual_bonus", Source::Result},
    {"league_name", Source::Head},
    {"points", Source::Result},
    {"total_points", Source::Result},
    {"race_dt", Source::Head},
    {"race_name", Source::Head},
    {"track_name", Source::Head},
    {"team_name", Source::Team},
    {"team_place", Source::Team},
    {"race_nmbr", Source::Head},
    {"current_status", Source::Result},
    {"team_owner", Source::Team},
    {"qual_points", Source::Result},
    {"scoring_type_nmbr", Source::Head},
    {"term_dt", Source::Holding},
    {"efctv_dt", Source::Holding},
    {"adjustment", Source::Result},
    {"car_type_nmbr", Source::Car},
    {"race_status_nmbr", Source::Head},
    {"team_nmbr", Source::Result},
};

qint64 pairKey(qint64 team, qint64 car) {
    return (team << 32) ^ (car & 0xFFFFFFFF);
}

// Each team's latest holding of each car, whatever its dates, for the teams with a line in any of
// the league's standings: the same for every race page of a request.
struct Holdings {
    StoredRows rows;                // team_nmbr, car_nmbr, efctv_dt, term_dt
    QHash<qint64, qsizetype> rowOf; // by team and car
};

std::shared_ptr<const Holdings> latestHoldings(int leagueNmbr) {
    return readOncePerRequest<Holdings>(
        QStringLiteral("race detail holdings %1").arg(leagueNmbr), [&]() -> std::shared_ptr<const Holdings> {
            IDatabase db;
            // By start date within each team and car (the key's order): the last is the latest.
            if (!db.OpenResultSet(QStringLiteral("SELECT team_nmbr, car_nmbr, efctv_dt, term_dt FROM team_car"
                                                 " WHERE team_nmbr IN (SELECT team_nmbr FROM team_results_summary"
                                                 " WHERE league_nmbr = ?)"
                                                 " ORDER BY team_nmbr, car_nmbr, efctv_dt"),
                                  {leagueNmbr}))
                return nullptr;
            auto held = std::make_shared<Holdings>();
            held->rows = db.storedRows();
            for (qsizetype i = 0; i < held->rows.rowCount(); ++i) {
                const StoredRows::Value& team = held->rows.at(i, 0);
                const StoredRows::Value& car = held->rows.at(i, 1);
                // Team and car numbers that are no whole numbers match no team or car on file.
                if (team.kind == SqlValue::Integer && car.kind == SqlValue::Integer)
                    held->rowOf.insert(pairKey(team.integer, car.integer), i);
            }
            return held;
        });
}

// The cars on file by number, read once per request: every race page of a request joins its results to
// them here rather than the engine looking up each result's car.
struct Cars {
    StoredRows rows;                // car_nmbr, car_txt, driver_name, sponsor, car_type_nmbr
    QHash<qint64, qsizetype> rowOf; // by car number
};

std::shared_ptr<const Cars> carsOnFile() {
    return readOncePerRequest<Cars>(QStringLiteral("race detail cars"), [&]() -> std::shared_ptr<const Cars> {
        IDatabase db;
        if (!db.OpenResultSet(
                QStringLiteral("SELECT car_nmbr, car_txt, driver_name, sponsor, car_type_nmbr FROM cars")))
            return nullptr;
        auto cars = std::make_shared<Cars>();
        cars->rows = db.storedRows();
        for (qsizetype i = 0; i < cars->rows.rowCount(); ++i) {
            const StoredRows::Value& car = cars->rows.at(i, 0);
            if (car.kind == SqlValue::Integer) // the car number is the table's row number: always whole
                cars->rowOf.insert(car.integer, i);
        }
        return cars;
    });
}

const QString kResultColumns = QStringLiteral(
    "A.team_nmbr, A.car_nmbr, A.place, A.laps_led_bonus, A.most_laps_led_bonus, A.fast_qual_bonus, A.points,"
    " A.total_points, A.current_status, A.qual_points, A.adjustment");

// The league's results of every race, in the order of a race's own reading race after race: a request
// that writes the pages of more than one of the league's races reads them once, and the league race
// summary sums its race points from them.
struct LeagueResults {
    StoredRows rows;                                      // race_nmbr, then the result columns
    QHash<qint64, std::pair<qsizetype, qsizetype>> races; // first row and end by race
};

QString leagueResultsKey(int leagueNmbr) {
    return QStringLiteral("race detail league results %1").arg(leagueNmbr);
}

std::shared_ptr<const LeagueResults> leagueResults(int leagueNmbr) {
    return readOncePerRequest<LeagueResults>(
        leagueResultsKey(leagueNmbr), [&]() -> std::shared_ptr<const LeagueResults> {
            IDatabase db;
            // The league's index gives them in this order as they are read.
            if (!db.OpenResultSet(QStringLiteral("SELECT A.race_nmbr, ") + kResultColumns +
                                      QStringLiteral(" FROM team_results A WHERE A.league_nmbr = ?"
                                                     " ORDER BY A.race_nmbr, A.team_nmbr, A.rowid"),
                                  {leagueNmbr}))
                return nullptr;
            auto results = std::make_shared<LeagueResults>();
            results->rows = db.storedRows();
            for (qsizetype i = 0; i < results->rows.rowCount(); ++i) {
                const StoredRows::Value& race = results->rows.at(i, 0);
                if (race.kind != SqlValue::Integer) // no race's number: no race's row
                    continue;
                auto it = results->races.find(race.integer);
                if (it == results->races.end())
                    results->races.insert(race.integer, {i, i + 1});
                else
                    it->second = i + 1;
            }
            return results;
        });
}

// How many of a league's races the request has asked for the rows of.
struct RacesAsked {
    mutable int count = 0;
};

} // namespace

bool forEachLeagueResultRead(int leagueNmbr, const QList<int>& races,
                             const std::function<bool(const StoredRows& rows, qsizetype row)>& visit) {
    const auto results = std::static_pointer_cast<const LeagueResults>(keptSoFar(leagueResultsKey(leagueNmbr)));
    if (!results)
        return false;
    for (int race : races) {
        const auto range = results->races.constFind(race);
        if (range != results->races.constEnd())
            for (qsizetype i = range->first; i < range->second; ++i)
                if (!visit(results->rows, i))
                    return false;
    }
    return true;
}

bool leagueRacePoints(int leagueNmbr, QHash<QPair<int, int>, int>& points) {
    const std::shared_ptr<const LeagueResults> results = leagueResults(leagueNmbr);
    if (!results)
        return false;
    const StoredRows& r = results->rows;
    const int team = r.columnOf(u"team_nmbr"), race = r.columnOf(u"race_nmbr"), value = r.columnOf(u"points");
    QHash<QPair<int, int>, qint64> sums;
    for (qsizetype i = 0; i < r.rowCount(); ++i) {
        const StoredRows::Value &t = r.at(i, team), &n = r.at(i, race), &p = r.at(i, value);
        // Only whole numbers are summed here as the engine sums them; anything else is left to it.
        if (t.kind != SqlValue::Integer || n.kind != SqlValue::Integer || t.integer != int(t.integer) ||
            n.integer != int(n.integer) || (p.kind != SqlValue::Integer && p.kind != SqlValue::Null))
            return false;
        qint64& sum = sums[{int(t.integer), int(n.integer)}];
        if (p.kind == SqlValue::Integer && (qAbs(p.integer) > (qint64(1) << 40) || qAbs(sum) > (qint64(1) << 40)))
            return false;
        sum += p.kind == SqlValue::Integer ? p.integer : 0;
    }
    QHash<QPair<int, int>, int> whole;
    for (auto it = sums.constBegin(); it != sums.constEnd(); ++it) {
        if (it.value() != int(it.value()))
            return false;
        whole.insert(it.key(), int(it.value()));
    }
    points.swap(whole);
    return true;
}

bool readRaceDetailRows(IDatabase& rows, int leagueNmbr, int raceNmbr) {
    // One query joining the seven tables and sorting every row with all its columns cost more than the
    // page's writing. The same rows come from plain readings (?1 the league, ?2 the race, bound so that
    // each is prepared once for all the race pages of a run): the race, its teams in order from the
    // engine, which compares their names as the page always has, their results, and the holdings and the
    // cars, read once per request; each team's few rows are put in order here.
    const QVariantList numbers{leagueNmbr, raceNmbr};
    IDatabase head, teams, results;
    if (!head.OpenResultSet(QStringLiteral("SELECT G.league_name, E.race_dt, E.race_name, E.track_name, E.race_nmbr,"
                                           " G.scoring_type_nmbr, E.race_status_nmbr FROM races E, leagues G"
                                           " WHERE E.race_nmbr = ?2 AND G.league_nmbr = ?1"),
                            numbers) ||
        !teams.OpenResultSet(
            QStringLiteral("SELECT C.team_nmbr, C.team_place, F.team_name, F.team_owner"
                           " FROM team_results_summary C, teams F"
                           " WHERE C.league_nmbr = ?1 AND C.race_nmbr = ?2 AND F.team_nmbr = C.team_nmbr"
                           " ORDER BY C.team_place, F.team_name, C.team_nmbr"),
            numbers))
        return false;
    // The results in the order they are stored by team: rows alike in the page's order keep it. The
    // second race of a league a request asks for reads the league's results of every race.
    const StoredRows* resultRows = nullptr;
    std::shared_ptr<const LeagueResults> league;
    qsizetype firstResult = 0, resultsEnd = 0;
    const auto asked = readOncePerRequest<RacesAsked>(QStringLiteral("race detail races asked %1").arg(leagueNmbr),
                                                      [] { return std::make_shared<const RacesAsked>(); });
    if (++asked->count > 1) {
        league = leagueResults(leagueNmbr);
        if (!league)
            return false;
        resultRows = &league->rows;
        const auto range = league->races.constFind(raceNmbr);
        if (range != league->races.constEnd())
            std::tie(firstResult, resultsEnd) = *range;
    } else {
        if (!results.OpenResultSet(QStringLiteral("SELECT ") + kResultColumns +
                                       QStringLiteral(" FROM team_results A WHERE A.league_nmbr = ?1 AND"
                                                      " A.race_nmbr = ?2 ORDER BY A.team_nmbr, A.rowid"),
                                   numbers))
            return false;
        resultRows = &results.storedRows();
        resultsEnd = resultRows->rowCount();
    }
    const std::shared_ptr<const Holdings> held = latestHoldings(leagueNmbr);
    const std::shared_ptr<const Cars> cars = carsOnFile();
    if (!held || !cars)
        return false;

    QStringList names;
    for (const ColumnSource& c : kColumns)
        names << QLatin1String(c.name);
    StoredRows out;
    out.setColumns(names);
    const StoredRows& h = head.storedRows();
    const StoredRows& t = teams.storedRows();
    const StoredRows& r = *resultRows;
    const StoredRows& b = held->rows;
    const StoredRows& d = cars->rows;
    out.reserve(resultsEnd - firstResult);
    if (h.rowCount() == 0) {
        rows.adoptRows(std::move(out));
        return true;
    }

    // Team and car numbers that are no whole numbers match no team or car on file.
    auto whole = [](const StoredRows& rows, qsizetype row, int column, qint64& n) {
        const StoredRows::Value& v = rows.at(row, column);
        n = v.integer;
        return v.kind == SqlValue::Integer;
    };
    const int rTeam = r.columnOf(u"team_nmbr"), rCar = r.columnOf(u"car_nmbr");
    QHash<qint64, std::pair<qsizetype, qsizetype>> resultsOfTeam; // first row, end
    for (qsizetype i = firstResult; i < resultsEnd; ++i) {
        qint64 team = 0;
        if (!whole(r, i, rTeam, team))
            continue;
        auto it = resultsOfTeam.find(team);
        if (it == resultsOfTeam.end())
            resultsOfTeam.insert(team, {i, i + 1});
        else
            it->second = i + 1;
    }
    const QHash<qint64, qsizetype>& holdingOf = held->rowOf;

    struct Where {
        const StoredRows* rows;
        int column;
    };
    std::vector<Where> where;
    for (const ColumnSource& c : kColumns) {
        const StoredRows* from = c.source == Source::Head     ? &h
                                 : c.source == Source::Team   ? &t
                                 : c.source == Source::Result ? &r
                                 : c.source == Source::Car    ? &d
                                                              : &b;
        where.push_back({from, from->columnOf(QString::fromLatin1(c.name))});
    }
    const int carType = d.columnOf(u"car_type_nmbr"), status = r.columnOf(u"current_status"),
              place = r.columnOf(u"place");
    struct Row {
        qsizetype result, car, holding;
    };
    auto before = [&](const Row& x, const Row& y) {
        int c = d.compare(y.car, carType, d, x.car, carType); // the highest car type first
        if (c == 0)
            c = r.compare(x.result, status, r, y.result, status);
        if (c == 0)
            c = r.compare(x.result, place, r, y.result, place);
        return c < 0;
    };

    std::vector<Row> teamRows;
    const int tTeam = t.columnOf(u"team_nmbr");
    for (qsizetype ti = 0; ti < t.rowCount(); ++ti) {
        qint64 team = 0;
        if (!whole(t, ti, tTeam, team))
            continue;
        const auto range = resultsOfTeam.constFind(team);
        if (range == resultsOfTeam.constEnd())
            continue;
        teamRows.clear();
        for (qsizetype i = range->first; i < range->second; ++i) {
            qint64 rowTeam = 0, car = 0;
            if (!whole(r, i, rTeam, rowTeam) || rowTeam != team || !whole(r, i, rCar, car))
                continue;
            const auto onFile = cars->rowOf.constFind(car);
            if (onFile == cars->rowOf.constEnd())
                continue;
            const auto holding = holdingOf.constFind(pairKey(team, car));
            if (holding != holdingOf.constEnd())
                teamRows.push_back({i, *onFile, *holding});
        }
        std::stable_sort(teamRows.begin(), teamRows.end(), before);
        for (const Row& row : teamRows)
            for (size_t c = 0; c < where.size(); ++c) {
                const Source source = kColumns[c].source;
                const qsizetype from = source == Source::Head     ? 0
                                       : source == Source::Team   ? ti
                                       : source == Source::Result ? row.result
                                       : source == Source::Car    ? row.car
                                                                  : row.holding;
                out.appendValue(*where[c].rows, from, where[c].column);
            }
    }
    rows.adoptRows(std::move(out));
    return true;
}

QString createRaceDetailReport(int leagueNmbr, int raceNmbr, bool show) {
    return runReport(QStringLiteral("RD"), QStringLiteral("Creating Race Detail Report"), [&](ReportPage& page) {
        if (page.writtenInRequest({leagueNmbr, raceNmbr}))
            return page.fileName();
        IDatabase db;
        if (!readRaceDetailRows(db, leagueNmbr, raceNmbr))
            return QString();
        if (db.isEOF()) {
            if (show)
                showReportMessage(QStringLiteral("Results not posted for this Race."));
            return QString();
        }
        page.open(leagueNmbr, raceNmbr);
        RaceDetailPage(page, db, leagueNmbr, raceNmbr).write();
        return page.finish(show);
    });
}
