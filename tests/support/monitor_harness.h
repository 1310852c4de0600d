// The reception path wired to an in-memory area and a recording trace.
#pragma once

#include "reception/decoder.h"
#include "reception/receiver.h"
#include "shared/latin1.h"

#include <string>
#include <vector>

namespace bl::testing {

struct RecordingTrace : TraceSink {
    std::vector<std::string> records; // UTF-8
    void write_record(std::string_view text) override { records.push_back(latin1_to_utf8(text)); }
};

struct MonitorHarness {
    ModVariablen vars;
    TextMonitorArea area;
    RecordingTrace trace;
    MessageDecoder decoder{vars, area, trace};
    Receiver receiver{vars, [this] { decoder.decode_ln_mes(); }};

    MonitorHarness() {
        vars.monitor_on = kTrue;
        vars.ascii_hex_on = kTrue;
        vars.trace_on = kTrue;
        vars.trace_name = QStringLiteral("test");
    }
    void feed(const std::string &s) { receiver.framing_steps(s); }
    std::string area_utf8() const { return latin1_to_utf8(area.text()); }
};

} // namespace bl::testing
