// The history's store: every message whole, in order, the oldest dropped
// first at the limit, across the chunks it is kept in.
#include "history/history_store.h"
#include "support/messages.h"

#include <gtest/gtest.h>

namespace bl {
namespace {

loconet::Message numbered(testing::MessageBus &bus, int i) {
    // lengths 2, 4, 6 and 14 in turn, the number in the bytes
    switch (i % 4) {
    case 0: return bus.next("83");
    case 1: return bus.next("B2 " + std::to_string(10 + i % 60) + " 50");
    case 2: return bus.next("D0 20 0A 00 39");
    default: return bus.next("E7 0E 05 03 39 00 00 00 00 00 00 00 00");
    }
}

TEST(HistoryStore, KeepsEveryMessageWholeWithWhatItKnew) {
    testing::MessageBus bus;
    HistoryStore store(100);
    std::vector<loconet::Message> sent;
    for (int i = 0; i < 50; ++i) {
        sent.push_back(numbered(bus, i));
        store.add(sent.back());
    }
    sent.push_back(bus.corrupt("A0 05 10"));
    sent.back().connection = 3;
    sent.back().direction = loconet::Direction::Echo;
    store.add(sent.back());
    ASSERT_EQ(store.size(), sent.size());
    for (std::size_t i = 0; i < sent.size(); ++i) {
        const loconet::Message m = store.at(store.first() + i);
        const loconet::Message &e = sent[i];
        EXPECT_TRUE(std::equal(m.view().begin(), m.view().end(), e.view().begin(), e.view().end()));
        EXPECT_EQ(m.seq, e.seq);
        EXPECT_EQ(m.wall_us, e.wall_us);
        EXPECT_EQ(m.steady_ns, e.steady_ns);
        EXPECT_EQ(m.checksum_ok, e.checksum_ok);
        EXPECT_EQ(m.direction, e.direction);
        EXPECT_EQ(m.connection, e.connection);
        EXPECT_EQ(m.known.loco, e.known.loco);
        EXPECT_EQ(m.known.answers, e.known.answers);
        EXPECT_EQ(store.opcode_at(store.first() + i), e.opcode());
    }
    EXPECT_EQ(store.at(store.end() - 1).known.loco, 57) << "slot 5 held loco 57";
}

// Across several chunks: the window of the last `limit` stays exact.
TEST(HistoryStore, DropsTheOldestAtItsLimit) {
    for (const std::size_t limit : {1u, 7u, 4096u, 5000u}) {
        testing::MessageBus bus;
        HistoryStore store(limit);
        const int total = 12'000;
        for (int i = 0; i < total; ++i)
            store.add(numbered(bus, i));
        EXPECT_EQ(store.size(), limit);
        EXPECT_EQ(store.end(), static_cast<std::uint64_t>(total));
        EXPECT_EQ(store.dropped(), total - limit);
        for (std::uint64_t p = store.first(); p < store.end(); p += 997)
            EXPECT_EQ(store.at(p).seq, p + 1) << limit;
        EXPECT_EQ(store.at(store.end() - 1).seq, static_cast<std::uint64_t>(total));
        EXPECT_EQ(store.position_of(total), store.end() - 1);
        EXPECT_FALSE(store.position_of(1).has_value()) << "dropped";
    }
}

TEST(HistoryStore, ClearingEmptiesItAndPositionsGoOn) {
    testing::MessageBus bus;
    HistoryStore store;
    for (int i = 0; i < 10; ++i)
        store.add(numbered(bus, i));
    store.clear();
    EXPECT_TRUE(store.empty());
    EXPECT_EQ(store.first(), 10u);
    EXPECT_FALSE(store.position_of(3).has_value());
    store.add(numbered(bus, 10));
    EXPECT_EQ(store.size(), 1u);
    EXPECT_EQ(store.at(10).seq, 11u);
    EXPECT_EQ(store.position_of(11), 10u);
}

} // namespace
} // namespace bl
