#pragma once

#include <string_view>

namespace bl {

// Receives each shown line: its text (Latin-1, unwrapped). The trace file
// puts the time stamp and " - " in front; the terminal writes it as UTF-8.
class LineSink {
public:
    virtual ~LineSink() = default;
    virtual void write_line(std::string_view text) = 0;
};

// For lines that go nowhere.
class NoLines : public LineSink {
public:
    void write_line(std::string_view) override {}
};

} // namespace bl
