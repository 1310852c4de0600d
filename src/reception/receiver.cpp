#include "reception/receiver.h"

#include "loconet/framer.h"
#include "loconet/opcodes.h"

#include <cstring>

namespace bl {

namespace {

struct ReplyKind {
    std::int16_t column;
    std::int16_t length; // bytes captured, whatever the message's length
};

// Returns false for a byte that starts no capture.
bool reply_kind_for(int opcode, ReplyKind &kind) {
    using namespace loconet;
    switch (opcode) {
    case kOpcLongAck: kind = {kReplyLongAck, 4}; return true;
    case kOpcPeerXfer: kind = {kReplyPeerXfer, 15}; return true;
    case kOpcImmPacket: kind = {kReplyImmPacket, 15}; return true;
    case kOpcSlRdData: kind = {kReplySlotData, 14}; return true;
    default: return false;
    }
}

} // namespace

Receiver::Receiver(ReceptionVars &vars, const DisplayVars &display, loconet::BusCounts &counts,
                   loconet::EchoWatch &echoes, Stamp stamp, Decode decode)
    : vars_(vars), display_(display), counts_(counts), echoes_(echoes), stamp_(std::move(stamp)),
      decode_(std::move(decode)) {}

inline bool Receiver::stamp(loconet::Message &m) {
    m.seq = ++seq_;
    if (!stamp_)
        return false;
    const MessageStamp at = stamp_();
    m.wall_us = at.wall_us;
    m.steady_ns = at.steady_ns;
    return at.sent;
}

inline void Receiver::capture(int b) {
    ReceptionVars &v = vars_;
    ReplyKind kind{};
    if (loconet::is_opcode(b) && reply_kind_for(b, kind)) {
        v.answer_kind = kind.column;
        v.answer_len = kind.length;
        v.answer_count = 0;
        v.answer_on = kTrue;
    }
    if (!v.answer_on)
        return;
    auto &column = v.answer_tab[static_cast<std::size_t>(v.answer_kind)];
    column[static_cast<std::size_t>(v.answer_count)] = static_cast<std::int16_t>(b);
    ++v.answer_count;
    if (v.answer_count == v.answer_len) {
        v.answer_on = kFalse;
        column[kAnswerFlagRow] = kTrue;
    }
}

inline void Receiver::step(int b) {
    ++counts_.bytes;
    if (const int n = loconet::discards(vars_, b))
        give_up(b, n);
    if (loconet::frame_byte(vars_, b))
        framed();
    // a message completed by b is decoded before b enters the capture
    capture(b);
}

void Receiver::framing_step(int b) { step(b); }

void Receiver::framing_steps(std::string_view bytes) {
    const auto *p = reinterpret_cast<const std::uint8_t *>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        // most of a stream is whole messages: those go at once
        if (!vars_.ln_in_msg) {
            if (const std::size_t length = whole_message_at(p + i, n - i)) {
                frame_whole(p + i, length);
                i += length;
                continue;
            }
        }
        step(p[i++]);
    }
}

std::size_t Receiver::whole_message_at(const std::uint8_t *bytes, std::size_t available) {
    const int op = bytes[0];
    if (!loconet::is_opcode(op))
        return 0;
    int length = loconet::message_length(op);
    if (length == loconet::kLengthFromSecondByte) {
        if (available < 2)
            return 0;
        length = bytes[1]; // an opcode here is no length; 0 and 1 never complete
        if (length < 2 || length >= 0x80)
            return 0;
    }
    const auto whole = static_cast<std::size_t>(length);
    if (whole > available)
        return 0;
    std::uint8_t high = 0;
    for (std::size_t k = 1; k < whole; ++k)
        high |= bytes[k];
    return high & 0x80 ? 0 : whole; // an opcode inside cuts it short
}

void Receiver::frame_whole(const std::uint8_t *bytes, std::size_t length) {
    counts_.bytes += length;
    ReceptionVars &v = vars_;
    for (std::size_t k = 0; k < length; ++k)
        v.ln_buf[k] = bytes[k];
    v.ln_len = v.ln_count = static_cast<std::int32_t>(length);
    v.ln_in_msg = kFalse;
    // as byte by byte: the message is decoded before its last byte enters the capture
    capture(bytes[0]);
    for (std::size_t k = 1; k + 1 < length && v.answer_on; ++k)
        capture(bytes[k]);
    framed(bytes);
    capture(bytes[length - 1]);
}

void Receiver::framed(const std::uint8_t *raw) {
    loconet::Message &m = current_;
    const auto length = static_cast<std::uint8_t>(vars_.ln_len);
    m.length = length;
    int check = 0xFF;
    if (raw) {
        std::memcpy(m.bytes.data(), raw, length);
        // four bytes at a time, folded: most messages are two to six long
        std::uint32_t folded = 0;
        std::size_t i = 0;
        for (; i + 4 <= length; i += 4) {
            std::uint32_t word;
            std::memcpy(&word, raw + i, 4);
            folded ^= word;
        }
        for (; i < length; ++i)
            folded ^= raw[i];
        folded ^= folded >> 16;
        folded ^= folded >> 8;
        check ^= static_cast<int>(folded & 0xFF);
    } else {
        for (std::size_t i = 0; i < length; ++i) {
            const auto b = static_cast<std::uint8_t>(vars_.ln_buf[i]);
            m.bytes[i] = b;
            check ^= b;
        }
    }
    m.checksum_ok = check == 0;
    m.connection = 0;
    m.known = {};
    // a cut-short slot-data message is shown with what the receive buffer
    // still holds behind it: kept with it, so that it is shown so again
    m.leftover = 0;
    if (m.opcode() == loconet::kOpcSlRdData && m.length < loconet::kWrittenReach) {
        m.leftover = static_cast<std::uint8_t>(loconet::kWrittenReach - m.length);
        for (std::size_t i = m.length; i < loconet::kWrittenReach; ++i)
            m.bytes[i] = static_cast<std::uint8_t>(vars_.ln_buf[i]);
    }
    if (stamp(m)) // recorded as one of our own sends
        return our_own(m);
    m.direction = echoes_.heard(m.view()) ? loconet::Direction::Echo : loconet::Direction::Received;
    counts_.message(m);
    if (annotate_)
        annotate_(m);
    shown_ = display_.monitor_on && decode_ ? decode_(m) : std::string_view();
    messages_.tell(m);
    shown_ = {};
}

// A send, live or read back from a recording: its echo is watched for, and
// the monitor shows the echo, not the send.
void Receiver::our_own(loconet::Message &m) {
    m.direction = loconet::Direction::Sent;
    m.leftover = 0;
    echoes_.sent(m.view(), static_cast<double>(m.steady_ns) / 1e9);
    if (annotate_)
        annotate_(m);
    messages_.tell(m);
}

void Receiver::sent(std::span<const std::uint8_t> bytes, std::uint16_t connection) {
    loconet::Message m = loconet::message_of(bytes.begin(), bytes.end());
    m.connection = connection;
    stamp(m);
    our_own(m);
}

// Counts the n bytes b makes the framer give up, and shows them: a stray
// data byte is b itself, otherwise they are still in the buffer.
void Receiver::give_up(int b, int n) {
    counts_.discarded += static_cast<std::uint64_t>(n);
    if (discarded_.empty())
        return;
    std::array<std::uint8_t, loconet::kFrameCapacity + 1> bytes;
    const bool lone = !loconet::is_opcode(b) && !vars_.ln_in_msg;
    std::size_t count = 0;
    if (lone) {
        bytes[count++] = static_cast<std::uint8_t>(b);
    } else {
        for (int i = 0; i < vars_.ln_count; ++i)
            bytes[count++] = static_cast<std::uint8_t>(vars_.ln_buf[static_cast<std::size_t>(i)]);
    }
    discarded_.tell(std::span<const std::uint8_t>(bytes.data(), count));
}

void Receiver::discard(std::string_view bytes) {
    counts_.bytes += bytes.size();
    counts_.discarded += bytes.size();
    const auto *data = reinterpret_cast<const std::uint8_t *>(bytes.data());
    discarded_.tell(std::span<const std::uint8_t>(data, bytes.size()));
}

void Receiver::finish() {
    if (const int n = loconet::pending_bytes(vars_)) {
        give_up(0x80, n);
        vars_.ln_in_msg = kFalse;
    }
}

} // namespace bl
