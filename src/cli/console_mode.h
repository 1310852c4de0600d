#pragma once

#include "app/options.h"

namespace bl {

// The monitor without a window: the same start-up, connection and receive
// path; every shown line goes to standard output in the trace-file form.
int run_console(int &argc, char **argv, const RunOptions &options);

} // namespace bl
