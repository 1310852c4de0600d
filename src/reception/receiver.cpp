#include "reception/receiver.h"

#include "loconet/framer.h"
#include "loconet/opcodes.h"

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

void Receiver::framing_step(int b) {
    ++counts_.bytes;
    if (const int n = loconet::discards(vars_, b))
        give_up(b, n);
    if (loconet::frame_byte(vars_, b)) {
        const std::span<const std::int32_t> msg(vars_.ln_buf.data(),
                                                static_cast<std::size_t>(vars_.ln_len));
        const bool ok = counts_.message(msg);
        for (FrameObserver *o : observers_)
            o->message(msg, ok);
        if (vars_.monitor_on)
            decode_();
    }
    // a message completed by b is decoded before b enters the capture
    capture(b);
}

// Counts the n bytes b makes the framer give up, and shows them: a stray
// data byte is b itself, otherwise they are still in the buffer.
void Receiver::give_up(int b, int n) {
    counts_.discarded += static_cast<std::uint64_t>(n);
    if (observers_.empty())
        return;
    const std::int32_t stray = b;
    const bool lone = !loconet::is_opcode(b) && !vars_.ln_in_msg;
    const std::span<const std::int32_t> bytes =
        lone ? std::span<const std::int32_t>(&stray, 1)
             : std::span<const std::int32_t>(vars_.ln_buf.data(),
                                             static_cast<std::size_t>(vars_.ln_count));
    for (FrameObserver *o : observers_)
        o->discarded(bytes);
}

void Receiver::discard(std::string_view bytes) {
    counts_.bytes += bytes.size();
    counts_.discarded += bytes.size();
    std::vector<std::int32_t> values;
    for (const char c : bytes)
        values.push_back(static_cast<unsigned char>(c));
    for (FrameObserver *o : observers_)
        o->discarded(values);
}

void Receiver::finish() {
    if (const int n = loconet::pending_bytes(vars_)) {
        give_up(0x80, n);
        vars_.ln_in_msg = kFalse;
    }
}

void Receiver::capture(int b) {
    ModVariablen &v = vars_;
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

} // namespace bl
