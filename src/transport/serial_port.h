#pragma once

#include "transport/byte_port.h"

#include <QObject>
#include <QSerialPort>

namespace bl {

// A serial port of the system, through QSerialPort.
class SerialPort : public QObject, public BytePort {
public:
    SerialPort();

    void open(const QString &device, const LineSettings &line) override;
    void close() override { port_.close(); }
    bool is_open() const override { return port_.isOpen(); }
    void set_line(const LineSettings &line) override;
    bool set_custom_rate(int baud) override;
    void write(const QByteArray &bytes) override;
    QByteArray read() override;
    void discard_input() override;
    void discard_output() override;
    bool cts() override;
    void set_rts(bool on) override { port_.setRequestToSend(on); }
    void set_break(bool on) override { port_.setBreakEnabled(on); }

private:
    [[noreturn]] void raise_open_error(const QString &device);
    void poll_quietly();
    void port_failed(QSerialPort::SerialPortError error);

    QSerialPort port_;
    QString device_;
};

} // namespace bl
