// Writes N messages of mixed LocoNet traffic (raw bytes) to standard output,
// for timing and soaking the --decode command and the window. With
// --noise, stray data bytes and cut-short messages stand between them; they
// never complete a message. The number of messages framed from the
// output is written to standard error.
#include "../tests/support/traffic.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

int main(int argc, char **argv) {
    std::size_t messages = 1'000'000;
    bool noise = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--noise") == 0)
            noise = true;
        else
            messages = std::strtoull(argv[i], nullptr, 10);
    }
    std::mt19937 rng(99);
    std::size_t framed = 0; // some events are two messages (a query and its answer)
    const std::size_t block = 100'000;
    for (std::size_t done = 0; done < messages; done += block) {
        const std::size_t n = std::min(block, messages - done);
        std::string bytes = bl::testing::mixed_traffic(n, static_cast<std::uint32_t>(done + 1));
        for (const char c : bytes)
            framed += (static_cast<unsigned char>(c) & 0x80) ? 1 : 0;
        if (noise) {
            std::string noisy;
            noisy.reserve(bytes.size() + bytes.size() / 8);
            for (const char c : bytes) {
                // before an opcode: now and then stray bytes or a cut-short message
                if ((static_cast<unsigned char>(c) & 0x80) && rng() % 16 == 0) {
                    if (rng() % 2)
                        noisy.push_back(static_cast<char>(rng() % 0x80));
                    else
                        noisy.append("\xA0\x05");
                }
                noisy.push_back(c);
            }
            bytes.swap(noisy);
        }
        std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    }
    std::fprintf(stderr, "%zu\n", framed);
    return 0;
}
