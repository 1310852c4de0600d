// The framing step every received byte passes through: it cuts the stream
// into LocoNet messages, counts them, hands complete ones to the decoder
// while the monitor runs, and copies reply messages into answer_tab for
// requests that wait.
#pragma once

#include "loconet/bus_counts.h"
#include "reception/frame_observer.h"
#include "shared/mod_variablen.h"

#include <functional>
#include <string_view>
#include <vector>

namespace bl {

// The columns of answer_tab: which reply a request waits for.
inline constexpr std::int16_t kReplyLongAck = 0;
inline constexpr std::int16_t kReplyPeerXfer = 1;
inline constexpr std::int16_t kReplyImmPacket = 2;
inline constexpr std::int16_t kReplySlotData = 3;

class Receiver {
public:
    // decode is called for every complete message while monitor_on is set.
    Receiver(ModVariablen &vars, loconet::BusCounts &counts, std::function<void()> decode)
        : vars_(vars), counts_(counts), decode_(std::move(decode)) {}

    void add_observer(FrameObserver *observer) { observers_.push_back(observer); }

    // Every received byte passes here, whichever way it came, and is
    // counted here.
    void framing_step(int b);

    void framing_steps(std::string_view bytes) {
        for (const char c : bytes)
            framing_step(static_cast<unsigned char>(c));
    }
    // The end of the stream: a message still being collected is given up.
    void finish();
    // Bytes the port dropped before framing (a network line that held no
    // whole message): counted and shown as given up.
    void discard(std::string_view bytes);

private:
    void give_up(int b, int n);
    void capture(int b);

    ModVariablen &vars_;
    loconet::BusCounts &counts_;
    std::function<void()> decode_;
    std::vector<FrameObserver *> observers_;
};

} // namespace bl
