#pragma once

#include "reception/decoder.h"
#include "reception/receiver.h"

namespace bl {

// Where the shown lines go.
struct LineOutputs {
    MonitorArea &area;
    LineSink &trace;           // while a recording runs
    LineSink *lines = nullptr; // every shown line (the terminal)
};

// The reception path: framing, counting and decoding on the given state.
struct ReceptionPath {
    ReceptionPath(ModVariablen &vars, const LineOutputs &out)
        : decoder(vars, out.area, out.trace, out.lines),
          receiver(vars, counts, [this] { decoder.decode_ln_mes(); }) {}

    loconet::BusCounts counts;
    MessageDecoder decoder;
    Receiver receiver;
};

} // namespace bl
