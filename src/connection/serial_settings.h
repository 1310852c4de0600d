#pragma once

#include <QString>
#include <optional>

namespace bl {

// "19200,n,8,1": bit rate, parity (n, e, o, m, s), data bits, stop bits.
struct SerialSettings {
    int baud = 19200;
    char parity = 'n';
    int data_bits = 8;
    double stop_bits = 1;
};

std::optional<SerialSettings> parse_settings(const QString &text);

// The device of COM port n: "COMn" on Windows, /dev/ttyS(n-1) elsewhere.
QString device_for_com_port(int n);

inline constexpr int kHighestComPort = 255;

} // namespace bl
