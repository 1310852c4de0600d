#include "reception/monitor_area.h"

namespace bl {

namespace {
constexpr std::size_t kCompactAfter = 1 << 16;
}

void TextMonitorArea::keep_last(std::size_t n) {
    start_ = buffer_.size() - n;
    if (start_ >= kCompactAfter) {
        buffer_.erase(0, start_);
        start_ = 0;
    }
}

} // namespace bl
