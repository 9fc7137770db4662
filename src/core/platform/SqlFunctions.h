#pragma once

struct sqlite3;
class SqlDatabase;

// The functions a connection answers itself in place of the engine's, with the engine's answers.
//
// LIKE, GLOB, instr, replace and trim, ltrim and rtrim with characters to trim compare each place of
// one text with the whole of another: over long texts the engine's own run for minutes inside one
// call, where no stop reaches them. These ask db->stopAsked() as they go and give up with
// SQLITE_INTERRUPT when it says stop.
bool installConnectionFunctions(sqlite3* handle, SqlDatabase* db);
