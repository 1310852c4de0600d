// Any bytes a network peer may send, through the line protocol's parsing:
// lines stay bounded, and a SEND is taken only as a whole, right message.
#include "loconet/hex.h"
#include "loconet/line_protocol.h"
#include "loconet/message.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    using namespace bl::loconet;
    LineSplitter splitter(64);
    splitter.feed(
        std::string_view(reinterpret_cast<const char *>(data), size), [](std::string_view text) {
            if (text.empty() || text.size() > 64)
                std::abort();
            const Line line = split_line(text);
            const auto bytes = parse_hex_bytes(line.parameter);
            if (!bytes)
                return;
            for (const int b : *bytes)
                if (b < 0 || b > 0xFF)
                    std::abort();
            if (hex_list(*bytes).size() != (bytes->empty() ? 0 : bytes->size() * 3 - 1))
                std::abort();
            if (!send_refusal(*bytes).empty())
                return;
            // taken: a whole message of its opcode's length with a right checksum
            if (!checksum_ok(bytes->begin(), bytes->end()) || !is_opcode((*bytes)[0]))
                std::abort();
            const int length = message_length((*bytes)[0]);
            if (length != kLengthFromSecondByte && length != static_cast<int>(bytes->size()))
                std::abort();
        });
    return 0;
}
