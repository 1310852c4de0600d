#pragma once

#include "cli/command_line.h"

namespace bl {

// The monitor without a window: the same start-up, connection and receive
// path; every shown line goes to standard output in the trace-file form.
int run_console(int &argc, char **argv, const CommandLine &command_line);

} // namespace bl
