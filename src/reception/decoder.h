#pragma once

#include "filter/filter.h"
#include "loconet/bus_context.h"
#include "loconet/findings.h"
#include "loconet/line_maker.h"
#include "loconet/message.h"
#include "reception/line_sink.h"
#include "reception/monitor_area.h"
#include "shared/mod_variablen.h"

#include <optional>

namespace bl {

inline constexpr std::size_t kAreaLimit = 5000; // longer texts are cut ...
inline constexpr std::size_t kAreaKeep = 4900;  // ... to their last characters

// decode_ln_mes: turns the message just framed into one line of the monitor
// area and, while a trace is recorded, one trace record. Where the lines
// also go elsewhere (the terminal), every shown line goes there too. The
// line is the line maker's, in the mode the display asks for.
class MessageDecoder {
public:
    // requests: what the detailed rendering asks for the request a reply
    // answers
    MessageDecoder(const DisplayVars &display, const TraceVars &trace_vars,
                   const loconet::RequestSource &requests, MonitorArea &area, LineSink &trace,
                   LineSink *lines = nullptr)
        : display_(display), trace_vars_(trace_vars), requests_(requests), area_(area),
          trace_(trace), lines_(lines) {}

    // The message just framed, in the rendering the display asks for; the
    // line shown for it (valid until the next message), empty where none
    // was.
    std::string_view decode(const loconet::Message &m);
    // After a message whose checksum is wrong, a line that says so.
    void set_mark_errors(bool on) { mark_errors_ = on; }
    // Only messages the filter takes are shown, each as exactly one line
    // (its rendering, or its bytes where it has none).
    void set_filter(std::optional<filter::Filter> f) { filter_ = std::move(f); }
    // Where the filter's "befund" looks (the findings made so far).
    void set_findings(const loconet::Findings *findings) { findings_ = findings; }

private:
    bool decode_ln_mes(const loconet::Message &m);
    bool decode_filtered(const loconet::Message &m);
    void cut_area_to_limit();
    void append_to_area(bool wrapped);
    void show(const LineText &line);
    void mark_if_corrupt(const loconet::Message &m);
    // (made where it is used: a small struct of flags passed through the
    // stack is slow to read back)
    loconet::LineMode mode() const {
        return {display_.hex_on != 0, display_.detail_on != 0, display_.ascii_hex_on != 0};
    }

    const DisplayVars &display_;
    const TraceVars &trace_vars_;
    const loconet::RequestSource &requests_;
    MonitorArea &area_;
    LineSink &trace_;
    LineSink *lines_;
    LineText text_; // the line being built
    bool mark_errors_ = false;
    std::optional<filter::Filter> filter_;
    const loconet::Findings *findings_ = nullptr;
};

} // namespace bl
