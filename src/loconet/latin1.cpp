#include "loconet/latin1.h"

#include <cstdint>
#include <cstring>

namespace bl {

namespace {

// One character, without a branch: an umlaut is two bytes, ASCII one.
inline char *put_one(char *out, unsigned char c) {
    const bool wide = c >= 0x80;
    out[0] = static_cast<char>(wide ? 0xC0 | (c >> 6) : c);
    out[1] = static_cast<char>(0x80 | (c & 0x3F)); // overwritten by the next where narrow
    return out + 1 + wide;
}

} // namespace

char *put_latin1_as_utf8(char *out, std::string_view latin1) {
    const char *p = latin1.data();
    const char *const end = p + latin1.size();
    // eight characters at a time: ASCII copied whole, else one by one
    for (; end - p >= 8; p += 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        if (!(word & 0x8080808080808080ULL)) {
            std::memcpy(out, &word, 8);
            out += 8;
            continue;
        }
        for (int k = 0; k < 8; ++k)
            out = put_one(out, static_cast<unsigned char>(p[k]));
    }
    for (; p != end; ++p)
        out = put_one(out, static_cast<unsigned char>(*p));
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
