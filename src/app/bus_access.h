#pragma once

#include "app/options.h"
#include "connection/uart_rate.h"
#include "simulation/loconet_bus.h"
#include "transport/port_factory.h"
#include "transport/replay_port.h"

#include <QIODevice>
#include <memory>

namespace bl {

// How the monitor reaches the bus: the port, what sets the COM-port
// interface's rate on it, and the start-up answers that come with it.
struct BusAccess {
    std::unique_ptr<PortFactory> ports;
    std::unique_ptr<UartRate> uart;
    StartupAnswers answers;
    std::unique_ptr<sim::LocoNetBus> simulated_bus; // with --demo; start it after the start-up
    ReplayPort *replay = nullptr;                   // with --replay
};

// The simulated bus behind the interface kind asked for (a USB interface
// unless one is named), with the start-up questions answered.
BusAccess simulated_bus_access(const RunOptions &options, SteadyClock &clock);
// A capture shown as if it came from a USB interface.
BusAccess replay_access(std::unique_ptr<QIODevice> capture);
// A serial port of the system; the questions come from the options or the user.
BusAccess serial_port_access(const RunOptions &options);
// The simulated bus with --demo, otherwise a serial port: what the console
// and the capture for Wireshark listen to.
BusAccess bus_access(const RunOptions &options, SteadyClock &clock);

} // namespace bl
