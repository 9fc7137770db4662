#pragma once

#include <QString>
#include <stdexcept>

// A run-time fault inside a posting chain (a sum beyond its range, an empty amount). The chain
// catches it, shows its description and rolls the league back; it never leaves the posting.
class PostingError : public std::runtime_error {
public:
    explicit PostingError(const QString& description) : std::runtime_error(description.toStdString()) {}
};

// What a posting given up as a whole leaves of the race, in the words of each box that tells so and of the
// status bar: the race keeps the posting it had, or, having had none, is not posted.
inline QString postingGivenUpText(bool hadPosting) {
    return hadPosting ? QStringLiteral("the earlier posting of the race stays as it was")
                      : QStringLiteral("the race was not posted");
}

// Thrown when the site script gives up the whole posting (refused, unreadable, too long, or it ended
// the transaction), after its one box; past the chain's own catch, which is for the faults above.
struct PostingStopped {};
