// The reception path wired to an in-memory area and a recording trace.
#pragma once

#include "app/reception_path.h"
#include "loconet/latin1.h"

#include <string>
#include <vector>

namespace bl::testing {

struct RecordingLines : LineSink {
    std::vector<std::string> lines; // UTF-8
    void write_line(std::string_view text) override { lines.push_back(latin1_to_utf8(text)); }
};

struct MonitorHarness {
    ModVariablen vars;
    TextMonitorArea area;
    RecordingLines trace;
    ReceptionPath path{vars, LineOutputs{area, trace}};

    MonitorHarness() {
        vars.monitor_on = kTrue;
        vars.ascii_hex_on = kTrue;
        vars.trace_on = kTrue;
        vars.trace_name = QStringLiteral("test");
    }
    void feed(const std::string &s) { path.receiver.framing_steps(s); }
    std::string area_utf8() const { return latin1_to_utf8(area.text()); }
};

} // namespace bl::testing
