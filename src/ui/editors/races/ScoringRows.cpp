#include "editors/races/ScoringRows.h"

#include "kit/EditorKit.h"

#include "posting/cScoringPointsCollection.h"
#include "posting/cScoringTopPointsCollection.h"

#include <QSet>
#include <cmath>

namespace {

const QString kInvalidEntry = QStringLiteral("Invalid Entry");

// A cell that may be blank: blank is 0, anything else must be a 16-bit whole number.
std::optional<int> valueOrZero(const QString& text) {
    if (text.trimmed().isEmpty())
        return 0;
    const std::optional<double> n = numberFromText(text);
    return n ? whole16(*n) : std::nullopt;
}

} // namespace

std::optional<int> whole16(double value) {
    const double r = std::nearbyint(value); // the default rounding mode sends halves to the even one
    if (!std::isfinite(r) || r < -32768.0 || r > 32767.0)
        return std::nullopt;
    return static_cast<int>(r);
}

QString shortNumber(double value) {
    return QString::number(value, 'g', 15);
}

std::optional<GridProblem> collectScoringPoints(const QList<PointsRowText>& rows, int scoringTypeNmbr,
                                                cScoringPointsCollection& into) {
    QSet<int> places;
    for (int i = 0; i < rows.size(); ++i) {
        const PointsRowText& r = rows[i];
        if (r.place.trimmed().isEmpty())
            continue;
        const std::optional<double> placeNumber = numberFromText(r.place);
        const std::optional<int> place = placeNumber ? whole16(*placeNumber) : std::nullopt;
        if (!place)
            return GridProblem{i, 0, kInvalidEntry};
        if (*place <= 0)
            continue;
        const std::optional<int> points = valueOrZero(r.points);
        if (!points)
            return GridProblem{i, 1, kInvalidEntry};
        const std::optional<int> qualPoints = valueOrZero(r.qualPoints);
        if (!qualPoints)
            return GridProblem{i, 2, kInvalidEntry};
        if (places.contains(*place))
            return GridProblem{
                i, 0, QStringLiteral("Place ") + QString::number(*place) + QStringLiteral(" exists more than once.")};
        places.insert(*place);
        into.Add(scoringTypeNmbr, *place, *points, *qualPoints);
    }
    return std::nullopt;
}

std::optional<GridProblem> collectScoringTopPoints(const QList<TopRowText>& rows, int scoringTypeNmbr,
                                                   cScoringTopPointsCollection& into) {
    for (int i = 0; i < rows.size(); ++i) {
        const TopRowText& r = rows[i];
        if (r.nmbr.trimmed().isEmpty())
            continue;
        const std::optional<double> nmbrNumber = numberFromText(r.nmbr);
        const std::optional<int> nmbr = nmbrNumber ? whole16(*nmbrNumber) : std::nullopt;
        if (!nmbr)
            return GridProblem{i, 0, kInvalidEntry};
        if (*nmbr <= 0)
            continue;
        const std::optional<int> top = valueOrZero(r.top);
        if (!top)
            return GridProblem{i, 1, kInvalidEntry};
        const std::optional<int> points = valueOrZero(r.points);
        if (!points)
            return GridProblem{i, 2, kInvalidEntry};
        into.Add(*nmbr, scoringTypeNmbr, *points, *top);
    }
    return std::nullopt;
}
