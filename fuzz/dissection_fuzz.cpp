// Any capture as Wireshark's dissector sees it: packets of any bytes, learnt
// in order and dissected again in another order. Every piece lies within its
// packet and covers it without gap or overlap, every field names bytes of its
// own message, a reply names an earlier frame, and a second dissection of a
// packet shows what the first one after learning did.
#include "dissection/capture_dissection.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// What a dissection shows, to compare two of the same packet.
std::string shown(const std::vector<bl::dissection::Part> &parts) {
    std::string s;
    for (const auto &p : parts) {
        s += p.line;
        s += std::to_string(p.response_to);
        for (const auto &f : p.fields)
            s += std::to_string(f.number) + f.text;
    }
    return s;
}

void check(const std::vector<bl::dissection::Part> &parts, std::size_t packet_size,
           std::uint32_t frame) {
    std::size_t covered = 0;
    for (const auto &p : parts) {
        if (p.offset != covered || p.length == 0)
            std::abort();
        covered += p.length;
        for (const auto &f : p.fields)
            if (f.first_byte + f.byte_count > p.length)
                std::abort();
        if (p.response_to > frame)
            std::abort();
    }
    if (covered != packet_size)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // packets: a length byte, then that many bytes
    std::vector<std::span<const std::uint8_t>> packets;
    for (std::size_t at = 0; at < size;) {
        const std::size_t n = std::min<std::size_t>(data[at], size - at - 1);
        packets.emplace_back(data + at + 1, n);
        at += 1 + n;
    }
    bl::dissection::CaptureDissection capture;
    std::int64_t time_us = 1'000'000;
    for (std::size_t i = 0; i < packets.size(); ++i) {
        const auto frame = static_cast<std::uint32_t>(i + 1);
        time_us += packets[i].empty() ? 0 : packets[i][0] * 1000;
        check(capture.dissect(frame, time_us, i % 7 == 3, packets[i]), packets[i].size(), frame);
    }
    std::vector<std::string> second;
    for (std::size_t i = 0; i < packets.size(); ++i)
        second.push_back(
            shown(capture.dissect(static_cast<std::uint32_t>(i + 1), 0, false, packets[i])));
    for (std::size_t i = packets.size(); i-- > 0;)
        if (shown(capture.dissect(static_cast<std::uint32_t>(i + 1), 0, false, packets[i])) !=
            second[i])
            std::abort();
    return 0;
}
