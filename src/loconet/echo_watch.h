// LocoNet interfaces hand every message on the bus back to its sender,
// including the sender's own: a message sent that does not come back within
// the time-out did not reach the bus. Times are seconds of a steady clock.
#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <vector>

namespace bl::loconet {

class EchoWatch {
public:
    static constexpr double kTimeout = 1.0;
    static constexpr std::size_t kMostWatched = 256;

    // A complete message (check byte included) was put on the line.
    void sent(std::span<const std::uint8_t> message, double now);
    // A message heard on the bus; true when it is the echo of one sent.
    bool heard(std::span<const std::uint8_t> message) {
        return !watched_.empty() && heard_watched(message);
    }
    // The messages whose echo is overdue, each given once.
    std::vector<std::vector<std::uint8_t>> overdue(double now);
    std::uint64_t missing() const { return missing_; }

private:
    bool heard_watched(std::span<const std::uint8_t> message);
    struct Watched {
        std::vector<std::uint8_t> message;
        double deadline;
    };
    std::deque<Watched> watched_; // oldest first
    std::uint64_t missing_ = 0;
};

} // namespace bl::loconet
