#include "app/bus_access.h"

#include "simulation/simulated_interface.h"

namespace bl {

BusAccess simulated_bus_access(const RunOptions &options, SteadyClock &clock) {
    using sim::InterfaceType;
    BusAccess access;
    const InterfaceKind kind = options.answers.kind.value_or(InterfaceKind::Usb);
    const InterfaceType type = kind == InterfaceKind::ComPort ? InterfaceType::ComPort
                               : kind == InterfaceKind::Usb   ? InterfaceType::Usb
                                                              : InterfaceType::Serial;
    access.simulated_bus = std::make_unique<sim::LocoNetBus>(options.demo_rate);
    access.simulated_bus->set_corruption(options.corrupt_percent / 100);
    auto iface = std::make_unique<sim::SimulatedInterface>(type, *access.simulated_bus, clock);
    access.uart = std::make_unique<sim::SimulatedUartRate>(*iface);
    access.ports = std::make_unique<OnePort>(std::move(iface));
    access.answers.kind = kind;
    access.answers.port = QStringLiteral("1"); // the COM-port interface takes COM1 or COM2
    return access;
}

BusAccess replay_access(std::unique_ptr<QIODevice> capture) {
    BusAccess access;
    auto replay = std::make_unique<ReplayPort>(std::move(capture));
    access.replay = replay.get();
    access.ports = std::make_unique<OnePort>(std::move(replay));
    access.uart = std::make_unique<NoUartRate>();
    return access;
}

BusAccess serial_port_access(const RunOptions &options) {
    BusAccess access;
    auto ports = std::make_unique<SystemPorts>();
    BytePort *serial = &ports->serial();
    access.uart = std::make_unique<DirectUartRate>(
        [] { return open_dev_port(); }, [serial] { return uart_base_of(serial->native_handle()); },
        [serial](int baud) { return serial->set_custom_rate(baud); });
    access.ports = std::move(ports);
    access.answers = options.answers;
    return access;
}

BusAccess bus_access(const RunOptions &options, SteadyClock &clock) {
    return options.demo ? simulated_bus_access(options, clock) : serial_port_access(options);
}

} // namespace bl
