#include "platform/SqlFunctions.h"

#include "platform/PatternMatch.h"
#include "platform/SqlDatabase.h"

#include <QByteArray>
#include <sqlite3.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <iterator>
#include <map>
#include <optional>
#include <vector>

namespace {

SqlDatabase* databaseOf(sqlite3_context* context) {
    return static_cast<SqlDatabase*>(sqlite3_user_data(context));
}

qint64 valueLimit(sqlite3_context* context) {
    return sqlite3_limit(sqlite3_context_db_handle(context), SQLITE_LIMIT_LENGTH, -1);
}

// As memcmp, for a length of 0 too, where the engine may hand over no bytes at all.
bool sameBytes(const unsigned char* a, const unsigned char* b, qint64 n) {
    return n == 0 || std::memcmp(a, b, size_t(n)) == 0;
}

// The work of one call, counted in bytes compared; the connection is asked whether to stop once a
// million have gone by, which takes well under a millisecond.
class Patience {
public:
    explicit Patience(sqlite3_context* context) : m_context(context) {}
    // False, with the call failed as the interrupted statement, once the statement is to stop.
    bool spend(qint64 bytes) {
        m_spent += bytes;
        if (m_spent < kBytesPerAsk)
            return true;
        m_spent = 0;
        if (!databaseOf(m_context)->stopAsked())
            return true;
        sqlite3_result_error_code(m_context, SQLITE_INTERRUPT);
        return false;
    }

private:
    static constexpr qint64 kBytesPerAsk = 1 << 20;
    sqlite3_context* m_context;
    qint64 m_spent = 0;
};

void likeOrGlob(sqlite3_context* context, int argc, sqlite3_value** argv, bool glob) {
    SqlDatabase* db = databaseOf(context);
    // The engine reads the texts up to a NUL character, as its own LIKE and GLOB do.
    const auto* pattern = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    if (sqlite3_value_bytes(argv[0]) >
        sqlite3_limit(sqlite3_context_db_handle(context), SQLITE_LIMIT_LIKE_PATTERN_LENGTH, -1)) {
        sqlite3_result_error(context, "LIKE or GLOB pattern too complex", -1);
        return;
    }
    PatternRules rules = glob ? kGlobRules : kLikeRules;
    if (argc == 3) {
        const auto* escape = reinterpret_cast<const char*>(sqlite3_value_text(argv[2]));
        if (!escape)
            return; // NULL
        const std::optional<char32_t> one = singleCharacter(QByteArrayView(escape));
        if (!one) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
        rules.escape = *one;
    }
    if (!pattern || !text)
        return; // NULL
    switch (matchPattern(QByteArrayView(pattern), QByteArrayView(text), rules, [db] { return db->stopAsked(); })) {
    case PatternMatch::Yes:
        sqlite3_result_int(context, 1);
        break;
    case PatternMatch::No:
        sqlite3_result_int(context, 0);
        break;
    case PatternMatch::GaveUp:
        sqlite3_result_error_code(context, SQLITE_INTERRUPT);
        break;
    }
}

// instr(haystack, needle): the place of the needle's first appearance, counted in characters (in bytes
// when both are blobs); 0 when it has none.
void instrFunction(sqlite3_context* context, int, sqlite3_value** argv) {
    const int haystackType = sqlite3_value_type(argv[0]);
    const int needleType = sqlite3_value_type(argv[1]);
    if (haystackType == SQLITE_NULL || needleType == SQLITE_NULL)
        return; // NULL
    const bool isText = haystackType != SQLITE_BLOB || needleType != SQLITE_BLOB;
    const auto bytesOf = [isText](sqlite3_value* v) {
        return static_cast<const unsigned char*>(isText ? static_cast<const void*>(sqlite3_value_text(v))
                                                        : sqlite3_value_blob(v));
    };
    const unsigned char* haystack = bytesOf(argv[0]);
    qint64 haystackBytes = sqlite3_value_bytes(argv[0]);
    const unsigned char* needle = bytesOf(argv[1]);
    const qint64 needleBytes = sqlite3_value_bytes(argv[1]);
    Patience patience(context);
    int place = 1;
    while (needleBytes <= haystackBytes && !sameBytes(haystack, needle, needleBytes)) {
        if (!patience.spend(needleBytes + 1))
            return;
        ++place;
        // On to the next character: past a lead byte's continuation bytes.
        do {
            --haystackBytes;
            ++haystack;
        } while (isText && haystackBytes > 0 && (haystack[0] & 0xC0) == 0x80);
    }
    sqlite3_result_int(context, needleBytes > haystackBytes ? 0 : place);
}

// replace(text, pattern, with): every appearance of the pattern, from the left and not overlapping, in
// place of the bytes it matches.
void replaceFunction(sqlite3_context* context, int, sqlite3_value** argv) {
    const unsigned char* text = sqlite3_value_text(argv[0]);
    if (!text)
        return; // NULL
    const qint64 textBytes = sqlite3_value_bytes(argv[0]);
    const unsigned char* pattern = sqlite3_value_text(argv[1]);
    if (!pattern)
        return;
    if (pattern[0] == 0) {
        sqlite3_result_value(context, argv[0]); // as it was, its kind too
        return;
    }
    const qint64 patternBytes = sqlite3_value_bytes(argv[1]);
    const unsigned char* with = sqlite3_value_text(argv[2]);
    if (!with)
        return;
    const qint64 withBytes = sqlite3_value_bytes(argv[2]);
    const qint64 limit = valueLimit(context);
    // Counted as the engine counts: the text and its end first, so that a text as long as the limit is
    // refused before anything is replaced, then each replacement's difference.
    qint64 outBytes = textBytes + 1;
    if (outBytes > limit) {
        sqlite3_result_error_toobig(context);
        return;
    }
    QByteArray out;
    out.reserve(textBytes);
    Patience patience(context);
    qint64 i = 0;
    for (; i <= textBytes - patternBytes; ++i) {
        if (text[i] != pattern[0] || std::memcmp(text + i, pattern, size_t(patternBytes)) != 0) {
            out.append(char(text[i]));
        } else {
            outBytes += withBytes - patternBytes;
            if (outBytes - 1 > limit) {
                sqlite3_result_error_toobig(context);
                return;
            }
            out.append(reinterpret_cast<const char*>(with), withBytes);
            i += patternBytes - 1;
        }
        if (!patience.spend(patternBytes))
            return;
    }
    out.append(reinterpret_cast<const char*>(text) + i, textBytes - i);
    sqlite3_result_text64(context, out.constData(), quint64(out.size()), SQLITE_TRANSIENT, SQLITE_UTF8);
}

enum TrimSides { TrimLeft = 1, TrimRight = 2, TrimBoth = 3 };

// trim, ltrim and rtrim with characters to trim: as long as the text begins (or ends) with one of them,
// the first in their order that fits is cut off.
void trimFunction(sqlite3_context* context, sqlite3_value** argv, int sides) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return; // NULL
    const unsigned char* in = sqlite3_value_text(argv[0]);
    if (!in)
        return;
    qint64 inBytes = sqlite3_value_bytes(argv[0]);
    const unsigned char* set = sqlite3_value_text(argv[1]);
    if (!set)
        return;
    // The characters as the engine cuts the set, up to its first NUL: a lead byte with the continuation
    // bytes after it, whose count it keeps in a byte (a character of 256 bytes counts as none).
    struct Character {
        const unsigned char* bytes;
        quint8 length;
    };
    std::vector<Character> characters;
    for (const unsigned char* z = set; *z;) {
        const unsigned char* start = z;
        if (*z++ >= 0xC0)
            while ((*z & 0xC0) == 0x80)
                ++z;
        characters.push_back({start, quint8(z - start)});
    }
    // The engine asks for a pointer and a length for each before it trims.
    if (qint64(characters.size()) * qint64(sizeof(char*) + 1) > valueLimit(context)) {
        sqlite3_result_error_toobig(context);
        return;
    }
    Patience patience(context);
    // The first of the characters, in their order, that the text begins (or ends) with; their count when
    // none does.
    const auto firstFitting = [&](bool atEnd) {
        size_t k = 0;
        for (; k < characters.size(); ++k) {
            const qint64 n = characters[k].length;
            if (n <= inBytes && sameBytes(atEnd ? in + inBytes - n : in, characters[k].bytes, n))
                break;
        }
        return k;
    };
    for (const bool atEnd : {false, true}) {
        if (!(sides & (atEnd ? TrimRight : TrimLeft)))
            continue;
        while (inBytes > 0) {
            const size_t k = firstFitting(atEnd);
            if (!patience.spend(qint64(k) + 1))
                return;
            if (k == characters.size())
                break;
            if (!atEnd)
                in += characters[k].length;
            inBytes -= characters[k].length;
        }
    }
    sqlite3_result_text64(context, reinterpret_cast<const char*>(in), quint64(inBytes), SQLITE_TRANSIENT, SQLITE_UTF8);
}

// The engine's printf, run where its answer can be told apart: on a bare connection in memory, with one
// statement for each number of values.
class EnginePrintf {
public:
    EnginePrintf() = default;
    ~EnginePrintf() {
        for (const auto& [count, statement] : m_statements)
            sqlite3_finalize(statement);
        sqlite3_close(m_engine);
    }
    EnginePrintf(const EnginePrintf&) = delete;
    EnginePrintf& operator=(const EnginePrintf&) = delete;

    enum class Printed { Text, Null, Failed };
    // The engine's printf of the values under the value limit, with format in place of the first value
    // when it is not null. The text goes to *text; the engine's error to context.
    Printed print(sqlite3_context* context, sqlite3_value** argv, int argc, qint64 limit, const QByteArray& format,
                  QByteArray* text) {
        sqlite3_stmt* statement = statementFor(argc);
        if (!statement) {
            sqlite3_result_error(context, m_engine ? sqlite3_errmsg(m_engine) : "out of memory", -1);
            return Printed::Failed;
        }
        sqlite3_limit(m_engine, SQLITE_LIMIT_LENGTH, int(std::min<qint64>(limit, INT_MAX)));
        if (format.isNull())
            sqlite3_bind_value(statement, 1, argv[0]);
        else
            sqlite3_bind_text(statement, 1, format.constData(), int(format.size()), SQLITE_STATIC);
        for (int i = 1; i < argc; ++i)
            sqlite3_bind_value(statement, i + 1, argv[i]);
        Printed printed = Printed::Null;
        if (sqlite3_step(statement) != SQLITE_ROW) {
            sqlite3_result_error(context, sqlite3_errmsg(m_engine), -1);
            sqlite3_result_error_code(context, sqlite3_errcode(m_engine));
            printed = Printed::Failed;
        } else if (sqlite3_column_type(statement, 0) != SQLITE_NULL) {
            if (text)
                *text = QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)),
                                   sqlite3_column_bytes(statement, 0));
            printed = Printed::Text;
        }
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
        return printed;
    }

private:
    sqlite3_stmt* statementFor(int argc) {
        if (const auto found = m_statements.find(argc); found != m_statements.end())
            return found->second;
        if (!m_engine &&
            sqlite3_open_v2(":memory:", &m_engine, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK)
            return nullptr;
        QByteArray sql = "SELECT printf(?1";
        for (int i = 2; i <= argc; ++i)
            sql += ",?" + QByteArray::number(i);
        sql += ')';
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(m_engine, sql.constData(), int(sql.size()), &statement, nullptr) != SQLITE_OK)
            return nullptr;
        m_statements.emplace(argc, statement);
        return statement;
    }

    sqlite3* m_engine = nullptr;
    std::map<int, sqlite3_stmt*> m_statements;
};

// Whether a conversion of the format makes the engine build a number or a field wider than limit: it
// sets aside room for the whole of it before the limit is looked at (a precision of a billion digits
// takes a second and a gigabyte, one of two billion fails for want of memory and leaves the text cut
// short), and the text would pass the limit anyway. The format is read as the engine reads it, taking
// "*" widths and precisions from the values in turn; a conversion it does not know ends it.
bool buildsBeyond(const char* format, sqlite3_value** values, int count, qint64 limit) {
    int next = 0;
    const auto take = [&] { return next < count ? int(sqlite3_value_int64(values[next++])) : 0; };
    // Digits, or "*" for the next value, which counts as positive when negative (the most negative as
    // smallest).
    const auto number = [&](const char*& f, qint64 smallest) -> qint64 {
        if (*f == '*') {
            ++f;
            const qint64 n = take();
            return n >= 0 ? n : n >= -2147483647 ? -n : smallest;
        }
        unsigned digits = 0;
        for (; *f >= '0' && *f <= '9'; ++f)
            digits = digits * 10 + unsigned(*f - '0');
        return digits & 0x7fffffff;
    };
    for (const char* f = format; *f; ++f) {
        if (*f != '%')
            continue;
        ++f;
        bool alternate = false, trimZeros = false;
        for (; *f && std::strchr("-+ #!0", *f); ++f) {
            alternate = alternate || *f == '#';
            trimZeros = trimZeros || *f == '!';
        }
        const qint64 width = number(f, 0);
        const qint64 precision = *f == '.' ? number(++f, -1) : -1;
        for (int l = 0; l < 2 && *f == 'l'; ++l)
            ++f;
        const char c = *f;
        if (c == 0 || !std::strchr("diuxXopfeEgGcszqQwn%", c))
            return false; // the engine stops here
        if (std::strchr("n%", c))
            continue;
        ++next;
        if (std::strchr("diuxXop", c) && (precision > limit || width > limit))
            return true;
        // Trailing zeros go from %g (unless "#"), and from the others with "!": a long precision may
        // still make a short text there.
        if (std::strchr("feEgG", c) &&
            (width > limit || (precision > limit && !(std::strchr("gG", c) ? !alternate : trimZeros))))
            return true;
    }
    return false;
}

void printfFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    auto* engine = static_cast<EnginePrintf*>(sqlite3_user_data(context));
    const auto* format = argc > 0 ? reinterpret_cast<const char*>(sqlite3_value_text(argv[0])) : nullptr;
    if (!format)
        return; // NULL, as the engine's
    const qint64 limit = valueLimit(context);
    if (buildsBeyond(format, argv + 1, argc - 1, limit)) {
        sqlite3_result_error_toobig(context);
        return;
    }
    QByteArray text;
    switch (engine->print(context, argv, argc, limit, QByteArray(), &text)) {
    case EnginePrintf::Printed::Text:
        sqlite3_result_text64(context, text.constData(), quint64(text.size()), SQLITE_TRANSIENT, SQLITE_UTF8);
        return;
    case EnginePrintf::Printed::Failed:
        return;
    case EnginePrintf::Printed::Null:
        break;
    }
    // The engine's printf gives NULL both for an empty text and for one it gave up building at the
    // limit. With a character written before the format an empty text is one character long, and only a
    // text given up is still NULL.
    const QByteArray marked = 'x' + QByteArray(format, sqlite3_value_bytes(argv[0]));
    if (engine->print(context, argv, argc, limit, marked, nullptr) == EnginePrintf::Printed::Null)
        sqlite3_result_error_toobig(context);
}

} // namespace

bool installConnectionFunctions(sqlite3* handle, SqlDatabase* db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    using Function = void (*)(sqlite3_context*, int, sqlite3_value**);
    const auto like = [](sqlite3_context* c, int n, sqlite3_value** v) { likeOrGlob(c, n, v, false); };
    const auto glob = [](sqlite3_context* c, int n, sqlite3_value** v) { likeOrGlob(c, n, v, true); };
    const auto trim = [](sqlite3_context* c, int, sqlite3_value** v) { trimFunction(c, v, TrimBoth); };
    const auto ltrim = [](sqlite3_context* c, int, sqlite3_value** v) { trimFunction(c, v, TrimLeft); };
    const auto rtrim = [](sqlite3_context* c, int, sqlite3_value** v) { trimFunction(c, v, TrimRight); };
    // trim without characters to trim takes off blanks only, which the engine does in one pass.
    const std::pair<const char*, int> named[] = {{"like", 2},    {"like", 3}, {"glob", 2},  {"instr", 2},
                                                 {"replace", 3}, {"trim", 2}, {"ltrim", 2}, {"rtrim", 2}};
    const Function functions[] = {like, like, glob, instrFunction, replaceFunction, trim, ltrim, rtrim};
    for (size_t i = 0; i < std::size(named); ++i)
        if (sqlite3_create_function(handle, named[i].first, named[i].second, flags, db, functions[i], nullptr,
                                    nullptr) != SQLITE_OK)
            return false;
    // The engine destroys the printer with the connection (and when it cannot take the function).
    return sqlite3_create_function_v2(handle, "printf", -1, flags, new EnginePrintf, printfFunction, nullptr, nullptr,
                                      [](void* printer) { delete static_cast<EnginePrintf*>(printer); }) == SQLITE_OK;
}
