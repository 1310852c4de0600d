// What the bus has told so far that later messages need for their meaning:
// which locomotive a slot holds and in which speed-step mode, the requests
// still waiting for their reply, and the written rendering's own slot table
// and switch-query state. Fed by every message in order; each message is
// annotated (Message::known) before anyone shows it, so that it can be shown
// later exactly as it was meant then.
//
// A reply answers the newest request still open that it can answer: of a
// kind it answers, seen within the time that kind allows, about the same
// subject (the loco address of slot data answers a request for that address,
// its slot number a request for that slot; a long acknowledgement answers
// the request whose opcode it names). A request is answered once (a
// programmer task twice: its acknowledgement and its final reply; a question
// to every device of a kind as often as they answer). Unasked messages name
// no request.
#pragma once

#include "loconet/message.h"

#include <array>
#include <cstdint>

namespace bl::loconet {

// The request a reply answers, by its sequence number.
class RequestSource {
public:
    virtual ~RequestSource() = default;
    // nullptr where the request is not (or no longer) known
    virtual const Message *request(std::uint64_t seq) const = 0;
};

class BusContext : public RequestSource {
public:
    // Fills in m.known and learns from m. written_shown: the written
    // rendering shows this message now (the monitor runs, not in HEX
    // Ausgabe); only then does its slot table learn, as it always has.
    void observe(Message &m, bool written_shown = true);
    const Message *request(std::uint64_t seq) const override;

    static constexpr int kSlots = 128;
    struct Slot {
        std::int32_t loco = -1;
        std::uint8_t status = 0xFF;
    };
    Slot slot(int n) const {
        return n >= 0 && n < kSlots ? slots_[static_cast<std::size_t>(n)] : Slot{};
    }

    // The written rendering's slot table: the locomotive of a slot as its
    // last slot data shown said (0 for a slot never seen), as a signed
    // 16-bit number.
    std::int16_t slot_tab_loco(int slot) const;

    // What a request is, for matching its reply.
    enum class Asks : std::uint8_t {
        Nothing,
        LocoByAddress,         // 0xBF
        ExpandedLocoByAddress, // 0xBE
        SwitchWithAck,         // 0xBD
        SwitchState,           // 0xBC
        Switch,                // 0xB0: acknowledged only when refused
        SlotData,              // 0xBB
        Move,                  // 0xBA
        Link,                  // 0xB9
        Unlink,                // 0xB8
        SlotWrite,             // 0xEF
        ProgrammerTask,        // 0xEF to slot 0x7C
        ImmediatePacket,       // 0xED of any form
        ArticleRead,           // 0xED 0x0F: a CV read or program start by article number
        OptionSwitch,          // 0xD0: a device's option switch
        TableWrite,            // 0xEE
        ExpandedSlotCommand,   // 0xD4 0x38..0x3F
        SystemVariable2,       // 0xE5, format 2
        SystemVariable1,       // 0xE5, format 1
        TransponderFind,       // 0xE5 0x09
        RadioQuery,            // 0xE5 0x14
        ReceiverQuery,         // 0xDF
    };
    static Asks asks(const Message &m);

private:
    struct Open {
        Message request;
        Asks kind = Asks::Nothing;
        std::uint8_t answers_left = 0;
    };
    std::uint64_t answered(const Message &reply);
    bool answers(const Message &reply, const Open &open) const;
    void remember(const Message &request, Asks kind);
    void learn(const Message &m);
    void written(Message &m, bool shown);

    std::array<Slot, kSlots> slots_{};
    // the newest requests, oldest overwritten first
    static constexpr std::size_t kRemembered = 64;
    std::array<Open, kRemembered> open_{};
    std::size_t next_ = 0;
    // the written rendering's state: slot_tab (the locomotive each row gives)
    // and sw_query
    std::array<std::int16_t, 129> slot_tab_{};
    bool sw_query_ = false;
};

} // namespace bl::loconet
