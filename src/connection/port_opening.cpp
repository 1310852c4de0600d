#include "connection/port_opening.h"

#include "transport/port_factory.h"

#include "shared/interruption.h"
#include "shared/runtime_error.h"
#include "shared/texts.h"

#include <cmath>
#include <limits>

namespace bl {

namespace t = texts::connection;

namespace {
constexpr int kOverflowError = 6;
} // namespace

QString PortOpening::port_text() const {
    if (!vars_.comport_device.isEmpty())
        return vars_.comport_device;
    return QStringLiteral("COM%1").arg(std::nearbyint(vars_.comport_nr));
}

void PortOpening::open_interface(std::int16_t &err_flag) {
    // Errors of the serial layer (a missing port, one in use, no permission)
    // are told, and the port question comes again.
    try {
        // a bus on the network already passes LocoNet: it opens as a USB
        // interface does, whichever of the two other kinds was named
        const bool network = is_network_address(vars_.comport_device);
        if (!vars_.ln_interface && !network)
            open_serial_interface(err_flag);
        else if (vars_.usb_interface || (network && !vars_.ln_interface))
            open_usb_interface(err_flag);
        else
            open_com_port_interface(err_flag);
    } catch (const RuntimeError &e) {
        dialogs_.message_box(t::kPortFailed.arg(port_text(), e.description), t::kPortTitle,
                             MsgIcon::Exclamation, MsgButtons::Ok);
        err_flag = 1;
    }
}

// The port is chosen only while closed: a device path as entered, or the
// COM number rounded to the nearest integer, a half to the even one.
void PortOpening::select_port() {
    if (comm_.portOpen())
        return;
    if (!vars_.comport_device.isEmpty()) {
        comm_.setDevicePath(vars_.comport_device);
        return;
    }
    const double rounded = std::nearbyint(vars_.comport_nr);
    if (rounded < std::numeric_limits<std::int16_t>::min() ||
        rounded > std::numeric_limits<std::int16_t>::max())
        throw RuntimeError(kOverflowError, t::kProgramSource, t::kOverflow);
    comm_.setCommPort(static_cast<std::int16_t>(rounded));
}

void PortOpening::open_if_closed() {
    if (!comm_.portOpen())
        comm_.setPortOpen(true);
}

void PortOpening::open_com_port_interface(std::int16_t &err_flag) {
    if (!vars_.comport_device.isEmpty() || (vars_.comport_nr != 1 && vars_.comport_nr != 2)) {
        dialogs_.message_box(t::kOnlyCom1Or2, t::kBuslinkTitle, MsgIcon::Exclamation,
                             MsgButtons::Ok);
        err_flag = 1;
        return;
    }
    select_port();
    comm_.setRTSEnable(true);
    comm_.setInputMode(0);
    comm_.setSettings(QStringLiteral("19200,n,8,1"));
    comm_.setInputLen(1);
    open_if_closed();
    comm_.setInBufferCount(0);
    if (!uart_.set_16457(vars_.comport_nr == 1 ? kCom1Base : kCom2Base)) {
        dialogs_.message_box(t::kRateFailed.arg(port_text()), t::kPortTitle, MsgIcon::Exclamation,
                             MsgButtons::Ok);
        err_flag = 1;
        return;
    }
    comm_.setSThreshold(0);
    comm_.setRThreshold(0);
    set_timer_enabled_(true);
    err_flag = 0;
}

void PortOpening::open_usb_interface(std::int16_t &err_flag) {
    select_port();
    comm_.setInputMode(0);
    comm_.setSettings(QStringLiteral("115200,n,8,1"));
    comm_.setInputLen(0);
    comm_.setHandshaking(0);
    open_if_closed();
    comm_.setInBufferCount(0);
    comm_.setSThreshold(0);
    comm_.setRThreshold(1);
    set_timer_enabled_(false);
    err_flag = 0;
}

void PortOpening::open_serial_interface(std::int16_t &err_flag) {
    select_port();
    comm_.setSettings(QStringLiteral("2400,n,8,2"));
    open_if_closed();
    comm_.setInputMode(0);
    comm_.setInputLen(100);
    comm_.setBreak(true);
    wait_seconds(1);
    comm_.setBreak(false);
    wait_seconds(0.3);
    if (!text_command(t::kBaudCommand, err_flag))
        return;
    wait_seconds(0.3);
    comm_.setPortOpen(false);
    comm_.setSettings(QStringLiteral("19200,n,8,2"));
    comm_.setPortOpen(true);
    if (!text_command(t::kModeCommand, err_flag))
        return;
    set_timer_enabled_(false);
    comm_.setPortOpen(false);
    comm_.setInputLen(1);
    comm_.setPortOpen(true);
    comm_.setSThreshold(0);
    comm_.setRThreshold(1);
}

// Sends a text command and waits for the reply; err_flag is 0 after both
// succeed and 1 when either fails.
bool PortOpening::text_command(const QByteArray &command, std::int16_t &err_flag) {
    send_text(command, err_flag);
    if (err_flag != 0 || !reply_wait()) {
        err_flag = 1;
        return false;
    }
    return true;
}

// Collects the interface's reply until it holds "]"; processes no events,
// so nothing else takes the reply's characters.
bool PortOpening::reply_wait() {
    QByteArray reply;
    const double start = clock_.seconds();
    for (;;) {
        if (reply.contains(']'))
            return true;
        if (clock_.seconds() - start > kTimeout || interruption::requested())
            return false;
        if (comm_.inBufferCount() > 0)
            reply += comm_.input();
    }
}

void PortOpening::wait_seconds(double d) {
    const double start = clock_.seconds();
    while (clock_.seconds() <= start + d && !interruption::requested())
        events_.process_events();
}

void PortOpening::send_text(const QByteArray &text, std::int16_t &result) {
    comm_.setOutBufferCount(0);
    const double start = clock_.seconds();
    qsizetype position = 0;
    while (position < text.size()) {
        if (clock_.seconds() - start > kTimeout || interruption::requested()) {
            result = 1;
            return;
        }
        events_.process_events();
        if (comm_.ctsHolding()) {
            comm_.output(text.mid(position, 1));
            ++position;
        }
    }
    result = 0;
}

} // namespace bl
