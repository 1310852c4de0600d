#include "simulation/simulated_interface.h"

#include "simulation/loconet_message.h"

namespace bl::sim {

namespace {
constexpr int kUsbBaud = 115200;
constexpr int kLocoNetSerialBaud = 19200;
constexpr int kCommandBaud = 2400;
constexpr double kCtsLowAfterByte = 0.0005; // s: the interface's buffer is small
} // namespace

SimulatedInterface::SimulatedInterface(InterfaceType type, LocoNetBus &bus, SteadyClock &clock)
    : type_(type), bus_(bus), clock_(clock),
      listening_(bus_.listen([this](const QByteArray &msg) { from_bus(msg); })) {}

bool SimulatedInterface::passes_loconet() const {
    switch (type_) {
    case InterfaceType::ComPort: return divisor_16457_;
    case InterfaceType::Usb: return program_baud_ == kUsbBaud;
    case InterfaceType::Serial: return loconet_mode_ && program_baud_ == kLocoNetSerialBaud;
    }
    return false;
}

void SimulatedInterface::open(const QString &, const LineSettings &line) {
    set_state(PortState::Connected);
    set_line(line);
}

void SimulatedInterface::close() {
    set_state(PortState::Unconnected);
    rx_.clear();
}

void SimulatedInterface::set_line(const LineSettings &line) {
    program_baud_ = line.baud;
    divisor_16457_ = false; // new settings overwrite the divisor
}

bool SimulatedInterface::cts() {
    if (type_ != InterfaceType::Serial)
        return true;
    return last_byte_at_ < 0 || clock_.seconds() - last_byte_at_ > kCtsLowAfterByte;
}

void SimulatedInterface::set_break(bool on) {
    if (on && type_ == InterfaceType::Serial) {
        // a break puts the interface back into its command mode
        loconet_mode_ = false;
        interface_baud_ = kCommandBaud;
        command_.clear();
    }
}

void SimulatedInterface::write(const QByteArray &bytes) {
    last_byte_at_ = clock_.seconds();
    for (const char c : bytes) {
        if (type_ == InterfaceType::Serial && !loconet_mode_)
            text_command_byte(c);
        else if (passes_loconet())
            loconet_byte(static_cast<unsigned char>(c));
    }
}

// Text commands end with CR and are understood at the interface's own rate.
void SimulatedInterface::text_command_byte(char c) {
    if (program_baud_ != interface_baud_)
        return; // at the wrong rate the interface reads noise
    if (c != '\r') {
        command_.append(c);
        return;
    }
    const QByteArray command = command_;
    command_.clear();
    if (command == "xB19200") {
        arrive("xB19200 OK]\r\n");
        interface_baud_ = kLocoNetSerialBaud;
    } else if (command == "x&LN$3C96") {
        arrive("LocoNet ]\r\n");
        loconet_mode_ = true;
    } else {
        arrive("? ]\r\n");
    }
}

// Bytes from the program are framed like every LocoNet message; a complete
// one goes on the bus (and comes back as the echo).
void SimulatedInterface::loconet_byte(int b) {
    if (outgoing_.feed(b))
        bus_.put(bytes_of(outgoing_.message()));
}

void SimulatedInterface::from_bus(const QByteArray &msg) {
    if (is_open() && passes_loconet())
        arrive(msg);
}

void SimulatedInterface::arrive(const QByteArray &bytes) {
    rx_.append(bytes);
    readable();
}

} // namespace bl::sim
