// What a message is about, as the monitor shows it: the locomotive, the
// slot, the switch and the sensor it names. The history's address column
// and the filter's fields read them.
#pragma once

#include "loconet/message.h"

namespace bl::loconet {

struct Subjects {
    int loco = -1; // -1: the message names none
    int slot = -1;
    int turnout = -1;
    int sensor = -1;
};

// A locomotive message that names only its slot gets the slot's locomotive
// as the bus's context knew it (Message::known).
Subjects subjects_of(const Message &m);

} // namespace bl::loconet
