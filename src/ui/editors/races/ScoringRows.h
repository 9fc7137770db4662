#pragma once

#include <QList>
#include <QString>
#include <optional>

class cScoringPointsCollection;
class cScoringTopPointsCollection;

// The texts of the scoring editor's grids and how they turn into stored rows. Kept apart from the
// window so that what is stored can be decided, and refused, before a single row is written.

// A number as the editor stores it: rounded to the nearest whole number, halves to the even one,
// and only when that fits 16 bits.
std::optional<int> whole16(double value);
// The number in its shortest form, as a new row's place is written ("8", "3.5").
QString shortNumber(double value);

// One row of the points-per-place grid: place, finishing points, starting points.
struct PointsRowText {
    QString place;
    QString points;
    QString qualPoints;
};

// One row of the top scoring grid: number of cars, top places, points.
struct TopRowText {
    QString nmbr;
    QString top;
    QString points;
};

// Why a grid cannot be stored: the cell to show again and the message to show first.
struct GridProblem {
    int row = -1;
    int column = -1;
    QString message;
};

// Fills the collection with the rows that are stored: a row whose place is blank or below 1 (after
// rounding) is left out; blank points are 0. Refuses a cell that is no number or does not fit 16
// bits ("Invalid Entry"), and a place taken by an earlier row, which the table's key would
// otherwise drop without a word.
std::optional<GridProblem> collectScoringPoints(const QList<PointsRowText>& rows, int scoringTypeNmbr,
                                                cScoringPointsCollection& into);
// As above for the top-finish rules: a rule whose number of cars is blank or below 1 is left out,
// whatever its other cells hold; blank places and points are 0. Rules may repeat.
std::optional<GridProblem> collectScoringTopPoints(const QList<TopRowText>& rows, int scoringTypeNmbr,
                                                   cScoringTopPointsCollection& into);
