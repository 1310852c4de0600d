// The bus's health as the user sees it: the counts of the receive path, the
// rates of the last seconds, the bus load, missing echoes, and the last bad
// message with the time it came.
#pragma once

#include "loconet/bus_counts.h"
#include "loconet/echo_watch.h"
#include "reception/receiver.h"
#include "shared/platform.h"

#include <QString>
#include <QStringList>
#include <QTime>
#include <deque>
#include <functional>
#include <vector>

namespace bl {

// The --stats report: messages, checksum errors, discarded bytes, then one
// line per opcode seen, most frequent first.
QStringList bus_report(const loconet::BusCounts &counts);

class BusHealth {
public:
    using TimeOfDay = std::function<QTime()>;
    // Hears the receiver's messages and given-up bytes, and watches the
    // echoes of what was sent.
    BusHealth(Receiver &receiver, const loconet::BusCounts &counts, loconet::EchoWatch &echoes,
              SteadyClock &clock, TimeOfDay time_of_day);

    // Once a second: the second's rates, and echoes that are overdue;
    // true when one was overdue (and told).
    bool tick();

    // "12.345 Meldungen · 4,2/s · Buslast 2 % (max 9 %) · …", German numbers.
    QString summary() const;
    std::uint64_t missing_echoes() const { return echoes_.missing(); }
    // Told at once when something bad passes: what, when, its bytes.
    void on_bad(std::function<void(const QString &)> handler) { on_bad_ = std::move(handler); }
    // Told of each of our sends whose echo is overdue (found at a tick).
    void on_missing_echo(std::function<void(std::span<const std::uint8_t>)> handler) {
        on_missing_echo_ = std::move(handler);
    }

private:
    void bad(const QString &what, std::span<const std::uint8_t> bytes);

    const loconet::BusCounts &counts_;
    loconet::EchoWatch &echoes_;
    SteadyClock &clock_;
    TimeOfDay time_of_day_;
    Receiver::MessageListeners::Handle messages_;
    Receiver::DiscardListeners::Handle discarded_;
    std::function<void(const QString &)> on_bad_;
    std::function<void(std::span<const std::uint8_t>)> on_missing_echo_;
    struct Second {
        std::uint64_t messages;
        double seconds;
    };
    std::deque<Second> recent_; // the last ten ticks
    double last_tick_ = -1;
    std::uint64_t bytes_at_tick_ = 0;
    std::uint64_t messages_at_tick_ = 0;
    double bytes_per_second_ = 0;
    double peak_bytes_per_second_ = 0;
};

} // namespace bl
