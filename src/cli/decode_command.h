#pragma once

#include "app/options.h"
#include "loconet/bus_counts.h"

#include <cstdio>

namespace bl {

// Runs raw LocoNet bytes from in through the monitor's reception path and
// writes the shown lines (UTF-8, LF) or, with --area, the final area text to
// out; with --stats the bus's counts go to err at the end. Returns the
// process exit status.
int run_decode(std::FILE *in, std::FILE *out, std::FILE *err, const RunOptions &options);

// The --stats report, one line each.
void write_bus_report(std::FILE *err, const loconet::BusCounts &counts);

} // namespace bl
