#include "simulation/simulated_interface.h"

#include "shared/runtime_error.h"

namespace bl::sim {

namespace {
constexpr int kUsbBaud = 115200;
constexpr int kLocoNetSerialBaud = 19200;
constexpr int kCommandBaud = 2400;
constexpr qint64 kCtsLowAfterByteNs = 500'000; // the interface's buffer is small
} // namespace

SimulatedInterface::SimulatedInterface(InterfaceType type, LocoNetBus &bus)
    : type_(type), bus_(bus) {
    events_.setInterval(0);
    events_.setSingleShot(true);
    connect(&events_, &QTimer::timeout, this, [this] { fire_receive_event(); });
    bus_.listen([this](const QByteArray &msg) { from_bus(msg); });
    since_last_byte_.start();
}

bool SimulatedInterface::passes_loconet() const {
    switch (type_) {
    case InterfaceType::ComPort: return divisor_16457_;
    case InterfaceType::Usb: return program_baud_ == kUsbBaud;
    case InterfaceType::Serial: return loconet_mode_ && program_baud_ == kLocoNetSerialBaud;
    }
    return false;
}

void SimulatedInterface::require_open() const {
    if (!open_)
        throw RuntimeError(err::kPortNotOpen, QStringLiteral("Comm1"),
                           QStringLiteral("Anschluss nicht geöffnet"));
}

void SimulatedInterface::setSettings(const QString &settings) {
    program_baud_ = settings.section(QLatin1Char(','), 0, 0).toInt();
    divisor_16457_ = false; // new settings overwrite the divisor
}

void SimulatedInterface::setPortOpen(bool open) {
    open_ = open;
    if (!open)
        rx_.clear();
    else if (!rx_.isEmpty())
        events_.start();
}

void SimulatedInterface::setRThreshold(std::int16_t threshold) {
    threshold_ = threshold;
    if (threshold_ == 1 && !rx_.isEmpty())
        events_.start();
}

int SimulatedInterface::inBufferCount() {
    require_open();
    return static_cast<int>(rx_.size());
}

void SimulatedInterface::setInBufferCount(int) {
    require_open();
    rx_.clear();
}

QByteArray SimulatedInterface::input() {
    require_open();
    const qsizetype n = input_len_ == 0 ? rx_.size() : std::min<qsizetype>(input_len_, rx_.size());
    QByteArray part = rx_.left(n);
    rx_.remove(0, n);
    return part;
}

bool SimulatedInterface::ctsHolding() {
    require_open();
    if (type_ != InterfaceType::Serial)
        return true;
    return since_last_byte_.nsecsElapsed() > kCtsLowAfterByteNs;
}

void SimulatedInterface::setBreak(bool on) {
    require_open();
    if (on && type_ == InterfaceType::Serial) {
        // a break puts the interface back into its command mode
        loconet_mode_ = false;
        interface_baud_ = kCommandBaud;
        command_.clear();
    }
}

void SimulatedInterface::output(const QByteArray &bytes) {
    require_open();
    since_last_byte_.restart();
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
    if (const auto msg = outgoing_.feed(b))
        bus_.put(*msg);
}

void SimulatedInterface::from_bus(const QByteArray &msg) {
    if (open_ && passes_loconet())
        arrive(msg);
}

void SimulatedInterface::arrive(const QByteArray &bytes) {
    rx_.append(bytes);
    if (threshold_ == 1 && !events_.isActive())
        events_.start();
}

void SimulatedInterface::fire_receive_event() {
    if (!open_ || threshold_ != 1 || rx_.isEmpty() || !on_comm_)
        return;
    on_comm_();
    if (!rx_.isEmpty())
        events_.start(); // one byte per read: the rest comes with the next events
}

} // namespace bl::sim
