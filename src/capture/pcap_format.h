// LocoNet in the capture files Wireshark and other tools read: pcapng as we
// write it (a section, one interface of link type 147, one enhanced packet
// block a message, with its direction, a CRC-error flag for a wrong
// checksum and the shown line as a comment), and a reader of pcap
// (microseconds or nanoseconds, either byte order) and pcapng, fed a chunk
// at a time, that hands out each packet of link type 147 and passes over
// (counting them) the packets of other interfaces a pcapng may also hold.
#pragma once

#include "loconet/message.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace bl::capture {

// No LocoNet link type is registered; LocoNet tools use the first user type.
inline constexpr std::uint32_t kLinkTypeLocoNet = 147;
inline constexpr std::uint32_t kSnapLength = 128;

std::string section_header_block(std::string_view application);
std::string interface_block(std::string_view name, std::string_view description);
// comment: UTF-8; empty: none
std::string packet_block(const loconet::Message &m, std::string_view comment);

enum class Format { Raw, Pcap, Pcapng };
// By the first four bytes (fewer: raw).
Format format_of(std::string_view start);

// The latest time a packet can carry is a message's (the year 2262).
using loconet::kLatestTimeUs;

// A time stamp of `units` per second in microseconds, exact where it fits
// and kLatestTimeUs where it does not.
std::int64_t microseconds_of(std::uint64_t stamp, std::uint64_t units_per_second);

struct Packet {
    std::string_view bytes;
    std::int64_t time_us = 0; // since 1970, 0 .. kLatestTimeUs
    bool outbound = false;
};

struct ReadProblem {
    enum class What { OtherLinkType, Truncated, Malformed } what;
    std::uint32_t link_type = 0; // with OtherLinkType
};

class CaptureReader {
public:
    using OnPacket = std::function<void(const Packet &)>;
    explicit CaptureReader(OnPacket on_packet) : on_packet_(std::move(on_packet)) {}

    // Hands out every packet complete in what has come so far; after a
    // problem, nothing more.
    void feed(std::string_view bytes);
    // The end of the file: a record cut off is a problem, and so is a file
    // whose packets all belong to other interfaces.
    void finish();
    const std::optional<ReadProblem> &problem() const { return problem_; }
    // Packets of interfaces that are no LocoNet, passed over.
    std::uint64_t passed_over() const { return passed_over_; }

private:
    bool step();
    bool pcap_header();
    bool pcap_record();
    bool pcapng_block();
    void fail(ReadProblem::What what, std::uint32_t link_type = 0) {
        if (!problem_)
            problem_ = ReadProblem{what, link_type};
    }
    std::uint32_t u32(std::size_t at) const;
    std::uint16_t u16(std::size_t at) const;

    OnPacket on_packet_;
    std::string buffer_;
    std::size_t at_ = 0; // start of the next record in buffer_
    Format format_ = Format::Raw;
    bool started_ = false;
    bool swapped_ = false;
    bool nanoseconds_ = false;
    std::uint32_t pcap_link_ = 0;
    // pcapng: the interfaces of the current section
    struct Interface {
        std::uint32_t link_type;
        std::uint64_t units_per_second;
    };
    std::vector<Interface> interfaces_;
    std::optional<ReadProblem> problem_;
    std::uint64_t loconet_packets_ = 0;
    std::uint64_t passed_over_ = 0;
    std::uint32_t other_link_type_ = 0; // the first passed over
};

} // namespace bl::capture
