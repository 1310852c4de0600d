// How LocoNet messages carry numbers: switch addresses and sensor numbers
// spread over two data bytes, 14-bit locomotive addresses as two 7-bit
// halves. The decoders read them; the simulator writes them.
#pragma once

namespace bl::loconet {

// Switch request (0xB0) and switch-state query (0xBC): addresses 1..2048.
constexpr int switch_address(int b1, int b2) { return (b2 & 0x0F) * 128 + b1 + 1; }

// Sensor report (0xB2): sensors 1..4096; the 0x20 bit of b2 is the lowest.
constexpr int sensor_number(int b1, int b2) {
    return 2 * b1 + 256 * (b2 & 0x0F) + (b2 & 0x20) / 32 + 1;
}

// Locomotive address from its high and low 7 bits.
constexpr int loco_address(int high, int low) { return 128 * high + low; }

// Transponder reports mark a short address by a high part of 0x7D.
constexpr int transponder_loco(int high, int low) {
    return high == 0x7D ? low : loco_address(high, low);
}

struct TwoBytes {
    int b1;
    int b2;
};

constexpr TwoBytes switch_bytes(int address) {
    const int n = address - 1;
    return {n & 0x7F, (n >> 7) & 0x0F};
}

// b2 without the state bits (occupied 0x10, and 0x40 set by real detectors).
constexpr TwoBytes sensor_bytes(int sensor) {
    const int n = sensor - 1;
    return {(n >> 1) & 0x7F, ((n >> 8) & 0x0F) | ((n & 1) ? 0x20 : 0)};
}

// The train category this program keeps in slot status 2 ("Zugkat."): the
// status byte / 8 rounded to the nearest integer (a half to the even one),
// its even part, and 1 where bit 0x02 is set.
constexpr int train_category_of(int status2) {
    int q = status2 >> 3;
    const int r = status2 & 7;
    if (r > 4 || (r == 4 && (q & 1)))
        ++q;
    return (q & 14) + ((status2 & 0x02) == 0x02 ? 1 : 0);
}

constexpr int loco_high(int address) { return (address >> 7) & 0x7F; }
constexpr int loco_low(int address) { return address & 0x7F; }

} // namespace bl::loconet
