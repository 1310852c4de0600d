// Messages for tests, written as their bytes without the checksum (added
// here), passed through the bus's context in order as the receive path does.
#pragma once

#include "loconet/bus_context.h"
#include "support/bytes.h"

#include <string_view>

namespace bl::testing {

class MessageBus {
public:
    // The message, after the context has seen it.
    loconet::Message next(std::string_view hex_without_checksum,
                          loconet::Direction direction = loconet::Direction::Received) {
        std::string b = bytes(hex_without_checksum);
        b.push_back(static_cast<char>(loconet::checksum(b.begin(), b.end())));
        loconet::Message m = loconet::message_of(b.begin(), b.end());
        m.seq = ++seq_;
        m.direction = direction;
        m.steady_ns = static_cast<std::int64_t>(seq_) * 1'000'000 + extra_ns_; // a message a ms
        // microseconds apart, and as far on as the bus waited
        m.wall_us =
            1'700'000'000'000'000 + static_cast<std::int64_t>(seq_) * 1001 + extra_ns_ / 1000;
        context_.observe(m);
        return m;
    }
    // Time passes on the bus.
    void wait(double seconds) { extra_ns_ += static_cast<std::int64_t>(seconds * 1e9); }
    // The same with a wrong checksum.
    loconet::Message corrupt(std::string_view hex_without_checksum) {
        loconet::Message m = next(hex_without_checksum);
        m.bytes[m.length - 1u] ^= 0x01;
        m.checksum_ok = false;
        return m;
    }
    // (watching the requests for the findings from the first message on)
    loconet::BusContext &context() { return context_; }
    const loconet::BusContext &context() const { return context_; }

private:
    loconet::BusContext context_ = [] {
        loconet::BusContext c;
        c.watch_unreplied();
        return c;
    }();
    std::uint64_t seq_ = 0;
    std::int64_t extra_ns_ = 0;
};

} // namespace bl::testing
