#include "simulation/command_station.h"

#include "loconet/addresses.h"
#include "loconet/opcodes.h"
#include "simulation/loconet_message.h"

namespace bl::sim {

using namespace loconet;

namespace {
constexpr int kStatusInUse = 0x33; // in use, 128 speed steps
constexpr int kStatusFree = 0x03;
// positions within Slot::data
constexpr int kStat1 = 0, kAdrLow = 1, kSpeed = 2, kDirF = 3, kTrk = 4, kSs2 = 5, kAdrHigh = 6,
              kSnd = 7;
} // namespace

CommandStation::CommandStation() {
    for (auto &slot : slots_)
        slot.data[kStat1] = kStatusFree;
}

int CommandStation::slot_of(int address) const {
    for (int s = 1; s < kSlots; ++s) {
        const auto &d = slots_[static_cast<std::size_t>(s)].data;
        if (d[kStat1] != kStatusFree && loco_address(d[kAdrHigh], d[kAdrLow]) == address)
            return s;
    }
    return -1;
}

int CommandStation::allocate(int address) {
    if (const int s = slot_of(address); s >= 0)
        return s;
    for (int s = 1; s < kSlots; ++s) {
        auto &d = slots_[static_cast<std::size_t>(s)].data;
        if (d[kStat1] == kStatusFree) {
            d = {};
            d[kStat1] = kStatusInUse;
            d[kAdrLow] = loco_low(address);
            d[kAdrHigh] = loco_high(address);
            return s;
        }
    }
    return -1;
}

QByteArray CommandStation::slot_data(int slot) const {
    const auto &d = slots_[static_cast<std::size_t>(slot)].data;
    const int trk = power_on_ ? 0x07 : 0x06;
    return message({kOpcSlRdData, 0x0E, slot, d[kStat1], d[kAdrLow], d[kSpeed], d[kDirF], trk,
                    d[kSs2], d[kAdrHigh], d[kSnd], 0, 0});
}

bool CommandStation::switch_closed(int address) const {
    const auto it = switches_.find(address);
    return it != switches_.end() && it->second;
}

QList<QByteArray> CommandStation::handle(const QByteArray &msg) {
    const int op = byte_at(msg, 0);
    const auto arg = [&msg](int i) { return i < msg.size() ? byte_at(msg, i) : 0; };
    const auto slot_ok = [](int s) { return s >= 0 && s < kSlots; };
    switch (op) {
    case kOpcGpOff: power_on_ = false; break;
    case kOpcGpOn: power_on_ = true; break;
    case kOpcLocoSpd:
        if (slot_ok(arg(1)))
            slots_[static_cast<std::size_t>(arg(1))].data[kSpeed] = arg(2);
        break;
    case kOpcLocoDirf:
        if (slot_ok(arg(1)))
            slots_[static_cast<std::size_t>(arg(1))].data[kDirF] = arg(2);
        break;
    case kOpcLocoSnd:
        if (slot_ok(arg(1)))
            slots_[static_cast<std::size_t>(arg(1))].data[kSnd] = arg(2);
        break;
    case kOpcSwReq: switches_[switch_address(arg(1), arg(2))] = (arg(2) & 0x20) != 0; break;
    case kOpcSwState: {
        const bool closed = switch_closed(switch_address(arg(1), arg(2)));
        return {message({kOpcLongAck, kOpcSwState & 0x7F, closed ? 0x20 : 0x00})};
    }
    case kOpcRqSlData:
        if (slot_ok(arg(1)))
            return {slot_data(arg(1))};
        return {message({kOpcLongAck, kOpcRqSlData & 0x7F, 0x00})};
    case kOpcLocoAdr: {
        const int s = allocate(loco_address(arg(1), arg(2)));
        if (s < 0)
            return {message({kOpcLongAck, kOpcLocoAdr & 0x7F, 0x00})}; // no free slot
        return {slot_data(s)};
    }
    case kOpcWrSlData:
        if (msg.size() >= 14 && slot_ok(arg(2))) {
            auto &d = slots_[static_cast<std::size_t>(arg(2))].data;
            for (int i = 0; i < 10; ++i)
                if (i != kTrk)
                    d[static_cast<std::size_t>(i)] = arg(3 + i);
        }
        return {message({kOpcLongAck, kOpcWrSlData & 0x7F, 0x7F})};
    default: break;
    }
    return {};
}

} // namespace bl::sim
