// Arbitrary bytes through framing, decoding and the monitor area, in the
// three written output modes and the detailed one (the first byte chooses). Invariants: the area
// never holds more than 5000 characters plus one message's lines and always ends a line; every
// shown line is a hex list or one of the renderings.
#include "app/reception_path.h"

#include <cstdlib>
#include <string>

namespace {

bool hex_pairs(std::string_view s) {
    if (s.empty() || s.size() % 3 != 0)
        return false;
    for (std::size_t i = 0; i < s.size(); i += 3) {
        const auto digit = [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); };
        if (!digit(s[i]) || !digit(s[i + 1]) || s[i + 2] != ' ')
            return false;
    }
    return true;
}

bool rendering(std::string_view s) {
    static const std::string_view kStarts[] = {"Gleisspannung ",
                                               "Lok ",
                                               "Mag.-Art.: ",
                                               "R\xFC"
                                               "ckmelder ",
                                               "LongAck: B4 ",
                                               " Antwort: ",
                                               "Statusanfrage nach Slot ",
                                               "Statusanfrage nach Mag.-Art. ",
                                               "Anfrage nach Lokadresse: ",
                                               "Kennbox Sender ",
                                               "Slot  "};
    for (const std::string_view start : kStarts)
        if (s.substr(0, start.size()) == start)
            return true;
    return false;
}

struct CheckedTrace : bl::LineSink {
    bool hex_mode = false;
    bool ascii_hex = false;
    bool detail = false;
    void write_line(std::string_view text) override {
        const bool ok = detail ? !text.empty()
                        : hex_mode
                            ? hex_pairs(text)
                            : rendering(text) || (ascii_hex && text.substr(0, 5) == "HEX: " &&
                                                  hex_pairs(text.substr(5)));
        if (!ok || text.size() > bl::LineText::kCapacity)
            std::abort();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0)
        return 0;
    bl::ModVariablen vars;
    vars.monitor_on = bl::kTrue;
    vars.trace_on = bl::kTrue;
    vars.trace_name = QStringLiteral("fuzz");
    const int mode = data[0] % 4;
    vars.hex_on = mode == 2 ? bl::kTrue : bl::kFalse;
    vars.ascii_hex_on = mode == 1 ? bl::kFalse : bl::kTrue;
    vars.detail_on = mode == 3 ? bl::kTrue : bl::kFalse;
    CheckedTrace trace;
    trace.hex_mode = mode == 2;
    trace.ascii_hex = mode == 0;
    trace.detail = mode == 3;
    bl::TextMonitorArea area;
    bl::ReceptionPath path(vars, {area, trace});
    bl::Receiver &receiver = path.receiver;
    const bl::loconet::BusCounts &counts = path.counts;
    auto checked = receiver.listen([&](const bl::loconet::Message &) {
        // one message adds at most its line, a break and two CR LF
        if (area.text().size() > bl::kAreaLimit + bl::LineText::kCapacity + 6)
            std::abort();
        if (!area.text().empty() && area.text().substr(area.text().size() - 2) != "\r\n")
            std::abort();
    });
    // in pieces, as reads would deliver them
    std::size_t at = 1;
    while (at < size) {
        const std::size_t piece = 1 + data[at] % 64;
        const std::size_t n = std::min(piece, size - at);
        receiver.framing_steps(std::string_view(reinterpret_cast<const char *>(data + at), n));
        at += n;
    }
    // every byte read is counted; messages (two bytes at least) and discards come from them
    if (counts.bytes != size - 1 || counts.discarded + 2 * counts.messages > counts.bytes ||
        counts.checksum_errors > counts.messages)
        std::abort();
    return 0;
}
