#pragma once

#include <QByteArray>
#include <QList>
#include <array>
#include <map>

namespace bl::sim {

// A command station with 120 slots, as far as the monitor meets one: it
// answers address and slot requests with slot data, stores slot writes,
// follows speed, direction and function messages, sets switches and tells
// their state, and switches track power.
class CommandStation {
public:
    static constexpr int kSlots = 120;

    CommandStation();

    // The answers to one complete message seen on the bus (checksum valid).
    QList<QByteArray> handle(const QByteArray &msg);

    // Slot data (0xE7) of a slot as the station would send it.
    QByteArray slot_data(int slot) const;
    // The slot that holds an address, or -1.
    int slot_of(int address) const;

private:
    bool switch_closed(int address) const;
    // bytes 3..12 of the slot-data layout: stat1 adrl spd dirf trk ss2 adrh snd id1 id2
    struct Slot {
        std::array<int, 10> data{};
    };
    int allocate(int address);

    std::array<Slot, kSlots> slots_;
    std::map<int, bool> switches_; // address -> closed (green)
    bool power_on_ = true;
};

} // namespace bl::sim
