// A transport: something LocoNet bytes travel over (a serial port, a bus
// reached over the network, a capture file, the simulated bus). Like Qt's
// own bus devices it has an explicit state, told through one callback, and
// an error with a category and a German reason, told through another. It
// opens and closes, writes bytes, hands over what has arrived and, where it
// has them, reads CTS and sets RTS and a break. What the serial control
// adds on top (counts, thresholds, the receive event, error numbers) lives
// once, in the Comm1 adapter.
#pragma once

#include "shared/runtime_error.h"
#include "transport/line_settings.h"

#include <QByteArray>
#include <QString>
#include <functional>

namespace bl {

enum class PortState { Unconnected, Connecting, Connected, Closing };

// What went wrong with a port that was open.
enum class PortError {
    None,
    DeviceGone,     // an interface unplugged: reported in a box
    ConnectionLost, // a bus on the network dropped: the way back is a new connection
    Refused,        // the far end would not put a message on the bus
    Discarded,      // bytes that made no whole message were dropped
};

struct PortFault {
    PortError error = PortError::None;
    QString reason;   // German, for the user
    QByteArray bytes; // with Discarded: what was dropped
};

class BytePort {
public:
    // Where the bytes were announced from: straight from the event loop (a
    // receive event may run at once), or from inside other code (the event
    // must wait for the loop).
    enum class Arrival { FromEventLoop, FromInside };

    virtual ~BytePort() = default;

    // Opens the device with the line settings; raises a RuntimeError
    // (8101 missing, 8102 in use, 8103 no permission) when it cannot.
    virtual void open(const QString &device, const LineSettings &line) = 0;
    virtual void close() = 0;
    PortState state() const { return state_; }
    bool is_open() const { return state_ == PortState::Connected; }
    // What the open port is connected to, for the status bar (a peer and
    // its version); empty where there is nothing to say.
    virtual QString description() const { return {}; }

    // New line settings for the open port.
    virtual void set_line(const LineSettings &) {}
    // A rate the line settings cannot name (16457 bit/s); false where the
    // port cannot set it.
    virtual bool set_custom_rate(int) { return false; }
    // The system's handle of the open port (for the UART's base), or -1.
    virtual qintptr native_handle() const { return -1; }
    // Writes one whole message (or text command); raises a RuntimeError
    // when it cannot go, and then none of it goes.
    virtual void write(const QByteArray &bytes) = 0;
    // Everything that has arrived since the last read, taken without
    // running other handlers.
    virtual QByteArray read() = 0;
    virtual void discard_input() { read(); }
    // Whether a write of one message would go at once, without waiting for
    // the line to drain.
    virtual bool has_room() const { return true; }
    virtual bool cts() { return true; }
    virtual void set_rts(bool) {}
    virtual void set_break(bool) {}

    void on_readable(std::function<void(Arrival)> handler) { readable_ = std::move(handler); }
    // The state changed, or what the port says of its connection did.
    void on_state_changed(std::function<void(PortState)> handler) {
        state_changed_ = std::move(handler);
    }
    void on_error(std::function<void(const PortFault &)> handler) { error_ = std::move(handler); }

protected:
    void readable(Arrival arrival = Arrival::FromInside) const {
        if (readable_)
            readable_(arrival);
    }
    void set_state(PortState state) {
        if (state == state_)
            return;
        state_ = state;
        told_state();
    }
    // The description changed while the state stayed.
    void told_state() const {
        if (state_changed_)
            state_changed_(state_);
    }
    void error(const PortFault &fault) const {
        if (error_)
            error_(fault);
    }

private:
    PortState state_ = PortState::Unconnected;
    std::function<void(Arrival)> readable_;
    std::function<void(PortState)> state_changed_;
    std::function<void(const PortFault &)> error_;
};

} // namespace bl
