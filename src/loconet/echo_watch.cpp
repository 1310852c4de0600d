#include "loconet/echo_watch.h"

#include <algorithm>

namespace bl::loconet {

void EchoWatch::sent(std::span<const std::uint8_t> message, double now) {
    // a line that swallows everything must not make the watch grow
    if (watched_.size() >= kMostWatched) {
        watched_.pop_front();
        ++missing_;
    }
    watched_.push_back({{message.begin(), message.end()}, now + kTimeout});
}

bool EchoWatch::heard_watched(std::span<const std::uint8_t> message) {
    const auto it = std::find_if(watched_.begin(), watched_.end(), [&](const Watched &w) {
        return std::equal(w.message.begin(), w.message.end(), message.begin(), message.end());
    });
    if (it == watched_.end())
        return false;
    watched_.erase(it);
    return true;
}

std::vector<std::vector<std::uint8_t>> EchoWatch::overdue(double now) {
    std::vector<std::vector<std::uint8_t>> late;
    while (!watched_.empty() && watched_.front().deadline < now) {
        late.push_back(std::move(watched_.front().message));
        watched_.pop_front();
        ++missing_;
    }
    return late;
}

} // namespace bl::loconet
