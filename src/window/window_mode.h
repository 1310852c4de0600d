#pragma once

#include "app/options.h"

namespace bl {

// Runs the monitor window until the program ends; returns the exit status.
int run_window(int &argc, char **argv, const RunOptions &options);

} // namespace bl
