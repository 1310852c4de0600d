#pragma once

#include "app/options.h"

#include <cstdio>

namespace bl {

// Runs raw LocoNet bytes from in through the monitor's reception path and
// writes the shown lines (UTF-8, LF) or, with area, the final area text to
// out. Returns the process exit status.
int run_decode(std::FILE *in, std::FILE *out, const OutputModes &modes, bool area);

} // namespace bl
