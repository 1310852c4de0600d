// The layout's state at any kept message: the same as the state built
// message by message up to it, also once the history has dropped its oldest
// and after it was emptied.
#include "app/reception_path.h"
#include "app/state_report.h"
#include "history/state_timeline.h"
#include "support/traffic.h"

#include <gtest/gtest.h>
#include <map>

namespace bl {
namespace {

TEST(StateTimeline, AnyMomentIsTheStateBuiltMessageByMessage) {
    ModVariablen vars;
    vars.monitor_on = kTrue;
    DiscardingMonitorArea area;
    NoLines trace;
    std::int64_t us = 0;
    ReceptionPath path{vars, {area, trace}, [&us] {
                           us += 1000;
                           return MessageStamp{1'700'000'000'000'000 + us, us * 1000};
                       }};
    HistoryStore store(10'000);
    StateTimeline timeline(store);
    // the state after every 997th message, as JSON
    constexpr std::uint64_t kEvery = 997;
    std::map<std::uint64_t, std::string> built;
    loconet::LayoutState reference;
    const auto feeding = path.receiver.listen([&](const loconet::Message &m) {
        const std::uint64_t position = store.end();
        timeline.add(m);
        store.add(m);
        reference.apply(m);
        if (position % kEvery == 0)
            built[position] = state_json(reference);
    });
    path.receiver.framing_steps(testing::mixed_traffic(30'000, 11));
    ASSERT_GT(store.dropped(), 0u) << "the history has dropped its oldest";
    EXPECT_GT(timeline.copies(), 1u);
    for (const auto &[p, json] : built) {
        if (p < store.first())
            continue;
        const auto state = timeline.at(p);
        ASSERT_TRUE(state.has_value()) << p;
        EXPECT_EQ(state_json(*state), json) << p;
    }
    EXPECT_EQ(state_json(*timeline.at(store.end() - 1)), state_json(timeline.live()));
    EXPECT_FALSE(timeline.at(store.first() - 1).has_value()) << "dropped: no moment kept";

    store.clear();
    timeline.cleared();
    path.receiver.framing_steps(testing::mixed_traffic(100, 12));
    EXPECT_EQ(state_json(*timeline.at(store.end() - 1)), state_json(reference));
}

} // namespace
} // namespace bl
