// Writes N messages of mixed LocoNet traffic (raw bytes) to standard output,
// for timing the --decode command and the window on large inputs.
#include "../tests/support/traffic.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv) {
    const std::size_t messages = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1'000'000;
    const std::size_t block = 100'000;
    for (std::size_t done = 0; done < messages; done += block) {
        const std::size_t n = std::min(block, messages - done);
        const std::string bytes =
            bl::testing::mixed_traffic(n, static_cast<std::uint32_t>(done + 1));
        std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    }
    return 0;
}
