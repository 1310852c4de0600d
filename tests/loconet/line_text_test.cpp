// The line the renderings write into: every length copies whole, and an
// append that does not fit ends where the room does, never past it, with
// "..." to say that the line was cut.
#include "loconet/line_text.h"

#include <gtest/gtest.h>
#include <string>

namespace bl {
namespace {

TEST(LineText, AppendsEveryLengthWholeAndStopsAtItsCapacity) {
    const std::string source = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (std::size_t length = 0; length <= source.size(); ++length) {
        LineText text;
        text.append('>');
        text.append(std::string_view(source).substr(0, length));
        EXPECT_EQ(text.view(), ">" + source.substr(0, length)) << length;
    }
    for (std::size_t room = 3; room <= 20; ++room) {
        LineText text;
        text.n = LineText::kCapacity - room;
        text.buf[LineText::kCapacity - room - 1] = '|';
        text.append(source);
        EXPECT_EQ(text.n, LineText::kCapacity) << room;
        // what fit, its last three characters given up to say it was cut
        const std::string kept = "|" + source.substr(0, room - 3) + "...";
        EXPECT_EQ(text.view().substr(LineText::kCapacity - room - 1), kept) << room;
    }
}

} // namespace
} // namespace bl
