// bus-lauscher-extcap: Wireshark runs it to capture a LocoNet bus.
#include "cli/extcap_mode.h"
#include "shared/say.h"

#include <csignal>

int main(int argc, char **argv) {
    // Wireshark closing the FIFO ends the capture through a failed write
    std::signal(SIGPIPE, SIG_IGN);
    bl::set_program_name("bus-lauscher-extcap");
    return bl::run_extcap(argc, argv);
}
