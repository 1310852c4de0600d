// What the bus has told so far that later messages need for their meaning:
// which locomotive a slot holds and in which speed-step mode, and the last
// request of each kind, so that a reply can name the request it answers.
// Fed by every message in order; each message is annotated (Message::known)
// before anyone shows it, so that it can be shown later as it was meant.
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
    // Fills in m.known and learns from m.
    void observe(Message &m);
    const Message *request(std::uint64_t seq) const override;

    static constexpr int kSlots = 128;
    struct Slot {
        std::int32_t loco = -1;
        std::uint8_t status = 0xFF;
    };
    Slot slot(int n) const {
        return n >= 0 && n < kSlots ? slots_[static_cast<std::size_t>(n)] : Slot{};
    }

    // The kinds of request a later message answers.
    enum Kind : std::uint8_t {
        kLocoRequest,
        kExpandedLocoRequest,
        kSwitchAck,
        kSwitchState,
        kSlotRequest,
        kMove,
        kLink,
        kUnlink,
        kSwitch,
        kOptionSwitch,
        kTable,
        kImmediate,
        kSlotWrite,
        kProgrammer,
        kArticleRead,
        kSystemVariable2,
        kSystemVariable1,
        kTransponderFind,
        kReceiverQuery,
        kRadio,
        kKinds
    };

private:
    void remember(Kind kind, const Message &m) { requests_[kind] = m; }
    const Message &last(Kind kind) const { return requests_[kind]; }
    std::uint64_t answered(const Message &m) const;
    std::uint64_t lack_answers(const Message &m) const;
    void learn(const Message &m);

    std::array<Slot, kSlots> slots_{};
    std::array<Message, kKinds> requests_{};
    bool switch_query_pending_ = false;
};

} // namespace bl::loconet
