#pragma once

#include "shared/runtime_error.h"

namespace bl {

// report_error: tells the user about an error that ended the polling of the
// serial port (the window implements it).
class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;
    virtual void report_error(const RuntimeError &error) = 0;
};

} // namespace bl
