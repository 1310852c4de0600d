#pragma once

#include "connection/port_opening.h"

#include <QString>
#include <functional>
#include <optional>

namespace bl {

enum class InterfaceKind { ComPort, Usb, Serial };

// Answers given on the command line instead of asking.
struct StartupAnswers {
    std::optional<InterfaceKind> kind;
    std::optional<QString> port; // asked for only the first time
};

// What the port box's entry names: a device path (an entry beginning with
// "/"), or the number at its start (0 when there is none).
struct PortEntry {
    double number = 0;
    QString device;
};
PortEntry read_port_entry(const QString &entry);

// Sets the two interface flags for a kind.
void set_interface_kind(InterfaceVars &vars, InterfaceKind kind);

// The start-up: the trace folder, the interface kind, then the port
// question until the port opens. Returns false when the user ends the
// program in the dialogue.
class StartupDialogue {
public:
    StartupDialogue(InterfaceVars &interface, TraceVars &trace, DisplayVars &display,
                    SerialControl &comm, Dialogs &dialogs, PortOpening &opening,
                    std::function<QString()> init_paths)
        : interface_(interface), trace_(trace), display_(display), comm_(comm), dialogs_(dialogs),
          opening_(opening), init_paths_(std::move(init_paths)) {}

    bool run(const StartupAnswers &answers = {});

private:
    InterfaceKind ask_kind();
    void close_port_if_open();

    InterfaceVars &interface_;
    TraceVars &trace_;
    DisplayVars &display_;
    SerialControl &comm_;
    Dialogs &dialogs_;
    PortOpening &opening_;
    std::function<QString()> init_paths_;
};

} // namespace bl
