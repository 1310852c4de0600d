// --trigger AUSDRUCK: each event into a pcapng file of its own, from some
// seconds before the first matching message to some seconds after the last
// one; events whose windows overlap become one file. The seconds before an
// event come from a bounded buffer of the recent messages. The matching
// messages' packet comments say why they were kept.
#pragma once

#include "capture/pcapng_file.h"
#include "filter/filter.h"
#include "loconet/bus_context.h"
#include "loconet/findings.h"
#include "reception/receiver.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

namespace bl {

class TriggerRecording {
public:
    struct Settings {
        filter::Filter trigger;
        QString expression; // as typed, for the comments
        double before_s = 10;
        double after_s = 10;
        QString folder;
    };
    // At most this many recent messages are held for the seconds before.
    static constexpr std::size_t kMostHeld = 100'000;

    TriggerRecording(Receiver &receiver, const loconet::RequestSource &requests,
                     const loconet::Findings *findings, Settings settings,
                     const QString &interface_name, const QString &description);
    ~TriggerRecording() { finish(); }

    // Time passes without messages (steady clock, ns): an event whose
    // seconds after have run out is saved.
    void tick(std::int64_t steady_ns);
    // The end: an event still open is saved as it stands.
    void finish();

    void on_saved(std::function<void(const QString &path)> handler) {
        on_saved_ = std::move(handler);
    }
    // Told where an event file cannot be made or written (German reason);
    // the next event tries again.
    void on_failure(std::function<void(const QString &reason)> handler) {
        on_failure_ = std::move(handler);
    }
    const QStringList &saved() const { return saved_; }

private:
    struct Held {
        loconet::Message m;
        std::string comment;
    };
    void heard(const loconet::Message &m);
    bool open_event();
    void write(const loconet::Message &m, const std::string &comment, bool matched);
    void close_event();

    Receiver &receiver_;
    const loconet::RequestSource &requests_;
    const loconet::Findings *findings_;
    Settings settings_;
    QString interface_name_, description_;
    std::int64_t before_ns_, after_ns_;
    std::deque<Held> held_; // the recent messages, the last before_s seconds
    capture::PcapngFile file_;
    bool open_ = false;
    std::int64_t end_ns_ = 0; // the last matching message's time and after_s
    int number_ = 0;
    QStringList saved_;
    Receiver::MessageListeners::Handle listening_;
    std::function<void(const QString &)> on_saved_, on_failure_;
};

} // namespace bl
