// The layout's state as it was after any kept message: the live state, a
// copy every few thousand messages, and the state just before the oldest
// message kept; a moment between two copies is the earlier copy with the
// messages after it applied again. Fed with every message the history keeps,
// before the history keeps it.
#pragma once

#include "history/history_store.h"
#include "loconet/layout_state.h"

#include <algorithm>
#include <deque>
#include <optional>

namespace bl {

class StateTimeline {
public:
    // A copy every few thousand messages, and never more than kMostCopies
    // over a full store: the state of a large layout is a few megabytes, and
    // applying the messages after a copy costs far less than keeping it.
    static constexpr std::uint64_t kFewestBetweenCopies = 4096;
    static constexpr std::uint64_t kMostCopies = 32;

    explicit StateTimeline(const HistoryStore &store)
        : store_(store), between_copies_(std::max<std::uint64_t>(kFewestBetweenCopies,
                                                                 store.limit() / kMostCopies)) {}
    std::uint64_t between_copies() const { return between_copies_; }

    // A message about to be added to the store (the oldest one it is about
    // to drop is still there).
    void add(const loconet::Message &m);
    // The history was emptied: what follows starts from the state now.
    void cleared();

    const loconet::LayoutState &live() const { return live_; }
    // The state after the message at this store position, if it is kept.
    std::optional<loconet::LayoutState> at(std::uint64_t position) const;
    // The state just before that message (what it changed is the difference).
    std::optional<loconet::LayoutState> before(std::uint64_t position) const;
    std::size_t copies() const { return copies_.size(); }

private:
    struct Copy {
        std::uint64_t position; // the state after this position
        loconet::LayoutState state;
    };
    const HistoryStore &store_;
    std::uint64_t between_copies_;
    loconet::LayoutState live_;
    loconet::LayoutState before_first_; // the state before store_.first()
    std::deque<Copy> copies_;
};

} // namespace bl
