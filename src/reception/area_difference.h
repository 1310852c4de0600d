// What changed in the monitor area's text since its view last showed it:
// whole lines cut from the top and text appended at the end, so that the
// view does only that; or, where that cannot be said cheaply (the text
// replaced, a cut into text the view has not got yet, more new text than
// the area holds), that the view must be shown anew. The view shows CR LF
// as one line break, so its counts leave the CRs out.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace bl {

// The area's text as its view shows it: without CRs.
std::string view_text(std::string_view text);

class AreaDifference {
public:
    static constexpr std::size_t kMostToAppend = 8192;

    // tail was appended to the text.
    void appended(std::string_view tail);
    // gone was cut from the top of a text of text_size characters.
    void cut(std::string_view gone, std::size_t text_size);
    // The text was replaced as a whole.
    void replaced() {
        whole_ = true;
        appended_.clear();
    }
    // The view has caught up.
    void clear();

    bool anew() const { return whole_; }
    // What the view appends, its line breaks as it shows them.
    std::string view_appended() const;
    // The line breaks appended.
    int appended_lines() const;
    // Whether the view gets anything appended (a CR alone it does not show).
    bool appends() const { return appended_.find_first_not_of('\r') != std::string::npos; }
    // Characters and whole lines the view loses at its top.
    std::ptrdiff_t cut_characters() const { return cut_characters_; }
    int cut_lines() const { return cut_lines_; }

private:
    std::string appended_;
    std::ptrdiff_t cut_characters_ = 0;
    int cut_lines_ = 0;
    bool whole_ = false;
};

} // namespace bl
