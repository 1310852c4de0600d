#pragma once

#include "connection/serial_control.h"
#include "connection/uart_rate.h"
#include "shared/mod_variablen.h"
#include "shared/platform.h"

#include <QByteArray>
#include <functional>

namespace bl {

// open_interface: opens Comm1 with what the attached interface kind needs,
// brings the interface into passing LocoNet bytes, and chooses the receive
// path: the polling timer (COM-port interface) or the receive event.
class PortOpening {
public:
    PortOpening(InterfaceVars &vars, SerialControl &comm, Dialogs &dialogs, EventPump &events,
                SteadyClock &clock, UartRate &uart, std::function<void(bool)> set_timer_enabled)
        : vars_(vars), comm_(comm), dialogs_(dialogs), events_(events), clock_(clock), uart_(uart),
          set_timer_enabled_(std::move(set_timer_enabled)) {}

    // 0 when the port is open and configured, 1 when the attempt failed.
    void open_interface(std::int16_t &err_flag);
    // Returns once more than d seconds have passed, processing events.
    void wait_seconds(double d);
    // Sends each character while CTS is set; 1 when 5 s pass first.
    void send_text(const QByteArray &text, std::int16_t &result);

    static constexpr double kTimeout = 5.0;

private:
    void open_com_port_interface(std::int16_t &err_flag);
    void open_usb_interface(std::int16_t &err_flag);
    void open_serial_interface(std::int16_t &err_flag);
    void select_port();
    void open_if_closed();
    bool text_command(const QByteArray &command, std::int16_t &err_flag);
    bool reply_wait();
    QString port_text() const;

    InterfaceVars &vars_;
    SerialControl &comm_;
    Dialogs &dialogs_;
    EventPump &events_;
    SteadyClock &clock_;
    UartRate &uart_;
    std::function<void(bool)> set_timer_enabled_;
};

} // namespace bl
