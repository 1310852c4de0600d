#pragma once

#include "reception/length_rule.h"

#include <QByteArray>
#include <optional>

namespace bl::sim {

// Frames the bytes a device sends into whole messages by the opcode's
// length rule; bytes before an opcode and cut-short messages are dropped.
class MessageAssembler {
public:
    std::optional<QByteArray> feed(int b) {
        if (b & 0x80)
            partial_.clear();
        else if (partial_.isEmpty())
            return std::nullopt;
        partial_.append(static_cast<char>(b));
        int length = ln_length_for_opcode(static_cast<unsigned char>(partial_.at(0)));
        if (length == kLengthFromSecondByte)
            length = partial_.size() >= 2 ? static_cast<unsigned char>(partial_.at(1)) : 0;
        if (length >= 2 && partial_.size() == length) {
            QByteArray msg = partial_;
            partial_.clear();
            return msg;
        }
        if (partial_.size() > 128)
            partial_.clear();
        return std::nullopt;
    }

private:
    QByteArray partial_;
};

} // namespace bl::sim
