#pragma once

#include <QString>
#include <QVariant>

class IDatabase;

// The first number the user's own rows get; rows below it come with the data file.
constexpr int FirstUserNumber = 500;

// The largest number the 16-bit number columns hold.
constexpr int LargestNumber = 32767;

// The number after the largest one in use: 500 when there is none (NULL) or the largest is below 500.
// It may lie beyond LargestNumber; newUserNumber refuses it then.
int nextUserNumber(const QVariant& largest);

// Runs the "SELECT MAX(..) as <column> FROM .." query on db and gives the next user number.
// False (after the result set's error box) when the query fails, and after a box when the next number
// would lie beyond LargestNumber (an imported row may carry the largest one); *number is then unchanged.
bool newUserNumber(IDatabase& db, const QString& maxQuery, const QString& column, int* number);
