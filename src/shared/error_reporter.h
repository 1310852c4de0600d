#pragma once

#include "shared/runtime_error.h"

namespace bl {

// report_error: tells the user about an error that ended the polling of the
// serial port (ErrorReport, in a box or on the console's standard error).
class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;
    virtual void report_error(const RuntimeError &error) = 0;
};

} // namespace bl
