// A scripted port: the bytes that arrive, the CTS line, errors to raise, and
// a timeline of what the device sees (line settings, line states and bytes,
// in order, with the time they happened on the fake clock).
#pragma once

#include "support/fake_clock.h"
#include "transport/byte_port.h"

#include <QStringList>
#include <optional>

namespace bl::testing {

class FakePort : public BytePort {
public:
    explicit FakePort(FakeClock *clock = nullptr) : clock_(clock) {}

    struct Event {
        double at;
        QString what;
    };
    std::vector<Event> timeline;
    QByteArray written;        // every byte written, in order
    QByteArray arriving;       // bytes the port holds for the next read
    QList<QByteArray> trickle; // arrive one piece per read
    bool cts_line = true;
    std::function<bool()> cts_fn;                     // overrides cts_line when set
    std::function<void(const QByteArray &)> on_write; // the far end answers
    std::optional<RuntimeError> fail_on_open;         // raised once
    std::optional<RuntimeError> fail_on_read;

    // Bytes arrive from the bus, and the port says so.
    void arrive(const QByteArray &bytes) {
        arriving += bytes;
        readable();
    }
    // The device is gone.
    void unplug(const QString &why = QStringLiteral("gone")) {
        set_state(PortState::Unconnected);
        error({PortError::DeviceGone, why, {}});
    }
    // Something else went wrong (a message refused, bytes dropped).
    void fault(const PortFault &what) { error(what); }
    // A note of the test's own on the timeline (what else the device met).
    void mark(const QString &what) { note(what); }
    // The timeline as "what" texts, successive writes joined into one.
    QStringList steps() const {
        QStringList out;
        for (const Event &e : timeline) {
            if (e.what.startsWith(QLatin1String("write ")) && !out.isEmpty() &&
                out.last().startsWith(QLatin1String("write ")))
                out.last() += e.what.mid(5);
            else
                out << e.what;
        }
        return out;
    }
    double time_of(const QString &what) const {
        for (const Event &e : timeline)
            if (e.what == what)
                return e.at;
        return -1;
    }

    void open(const QString &device, const LineSettings &line) override {
        if (fail_on_open) {
            const RuntimeError e = *fail_on_open;
            fail_on_open.reset();
            throw e;
        }
        set_state(PortState::Connected);
        note(QStringLiteral("open %1 %2").arg(device, describe(line)));
    }
    void close() override {
        set_state(PortState::Unconnected);
        note(QStringLiteral("close"));
    }
    void set_line(const LineSettings &line) override {
        note(QStringLiteral("line ") + describe(line));
    }
    void write(const QByteArray &bytes) override {
        written += bytes;
        note(QStringLiteral("write ") + QString::fromLatin1(bytes.toHex(' ')));
        if (on_write)
            on_write(bytes);
    }
    QByteArray read() override {
        if (fail_on_read)
            throw *fail_on_read;
        if (!trickle.isEmpty())
            arriving += trickle.takeFirst();
        return std::exchange(arriving, {});
    }
    void discard_input() override {
        arriving.clear();
        note(QStringLiteral("discard input"));
    }
    bool cts() override { return cts_fn ? cts_fn() : cts_line; }
    void set_rts(bool on) override { note(QStringLiteral("rts %1").arg(on)); }
    void set_break(bool on) override { note(QStringLiteral("break %1").arg(on)); }

private:
    static QString describe(const LineSettings &l) {
        return QStringLiteral("%1,%2,%3,%4")
            .arg(l.baud)
            .arg(QLatin1Char(l.parity))
            .arg(l.data_bits)
            .arg(l.stop_bits);
    }
    void note(const QString &what) { timeline.push_back({clock_ ? clock_->now : 0.0, what}); }

    FakeClock *clock_;
};

} // namespace bl::testing
