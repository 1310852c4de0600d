// The framing step every received byte passes through: it cuts the stream
// into LocoNet messages, hands complete ones to the decoder while the monitor
// runs, and copies reply messages into answer_tab for requests that wait.
#pragma once

#include "shared/mod_variablen.h"

#include <functional>
#include <string_view>

namespace bl {

// The columns of answer_tab: which reply a request waits for.
inline constexpr std::int16_t kReplyLongAck = 0;
inline constexpr std::int16_t kReplyPeerXfer = 1;
inline constexpr std::int16_t kReplyImmPacket = 2;
inline constexpr std::int16_t kReplySlotData = 3;

class Receiver {
public:
    // decode is called for every complete message while monitor_on is set.
    Receiver(ModVariablen &vars, std::function<void()> decode)
        : vars_(vars), decode_(std::move(decode)) {}

    void framing_step(int b);

    void framing_steps(std::string_view bytes) {
        for (const char c : bytes)
            framing_step(static_cast<unsigned char>(c));
    }

private:
    void capture(int b);

    ModVariablen &vars_;
    std::function<void()> decode_;
};

} // namespace bl
