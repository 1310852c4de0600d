#include "app/trigger_recording.h"

#include "filter/message_source.h"
#include "loconet/latin1.h"

#include <QDateTime>
#include <QDir>
#include <cmath>

namespace bl {

TriggerRecording::TriggerRecording(Receiver &receiver, const loconet::RequestSource &requests,
                                   const loconet::Findings *findings, Settings settings,
                                   const QString &interface_name, const QString &description)
    : receiver_(receiver), requests_(requests), findings_(findings), settings_(std::move(settings)),
      interface_name_(interface_name), description_(description),
      before_ns_(std::llround(settings_.before_s * 1e9)),
      after_ns_(std::llround(settings_.after_s * 1e9)) {
    listening_ = receiver_.listen([this](const loconet::Message &m) { heard(m); });
}

void TriggerRecording::heard(const loconet::Message &m) {
    const std::int64_t now = m.steady_ns;
    std::string comment = latin1_to_utf8(receiver_.shown_line());
    filter::MessageSource shown(m, requests_, false, findings_);
    const bool matched = settings_.trigger.matches(m, shown);
    // past the seconds after, and past the seconds before a next event
    // could reach back into it: the event is whole
    if (open_ && now > end_ns_ + before_ns_)
        close_event();
    if (matched) {
        if (!open_) {
            if (open_event())
                for (const Held &h : held_)
                    if (h.m.steady_ns >= now - before_ns_)
                        write(h.m, h.comment, false);
        } else if (now > end_ns_) {
            // its seconds before reach into the event: one file, with the
            // messages held since the event's end
            for (const Held &h : held_)
                if (h.m.steady_ns > end_ns_)
                    write(h.m, h.comment, false);
        }
        if (open_) {
            write(m, comment, true);
            end_ns_ = now + after_ns_;
        }
    } else if (open_ && now <= end_ns_) {
        write(m, comment, false);
    }
    held_.push_back({m, std::move(comment)});
    while (!held_.empty() &&
           (held_.front().m.steady_ns < now - before_ns_ || held_.size() > kMostHeld))
        held_.pop_front();
}

bool TriggerRecording::open_event() {
    QDir dir(settings_.folder);
    dir.mkpath(QStringLiteral("."));
    QString path;
    do {
        path = dir.filePath(
            QStringLiteral("Ereignis-%1-%2.pcapng")
                .arg(++number_, 5, 10, QLatin1Char('0'))
                .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"))));
    } while (QFile::exists(path) && number_ < 100'000);
    if (auto reason = file_.open(path, interface_name_, description_)) {
        if (on_failure_)
            on_failure_(*reason);
        return false;
    }
    file_.set_on_failure([this](const QString &reason) {
        open_ = false;
        if (on_failure_)
            on_failure_(reason);
    });
    open_ = true;
    return true;
}

void TriggerRecording::write(const loconet::Message &m, const std::string &comment, bool matched) {
    if (!matched) {
        file_.write(m, comment);
        return;
    }
    const std::string why = "Auslöser „" + settings_.expression.toStdString() + "“";
    file_.write(m, comment.empty() ? why : why + ": " + comment);
}

void TriggerRecording::close_event() {
    const QString path = file_.path();
    file_.close();
    open_ = false;
    saved_ << path;
    if (on_saved_)
        on_saved_(path);
}

void TriggerRecording::tick(std::int64_t steady_ns) {
    if (open_ && steady_ns > end_ns_ + before_ns_)
        close_event();
}

void TriggerRecording::finish() {
    listening_ = {};
    if (open_)
        close_event();
}

} // namespace bl
