// A transport: something LocoNet bytes travel over (a serial port, a capture
// file, the simulated bus). It opens and closes, writes bytes, hands over
// what has arrived and, where it has them, reads CTS and sets RTS and a
// break. It tells "readable" and "failed" through two callbacks. What the
// serial control adds on top (counts, thresholds, the receive event, error
// numbers) lives once, in the Comm1 adapter.
#pragma once

#include "shared/runtime_error.h"
#include "transport/line_settings.h"

#include <QByteArray>
#include <QString>
#include <functional>

namespace bl {

class BytePort {
public:
    virtual ~BytePort() = default;

    // Opens the device with the line settings; raises a RuntimeError
    // (8101 missing, 8102 in use, 8103 no permission) when it cannot.
    virtual void open(const QString &device, const LineSettings &line) = 0;
    virtual void close() = 0;
    virtual bool is_open() const = 0;
    // New line settings for the open port.
    virtual void set_line(const LineSettings &) {}
    // A rate the line settings cannot name (16457 bit/s); false where the
    // port cannot set it.
    virtual bool set_custom_rate(int) { return false; }
    virtual void write(const QByteArray &bytes) = 0;
    // Everything that has arrived since the last read, taken without
    // running other handlers.
    virtual QByteArray read() = 0;
    virtual void discard_input() { read(); }
    virtual bool cts() { return true; }
    // Whether the device can be there now (a serial device's node exists);
    // a port that cannot tell says yes and lets an opening find out.
    virtual bool present(const QString &) const { return true; }
    virtual void set_rts(bool) {}
    virtual void set_break(bool) {}

    // A bus reached over the network: a loss is no unplugged device, and
    // the way back is a new connection.
    virtual bool network() const { return false; }

    // Bytes have arrived.
    void on_readable(std::function<void()> handler) { readable_ = std::move(handler); }
    // While the readable handler runs: whether the port tells straight from
    // the event loop (a receive event may run at once), or from inside other
    // code (the event must wait for the loop).
    bool from_event_loop() const { return from_event_loop_; }
    // Something the user should be told in a box (a peer refused a message).
    void on_trouble(std::function<void(const QString &)> handler) { trouble_ = std::move(handler); }
    // What the connection is, for the status bar (a peer and its version).
    void on_status(std::function<void(const QString &)> handler) { status_ = std::move(handler); }
    // The open port has failed under way (a device unplugged); it is
    // closed by the time the handler runs.
    void on_failed(std::function<void(const RuntimeError &)> handler) {
        failed_ = std::move(handler);
    }

protected:
    void readable() const {
        if (readable_)
            readable_();
    }
    void readable_from_event_loop() {
        from_event_loop_ = true;
        readable();
        from_event_loop_ = false;
    }
    void failed(const RuntimeError &error) const {
        if (failed_)
            failed_(error);
    }
    void trouble(const QString &text) const {
        if (trouble_)
            trouble_(text);
    }
    void status(const QString &text) const {
        if (status_)
            status_(text);
    }

private:
    bool from_event_loop_ = false;
    std::function<void()> readable_;
    std::function<void(const RuntimeError &)> failed_;
    std::function<void(const QString &)> trouble_;
    std::function<void(const QString &)> status_;
};

} // namespace bl
