#include "history/state_timeline.h"

namespace bl {

void StateTimeline::add(const loconet::Message &m) {
    // the store is full: its oldest message leaves it, and goes into the
    // state before the first
    if (store_.size() >= store_.limit() && !store_.empty()) {
        before_first_.apply(store_.at(store_.first()));
        while (!copies_.empty() && copies_.front().position <= store_.first())
            copies_.pop_front();
    }
    live_.apply(m);
    const std::uint64_t position = store_.end(); // where the store puts it
    if ((position + 1) % between_copies_ == 0)
        copies_.push_back({position, live_});
}

void StateTimeline::cleared() {
    copies_.clear();
    before_first_ = live_;
}

std::optional<loconet::LayoutState> StateTimeline::at(std::uint64_t position) const {
    if (!store_.holds(position))
        return std::nullopt;
    // the nearest copy at or before the position, else the state before the first
    loconet::LayoutState state = before_first_;
    std::uint64_t from = store_.first();
    for (auto it = copies_.rbegin(); it != copies_.rend(); ++it)
        if (it->position <= position && it->position >= store_.first()) {
            state = it->state;
            from = it->position + 1;
            break;
        }
    for (std::uint64_t p = from; p <= position; ++p)
        state.apply(store_.at(p));
    return state;
}

std::optional<loconet::LayoutState> StateTimeline::before(std::uint64_t position) const {
    if (!store_.holds(position))
        return std::nullopt;
    return position == store_.first() ? std::optional(before_first_) : at(position - 1);
}

} // namespace bl
