#include "simulation/demo.h"

namespace bl::sim {

Demo make_demo(double messages_per_second, std::optional<InterfaceKind> kind) {
    Demo demo;
    const InterfaceKind chosen = kind.value_or(InterfaceKind::Usb);
    const InterfaceType type = chosen == InterfaceKind::ComPort ? InterfaceType::ComPort
                               : chosen == InterfaceKind::Usb   ? InterfaceType::Usb
                                                                : InterfaceType::Serial;
    demo.bus = std::make_unique<LocoNetBus>(messages_per_second);
    demo.interface = std::make_unique<SimulatedInterface>(type, *demo.bus);
    demo.uart = std::make_unique<SimulatedUartRate>(*demo.interface);
    demo.answers.kind = chosen;
    demo.answers.port = QStringLiteral("1"); // the COM-port interface takes COM1 or COM2
    return demo;
}

} // namespace bl::sim
