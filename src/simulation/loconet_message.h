#pragma once

#include <QByteArray>
#include <initializer_list>

namespace bl::sim {

// A message with its checksum appended (0xFF exclusive-or every byte).
inline QByteArray message(std::initializer_list<int> bytes) {
    QByteArray out;
    int chk = 0xFF;
    for (const int b : bytes) {
        out.append(static_cast<char>(b));
        chk ^= b;
    }
    out.append(static_cast<char>(chk));
    return out;
}

inline bool checksum_ok(const QByteArray &msg) {
    int x = 0;
    for (const char c : msg)
        x ^= static_cast<unsigned char>(c);
    return x == 0xFF;
}

inline int byte_at(const QByteArray &msg, int i) { return static_cast<unsigned char>(msg.at(i)); }

} // namespace bl::sim
