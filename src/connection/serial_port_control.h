#pragma once

#include "connection/serial_settings.h"
#include "shared/runtime_error.h"
#include "shared/serial_control.h"

#include <QObject>
#include <QSerialPort>
#include <functional>

namespace bl {

// Comm1: the serial communications control over QSerialPort. Failures raise
// numbered errors: 8002 invalid port number, 8018 port not open, 8101 port
// missing, 8102 port in use, 8103 no permission, 8104 device vanished.
class SerialPortControl : public QObject, public SerialControl {
public:
    SerialPortControl();

    // Called once when the open port fails under way (a USB interface
    // unplugged); the port is closed by then.
    void setOnFailure(std::function<void(const RuntimeError &)> handler) {
        on_failure_ = std::move(handler);
    }
    // The bit rate through the driver, for rates Settings cannot name.
    bool setCustomBaudRate(qint32 baud);
    QString deviceName() const;

    void setCommPort(std::int16_t port) override;
    std::int16_t commPort() const override { return comm_port_; }
    void setDevicePath(const QString &path) override { device_path_ = path; }
    void setSettings(const QString &settings) override;
    bool portOpen() const override { return port_.isOpen(); }
    void setPortOpen(bool open) override;
    void setInputMode(int) override {}
    void setInputLen(std::int16_t len) override { input_len_ = len; }
    int inBufferCount() override;
    void setInBufferCount(int count) override;
    QByteArray input() override;
    void setOutBufferCount(int count) override;
    void output(const QByteArray &bytes) override;
    bool ctsHolding() override;
    void setRTSEnable(bool on) override;
    void setHandshaking(int mode) override;
    void setBreak(bool on) override;
    void setRThreshold(std::int16_t threshold) override { r_threshold_ = threshold; }
    void setSThreshold(std::int16_t) override {}
    std::int16_t commEvent() const override { return comm_event_; }
    void setOnComm(std::function<void()> handler) override { on_comm_ = std::move(handler); }

private:
    void require_open() const;
    void apply_settings();
    void poll_without_events();
    void data_arrived();
    void port_failed(QSerialPort::SerialPortError error);
    [[noreturn]] void raise_open_error();

    QSerialPort port_;
    std::int16_t comm_port_ = 1;
    QString device_path_;
    SerialSettings settings_;
    std::int16_t input_len_ = 0;
    std::int16_t r_threshold_ = 0;
    std::int16_t comm_event_ = 0;
    bool rts_ = false;
    bool in_comm_event_ = false;
    std::function<void()> on_comm_;
    std::function<void(const RuntimeError &)> on_failure_;
};

} // namespace bl
