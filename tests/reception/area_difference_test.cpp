// What the view of the monitor area must do to catch up with its text:
// cut whole lines from its top and append at its end, or show it anew.
#include "reception/area_difference.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace bl {
namespace {

TEST(AreaDifference, CutsAndAppendsOrShowsAnew) {
    const struct {
        const char *what;
        std::string text_before_cut; // "" = no cut
        std::size_t kept;
        std::string appended_after;
        bool anew;
        std::ptrdiff_t cut_characters;
        int cut_lines;
        std::string view_appended;
    } rows[] = {
        {"lines appended", "", 0, "B\r\nC\r\n", false, 0, 0, "B\nC\n"},
        {"a line cut", "A1\r\nB2\r\n", 4, "C3\r\n", false, 3, 1, "C3\n"},
        {"a cut inside a line", "A1\r\nB2\r\n", 5, "", false, 2, 0, ""},
        {"a CR alone appended", "", 0, "\r", false, 0, 0, ""},
        {"more than the area holds", "", 0, std::string(9000, 'x'), true, 0, 0, ""},
    };
    for (const auto &row : rows) {
        AreaDifference d;
        if (!row.text_before_cut.empty()) {
            const std::string_view text(row.text_before_cut);
            d.cut(text.substr(0, text.size() - row.kept), text.size());
        }
        d.appended(row.appended_after);
        EXPECT_EQ(d.anew(), row.anew) << row.what;
        EXPECT_EQ(d.cut_characters(), row.cut_characters) << row.what;
        EXPECT_EQ(d.cut_lines(), row.cut_lines) << row.what;
        EXPECT_EQ(d.view_appended(), row.view_appended) << row.what;
        EXPECT_EQ(d.appends(), !row.anew && !row.view_appended.empty()) << row.what;
        EXPECT_EQ(d.appended_lines(),
                  std::count(row.view_appended.begin(), row.view_appended.end(), '\n'))
            << row.what;
    }
}

// A cut that reaches into text the view has not got yet cannot be done on
// the view: it is shown anew, and so after a replacement, until it caught up.
TEST(AreaDifference, ACutIntoWhatTheViewLacksShowsItAnew) {
    AreaDifference d;
    d.appended("A\r\nB\r\n"); // the text is now "old\r\nA\r\nB\r\n", 11 characters
    d.cut("old\r\nA", 11);
    EXPECT_TRUE(d.anew());
    d.clear();
    EXPECT_FALSE(d.anew());
    d.replaced();
    d.appended("x");
    EXPECT_TRUE(d.anew());
    EXPECT_EQ(d.view_appended(), "");
}

} // namespace
} // namespace bl
