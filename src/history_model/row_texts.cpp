#include "history_model/row_texts.h"

#include "loconet/hex.h"
#include "loconet/opcode_names.h"
#include "loconet/subjects.h"

#include <QDateTime>
#include <QLocale>

namespace bl {

namespace {

// How far ahead a request looks for its reply: replies come within a
// second or so, a few hundred messages on a busy bus.
constexpr std::uint64_t kReplySearch = 2000;

QString latin1(std::string_view s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

QString milliseconds_between(const loconet::Message &earlier, const loconet::Message &later) {
    const double ms = static_cast<double>(later.steady_ns - earlier.steady_ns) / 1e6;
    return QLocale(QLocale::German).toString(ms, 'f', ms < 10 ? 1 : 0);
}

} // namespace

const loconet::Message *StoredRequests::request(std::uint64_t seq) const {
    if (seq == 0)
        return nullptr;
    const auto position = store_.position_of(seq);
    if (!position)
        return nullptr;
    found_ = store_.at(*position);
    return &found_;
}

QString address_text(const loconet::Message &m, const loconet::RequestSource &requests) {
    using S = loconet::Subjects;
    const S s = loconet::subjects_of(m, requests);
    static const QString kWords[S::kKinds] = {QStringLiteral("Lok"), QStringLiteral("Slot"),
                                              QStringLiteral("Weiche"), QStringLiteral("Rm")};
    QStringList parts;
    for (const S::Kind kind : {S::kLoco, S::kSlot, S::kSwitch, S::kSensor}) {
        QStringList numbers;
        for (std::size_t i = 0; i < s.count(kind); ++i)
            numbers << QString::number(s.at(kind, i));
        if (!numbers.isEmpty())
            parts << kWords[kind] + QLatin1Char(' ') + numbers.join(QLatin1Char('/'));
    }
    return parts.join(QStringLiteral(", "));
}

QString direction_text(const loconet::Message &m) {
    QString text;
    switch (m.direction) {
    case loconet::Direction::Received: text = QStringLiteral("empfangen"); break;
    case loconet::Direction::Sent: text = QStringLiteral("gesendet"); break;
    case loconet::Direction::Echo: text = QStringLiteral("Echo"); break;
    }
    if (m.connection != 0)
        text += QStringLiteral(" (Client %1)").arg(m.connection);
    if (!m.checksum_ok)
        text += QStringLiteral(", Prüfsumme falsch");
    return text;
}

QString bytes_text(const loconet::Message &m) {
    return QString::fromStdString(loconet::hex_list(m.view()));
}

QString opcode_text(const loconet::Message &m) {
    const std::string_view name = loconet::opcode_name(m.opcode());
    if (!name.empty())
        return latin1(name);
    char digits[2];
    loconet::put_hex(digits, m.opcode());
    return QStringLiteral("0x") + QString::fromLatin1(digits, 2);
}

QString clock_text(std::int64_t wall_us) {
    return QDateTime::fromMSecsSinceEpoch(wall_us / 1000).toString(QStringLiteral("hh:mm:ss,zzz"));
}

QString seconds_text(std::int64_t ns) {
    const double s = static_cast<double>(ns) / 1e9;
    return (s >= 0 ? QStringLiteral("+") : QString()) +
           QLocale(QLocale::German).toString(s, 'f', 3) + QStringLiteral(" s");
}

QStringList field_view(const HistoryStore &store, std::uint64_t position, bool detail) {
    const loconet::Message m = store.at(position);
    const StoredRequests requests(store);
    QStringList out;
    out << QStringLiteral("Nr. %1   %2   %3")
               .arg(m.seq)
               .arg(clock_text(m.wall_us), direction_text(m));
    out << QStringLiteral("Bytes: ") + bytes_text(m);
    out << QStringLiteral("Opcode: %1 (0x%2)")
               .arg(opcode_text(m),
                    QStringLiteral("%1").arg(m.opcode(), 2, 16, QLatin1Char('0')).toUpper());
    out << (m.checksum_ok ? QStringLiteral("Prüfsumme: richtig")
                          : QStringLiteral("Prüfsumme: falsch"));
    LineText line;
    loconet::make_line(m, {false, detail, true}, requests, line);
    out << QStringLiteral("Klartext: ") + latin1(line.view());
    loconet::DetailFields fields;
    LineText detailed;
    loconet::render_detailed(m, requests, detailed, &fields);
    std::erase_if(fields, [](const loconet::DetailField &f) { return f.of_request; });
    if (!fields.empty()) {
        out << QStringLiteral("Felder:");
        // the fields of one name together ("Funktionen an: 0, 5")
        for (std::size_t i = 0; i < fields.size();) {
            QStringList values;
            std::size_t k = i;
            for (; k < fields.size() && fields[k].id == fields[i].id; ++k)
                values << (fields[k].text.empty() ? QString::number(fields[k].number)
                                                  : latin1(fields[k].text));
            out << QStringLiteral("  ") + latin1(loconet::info(fields[i].id).title) +
                       QStringLiteral(": ") + values.join(QStringLiteral(", "));
            i = k;
        }
    }
    if (const loconet::Message *request = requests.request(m.known.answers)) {
        const loconet::Message asked = *request;
        out << QStringLiteral("Antwort auf Nr. %1, %2 ms später")
                   .arg(asked.seq)
                   .arg(milliseconds_between(asked, m));
    }
    const std::uint64_t last = std::min(store.end(), position + 1 + kReplySearch);
    for (std::uint64_t p = position + 1; p < last; ++p) {
        const loconet::Message reply = store.at(p);
        if (reply.known.answers == m.seq) {
            out << QStringLiteral("Beantwortet von Nr. %1, %2 ms später")
                       .arg(reply.seq)
                       .arg(milliseconds_between(m, reply));
            break;
        }
    }
    return out;
}

} // namespace bl
