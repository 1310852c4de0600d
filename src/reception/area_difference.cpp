#include "reception/area_difference.h"

#include <algorithm>

namespace bl {

void AreaDifference::appended(std::string_view tail) {
    if (whole_)
        return;
    appended_ += tail;
    // more than the area holds: the view is shown anew anyway
    if (appended_.size() > kMostToAppend)
        replaced();
}

void AreaDifference::cut(std::string_view gone, std::size_t text_size) {
    if (whole_)
        return;
    // a cut that reaches into text the view has not got yet: shown anew
    if (gone.size() + appended_.size() > text_size) {
        replaced();
        return;
    }
    cut_characters_ +=
        static_cast<std::ptrdiff_t>(gone.size()) - std::count(gone.begin(), gone.end(), '\r');
    cut_lines_ += static_cast<int>(std::count(gone.begin(), gone.end(), '\n'));
}

void AreaDifference::clear() {
    appended_.clear();
    cut_characters_ = 0;
    cut_lines_ = 0;
    whole_ = false;
}

std::string view_text(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text)
        if (c != '\r')
            shown.push_back(c);
    return shown;
}

std::string AreaDifference::view_appended() const { return view_text(appended_); }

int AreaDifference::appended_lines() const {
    return static_cast<int>(std::count(appended_.begin(), appended_.end(), '\n'));
}

} // namespace bl
