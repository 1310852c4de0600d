// Any text typed into the filter line: it is read or refused with a place
// inside the text and a hint; a read filter evaluates on messages of every
// kind without fault.
#include "filter/filter.h"

#include <cstdlib>

namespace {

struct Line : bl::filter::LineSource {
    std::string_view line() override {
        return "R\xFC"
               "ckmelder 5 = belegt";
    }
    const bl::loconet::Subjects &subjects() override { return named; }
    bl::loconet::Subjects named;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const auto read = bl::filter::Filter::parse(text);
    if (const auto *bad = std::get_if<bl::filter::ParseError>(&read)) {
        // a place within the text (counted in characters, at most one a byte)
        if (bad->position > size || bad->hint.empty())
            std::abort();
        return 0;
    }
    const auto &f = std::get<bl::filter::Filter>(read);
    Line line;
    line.named.add(bl::loconet::Subjects::kLoco, 57);
    line.named.add(bl::loconet::Subjects::kSensor, 5);
    const std::uint8_t samples[][4] = {{0xB2, 0x02, 0x50, 0x1F},
                                       {0xB0, 0x0A, 0x30, 0x75},
                                       {0xA0, 0x05, 0x20, 0x7A},
                                       {0x83, 0x7C, 0, 0}};
    for (const auto &s : samples) {
        bl::loconet::Message m = bl::loconet::message_of(s, s + (s[0] == 0x83 ? 2 : 4));
        m.known.loco = 57;
        (void)f.matches(m, line);
    }
    return 0;
}
