#pragma once

#include "connection/startup_dialogue.h"
#include "simulation/simulated_interface.h"

#include <memory>

namespace bl::sim {

// The pieces of a monitor on the simulated bus: the bus, the interface in
// front of it and what sets that interface's rate.
struct Demo {
    std::unique_ptr<LocoNetBus> bus;
    std::unique_ptr<SimulatedInterface> interface;
    std::unique_ptr<SimulatedUartRate> uart;
    StartupAnswers answers; // the start-up questions, answered
};

// A USB interface unless the kind is given.
Demo make_demo(double messages_per_second, std::optional<InterfaceKind> kind);

inline const QString kDemoStatus =
    QStringLiteral("Simulierter LocoNet-Bus (Demo) – keine Hardware angeschlossen");

} // namespace bl::sim
