#pragma once

#include <cstdint>
#include <span>

namespace bl {

// Told what the framing step makes of the bytes: every complete message
// (whether its checksum is right), and the bytes it gives up.
class FrameObserver {
public:
    virtual ~FrameObserver() = default;
    virtual void message(std::span<const std::int32_t> msg, bool checksum_ok) = 0;
    virtual void discarded(std::span<const std::int32_t> bytes) = 0;
};

} // namespace bl
