#include "shared/latin1.h"

#include <cstdint>
#include <cstring>

namespace bl {

void append_latin1_as_utf8(std::string &out, std::string_view latin1) {
    // runs of ASCII are copied whole; only the umlauts need two bytes
    std::size_t run = 0;
    for (std::size_t i = 0; i < latin1.size(); ++i) {
        // skip eight ASCII characters at a time
        while (i + 8 <= latin1.size()) {
            std::uint64_t word;
            std::memcpy(&word, latin1.data() + i, 8);
            if (word & 0x8080808080808080ULL)
                break;
            i += 8;
        }
        if (i >= latin1.size())
            break;
        const auto c = static_cast<unsigned char>(latin1[i]);
        if (c < 0x80)
            continue;
        out.append(latin1.substr(run, i - run));
        const char pair[2] = {static_cast<char>(0xC0 | (c >> 6)),
                              static_cast<char>(0x80 | (c & 0x3F))};
        out.append(pair, 2);
        run = i + 1;
    }
    out.append(latin1.substr(run));
}

std::string latin1_to_utf8(std::string_view latin1) {
    std::string out;
    out.reserve(latin1.size() + latin1.size() / 8);
    append_latin1_as_utf8(out, latin1);
    return out;
}

} // namespace bl
