#include "platform/SqlFunctions.h"

#include "platform/PatternMatch.h"
#include "platform/SqlDatabase.h"

#include <QByteArray>
#include <sqlite3.h>

#include <cstring>
#include <iterator>
#include <optional>
#include <utility>
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
    return true;
}
