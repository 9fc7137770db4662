#include "platform/PatternMatch.h"

#include <QVarLengthArray>

namespace {

using Chars = QVarLengthArray<char32_t, 256>;

// A lead byte's own bits, then six bits of each continuation byte that follows, however many; a
// continuation byte without a lead stands for itself. What is not a character reads as U+FFFD.
Chars decode(QByteArrayView text) {
    Chars out;
    out.reserve(text.size());
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        char32_t c = *p++;
        if (c >= 0xC0) {
            c = c < 0xE0 ? c & 0x1F : c < 0xF0 ? c & 0x0F : c < 0xF8 ? c & 0x07 : c < 0xFC ? c & 0x03 : c & 0x01;
            while (p < end && (*p & 0xC0) == 0x80)
                c = (c << 6) + (*p++ & 0x3F);
            if (c < 0x80 || (c & 0xFFFFF800) == 0xD800 || (c & 0xFFFFFFFE) == 0xFFFE)
                c = 0xFFFD;
        }
        out.append(c);
    }
    return out;
}

char32_t asciiLower(char32_t c) {
    return c >= U'A' && c <= U'Z' ? c + 32 : c;
}

// The set that opens at pattern[at] (just past its "["): whether c is in it, and in *next where the
// pattern goes on after its "]". False with *next at the end when the set is never closed.
bool inSet(const Chars& pattern, qsizetype at, char32_t c, qsizetype* next) {
    const qsizetype n = pattern.size();
    bool invert = false;
    bool seen = false;
    if (at < n && pattern[at] == U'^') {
        invert = true;
        ++at;
    }
    // A "]" first is one of the set.
    if (at < n && pattern[at] == U']') {
        seen = c == U']';
        ++at;
    }
    char32_t before = 0; // the character a "-" would make a range from; none at the start
    while (at < n && pattern[at] != U']') {
        const char32_t p = pattern[at++];
        if (p == U'-' && before != 0 && at < n && pattern[at] != U']') {
            const char32_t last = pattern[at++];
            seen = seen || (c >= before && c <= last);
            before = 0;
        } else {
            seen = seen || c == p;
            before = p;
        }
    }
    if (at >= n) {
        *next = n;
        return false;
    }
    *next = at + 1;
    return seen != invert;
}

} // namespace

std::optional<char32_t> singleCharacter(QByteArrayView text) {
    const Chars chars = decode(text);
    if (chars.size() != 1)
        return std::nullopt;
    return chars[0];
}

PatternMatch matchPattern(QByteArrayView patternText, QByteArrayView textText, const PatternRules& rules,
                          const std::function<bool()>& giveUp) {
    const Chars pattern = decode(patternText);
    const Chars text = decode(textText);
    const qsizetype np = pattern.size();
    const qsizetype nt = text.size();

    // Only the last wildcard run is ever tried further: each other part of a pattern matches exactly one
    // character, so whatever an earlier run could take more, the last one can take instead. A failed try
    // moves that run on by one character, which keeps a match within text x pattern steps.
    struct Try {
        qsizetype pattern = -1, text = 0;
    } last;
    qsizetype p = 0, t = 0;
    unsigned steps = 0;
    for (;;) {
        // Often enough to stop within a few milliseconds, seldom enough to cost nothing.
        if (giveUp && (++steps & 0xFFF) == 0 && giveUp())
            return PatternMatch::GaveUp;
        bool failed = false;
        if (p == np) {
            if (t == nt)
                return PatternMatch::Yes;
            failed = true;
        } else if (pattern[p] == rules.any) {
            // A run of wildcards: each "one" in it takes a character, the "any" the rest.
            qsizetype after = p;
            qsizetype ones = 0;
            while (after < np && (pattern[after] == rules.any || pattern[after] == rules.one)) {
                if (pattern[after] == rules.one)
                    ++ones;
                ++after;
            }
            if (nt - t < ones) {
                failed = true;
            } else {
                t += ones;
                if (after == np)
                    return PatternMatch::Yes;
                p = after;
                last = {p, t};
            }
        } else if (t == nt) {
            failed = true;
        } else {
            const char32_t c = text[t];
            const char32_t want = pattern[p];
            if (rules.escape != 0 && want == rules.escape) {
                failed = p + 1 == np || (pattern[p + 1] != c && !(rules.asciiNoCase && c < 0x80 &&
                                                                  asciiLower(pattern[p + 1]) == asciiLower(c)));
                p += 2;
            } else if (rules.sets && want == U'[') {
                qsizetype next = 0;
                failed = !inSet(pattern, p + 1, c, &next);
                p = next;
            } else if (want == rules.one) {
                ++p;
            } else {
                failed =
                    want != c && !(rules.asciiNoCase && want < 0x80 && c < 0x80 && asciiLower(want) == asciiLower(c));
                ++p;
            }
            ++t;
        }
        if (!failed)
            continue;
        if (last.pattern < 0 || last.text >= nt)
            return PatternMatch::No;
        p = last.pattern;
        t = ++last.text;
    }
}
