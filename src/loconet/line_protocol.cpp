#include "loconet/line_protocol.h"

#include "loconet/hex.h"
#include "loconet/message.h"

#include <algorithm>

namespace bl::loconet {

void LineSplitter::feed(std::string_view bytes, const Handler &line, const Handler &overlong) {
    for (const char c : bytes) {
        if (c == '\r' || c == '\n') {
            if (overlong_ && overlong)
                overlong(line_);
            else if (!overlong_ && !line_.empty())
                line(line_);
            line_.clear();
            overlong_ = false;
        } else if (overlong_) {
            continue;
        } else if (line_.size() >= longest_) {
            overlong_ = true;
            ++dropped_;
            line_.resize(std::min(line_.size(), kKeptOfOverlong));
        } else {
            line_.push_back(c);
        }
    }
}

Line split_line(std::string_view line) {
    const std::size_t blank = line.find(' ');
    if (blank == std::string_view::npos)
        return {line, {}};
    return {line.substr(0, blank), line.substr(blank + 1)};
}

std::optional<std::vector<int>> parse_hex_bytes(std::string_view text) {
    std::vector<int> bytes;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        if (i + 1 >= text.size() || (i + 2 < text.size() && text[i + 2] != ' '))
            return std::nullopt;
        const int high = hex_digit_value(text[i]), low = hex_digit_value(text[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.push_back(high * 16 + low);
        i += 2;
    }
    return bytes;
}

std::string_view framing_fault(const std::vector<int> &message) {
    if (message.empty())
        return "no bytes";
    if (!is_opcode(message[0]))
        return "first byte is not an opcode";
    for (std::size_t i = 1; i < message.size(); ++i)
        if (is_opcode(message[i]))
            return "opcode inside the message";
    const int length = message_length(message[0]) == kLengthFromSecondByte
                           ? (message.size() > 1 ? message[1] : -1)
                           : message_length(message[0]);
    if (static_cast<int>(message.size()) != length)
        return "wrong length for the opcode";
    return {};
}

std::string_view send_refusal(const std::vector<int> &message) {
    if (const std::string_view fault = framing_fault(message); !fault.empty())
        return fault;
    if (!checksum_ok(message.begin(), message.end()))
        return "bad checksum";
    return {};
}

std::string printable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    const auto escape = [&out](unsigned char c) {
        char escaped[4] = {'\\', 'x', 0, 0};
        put_hex(escaped + 2, c);
        out.append(escaped, 4);
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        // the C1 controls in UTF-8 (C2 80..9F) act on a terminal as well
        const bool c1 = c == 0xC2 && i + 1 < text.size() &&
                        (static_cast<unsigned char>(text[i + 1]) & 0xE0) == 0x80;
        if (c1) {
            escape(c);
            escape(static_cast<unsigned char>(text[++i]));
        } else if (c < 0x20 || c == 0x7F) {
            escape(c);
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

} // namespace bl::loconet
