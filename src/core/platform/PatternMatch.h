#pragma once

#include <QByteArrayView>

#include <functional>
#include <optional>

// LIKE and GLOB as the engine matches them, for a connection that must be able to stop a match.
//
// The engine's own matcher runs inside one function call, where neither an interrupt nor the
// progress handler reaches it, and with several wildcards it can take longer than anyone waits
// ("*a*a*a*a*b" over a few hundred characters does not end). This one gives the same answers in at
// most text x pattern steps, and asks giveUp now and then; when that says so it stops without an answer.

struct PatternRules {
    char32_t any = 0;         // matches any run of characters, none included ('%' or '*')
    char32_t one = 0;         // matches exactly one character ('_' or '?')
    bool sets = false;        // "[...]" matches one character of a set, "[^...]" one not in it (GLOB)
    bool asciiNoCase = false; // A-Z and a-z match each other; other letters only themselves (LIKE)
    char32_t escape = 0;      // the character after it is matched as itself; 0 for none (LIKE ... ESCAPE)
};

inline constexpr PatternRules kLikeRules{U'%', U'_', false, true, 0};
inline constexpr PatternRules kGlobRules{U'*', U'?', true, false, 0};

enum class PatternMatch { Yes, No, GaveUp };

// Both texts in UTF-8.
PatternMatch matchPattern(QByteArrayView pattern, QByteArrayView text, const PatternRules& rules,
                          const std::function<bool()>& giveUp = {});

// The one character of a UTF-8 text (an ESCAPE); none when it has none or more than one.
std::optional<char32_t> singleCharacter(QByteArrayView text);
