#pragma once

#include <QString>
#include <stdexcept>

// A run-time error inside a report run (a size that is not a number, no chosen columns, a file that
// cannot be written, a sum past its range). runReport catches it, and any other std::exception, and
// ends the run.
class ReportRunError : public std::runtime_error {
public:
    explicit ReportRunError(const QString& description) : std::runtime_error(description.toStdString()) {}
};
