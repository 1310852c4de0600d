// Comm1: the serial communications control, one adapter over any byte
// port. It keeps the control's surface that the program relies on (port
// number, settings, open, input length and counts, the receive threshold
// and event, CTS, RTS, break) and raises its numbered errors: 380 invalid
// property value, 8000 not while open, 8002 invalid port number, 8005
// already open, 8018 port not open; the port adds 8101-8105.
#pragma once

#include "shared/runtime_error.h"
#include "transport/port_factory.h"

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>

namespace bl {

inline constexpr std::int16_t kCommEventReceive = 2;
inline constexpr int kHighestComPort = 255;

// The device of COM port n: "COMn" on Windows, /dev/ttyS(n-1) elsewhere.
QString device_for_com_port(int n);

class SerialControl : public QObject {
public:
    // The port for each opening comes from the factory, by the address.
    explicit SerialControl(std::unique_ptr<PortFactory> ports);
    // One port, whatever the address (a replay, the simulated bus).
    explicit SerialControl(std::unique_ptr<BytePort> port)
        : SerialControl(std::make_unique<OnePort>(std::move(port))) {}

    // What went wrong with the open port. A loss (an interface unplugged,
    // a connection dropped) is told once, after the code that met it has
    // returned; the port is closed by then.
    void setOnPortError(std::function<void(const PortFault &)> handler) {
        on_port_error_ = std::move(handler);
    }
    // The port's state or what it says of its connection changed: the
    // text for the status bar (connecting, connected to a peer).
    void setOnConnectionNote(std::function<void(const QString &)> handler) {
        on_connection_note_ = std::move(handler);
    }
    // The device the next opening uses: the path, or COM port's device.
    QString deviceName() const;
    // Whether that device can be there now.
    bool devicePresent() const { return ports_->present(deviceName()); }
    // The system's handle of the open port, or -1.
    qintptr nativeHandle() const { return port_ ? port_->native_handle() : -1; }

    void setCommPort(std::int16_t port);
    std::int16_t commPort() const { return comm_port_; }
    // A device given by its path instead of a COM number (USB interfaces on
    // Linux have none).
    void setDevicePath(const QString &path) { device_path_ = path; }
    // "baud,parity,data bits,stop bits", e.g. "19200,n,8,1"
    void setSettings(const QString &settings);
    bool portOpen() const { return port_ && port_->is_open(); }
    void setPortOpen(bool open);
    void setInputMode(int) {} // text mode: one character per byte is all there is
    // most characters one input() returns; 0 = all waiting
    void setInputLen(std::int16_t len) { input_len_ = len; }
    int inBufferCount();
    // only 0 is used: discards what is waiting
    void setInBufferCount(int count);
    // removes and returns up to InputLen waiting bytes
    QByteArray input();
    // only 0 is used: discards what is still unsent
    void setOutBufferCount(int count);
    void output(const QByteArray &bytes);
    // Whether output() of one message would go at once.
    bool outputHasRoom() const { return portOpen() && port_->has_room(); }
    bool ctsHolding();
    void setRTSEnable(bool on);
    void setHandshaking(int) {} // no flow control is all there is
    void setBreak(bool on);
    void setRThreshold(std::int16_t threshold);
    void setSThreshold(std::int16_t) {} // no transmit events
    std::int16_t commEvent() const { return comm_event_; }
    // OnComm: called while RThreshold is 1 and data has arrived
    void setOnComm(std::function<void()> handler) { on_comm_ = std::move(handler); }

private:
    void wire(BytePort &port);
    void port_error(const PortFault &fault);
    void require_open() const;
    void take_arrived();
    void schedule_event();
    void fire_event();

    std::unique_ptr<PortFactory> ports_;
    BytePort *port_ = nullptr; // the port of the last opening
    std::int16_t comm_port_ = 1;
    QString device_path_;
    LineSettings settings_;
    QByteArray received_; // taken from the port, not yet read by input()
    std::int16_t input_len_ = 0;
    std::int16_t r_threshold_ = 0;
    std::int16_t comm_event_ = 0;
    bool rts_ = false;
    bool in_event_ = false;
    bool missed_ = false; // bytes arrived while the event ran
    QTimer events_;
    std::function<void()> on_comm_;
    std::function<void(const PortFault &)> on_port_error_;
    std::function<void(const QString &)> on_connection_note_;
};

} // namespace bl
