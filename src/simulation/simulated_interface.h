#pragma once

#include "connection/uart_rate.h"
#include "loconet/framer.h"
#include "shared/platform.h"
#include "simulation/loconet_bus.h"
#include "transport/byte_port.h"

#include <QObject>

namespace bl::sim {

enum class InterfaceType { ComPort, Usb, Serial };

// A LocoNet interface on the simulated bus, as a port the serial control
// opens like a real one. It passes LocoNet bytes only when the program has
// set it up as the real one needs: the COM-port interface at 16457 bit/s,
// the USB interface at 115200, the other serial interface after its break
// and text commands at 19200 (and it takes a byte only while CTS is up).
// It echoes what the program sends.
class SimulatedInterface : public QObject, public BytePort {
public:
    SimulatedInterface(InterfaceType type, LocoNetBus &bus, SteadyClock &clock);

    // The UART divisor for 16457 bit/s has been written (COM-port interface).
    void set_divisor_for_16457() { divisor_16457_ = true; }
    bool passes_loconet() const;

    void open(const QString &device, const LineSettings &line) override;
    void close() override;
    void set_line(const LineSettings &line) override;
    void write(const QByteArray &bytes) override;
    QByteArray read() override { return std::exchange(rx_, {}); }
    bool cts() override;
    void set_break(bool on) override;

private:
    void from_bus(const QByteArray &msg);
    void text_command_byte(char c);
    void loconet_byte(int b);
    void arrive(const QByteArray &bytes);

    InterfaceType type_;
    LocoNetBus &bus_;
    SteadyClock &clock_;
    int program_baud_ = 19200;
    QByteArray rx_;
    bool divisor_16457_ = false;
    // the other serial interface
    int interface_baud_ = 2400;
    bool loconet_mode_ = false;
    QByteArray command_;
    double last_byte_at_ = -1;
    loconet::Framer outgoing_; // what the program sends
    LocoNetBus::MessageListeners::Handle listening_;
};

// Writing the UART divisor reaches the simulated COM-port interface.
class SimulatedUartRate : public UartRate {
public:
    explicit SimulatedUartRate(SimulatedInterface &iface) : iface_(iface) {}
    bool set_16457(int) override {
        iface_.set_divisor_for_16457();
        return true;
    }

private:
    SimulatedInterface &iface_;
};

} // namespace bl::sim
