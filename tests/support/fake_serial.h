// A scripted serial control: bytes waiting to be read, the CTS line, the
// bytes written, the operations performed, and errors to raise.
#pragma once

#include "shared/runtime_error.h"
#include "shared/serial_control.h"

#include <QStringList>
#include <optional>

namespace bl::testing {

class FakeSerial : public SerialControl {
public:
    QByteArray waiting; // bytes the port has received
    QByteArray written; // bytes handed to output()
    QStringList log;    // operations, in order
    bool open = false;
    bool cts = true;
    std::int16_t input_len = 0;
    std::int16_t event = kCommEventReceive;
    std::optional<RuntimeError> fail_on_input;
    std::optional<RuntimeError> fail_on_count;
    std::function<void()> on_comm;
    std::function<bool()> cts_fn;                      // overrides cts when set
    std::function<void(const QByteArray &)> on_output; // scripted replies
    std::optional<RuntimeError> fail_on_open;
    QList<QByteArray> trickle; // arrives one piece per look at the count

    void setCommPort(std::int16_t p) override {
        port_ = p;
        log << QStringLiteral("CommPort=%1").arg(p);
    }
    std::int16_t commPort() const override { return port_; }
    void setDevicePath(const QString &p) override { log << QStringLiteral("DevicePath=") + p; }
    void setSettings(const QString &s) override { log << QStringLiteral("Settings=") + s; }
    bool portOpen() const override { return open; }
    void setPortOpen(bool o) override {
        if (o && fail_on_open) { // fails once
            const RuntimeError e = *fail_on_open;
            fail_on_open.reset();
            throw e;
        }
        open = o;
        log << QStringLiteral("PortOpen=%1").arg(o);
    }
    void setInputMode(int m) override { log << QStringLiteral("InputMode=%1").arg(m); }
    void setInputLen(std::int16_t n) override {
        input_len = n;
        log << QStringLiteral("InputLen=%1").arg(n);
    }
    int inBufferCount() override {
        if (fail_on_count)
            throw *fail_on_count;
        if (!trickle.isEmpty())
            waiting += trickle.takeFirst();
        return static_cast<int>(waiting.size());
    }
    void setInBufferCount(int) override {
        waiting.clear();
        log << QStringLiteral("InBufferCount=0");
    }
    QByteArray input() override {
        if (fail_on_input)
            throw *fail_on_input;
        const auto n =
            input_len == 0 ? waiting.size() : std::min<qsizetype>(input_len, waiting.size());
        QByteArray part = waiting.left(n);
        waiting.remove(0, n);
        return part;
    }
    void setOutBufferCount(int) override { log << QStringLiteral("OutBufferCount=0"); }
    void output(const QByteArray &b) override {
        written += b;
        if (on_output)
            on_output(b);
    }
    bool ctsHolding() override { return cts_fn ? cts_fn() : cts; }
    void setRTSEnable(bool on) override { log << QStringLiteral("RTSEnable=%1").arg(on); }
    void setHandshaking(int m) override { log << QStringLiteral("Handshaking=%1").arg(m); }
    void setBreak(bool on) override { log << QStringLiteral("Break=%1").arg(on); }
    void setRThreshold(std::int16_t t) override { log << QStringLiteral("RThreshold=%1").arg(t); }
    void setSThreshold(std::int16_t t) override { log << QStringLiteral("SThreshold=%1").arg(t); }
    std::int16_t commEvent() const override { return event; }
    void setOnComm(std::function<void()> h) override { on_comm = std::move(h); }

private:
    std::int16_t port_ = 0;
};

} // namespace bl::testing
