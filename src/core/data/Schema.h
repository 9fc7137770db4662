#pragma once

#include <QString>

class SqlDatabase;

// The schema version this program writes into new data files (PRAGMA user_version).
constexpr int kSchemaVersion = 3;

// Creates every table and the shipped rows in an empty database, in one transaction.
bool createSchema(SqlDatabase& db, QString* error);
// Brings an older data file up to kSchemaVersion; refuses a file made by a newer program.
bool migrateSchema(SqlDatabase& db, QString* error);
