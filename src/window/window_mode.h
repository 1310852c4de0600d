#pragma once

#include "cli/command_line.h"

namespace bl {

// Runs the monitor window until the program ends; returns the exit status.
int run_window(int &argc, char **argv, const CommandLine &command_line);

} // namespace bl
