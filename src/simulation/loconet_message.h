#pragma once

#include "loconet/message.h"

#include <QByteArray>
#include <cstdint>
#include <initializer_list>
#include <span>

namespace bl::sim {

// A message with its check byte appended.
inline QByteArray message(std::initializer_list<int> bytes) {
    QByteArray out;
    for (const int b : bytes)
        out.append(static_cast<char>(b));
    out.append(static_cast<char>(loconet::checksum(bytes.begin(), bytes.end())));
    return out;
}

inline QByteArray bytes_of(std::span<const std::int32_t> message) {
    QByteArray out;
    for (const std::int32_t b : message)
        out.append(static_cast<char>(b));
    return out;
}

inline bool checksum_ok(const QByteArray &msg) {
    return loconet::checksum_ok(msg.begin(), msg.end());
}

inline int byte_at(const QByteArray &msg, int i) { return static_cast<unsigned char>(msg.at(i)); }

} // namespace bl::sim
