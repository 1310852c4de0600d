#include "shared/json.h"

#include "loconet/latin1.h"

#include <QDateTime>
#include <QTimeZone>
#include <cstdio>

namespace bl::json {

void append_string(std::string &out, std::string_view latin1) {
    out += '"';
    for (const char c : latin1) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (u < 0x20 || u == 0x7F) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
                out += escaped;
            } else {
                append_latin1_as_utf8(out, std::string_view(&c, 1));
            }
        }
    }
    out += '"';
}

void append_time(std::string &out, std::int64_t wall_us) {
    const std::int64_t seconds = wall_us / 1'000'000;
    const auto micros = static_cast<int>(wall_us % 1'000'000);
    const QDateTime at = QDateTime::fromSecsSinceEpoch(seconds);
    const int offset = at.offsetFromUtc() / 60;
    char text[64];
    std::snprintf(text, sizeof text, "%s.%06d%c%02d:%02d",
                  at.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toLatin1().constData(), micros,
                  offset < 0 ? '-' : '+', (offset < 0 ? -offset : offset) / 60,
                  (offset < 0 ? -offset : offset) % 60);
    out += text;
}

} // namespace bl::json
