#pragma once

#include <QString>
#include <optional>

namespace bl {

// A serial line as the settings text "19200,n,8,1" names it: bit rate,
// parity (n, e, o, m, s), data bits, stop bits.
struct LineSettings {
    int baud = 19200;
    char parity = 'n';
    int data_bits = 8;
    double stop_bits = 1;
};

std::optional<LineSettings> parse_line_settings(const QString &text);

} // namespace bl
