// The LoconetOverTcp line protocol ("LbServer"), versions 1 and 2: readable
// ASCII lines ended by CR, LF or any combination of them; a line is a token
// of capitals, optionally one blank and a parameter; message bytes are
// two-digit hexadecimal numbers separated by blanks.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bl::loconet {

inline constexpr int kLbServerPort = 1234;
// No line of the protocol comes near this: a message of 127 bytes in hex
// is under 400 characters.
inline constexpr std::size_t kLongestLine = 1024;

namespace token {
inline constexpr std::string_view kVersion = "VERSION";
inline constexpr std::string_view kReceive = "RECEIVE";
inline constexpr std::string_view kSend = "SEND";
inline constexpr std::string_view kSent = "SENT";
inline constexpr std::string_view kOk = "OK";
inline constexpr std::string_view kError = "ERROR";
inline constexpr std::string_view kChecksum = "CHECKSUM";
} // namespace token

// Cuts a byte stream into lines. Empty lines are passed over; a line longer
// than the limit is never kept without end: it is dropped, and at its end
// the overlong handler gets its beginning (so that a SEND too long to read
// can still be answered).
class LineSplitter {
public:
    using Handler = std::function<void(std::string_view)>;
    static constexpr std::size_t kKeptOfOverlong = 16;

    explicit LineSplitter(std::size_t longest = kLongestLine) : longest_(longest) {}
    void feed(std::string_view bytes, const Handler &line, const Handler &overlong = {});
    std::size_t dropped() const { return dropped_; }

private:
    std::string line_;
    std::size_t longest_;
    bool overlong_ = false;
    std::size_t dropped_ = 0;
};

struct Line {
    std::string_view token;
    std::string_view parameter; // after the one blank, or empty
};
Line split_line(std::string_view line);

// "B0 00 10 5F" -> the bytes; nothing when a token is not two hex digits.
std::optional<std::vector<int>> parse_hex_bytes(std::string_view text);

// Why the bytes are not one whole message (an opcode first, no opcode
// after it, as many bytes as the opcode asks for); empty when they are.
std::string_view framing_fault(const std::vector<int> &message);
// Why a SEND's message cannot go on the bus; empty when it can.
std::string_view send_refusal(const std::vector<int> &message);

// Text from a peer as it may be shown on a terminal or in a window: control
// characters (escape sequences among them) as \xNN, the rest as it is.
std::string printable(std::string_view text);

} // namespace bl::loconet
