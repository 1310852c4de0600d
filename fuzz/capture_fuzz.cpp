// Any file given to --decode or --replay as a capture: read in pieces of
// any size, never past what was given; every packet lies within the input,
// and its time, however large the file's stamp and resolution, is one the
// programs can carry in nanoseconds.
#include "capture/pcap_format.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0)
        return 0;
    const std::size_t piece = 1 + data[0] % 97;
    const std::string_view file(reinterpret_cast<const char *>(data + 1), size - 1);
    std::size_t packet_bytes = 0;
    bl::capture::CaptureReader reader([&](const bl::capture::Packet &p) {
        packet_bytes += p.bytes.size();
        if (packet_bytes > file.size())
            std::abort();
        if (p.time_us < 0 || p.time_us > bl::capture::kLatestTimeUs)
            std::abort();
        volatile std::int64_t steady_ns = p.time_us * 1000; // as a message's stamp
        (void)steady_ns;
    });
    for (std::size_t at = 0; at < file.size(); at += piece)
        reader.feed(file.substr(at, piece));
    reader.finish();
    return 0;
}
