#pragma once

#include <QString>
#include <QVariant>

class IDatabase;

// The first number the user's own rows get; rows below it come with the data file.
constexpr int FirstUserNumber = 500;

// The number after the largest one in use: 500 when there is none (NULL) or the largest is below 500.
int nextUserNumber(const QVariant& largest);

// Runs the "SELECT MAX(..) as <column> FROM .." query on db and gives the next user number.
// False (after the result set's error box) when the query fails; *number is then unchanged.
bool newUserNumber(IDatabase& db, const QString& maxQuery, const QString& column, int* number);
