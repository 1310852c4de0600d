#include "reception/receiver.h"

#include "reception/length_rule.h"

namespace bl {

bool reply_kind_for(int opcode, ReplyKind &kind) {
    switch (opcode) {
    case 0xB4: kind = {0, 4}; return true;  // long acknowledge
    case 0xE5: kind = {1, 15}; return true; // peer transfer
    case 0xED: kind = {2, 15}; return true; // immediate packet
    case 0xE7: kind = {3, 14}; return true; // slot data
    default: return false;
    }
}

void Receiver::framing_step(int b) {
    collect(b);
    // a message completed by b is decoded before b enters the capture
    capture(b);
}

void Receiver::collect(int b) {
    ModVariablen &v = vars_;
    if (b & 0x80) {
        // an opcode drops whatever message was still being collected
        v.ln_len = ln_length_for_opcode(b);
        v.ln_in_msg = kTrue;
        v.ln_count = 0;
    }
    if (!v.ln_in_msg)
        return;
    if (v.ln_count >= kLnBufSize) {
        // A length byte of 0 or 1 never completes; rather than overflow the
        // buffer, drop such a message and wait for the next opcode.
        v.ln_in_msg = kFalse;
        return;
    }
    v.ln_buf[static_cast<std::size_t>(v.ln_count)] = b;
    ++v.ln_count;
    if (v.ln_len == kLengthFromSecondByte && v.ln_count == 2)
        v.ln_len = b;
    if (v.ln_count == v.ln_len) {
        v.ln_in_msg = kFalse;
        if (v.monitor_on)
            decode_();
    }
}

void Receiver::capture(int b) {
    ModVariablen &v = vars_;
    ReplyKind kind{};
    if ((b & 0x80) && reply_kind_for(b, kind)) {
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
