#include "reception/bus_health.h"

#include "loconet/hex.h"
#include "loconet/opcode_names.h"
#include "shared/texts.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace bl {

namespace {

namespace tx = texts::reception;

constexpr std::size_t kRateSeconds = 10;
constexpr std::size_t kMostBytesShown = 16;

QString hex_list(std::span<const std::uint8_t> bytes) {
    QString out = QString::fromStdString(
        loconet::hex_list(bytes.first(std::min(bytes.size(), kMostBytesShown))));
    if (bytes.size() > kMostBytesShown)
        out += QStringLiteral(" …");
    return out;
}

int load_percent(double bytes_per_second) {
    return static_cast<int>(
        std::lround(100.0 * bytes_per_second / loconet::kSaturatedBytesPerSecond));
}

} // namespace

BusHealth::BusHealth(Receiver &receiver, const loconet::BusCounts &counts,
                     loconet::EchoWatch &echoes, SteadyClock &clock, TimeOfDay time_of_day)
    : counts_(counts), echoes_(echoes), clock_(clock), time_of_day_(std::move(time_of_day)),
      messages_(receiver.listen([this](const loconet::Message &m) {
          if (!m.checksum_ok && m.direction != loconet::Direction::Sent)
              bad(tx::kBadChecksum, m.view());
      })),
      discarded_(receiver.on_discarded(
          [this](std::span<const std::uint8_t> bytes) { bad(tx::kBadDiscarded, bytes); })) {}

void BusHealth::bad(const QString &what, std::span<const std::uint8_t> bytes) {
    if (on_bad_)
        on_bad_(tx::kBadMessage.arg(
            what, QLocale(QLocale::German).toString(time_of_day_(), QStringLiteral("HH:mm:ss,zzz")),
            hex_list(bytes)));
}

bool BusHealth::tick() {
    const double now = clock_.seconds();
    if (last_tick_ >= 0 && now > last_tick_) {
        const double dt = now - last_tick_;
        bytes_per_second_ = static_cast<double>(counts_.bytes - bytes_at_tick_) / dt;
        peak_bytes_per_second_ = std::max(peak_bytes_per_second_, bytes_per_second_);
        recent_.push_back({counts_.messages - messages_at_tick_, dt});
        if (recent_.size() > kRateSeconds)
            recent_.pop_front();
    }
    last_tick_ = now;
    bytes_at_tick_ = counts_.bytes;
    messages_at_tick_ = counts_.messages;
    const auto late = echoes_.overdue(now);
    for (const std::vector<std::uint8_t> &message : late) {
        bad(tx::kBadNoEcho, message);
        if (on_missing_echo_)
            on_missing_echo_(message);
    }
    return !late.empty();
}

QString BusHealth::summary() const {
    const QLocale german(QLocale::German);
    double messages = 0, seconds = 0;
    for (const Second &s : recent_) {
        messages += static_cast<double>(s.messages);
        seconds += s.seconds;
    }
    const double rate = seconds > 0 ? messages / seconds : 0;
    return tx::kSummary.arg(german.toString(static_cast<qulonglong>(counts_.messages)),
                            german.toString(rate, 'f', 1),
                            QString::number(load_percent(bytes_per_second_)),
                            QString::number(load_percent(peak_bytes_per_second_)),
                            german.toString(static_cast<qulonglong>(counts_.checksum_errors)),
                            german.toString(static_cast<qulonglong>(counts_.discarded)),
                            german.toString(static_cast<qulonglong>(echoes_.missing())));
}

QStringList bus_report(const loconet::BusCounts &counts) {
    QStringList lines{tx::kReportMessages.arg(counts.messages),
                      tx::kReportChecksumErrors.arg(counts.checksum_errors),
                      tx::kReportDiscarded.arg(counts.discarded)};
    std::vector<int> seen;
    for (int i = 0; i < 128; ++i)
        if (counts.per_opcode[static_cast<std::size_t>(i)] > 0)
            seen.push_back(i);
    std::stable_sort(seen.begin(), seen.end(), [&counts](int a, int b) {
        return counts.per_opcode[static_cast<std::size_t>(a)] >
               counts.per_opcode[static_cast<std::size_t>(b)];
    });
    for (const int i : seen) {
        const int opcode = 0x80 + i;
        const auto name = loconet::opcode_name(opcode);
        const QString named = name.empty() ? QString()
                                           : QStringLiteral(" (%1)").arg(QLatin1String(
                                                 name.data(), static_cast<qsizetype>(name.size())));
        lines << tx::kReportOpcode.arg(QString::number(opcode, 16).toUpper(), named)
                     .arg(counts.per_opcode[static_cast<std::size_t>(i)]);
    }
    return lines;
}

} // namespace bl
