#include "loconet/echo_watch.h"

#include <algorithm>

namespace bl::loconet {

void EchoWatch::sent(std::vector<int> message, double now) {
    // a line that swallows everything must not make the watch grow
    if (watched_.size() >= kMostWatched) {
        watched_.pop_front();
        ++missing_;
    }
    watched_.push_back({std::move(message), now + kTimeout});
}

bool EchoWatch::heard(std::span<const std::int32_t> message) {
    const auto it = std::find_if(watched_.begin(), watched_.end(), [&](const Watched &w) {
        return std::equal(w.message.begin(), w.message.end(), message.begin(), message.end());
    });
    if (it == watched_.end())
        return false;
    watched_.erase(it);
    return true;
}

std::vector<std::vector<int>> EchoWatch::overdue(double now) {
    std::vector<std::vector<int>> late;
    while (!watched_.empty() && watched_.front().deadline < now) {
        late.push_back(std::move(watched_.front().message));
        watched_.pop_front();
        ++missing_;
    }
    return late;
}

} // namespace bl::loconet
