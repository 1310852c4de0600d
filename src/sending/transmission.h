#pragma once

#include "connection/serial_control.h"
#include "shared/mod_variablen.h"
#include "shared/platform.h"

#include <deque>
#include <functional>
#include <span>
#include <vector>

namespace bl {

using OutBuffer = std::array<std::int16_t, kLnOutSize>;

// Puts one LocoNet message on the bus: every byte, then the checksum
// (0xFF exclusive-or every byte). A message goes to the port whole, in one
// write, unless the interface paces every byte by CTS.
class Transmitter {
public:
    Transmitter(const InterfaceVars &vars, SerialControl &comm, Dialogs &dialogs, EventPump &events,
                SteadyClock &clock)
        : vars_(vars), comm_(comm), dialogs_(dialogs), events_(events), clock_(clock) {}

    // Paces every byte by CTS unless a LocoNet interface is attached; gives
    // up 5 s after the call began. 0 when all was written, 1 otherwise.
    std::int16_t send(const OutBuffer &buffer, int l_out);
    // Writes all bytes at once, without CTS and without time-out.
    void send_ln_buf(const OutBuffer &buffer, int l_out);
    // The same for a message of any length (up to 126 bytes before its
    // checksum), not through LN_Out, for a network client: false when it
    // could not be written, and nothing is said to the user.
    bool send_bytes(std::vector<int> bytes, std::uint16_t connection = 0);
    // Whether the last paced send gave up because CTS did not come.
    bool timed_out() const { return timed_out_; }
    // Whether send_bytes would put a message on the line at once (nothing
    // waits before it and the line has room).
    bool ready() const { return !busy_ && pending_.empty() && comm_.outputHasRoom(); }
    // Told of every message put on the line whole, its check byte included,
    // and for whom (0: this program's user, n: network client n).
    using Sent = std::function<void(std::span<const std::uint8_t>, std::uint16_t connection)>;
    void on_sent(Sent handler) { on_sent_ = std::move(handler); }

    static constexpr double kTimeout = 5.0;

private:
    struct Pending {
        std::vector<int> bytes;
        bool paced;
        std::uint16_t connection = 0;
    };
    static bool valid(const OutBuffer &buffer, int l_out);
    bool port_ready();
    std::int16_t send_paced(const std::vector<int> &bytes);
    void write_all(const std::vector<int> &bytes, std::uint16_t connection = 0);
    void write_whole(const std::vector<int> &bytes);
    void tell_failure(const RuntimeError &e);
    void write_byte(int b);
    void send_pending();
    void sent_whole(const std::vector<int> &bytes, std::uint16_t connection = 0);

    const InterfaceVars &vars_;
    SerialControl &comm_;
    Dialogs &dialogs_;
    EventPump &events_;
    SteadyClock &clock_;
    bool busy_ = false;
    bool timed_out_ = false; // the last paced send ran out of time
    std::deque<Pending> pending_;
    Sent on_sent_;
};

} // namespace bl
