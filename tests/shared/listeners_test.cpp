#include "shared/listeners.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using Told = bl::Listeners<int>;

TEST(Listeners, EachIsToldUntilItsHandleEnds) {
    Told told;
    std::vector<std::string> heard;
    auto a = told.add([&](int v) { heard.push_back("a" + std::to_string(v)); });
    std::optional<Told::Handle> b =
        told.add([&](int v) { heard.push_back("b" + std::to_string(v)); });
    told.tell(1);
    b.reset();
    told.tell(2);
    EXPECT_EQ(heard, (std::vector<std::string>{"a1", "b1", "a2"}));
    EXPECT_FALSE(told.empty());
}

// A listener that ends its own listening must not lose what it captured while
// it still runs (the sanitizer build sees a use after free otherwise).
TEST(Listeners, OneMayEndItsOwnListeningWhileTold) {
    Told told;
    std::optional<Told::Handle> self;
    auto text = std::make_shared<std::string>("noch da");
    std::vector<std::string> heard;
    self = told.add([&, text](int) {
        self.reset();
        heard.push_back(*text); // the capture is still alive
    });
    text.reset();
    told.tell(1);
    told.tell(2);
    EXPECT_EQ(heard, std::vector<std::string>{"noch da"});
    EXPECT_TRUE(told.empty());
}

TEST(Listeners, OneEndedByAnEarlierOneIsNotToldAnyMore) {
    Told told;
    std::optional<Told::Handle> second;
    int first_heard = 0, second_heard = 0;
    auto first = told.add([&](int) {
        ++first_heard;
        second.reset();
    });
    second = told.add([&](int) { ++second_heard; });
    told.tell(1);
    told.tell(2);
    EXPECT_EQ(first_heard, 2);
    EXPECT_EQ(second_heard, 0);
}

// Many added while telling (enough to grow the storage) start with the next
// message, and the running listener is not moved under itself.
TEST(Listeners, OnesAddedWhileTellingHearTheNextMessage) {
    Told told;
    std::vector<Told::Handle> added;
    std::vector<int> heard;
    auto adder = told.add([&](int v) {
        if (v == 1)
            for (int i = 0; i < 100; ++i)
                added.push_back(told.add([&heard, i](int w) { heard.push_back(i * 10 + w); }));
        heard.push_back(v);
    });
    told.tell(1);
    EXPECT_EQ(heard, std::vector<int>{1});
    told.tell(2);
    ASSERT_EQ(heard.size(), 102u); // the adder, then the hundred in their order
    EXPECT_EQ(heard[1], 2);
    EXPECT_EQ(heard[2], 2);
    EXPECT_EQ(heard[101], 992);
}

TEST(Listeners, AHandleMayOutliveItsListeners) {
    Told::Handle h;
    {
        Told told;
        h = told.add([](int) {});
    }
    h = Told::Handle(); // ending it after the list is gone is harmless
    SUCCEED();
}

} // namespace
