#include "shared/latin1.h"

#include <cstdint>
#include <cstring>

namespace bl {

char *put_latin1_as_utf8(char *out, std::string_view latin1) {
    // runs of ASCII are copied whole; only the umlauts need two bytes
    std::size_t i = 0;
    while (i < latin1.size()) {
        std::size_t run = i;
        // eight ASCII characters at a time
        while (run + 8 <= latin1.size()) {
            std::uint64_t word;
            std::memcpy(&word, latin1.data() + run, 8);
            if (word & 0x8080808080808080ULL)
                break;
            run += 8;
        }
        while (run < latin1.size() && static_cast<unsigned char>(latin1[run]) < 0x80)
            ++run;
        std::memcpy(out, latin1.data() + i, run - i);
        out += run - i;
        if (run == latin1.size())
            break;
        const auto c = static_cast<unsigned char>(latin1[run]);
        *out++ = static_cast<char>(0xC0 | (c >> 6));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
        i = run + 1;
    }
    return out;
}

void append_latin1_as_utf8(std::string &out, std::string_view latin1) {
    const std::size_t had = out.size();
    out.resize(had + 2 * latin1.size());
    out.resize(static_cast<std::size_t>(put_latin1_as_utf8(out.data() + had, latin1) - out.data()));
}

std::string latin1_to_utf8(std::string_view latin1) {
    std::string out;
    out.reserve(latin1.size() + latin1.size() / 8);
    append_latin1_as_utf8(out, latin1);
    return out;
}

} // namespace bl
