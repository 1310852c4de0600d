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

// The reception path: framing, counting and decoding on the given state;
// stamp gives each message its time (none where it does not matter).
struct ReceptionPath {
    ReceptionPath(ModVariablen &vars, const LineOutputs &out, Receiver::Stamp stamp = {})
        : decoder(vars, vars, context, out.area, out.trace, out.lines),
          receiver(vars, vars, counts, echoes, std::move(stamp),
                   [this](const loconet::Message &m) { return decoder.decode(m); }) {
        // the written rendering's slot table learns only while it shows
        receiver.set_annotate([this, &vars](loconet::Message &m) {
            context.observe(m, vars.monitor_on && !vars.hex_on);
            if (findings)
                findings->observe(m, context);
        });
    }

    // Findings are made from here on, before a message is shown, so that
    // the filter's "befund" sees those about the message itself.
    void find(loconet::Findings &f) {
        findings = &f;
        context.watch_unreplied();
        decoder.set_findings(&f);
        discards = receiver.on_discarded(
            [&f](std::span<const std::uint8_t> bytes) { f.discarded(bytes.size()); });
    }

    loconet::BusCounts counts;
    loconet::EchoWatch echoes;
    loconet::BusContext context;
    MessageDecoder decoder;
    Receiver receiver;
    loconet::Findings *findings = nullptr;
    Receiver::DiscardListeners::Handle discards;
};

} // namespace bl
