#include "capture/pcap_format.h"

#include <algorithm>
#include <vector>

namespace bl::capture {

namespace {

constexpr std::uint32_t kSectionHeader = 0x0A0D0D0A;
constexpr std::uint32_t kInterface = 1;
constexpr std::uint32_t kObsoletePacket = 2;
constexpr std::uint32_t kSimplePacket = 3;
constexpr std::uint32_t kEnhancedPacket = 6;
constexpr std::uint32_t kByteOrderMagic = 0x1A2B3C4D;
constexpr std::uint32_t kPcapMicro = 0xA1B2C3D4;
constexpr std::uint32_t kPcapNano = 0xA1B23C4D;
// a block or record larger than this is no capture we can read
constexpr std::uint32_t kLargestBlock = 16u << 20;

constexpr std::uint16_t kOptEnd = 0;
constexpr std::uint16_t kOptComment = 1;
constexpr std::uint16_t kShbUserAppl = 4;
constexpr std::uint16_t kIfName = 2;
constexpr std::uint16_t kIfDescription = 3;
constexpr std::uint16_t kIfTsresol = 9;
constexpr std::uint16_t kEpbFlags = 2;
constexpr std::uint32_t kInbound = 1;
constexpr std::uint32_t kOutbound = 2;
constexpr std::uint32_t kCrcError = 1u << 24;

void put32(std::string &out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF)); // little endian
}
void put16(std::string &out, std::uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}
void pad(std::string &out) {
    while (out.size() % 4)
        out.push_back('\0');
}
void option(std::string &out, std::uint16_t code, std::string_view value) {
    put16(out, code);
    put16(out, static_cast<std::uint16_t>(value.size()));
    out.append(value);
    pad(out);
}
// type, length, body, length
std::string block(std::uint32_t type, std::string body) {
    pad(body);
    std::string out;
    const auto total = static_cast<std::uint32_t>(body.size() + 12);
    put32(out, type);
    put32(out, total);
    out += body;
    put32(out, total);
    return out;
}

// Option values are at most 65535 bytes; a comment is cut at a character.
std::string_view fitting(std::string_view utf8) {
    constexpr std::size_t kMost = 0xFFFF;
    if (utf8.size() <= kMost)
        return utf8;
    std::size_t n = kMost;
    while (n > 0 && (static_cast<unsigned char>(utf8[n]) & 0xC0) == 0x80)
        --n;
    return utf8.substr(0, n);
}

} // namespace

std::string section_header_block(std::string_view application) {
    std::string body;
    put32(body, kByteOrderMagic);
    put16(body, 1); // version 1.0
    put16(body, 0);
    put32(body, 0xFFFFFFFF); // section length not known
    put32(body, 0xFFFFFFFF);
    option(body, kShbUserAppl, fitting(application));
    option(body, kOptEnd, {});
    return block(kSectionHeader, body);
}

std::string interface_block(std::string_view name, std::string_view description) {
    std::string body;
    put16(body, static_cast<std::uint16_t>(kLinkTypeLocoNet));
    put16(body, 0);
    put32(body, kSnapLength);
    option(body, kIfName, fitting(name));
    if (!description.empty())
        option(body, kIfDescription, fitting(description));
    option(body, kIfTsresol, std::string_view("\x06", 1)); // microseconds
    option(body, kOptEnd, {});
    return block(kInterface, body);
}

std::string packet_block(const loconet::Message &m, std::string_view comment) {
    std::string body;
    const auto us = static_cast<std::uint64_t>(std::max<std::int64_t>(m.wall_us, 0));
    put32(body, 0); // the one interface
    put32(body, static_cast<std::uint32_t>(us >> 32));
    put32(body, static_cast<std::uint32_t>(us & 0xFFFFFFFF));
    put32(body, m.length);
    put32(body, m.length);
    body.append(reinterpret_cast<const char *>(m.bytes.data()), m.length);
    pad(body);
    std::uint32_t flags = m.direction == loconet::Direction::Sent ? kOutbound : kInbound;
    if (!m.checksum_ok)
        flags |= kCrcError;
    std::string flag_bytes;
    put32(flag_bytes, flags);
    option(body, kEpbFlags, flag_bytes);
    if (!comment.empty())
        option(body, kOptComment, fitting(comment));
    option(body, kOptEnd, {});
    return block(kEnhancedPacket, body);
}

Format format_of(std::string_view start) {
    if (start.size() < 4)
        return Format::Raw;
    std::uint32_t le = 0, be = 0;
    for (int i = 0; i < 4; ++i) {
        le |= static_cast<std::uint32_t>(
                  static_cast<unsigned char>(start[static_cast<std::size_t>(i)]))
              << (8 * i);
        be = (be << 8) | static_cast<unsigned char>(start[static_cast<std::size_t>(i)]);
    }
    if (le == kSectionHeader)
        return Format::Pcapng;
    for (const std::uint32_t v : {le, be})
        if (v == kPcapMicro || v == kPcapNano)
            return Format::Pcap;
    return Format::Raw;
}

std::uint32_t CaptureReader::u32(std::size_t at) const {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const auto b = static_cast<std::uint32_t>(static_cast<unsigned char>(buffer_[at + i]));
        v |= swapped_ ? b << (8 * (3 - i)) : b << (8 * i);
    }
    return v;
}

std::uint16_t CaptureReader::u16(std::size_t at) const {
    const auto a = static_cast<unsigned char>(buffer_[at]);
    const auto b = static_cast<unsigned char>(buffer_[at + 1]);
    return static_cast<std::uint16_t>(swapped_ ? (a << 8) | b : (b << 8) | a);
}

void CaptureReader::feed(std::string_view bytes) {
    if (problem_)
        return;
    buffer_.append(bytes);
    while (!problem_ && step()) {
    }
    // what has been read goes; the record being collected stays
    if (at_ > 0) {
        buffer_.erase(0, at_);
        at_ = 0;
    }
}

void CaptureReader::finish() {
    if (problem_)
        return;
    if (at_ < buffer_.size() || !started_)
        fail(ReadProblem::What::Truncated);
    else if (loconet_packets_ == 0 && passed_over_ > 0)
        fail(ReadProblem::What::OtherLinkType, other_link_type_);
}

std::int64_t microseconds_of(std::uint64_t stamp, std::uint64_t units) {
    if (units == 0)
        return 0;
    const std::uint64_t whole = stamp / units, rest = stamp % units;
    constexpr auto kLatestSeconds = static_cast<std::uint64_t>(kLatestTimeUs) / 1'000'000;
    if (whole > kLatestSeconds)
        return kLatestTimeUs;
    // rest < units; rest * 10^6 / units without overflow: in parts where
    // the product would not fit
    std::uint64_t fraction = 0;
    if (rest <= UINT64_MAX / 1'000'000) {
        fraction = rest * 1'000'000 / units;
    } else {
        const long double exact =
            static_cast<long double>(rest) * 1e6L / static_cast<long double>(units);
        fraction = static_cast<std::uint64_t>(exact);
    }
    const std::uint64_t us = whole * 1'000'000 + fraction;
    return us > static_cast<std::uint64_t>(kLatestTimeUs) ? kLatestTimeUs
                                                          : static_cast<std::int64_t>(us);
}

bool CaptureReader::step() {
    if (!started_) {
        if (buffer_.size() < 4)
            return false;
        format_ = format_of(buffer_);
        if (format_ == Format::Raw) {
            fail(ReadProblem::What::Malformed);
            return false;
        }
        if (format_ == Format::Pcap)
            return pcap_header();
        started_ = true;
    }
    return format_ == Format::Pcap ? pcap_record() : pcapng_block();
}

bool CaptureReader::pcap_header() {
    constexpr std::size_t kHeader = 24;
    if (buffer_.size() - at_ < kHeader)
        return false;
    swapped_ = false;
    std::uint32_t magic = u32(at_);
    if (magic != kPcapMicro && magic != kPcapNano) {
        swapped_ = true;
        magic = u32(at_);
    }
    nanoseconds_ = magic == kPcapNano;
    pcap_link_ = u32(at_ + 20) & 0x0FFFFFFF; // the upper bits carry other things
    at_ += kHeader;
    started_ = true;
    if (pcap_link_ != kLinkTypeLocoNet) {
        fail(ReadProblem::What::OtherLinkType, pcap_link_);
        return false;
    }
    return true;
}

bool CaptureReader::pcap_record() {
    constexpr std::size_t kRecord = 16;
    if (buffer_.size() - at_ < kRecord)
        return false;
    const std::uint32_t seconds = u32(at_), fraction = u32(at_ + 4), length = u32(at_ + 8);
    if (length > kLargestBlock) {
        fail(ReadProblem::What::Malformed);
        return false;
    }
    if (buffer_.size() - at_ < kRecord + length)
        return false;
    Packet p;
    p.bytes = std::string_view(buffer_).substr(at_ + kRecord, length);
    p.time_us = microseconds_of(static_cast<std::uint64_t>(seconds) * 1'000'000'000u +
                                    (nanoseconds_ ? fraction : std::uint64_t{fraction} * 1000u),
                                1'000'000'000u);
    at_ += kRecord + length;
    ++loconet_packets_;
    on_packet_(p);
    return true;
}

bool CaptureReader::pcapng_block() {
    if (buffer_.size() - at_ < 12)
        return false;
    // a section header sets the byte order of what follows
    if (static_cast<unsigned char>(buffer_[at_]) == 0x0A &&
        buffer_.compare(at_, 4, "\x0A\x0D\x0D\x0A") == 0) {
        swapped_ = false;
        if (u32(at_ + 8) != kByteOrderMagic) {
            swapped_ = true;
            if (u32(at_ + 8) != kByteOrderMagic) {
                fail(ReadProblem::What::Malformed);
                return false;
            }
        }
    }
    const std::uint32_t type = u32(at_), total = u32(at_ + 4);
    if (total < 12 || total % 4 != 0 || total > kLargestBlock) {
        fail(ReadProblem::What::Malformed);
        return false;
    }
    if (buffer_.size() - at_ < total)
        return false;
    const std::size_t body = at_ + 8, body_end = at_ + total - 4;
    const std::size_t body_size = body_end - body;
    at_ += total;
    switch (type) {
    case kSectionHeader: interfaces_.clear(); return true;
    case kInterface: {
        if (body_size < 8) {
            fail(ReadProblem::What::Malformed);
            return false;
        }
        Interface i{u16(body), 1'000'000};
        // options: if_tsresol
        for (std::size_t o = body + 8; o + 4 <= body_end;) {
            const std::uint16_t code = u16(o), len = u16(o + 2);
            if (code == kOptEnd || o + 4 + len > body_end)
                break;
            if (code == kIfTsresol && len >= 1) {
                const auto r = static_cast<unsigned char>(buffer_[o + 4]);
                const unsigned exponent = r & 0x7F;
                if (exponent < 64) {
                    std::uint64_t units = 1;
                    for (unsigned k = 0; k < exponent && units < (1ull << 60); ++k)
                        units *= (r & 0x80) ? 2 : 10;
                    i.units_per_second = units;
                }
            }
            o += 4 + ((len + 3u) & ~3u);
        }
        interfaces_.push_back(i);
        return true;
    }
    case kEnhancedPacket:
    case kObsoletePacket:
    case kSimplePacket: {
        std::uint32_t interface = 0, length = 0;
        std::uint64_t stamp = 0;
        std::size_t data = 0;
        if (type == kSimplePacket) {
            if (body_size < 4)
                break;
            length = u32(body);
            data = body + 4;
            if (interfaces_.empty())
                break;
            length = std::min<std::uint32_t>(length, static_cast<std::uint32_t>(body_size - 4));
        } else {
            if (body_size < 20)
                break;
            interface = type == kEnhancedPacket ? u32(body) : u16(body);
            stamp = (static_cast<std::uint64_t>(u32(body + 4)) << 32) | u32(body + 8);
            length = u32(body + 12);
            data = body + 20;
        }
        if (data + length > body_end || interface >= interfaces_.size()) {
            fail(ReadProblem::What::Malformed);
            return false;
        }
        const Interface &i = interfaces_[interface];
        if (i.link_type != kLinkTypeLocoNet) {
            // another interface captured beside ours: not ours to read
            if (passed_over_++ == 0)
                other_link_type_ = i.link_type;
            return true;
        }
        Packet p;
        p.bytes = std::string_view(buffer_).substr(data, length);
        p.time_us = microseconds_of(stamp, i.units_per_second);
        if (type == kEnhancedPacket) {
            for (std::size_t o = data + ((length + 3u) & ~3u); o + 4 <= body_end;) {
                const std::uint16_t code = u16(o), len = u16(o + 2);
                if (code == kOptEnd || o + 4 + len > body_end)
                    break;
                if (code == kEpbFlags && len == 4)
                    p.outbound = (u32(o + 4) & 3) == kOutbound;
                o += 4 + ((len + 3u) & ~3u);
            }
        }
        ++loconet_packets_;
        on_packet_(p);
        return true;
    }
    default: return true; // other blocks say nothing of the messages
    }
    fail(ReadProblem::What::Malformed);
    return false;
}

} // namespace bl::capture
