#pragma once

#include "connection/uart_rate.h"
#include "shared/serial_control.h"
#include "simulation/loconet_bus.h"
#include "simulation/message_assembler.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace bl::sim {

enum class InterfaceType { ComPort, Usb, Serial };

// A LocoNet interface on the simulated bus, seen through the same serial
// control as a real port. It passes LocoNet bytes only when the program
// has set it up as the real one needs: the COM-port interface at 16457
// bit/s, the USB interface at 115200, the other serial interface after its
// break and text commands at 19200 (and it takes a byte only while CTS is
// up). It echoes what the program sends.
class SimulatedInterface : public QObject, public SerialControl {
public:
    SimulatedInterface(InterfaceType type, LocoNetBus &bus);

    // The UART divisor for 16457 bit/s has been written (COM-port interface).
    void set_divisor_for_16457() { divisor_16457_ = true; }
    bool passes_loconet() const;

    void setCommPort(std::int16_t port) override { port_ = port; }
    std::int16_t commPort() const override { return port_; }
    void setDevicePath(const QString &) override {}
    void setSettings(const QString &settings) override;
    bool portOpen() const override { return open_; }
    void setPortOpen(bool open) override;
    void setInputMode(int) override {}
    void setInputLen(std::int16_t len) override { input_len_ = len; }
    int inBufferCount() override;
    void setInBufferCount(int) override;
    QByteArray input() override;
    void setOutBufferCount(int) override { require_open(); }
    void output(const QByteArray &bytes) override;
    bool ctsHolding() override;
    void setRTSEnable(bool) override {}
    void setHandshaking(int) override {}
    void setBreak(bool on) override;
    void setRThreshold(std::int16_t threshold) override;
    void setSThreshold(std::int16_t) override {}
    std::int16_t commEvent() const override { return kCommEventReceive; }
    void setOnComm(std::function<void()> handler) override { on_comm_ = std::move(handler); }

private:
    void require_open() const;
    void from_bus(const QByteArray &msg);
    void text_command_byte(char c);
    void loconet_byte(int b);
    void arrive(const QByteArray &bytes);
    void fire_receive_event();

    InterfaceType type_;
    LocoNetBus &bus_;
    std::int16_t port_ = 1;
    bool open_ = false;
    int program_baud_ = 19200;
    std::int16_t input_len_ = 0;
    std::int16_t threshold_ = 0;
    QByteArray rx_;
    QTimer events_;
    std::function<void()> on_comm_;
    bool divisor_16457_ = false;
    // the other serial interface
    int interface_baud_ = 2400;
    bool loconet_mode_ = false;
    QByteArray command_;
    QElapsedTimer since_last_byte_;
    MessageAssembler outgoing_; // what the program sends
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
