#include "transport/line_settings.h"

#include <QStringList>

namespace bl {

std::optional<LineSettings> parse_line_settings(const QString &text) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return std::nullopt;
    LineSettings s;
    bool ok_baud = false, ok_data = false, ok_stop = false;
    s.baud = parts[0].trimmed().toInt(&ok_baud);
    const QString parity = parts[1].trimmed().toLower();
    s.data_bits = parts[2].trimmed().toInt(&ok_data);
    s.stop_bits = parts[3].trimmed().toDouble(&ok_stop);
    if (!ok_baud || s.baud <= 0 || parity.size() != 1 ||
        !QStringLiteral("neoms").contains(parity) || !ok_data || s.data_bits < 4 ||
        s.data_bits > 8 || !ok_stop || (s.stop_bits != 1 && s.stop_bits != 1.5 && s.stop_bits != 2))
        return std::nullopt;
    s.parity = parity.at(0).toLatin1();
    return s;
}

} // namespace bl
