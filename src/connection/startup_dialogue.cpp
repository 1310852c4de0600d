#include "connection/startup_dialogue.h"

#include "shared/texts.h"
#include "shared/val.h"
#include "transport/port_factory.h"

namespace bl {

namespace t = texts::connection;

namespace {
// The trace file's number, the lowest one free; nothing else uses one.
constexpr std::int16_t kFirstFreeFileNumber = 1;
} // namespace

PortEntry read_port_entry(const QString &entry) {
    if (scheme_of(entry) != PortScheme::ComNumber)
        return {0, entry.trimmed()};
    return {val(entry), {}};
}

void set_interface_kind(InterfaceVars &vars, InterfaceKind kind) {
    vars.ln_interface = kind == InterfaceKind::Serial ? kFalse : kTrue;
    vars.usb_interface = kind == InterfaceKind::Usb ? kTrue : kFalse;
}

InterfaceKind StartupDialogue::ask_kind() {
    if (dialogs_.message_box(t::kAskComPortInterface, t::kInterfaceTitle, MsgIcon::None,
                             MsgButtons::YesNo) == MsgResult::Yes)
        return InterfaceKind::ComPort;
    if (dialogs_.message_box(t::kAskUsb, t::kInterfaceTitle, MsgIcon::None, MsgButtons::YesNo) ==
        MsgResult::Yes)
        return InterfaceKind::Usb;
    return InterfaceKind::Serial;
}

void StartupDialogue::close_port_if_open() {
    if (comm_.portOpen())
        comm_.setPortOpen(false);
}

bool StartupDialogue::run(const StartupAnswers &answers) {
    trace_.doc_path = init_paths_();
    // a bus on the network is reached as a USB interface would be: no questions
    const bool network = answers.port && is_network_address(*answers.port);
    set_interface_kind(interface_, answers.kind ? *answers.kind
                                   : network    ? InterfaceKind::Usb
                                                : ask_kind());
    close_port_if_open();

    std::optional<QString> given = answers.port;
    for (;;) {
        QString entry;
        if (given) {
            entry = *given;
            given.reset();
        } else {
            entry = dialogs_.input_box(t::kPortPrompt, t::kPortTitle, t::kPortDefault)
                        .value_or(QString());
        }
        const PortEntry port = read_port_entry(entry);
        interface_.comport_nr = port.number;
        interface_.comport_device = port.device;
        if (port.number == 0 && port.device.isEmpty()) {
            if (dialogs_.message_box(t::kWrongPortNumber, t::kWrongPortTitle, MsgIcon::None,
                                     MsgButtons::YesNo) == MsgResult::Yes)
                return false;
            continue;
        }
        opening_.open_interface(interface_.err_flag);
        if (interface_.err_flag == 0)
            break;
        close_port_if_open();
    }
    display_.ascii_hex_on = kTrue;
    trace_.trace_filenr = kFirstFreeFileNumber;
    display_.monitor_on = kTrue;
    return true;
}

} // namespace bl
