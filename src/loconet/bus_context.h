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
#include <vector>

namespace bl::loconet {

// The request a reply answers, by its sequence number.
class RequestSource {
public:
    virtual ~RequestSource() = default;
    // nullptr where the request is not (or no longer) known; what it points
    // to may be made again by a later call (it stays good over the next one)
    virtual const Message *request(std::uint64_t seq) const = 0;
};

class BusContext : public RequestSource {
public:
    // Fills in m.known and learns from m. written_shown: the written
    // rendering shows this message now (the monitor runs, not in HEX
    // Ausgabe); only then does its slot table learn, as it always has.
    void observe(Message &m, bool written_shown = true);
    const Message *request(std::uint64_t seq) const override;
    // Whether requests are remembered and replies credited to them (the
    // default). The written lines read neither, so a reader of those alone
    // spares the work; m.known.answers then stays 0.
    void set_requests_tracked(bool tracked) { requests_tracked_ = tracked; }

    // For the rule that tells requests nobody answered: from here on, each
    // request that always gets a reply (with a right checksum and a time) is
    // watched until a reply is credited to it, the same request is asked
    // again (the repetition waits in its place) or its time runs out.
    void watch_unreplied() { watching_ = true; }
    bool watching_unreplied() const { return watching_; }
    // The earliest a watched request's time may run out (a bound: none runs
    // out before it).
    std::int64_t unreplied_due_ns() const { return unreplied_due_ns_; }
    // The watched requests whose time ran out before now_ns, in the order
    // asked; from then on they are watched no longer. A request forgotten
    // before its time ran out (more open at once than are remembered)
    // cannot be judged and is not among them.
    std::vector<Message> take_unreplied(std::int64_t now_ns);

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
    // How long a kind of request waits for its reply, in nanoseconds.
    static std::int64_t patience(Asks kind);

private:
    // What a scan for the request a reply answers reads of each: kept apart
    // from the requests themselves, so that the scan stays in a few cache lines.
    struct Open {
        std::int64_t deadline_ns = 0; // when its time runs out; 0: none (a file without times)
        // the number slot data must name to answer it (the loco address or
        // slot asked for), -1 where there is none to tell it by
        std::int32_t slot_data_key = -1;
        Asks kind = Asks::Nothing;
        std::uint8_t answers_left = 0;
        std::uint8_t opcode = 0;
    };
    std::uint64_t answered(const Message &reply);
    bool answers(const Message &reply, const Message &q, Asks kind) const;
    void remember(const Message &request, Asks kind);
    void close(std::size_t at); // answered, too late or overwritten: no longer open
    void learn(const Message &m);
    void written(Message &m, bool shown);

    std::array<Slot, kSlots> slots_{};
    // the newest requests, oldest overwritten first
    static constexpr std::size_t kRemembered = 64;
    std::array<Open, kRemembered> open_{};
    // The requests themselves, small: a request is a few bytes (the longest
    // a little over 20); a longer one keeps its bytes apart.
    struct Kept {
        static constexpr std::size_t kBytes = 24;
        std::array<std::uint8_t, kBytes> bytes{};
        std::uint8_t length = 0;
        Direction direction = Direction::Received;
        bool checksum_ok = true;
        std::uint16_t connection = 0;
        std::uint64_t seq = 0;
        std::int64_t wall_us = 0;
        std::int64_t steady_ns = 0;
        Known known;
    };
    void keep(std::size_t at, const Message &request);
    const Message &kept(std::size_t at) const; // as a message again, until the next call
    std::array<Kept, kRemembered> requests_{};
    std::array<std::vector<std::uint8_t>, kRemembered> long_requests_{};
    mutable std::array<Message, 2> restored_{}; // the last two asked for
    mutable std::size_t next_restored_ = 0;
    // which places hold a request still open, one bit each: by its kind, and
    // by its opcode (what a long acknowledgement names)
    std::array<std::uint64_t, 32> by_kind_{};
    std::array<std::uint64_t, 128> by_opcode_{};
    // and those slot data tells by a key (Open::slot_data_key), by the key's
    // low bits, so that slot data looks only at the few that may be its
    std::array<std::uint64_t, 64> by_key_{};
    std::uint64_t keyed_ = 0;
    static std::size_t key_bucket(int key) { return static_cast<std::size_t>(key) & 63u; }
    std::size_t next_ = 0;
    // the written rendering's state: slot_tab (the locomotive each row gives)
    // and sw_query
    std::array<std::int16_t, 129> slot_tab_{};
    bool sw_query_ = false;
    bool requests_tracked_ = true;
    // the watched requests: a bit per place, and those whose place was
    // given up after their time had run out, until taken
    bool watching_ = false;
    std::uint64_t unreplied_ = 0;
    std::array<std::uint64_t, kRemembered> glances_{}; // of the watched, to tell a repetition
    std::int64_t unreplied_due_ns_ = INT64_MAX;
    std::vector<Message> overdue_;
    void watch(std::size_t at, const Message &request);
    void unwatch(std::size_t at, std::int64_t now_ns);
};

} // namespace bl::loconet
