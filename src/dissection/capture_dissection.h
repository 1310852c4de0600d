// A capture file as a packet dissector sees it: packets of LocoNet bytes,
// each dissected on its own and again whenever the user looks at it, in any
// order. The meaning of a message depends on what came before it (the loco
// a slot holds, the request a reply answers), so the packets are learnt
// from once, in file order, the first time each is seen; what each message
// needs from that context is kept, and every later dissection renders the
// packet again from its bytes and what was kept, exactly as the monitor's
// decoder does for the same stream.
//
// Within a packet, messages are framed by their opcodes, as on the bus:
// several messages in one packet are each dissected, and bytes that do not
// become a message (a data byte with no opcode before it, a message cut
// short by the next opcode or by the end of the packet) are named as such.
#pragma once

#include "loconet/bus_context.h"
#include "loconet/echo_watch.h"
#include "loconet/fields.h"
#include "loconet/findings.h"
#include "loconet/message.h"

#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace bl::dissection {

// One piece of a packet.
struct Part {
    enum class Kind : std::uint8_t {
        Message, // a whole message (its checksum may still be wrong)
        Cut,     // a message the next opcode or the packet's end cut short
        Stray,   // data bytes with no opcode before them
    };
    Kind kind = Kind::Message;
    std::uint16_t offset = 0; // in the packet
    std::uint16_t length = 0; // bytes of the packet it covers
    // a Cut message: how long its opcode (or length byte) says it is; 0
    // where the length byte is missing
    int expected = 0;
    loconet::Message message;     // with Message: as the monitor sees it
    std::string line;             // the detailed line, UTF-8
    loconet::DetailFields fields; // the message's own, each with its bytes
    // a reply: the frame of the request it answers, and how long after it
    // came (0: not a reply, or the request's frame is unknown)
    std::uint32_t response_to = 0;
    std::int64_t response_time_us = 0;
    // a request: the frames of the replies that answered it
    std::vector<std::uint32_t> response_in;
};

// A finding the rules made, told at the frame of the message where it
// happened (and counted at the frame that raised it).
struct FrameFinding {
    loconet::FindingKind kind;
    loconet::Severity severity;
    std::string text; // German, UTF-8
};

class CaptureDissection {
public:
    CaptureDissection();

    // The pieces of one packet. A frame not seen before is learnt from:
    // frames must come first in file order (as every dissector sees them
    // first), later in any order. time_us: the packet's time (0: none);
    // outbound: recorded as sent by the recorder itself.
    std::vector<Part> dissect(std::uint32_t frame, std::int64_t time_us, bool outbound,
                              std::span<const std::uint8_t> bytes);

    // The findings that name a message of this frame as where they happened.
    const std::vector<FrameFinding> &findings_at(std::uint32_t frame) const;
    // The kinds of findings the rules raised while learning this frame.
    std::vector<loconet::FindingKind> raised_at(std::uint32_t frame) const;

    // A new capture file: everything learnt is forgotten.
    void reset();

private:
    struct Learnt {
        loconet::Known known;
        loconet::Direction direction = loconet::Direction::Received;
        std::uint32_t frame = 0;
        std::int64_t time_us = 0;
    };
    void listen_for_findings();
    bool learnt(std::uint32_t frame) const {
        return frame > 0 && frame <= first_seq_.size() && first_seq_[frame - 1] != 0;
    }
    void learn(std::uint32_t frame, std::int64_t time_us, bool outbound,
               std::span<const std::uint8_t> bytes);
    void render(Part &part) const;

    loconet::BusContext context_;
    loconet::EchoWatch echoes_;
    loconet::Findings findings_;
    std::uint64_t seq_ = 0;
    std::uint32_t learning_frame_ = 0;
    std::vector<Learnt> learnt_; // by seq - 1
    // by frame - 1: the seq its first whole message has (where it has one,
    // else the next message's), 0 for a frame not learnt yet
    std::vector<std::uint64_t> first_seq_;
    std::unordered_map<std::uint32_t, std::vector<loconet::FindingKind>> raised_;
    // the requests replies answered, by their seq, as they were
    std::unordered_map<std::uint64_t, loconet::Message> requests_;
    std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> replies_;
    std::unordered_map<std::uint32_t, std::vector<FrameFinding>> findings_at_;
};

} // namespace bl::dissection
