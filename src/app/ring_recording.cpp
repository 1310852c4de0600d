#include "app/ring_recording.h"

#include "capture/pcap_format.h"
#include "loconet/latin1.h"
#include "shared/system_reason.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace bl {

namespace {

// "ring-00001-2026-12-07_14-30-05.pcapng": the number first, so that the
// names sort in the order recorded
const QRegularExpression kRingName(QStringLiteral("^ring-(\\d{5,})-.*\\.pcapng$"));

} // namespace

RingRecording::RingRecording(Receiver &receiver, const QString &folder, Limits limits,
                             const QString &interface_name, const QString &description)
    : receiver_(receiver), folder_(folder), limits_(limits), interface_name_(interface_name),
      description_(description) {}

std::optional<QString> RingRecording::start() {
    QDir dir(folder_);
    if (!dir.mkpath(QStringLiteral(".")))
        return german_reason(errno != 0 ? errno : ENOENT);
    // a ring started again goes on after the files of the last one (they
    // stay: only what this ring wrote is its to delete)
    for (const QString &name : dir.entryList({QStringLiteral("ring-*.pcapng")}, QDir::Files)) {
        const auto match = kRingName.match(name);
        if (match.hasMatch())
            number_ = std::max(number_, match.captured(1).toInt());
    }
    if (auto reason = next_file())
        return reason;
    running_ = true;
    file_.set_on_failure([this](const QString &reason) { fail(reason); });
    listening_ = receiver_.listen([this](const loconet::Message &m) { write(m); });
    return std::nullopt;
}

void RingRecording::stop() {
    listening_ = {};
    file_.close();
    running_ = false;
}

std::optional<QString> RingRecording::next_file() {
    file_.close();
    const QString name =
        QStringLiteral("ring-%1-%2.pcapng")
            .arg(++number_, 5, 10, QLatin1Char('0'))
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")));
    const QString path = QDir(folder_).filePath(name);
    if (auto reason = file_.open(path, interface_name_, description_))
        return reason;
    packets_in_file_ = 0;
    files_.push_back(path);
    while (files_.size() > static_cast<std::size_t>(std::max(limits_.files, 1))) {
        QFile::remove(files_.front());
        files_.pop_front();
    }
    return std::nullopt;
}

void RingRecording::write(const loconet::Message &m) {
    if (!running_)
        return;
    const std::string comment = latin1_to_utf8(receiver_.shown_line());
    // a file that would grow past its size goes on in the next one; a
    // message larger than a whole file still gets a file of its own
    const std::uint64_t block = capture::packet_block(m, comment).size();
    if (packets_in_file_ > 0 && file_.size() + block > limits_.file_bytes) {
        if (auto reason = next_file()) {
            fail(reason.value());
            return;
        }
    }
    file_.write(m, comment);
    if (running_)
        ++packets_in_file_;
}

void RingRecording::fail(const QString &reason) {
    if (!running_)
        return;
    stop();
    if (on_failure_)
        on_failure_(reason);
}

} // namespace bl
