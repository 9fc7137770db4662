#pragma once

#include <QString>
#include <stdexcept>

// A run-time fault inside a posting chain (a sum beyond its range, an empty amount). The chain
// catches it, shows its description and rolls the league back; it never leaves the posting.
class PostingError : public std::runtime_error {
public:
    explicit PostingError(const QString& description) : std::runtime_error(description.toStdString()) {}
};
