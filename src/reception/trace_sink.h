#pragma once

#include <string_view>

namespace bl {

// Receives each record of the trace: the text of one shown line (Latin-1,
// unwrapped). The trace file puts the time stamp and " - " in front.
class TraceSink {
public:
    virtual ~TraceSink() = default;
    virtual void write_record(std::string_view text) = 0;
};

// For a decoder whose trace is never recorded.
class NoTraceSink : public TraceSink {
public:
    void write_record(std::string_view) override {}
};

} // namespace bl
