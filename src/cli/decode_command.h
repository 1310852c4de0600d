#pragma once

#include <cstdio>

namespace bl {

struct DecodeOptions {
    bool hex_output = false; // as if "HEX Ausgabe" were ticked
    bool ascii_hex = true;   // as if "ASCII+HEX" were ticked
    bool area = false;       // print the monitor area's final text instead
};

// Runs raw LocoNet bytes from in through the monitor's reception path and
// writes the shown lines (UTF-8, LF) or the final area text to out.
// Returns the process exit status.
int run_decode(std::FILE *in, std::FILE *out, const DecodeOptions &options);

} // namespace bl
