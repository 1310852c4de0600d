#include "simulation/command_station.h"
#include "simulation/loconet_bus.h"
#include "simulation/loconet_message.h"
#include "simulation/simulated_interface.h"

#include "support/fake_clock.h"

#include <gtest/gtest.h>

namespace bl::sim {
namespace {

QByteArray hex(const char *h) { return QByteArray::fromHex(h); }

TEST(CommandStation, AnswersLikeAStation) {
    CommandStation cs;
    // an address gets a slot, the same slot the second time
    const QList<QByteArray> first = cs.handle(message({0xBF, 0x09, 0x52}));
    ASSERT_EQ(first.size(), 1);
    EXPECT_EQ(first[0].toHex(),
              message({0xE7, 0x0E, 1, 0x33, 0x52, 0, 0, 0x07, 0, 0x09, 0, 0, 0}).toHex());
    EXPECT_EQ(cs.handle(message({0xBF, 0x09, 0x52}))[0].at(2), 1);
    EXPECT_EQ(cs.handle(message({0xBF, 0x00, 0x03}))[0].at(2), 2);
    // speed, direction and functions go into the slot
    EXPECT_TRUE(cs.handle(message({0xA0, 1, 0x20})).isEmpty());
    cs.handle(message({0xA1, 1, 0x31}));
    cs.handle(message({0xA2, 1, 0x05}));
    EXPECT_EQ(cs.handle(message({0xBB, 1, 0}))[0].toHex(),
              message({0xE7, 0x0E, 1, 0x33, 0x52, 0x20, 0x31, 0x07, 0, 0x09, 0x05, 0, 0}).toHex());
    // a slot write is stored and acknowledged
    QByteArray write =
        message({0xEF, 0x0E, 1, 0x33, 0x52, 0x20, 0x31, 0x07, 0x22, 0x09, 0x05, 0, 0});
    EXPECT_EQ(cs.handle(write)[0], hex("b46f7f5b"));
    EXPECT_EQ(byte_at(cs.slot_data(1), 8), 0x22);
    // switches and their state
    EXPECT_EQ(cs.handle(message({0xBC, 4, 0}))[0].toHex(), message({0xB4, 0x3C, 0x00}).toHex());
    cs.handle(message({0xB0, 4, 0x30}));
    EXPECT_EQ(cs.handle(message({0xBC, 4, 0}))[0].toHex(), message({0xB4, 0x3C, 0x20}).toHex());
    // track power shows in the slot data
    cs.handle(message({0x82}));
    EXPECT_EQ(byte_at(cs.slot_data(1), 7), 0x06);
}

LineSettings line(int baud, double stop_bits = 1) { return {baud, 'n', 8, stop_bits}; }

TEST(SimulatedInterface, PassesLocoNetOnlyWhenSetUpAsTheRealOne) {
    LocoNetBus bus(0);
    testing::FakeClock clock;
    clock.step_per_read = 0;
    SimulatedInterface com(InterfaceType::ComPort, bus, clock);
    com.open({}, line(19200));
    bus.put(message({0x83}));
    EXPECT_TRUE(com.read().isEmpty()) << "not yet at 16457 bit/s";
    com.set_divisor_for_16457();
    bus.put(message({0x83}));
    EXPECT_EQ(com.read().size(), 2);

    SimulatedInterface serial(InterfaceType::Serial, bus, clock);
    serial.open({}, line(19200, 2));
    serial.write("xB19200\r");
    EXPECT_TRUE(serial.read().isEmpty()) << "commands are read at 2400 bit/s first";
    serial.set_line(line(2400, 2));
    serial.write("xB19200\r");
    EXPECT_TRUE(serial.read().contains(']'));
    EXPECT_FALSE(serial.cts()) << "busy right after a byte";
    clock.now += 0.001;
    EXPECT_TRUE(serial.cts()) << "ready half a millisecond later";
    serial.set_line(line(19200, 2));
    serial.write("x&LN$3C96\r");
    EXPECT_TRUE(serial.read().contains(']'));
    EXPECT_TRUE(serial.passes_loconet());
    serial.write(message({0xB0, 0, 0x10}));
    EXPECT_EQ(serial.read().toHex(), message({0xB0, 0, 0x10}).toHex()) << "the echo";
    serial.set_break(true);
    EXPECT_FALSE(serial.passes_loconet()) << "a break resets the interface";
}

} // namespace
} // namespace bl::sim
