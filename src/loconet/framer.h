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

// How many bytes byte b makes the framer give up without their becoming a
// message: those of a message cut short by an opcode, a data byte with no
// opcode before it, or a message that would overflow the buffer (b too).
// The bytes given up are still in the buffer (or are b) when this is asked.
inline int discards(const FrameState &s, int b) {
    if (is_opcode(b))
        return s.ln_in_msg ? s.ln_count : 0;
    if (!s.ln_in_msg)
        return 1;
    return static_cast<std::size_t>(s.ln_count) >= kFrameCapacity ? s.ln_count + 1 : 0;
}

// One step for byte b; true when b completes the message in the buffer. An
// opcode starts a new message and drops one still being collected; data
// bytes with no opcode before them are ignored; a message whose length byte
// is 0 or 1 never completes and is dropped when the buffer is full, rather
// than overflowing it.
inline bool frame_byte(FrameState &s, int b) {
    if (is_opcode(b)) {
        s.ln_len = message_length(b);
        s.ln_in_msg = -1;
        s.ln_count = 0;
    } else if (!s.ln_in_msg) {
        return false;
    }
    if (static_cast<std::size_t>(s.ln_count) >= kFrameCapacity) {
        s.ln_in_msg = 0;
        return false;
    }
    s.ln_buf[static_cast<std::size_t>(s.ln_count)] = b;
    ++s.ln_count;
    if (s.ln_len == kLengthFromSecondByte && s.ln_count == 2)
        s.ln_len = b;
    if (s.ln_count == s.ln_len) {
        s.ln_in_msg = 0;
        return true;
    }
    return false;
}

// The bytes of a message still being collected (at the end of a stream).
inline int pending_bytes(const FrameState &s) { return s.ln_in_msg ? s.ln_count : 0; }

// A framer with a buffer of its own, for who needs only the messages.
class Framer {
public:
    // True when b completes a message; message() then holds it.
    bool feed(int b) { return frame_byte(state_, b); }
    std::span<const std::int32_t> message() const {
        return {state_.ln_buf.data(), static_cast<std::size_t>(state_.ln_len)};
    }

private:
    FrameState state_;
};

} // namespace bl::loconet
