#pragma once

#include "transport/byte_port.h"

#include <QObject>
#include <QSerialPort>

namespace bl {

// A serial port of the system, through QSerialPort. A message is written
// whole or not at all: it starts only when the driver can take it (a full
// queue is waited out, within a bound); a device is given up only when it
// is really gone, not for a full queue or a read of nothing.
class SerialPort : public QObject, public BytePort {
public:
    static constexpr int kDrainMs = 5000;

    // drain_ms: how long a write waits for a line that takes nothing
    explicit SerialPort(int drain_ms = kDrainMs);

    // Opens the device by its canonical path, so that one device under two
    // names (a link and its target) is still one device that only one
    // program may hold.
    void open(const QString &device, const LineSettings &line) override;
    void close() override;
    void set_line(const LineSettings &line) override;
    bool set_custom_rate(int baud) override;
    void write(const QByteArray &bytes) override;
    QByteArray read() override;
    void discard_input() override;
    bool cts() override;
    void set_rts(bool on) override { port_.setRequestToSend(on); }
    void set_break(bool on) override { port_.setBreakEnabled(on); }
    qintptr native_handle() const override { return port_.isOpen() ? port_.handle() : -1; }
    bool has_room() const override { return port_.isOpen() && line_has_room(); }

private:
    [[noreturn]] void raise_open_error(const QString &device);
    void poll_quietly();
    void port_failed(QSerialPort::SerialPortError error);
    bool device_gone() const;
    bool line_has_room() const;
    void wait_for_room(int ms);

    QSerialPort port_;
    QString device_; // as the user named it
    QString opened_; // its canonical path
    int drain_ms_;
    bool writing_ = false;
};

} // namespace bl
