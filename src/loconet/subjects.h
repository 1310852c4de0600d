// What a message is about, as the monitor shows it: the locomotives, slots,
// switches and sensors its detailed line names, taken from the fields the
// detailed rendering names them by (a move names two slots, a reply also
// what its request asked for). The history's address column and the
// filter's fields read them, so that they never disagree with the line.
#pragma once

#include "loconet/bus_context.h"
#include "loconet/message.h"

#include <array>
#include <cstdint>

namespace bl::loconet {

class Subjects {
public:
    enum Kind : std::uint8_t { kLoco, kSlot, kSwitch, kSensor, kKinds };
    static constexpr std::size_t kMost = 6; // of one kind in one message

    void add(Kind kind, int value);
    std::size_t count(Kind kind) const { return count_[kind]; }
    int at(Kind kind, std::size_t i) const { return values_[kind][i]; }
    // The first of a kind, or -1 where the message names none.
    int first(Kind kind) const { return count_[kind] ? values_[kind][0] : -1; }
    template <typename Pred> bool any(Kind kind, Pred pred) const {
        for (std::size_t i = 0; i < count_[kind]; ++i)
            if (pred(values_[kind][i]))
                return true;
        return false;
    }

private:
    std::array<std::array<int, kMost>, kKinds> values_{};
    std::array<std::uint8_t, kKinds> count_{};
};

// A locomotive message that names only its slot gets the slot's locomotive
// as the bus's context knew it (Message::known); a reply names its request's
// subjects too, where requests can find it.
Subjects subjects_of(const Message &m, const RequestSource &requests);

} // namespace bl::loconet
