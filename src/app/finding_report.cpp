#include "app/finding_report.h"

#include "app/state_report.h"
#include "loconet/latin1.h"
#include "shared/json.h"
#include "shared/texts.h"

#include <QLocale>
#include <QStringList>

namespace bl {

std::string finding_line(const loconet::Finding &f) {
    std::string line;
    if (f.wall_us > 0)
        line = time_of_day(f.wall_us).toStdString() + "  ";
    line.append(loconet::severity_name(f.severity)).append("  ");
    line.append(loconet::finding_id(f.kind)).append("  ");
    if (f.nr != 0)
        line.append("Nr. ").append(std::to_string(f.nr)).append(": ");
    line.append(latin1_to_utf8(f.text));
    return line;
}

std::string finding_json(const loconet::Finding &f) {
    std::string out = "{\"nr\":";
    out += f.nr != 0 ? std::to_string(f.nr) : std::string("null");
    out += ",\"zeit\":";
    if (f.wall_us > 0) {
        out += '"';
        json::append_time(out, f.wall_us);
        out += '"';
    } else {
        out += "null";
    }
    out += ",\"art\":";
    json::append_string(out, loconet::finding_id(f.kind));
    out += ",\"schwere\":";
    json::append_string(out, loconet::severity_name(f.severity));
    out += ",\"text\":";
    json::append_string(out, f.text);
    out += ",\"meldungen\":[";
    for (std::size_t i = 0; i < f.messages.size(); ++i) {
        if (i > 0)
            out += ',';
        out += std::to_string(f.messages[i]);
    }
    out += "],\"anzahl\":";
    out += std::to_string(f.count);
    out += '}';
    return out;
}

QString findings_count_text(const loconet::Findings &findings) {
    namespace tx = texts::findings_list;
    const QLocale german(QLocale::German);
    QStringList parts;
    const auto add = [&](loconet::Severity s, const QString &one, const QString &many) {
        const std::uint64_t n = findings.count(s);
        if (n > 0)
            parts << (n == 1 ? one : many.arg(german.toString(static_cast<qulonglong>(n))));
    };
    add(loconet::Severity::Error, tx::kOneError, tx::kErrors);
    add(loconet::Severity::Warning, tx::kOneWarning, tx::kWarnings);
    add(loconet::Severity::Note, tx::kOneNote, tx::kNotes);
    return parts.join(QStringLiteral(", "));
}

} // namespace bl
