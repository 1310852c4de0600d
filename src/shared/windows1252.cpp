#include "shared/windows1252.h"

#include <array>

namespace bl {

namespace {
// Unicode code points of the bytes 0x80..0x9F in Windows-1252; 0 = unused.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char encode(char16_t u) {
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<char>(u);
    for (std::size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] != 0 && kHighControls[i] == u)
            return static_cast<char>(0x80 + i);
    return '?';
}
} // namespace

QByteArray to_windows1252(QStringView text) {
    QByteArray out;
    out.reserve(text.size());
    for (const QChar ch : text)
        out.append(encode(ch.unicode()));
    return out;
}

void append_latin1_as_windows1252(QByteArray &out, std::string_view latin1) {
    for (const char ch : latin1) {
        const auto c = static_cast<unsigned char>(ch);
        out.append(c >= 0x80 && c < 0xA0 ? '?' : ch);
    }
}

} // namespace bl
