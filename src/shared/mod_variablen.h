// The program's shared state: one instance, created at start, its groups
// passed to the parts that read or write them. The integer widths are part
// of the behaviour: the renderings do 16-bit arithmetic (a locomotive
// address above 32767 wraps), and answer_tab and LN_Out hold 16-bit
// entries. Flags hold -1 for true and 0 for false.
#pragma once

#include "loconet/framer.h"

#include <QString>
#include <array>
#include <cstdint>

namespace bl {

inline constexpr int kLnBufSize = loconet::kFrameCapacity; // ln_buf index 0..512
inline constexpr int kAnswerKinds = 5;                     // answer_tab columns
inline constexpr int kAnswerRows = 34;                     // answer_tab rows 0..33
inline constexpr int kAnswerFlagRow = 33;                  // completion flags
inline constexpr int kLnOutSize = 65;                      // LN_Out index 0..64
inline constexpr std::int16_t kTrue = -1;
inline constexpr std::int16_t kFalse = 0;

// What the receive path keeps: the framing state (ln_buf, ln_len,
// ln_in_msg, ln_count) and the reply capture. The written rendering's slot
// table and switch-query state are part of the bus's context
// (loconet::BusContext), which every line is made from.
struct ReceptionVars : loconet::FrameState {
    std::array<std::array<std::int16_t, kAnswerRows>, kAnswerKinds> answer_tab{};
    std::int16_t answer_on = 0;
    std::int16_t answer_kind = 0;
    std::int16_t answer_count = 0;
    std::int16_t answer_len = 0;
};

// The display and its output modes.
struct DisplayVars {
    std::int16_t monitor_on = 0;
    std::int32_t hex_on = 0;
    std::int32_t ascii_hex_on = 0;
    std::int32_t detail_on = 0; // the detailed rendering ("Ausführlich") instead of the written
};

// Trace recording.
struct TraceVars {
    std::int16_t trace_on = 0;
    QString trace_name;
    std::int16_t trace_filenr = 0;
    QString doc_path;
};

// The attached interface and the outcome of the last operation on it.
struct InterfaceVars {
    std::int16_t ln_interface = 0;
    std::int16_t usb_interface = 0;
    double comport_nr = 0.0;
    QString comport_device; // a port entry that is a path or an address, e.g. /dev/ttyACM0
    std::int16_t err_flag = 0;
};

// The out-buffer of the next message to send.
struct SendingVars {
    std::array<std::int16_t, kLnOutSize> LN_Out{};
};

struct ModVariablen : ReceptionVars, DisplayVars, TraceVars, InterfaceVars, SendingVars {};

} // namespace bl
