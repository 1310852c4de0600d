// bus-lauscher-extcap: Wireshark runs it to capture a LocoNet bus.
#include "cli/extcap_mode.h"

#include <csignal>

int main(int argc, char **argv) {
    // Wireshark closing the FIFO ends the capture through a failed write
    std::signal(SIGPIPE, SIG_IGN);
    return bl::run_extcap(argc, argv);
}
