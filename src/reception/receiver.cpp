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
    if (loconet::frame_byte(vars_, b).complete && vars_.monitor_on)
        decode_();
    // a message completed by b is decoded before b enters the capture
    capture(b);
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
