#pragma once

#include "transport/network_port.h"
#include "transport/serial_port.h"

#include <memory>

namespace bl {

// The port behind the port question: a serial device, or a bus over the
// network when the entry names one (lbserver://, tcp://). Which it is, is
// settled at each opening.
class AnyPort : public BytePort {
public:
    AnyPort();

    SerialPort &serial() { return serial_; }

    void open(const QString &device, const LineSettings &line) override;
    void close() override { current_->close(); }
    bool is_open() const override { return current_->is_open(); }
    void set_line(const LineSettings &line) override { current_->set_line(line); }
    bool set_custom_rate(int baud) override { return current_->set_custom_rate(baud); }
    void write(const QByteArray &bytes) override { current_->write(bytes); }
    QByteArray read() override { return current_->read(); }
    void discard_input() override { current_->discard_input(); }
    bool cts() override { return current_->cts(); }
    void set_rts(bool on) override { current_->set_rts(on); }
    void set_break(bool on) override { current_->set_break(on); }
    bool present(const QString &device) const override;
    bool network() const override { return current_->network(); }

private:
    void wire(BytePort &inner);

    SerialPort serial_;
    std::unique_ptr<NetworkPort> network_;
    BytePort *current_ = &serial_;
};

} // namespace bl
