// The lines of --decode as they reach the terminal or a file: Latin-1 lines
// collected and written as UTF-8 in large blocks.
#pragma once

#include "reception/line_sink.h"

#include <cstddef>
#include <cstdio>
#include <string_view>
#include <vector>

namespace bl {

// The lines gather in a small block that stays in the cache, and are
// converted a block at a time, where runs of ASCII go whole; the converted
// text goes out in blocks of kBlock.
class LineWriter : public LineSink {
public:
    static constexpr std::size_t kBlock = 1 << 20;

    explicit LineWriter(std::FILE *out);
    ~LineWriter() override;

    void write_line(std::string_view text) override;
    // Writes what is converted; ok() tells whether every write went whole.
    void flush();
    bool ok() const { return ok_; }
    void fail() { ok_ = false; }

private:
    static constexpr std::size_t kGather = 4 * 1024;
    void convert();

    std::FILE *out_;
    std::vector<char> latin1_; // room for one more line past kGather
    std::vector<char> utf8_;   // kBlock, and room for one gathering more
    std::size_t gathered_ = 0, used_ = 0;
    bool ok_ = true;
};

} // namespace bl
