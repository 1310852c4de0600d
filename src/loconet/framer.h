// The one framing state machine for LocoNet bytes. It is fed one byte at a
// time and collects the message in a frame state (the receive path's is part
// of its module variables: ln_buf, ln_len, ln_count, ln_in_msg, which the
// decoder reads).
#pragma once

#include "loconet/message.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace bl::loconet {

inline constexpr std::size_t kFrameCapacity = 513;

// A message buffer and its framing state, for who keeps its own.
struct FrameState {
    std::array<std::int32_t, kFrameCapacity> ln_buf{};
    std::int32_t ln_len = 0;
    std::int32_t ln_in_msg = 0;
    std::int32_t ln_count = 0;
};

struct FrameStep {
    bool complete = false; // the byte completed the message in the buffer
    int discarded = 0;     // bytes given up without becoming a message
};

// One step for byte b. An opcode starts a new message and drops one still
// being collected; data bytes with no opcode before them are ignored; a
// message whose length byte is 0 or 1 never completes and is dropped when
// the buffer is full, rather than overflowing it.
inline FrameStep frame_byte(FrameState &s, int b) {
    FrameStep step;
    if (is_opcode(b)) {
        if (s.ln_in_msg)
            step.discarded = s.ln_count;
        s.ln_len = message_length(b);
        s.ln_in_msg = -1;
        s.ln_count = 0;
    } else if (!s.ln_in_msg) {
        step.discarded = 1;
        return step;
    }
    if (static_cast<std::size_t>(s.ln_count) >= kFrameCapacity) {
        s.ln_in_msg = 0;
        step.discarded += s.ln_count + 1;
        return step;
    }
    s.ln_buf[static_cast<std::size_t>(s.ln_count)] = b;
    ++s.ln_count;
    if (s.ln_len == kLengthFromSecondByte && s.ln_count == 2)
        s.ln_len = b;
    if (s.ln_count == s.ln_len) {
        s.ln_in_msg = 0;
        step.complete = true;
    }
    return step;
}

// A framer with a buffer of its own, for who needs only the messages.
class Framer {
public:
    // True when b completes a message; message() then holds it.
    bool feed(int b) {
        const FrameStep step = frame_byte(state_, b);
        return step.complete;
    }
    std::span<const std::int32_t> message() const {
        return {state_.ln_buf.data(), static_cast<std::size_t>(state_.ln_len)};
    }

private:
    FrameState state_;
};

} // namespace bl::loconet
