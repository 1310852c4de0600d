#include "cli/line_writer.h"

#include "loconet/latin1.h"
#include "loconet/line_text.h"

#include <cstring>

namespace bl {

LineWriter::LineWriter(std::FILE *out)
    : out_(out), latin1_(kGather + 2 * LineText::kCapacity), utf8_(kBlock + 2 * latin1_.size()) {}

LineWriter::~LineWriter() { flush(); }

void LineWriter::write_line(std::string_view text) {
    if (latin1_.size() - gathered_ < text.size() + 1) {
        convert();
        if (latin1_.size() < text.size() + 1) { // longer than any line made here
            latin1_.resize(text.size() + 1);
            utf8_.resize(kBlock + 2 * latin1_.size());
        }
    }
    char *p = latin1_.data() + gathered_;
    std::memcpy(p, text.data(), text.size());
    p[text.size()] = '\n';
    gathered_ += text.size() + 1;
    if (gathered_ >= kGather)
        convert();
}

void LineWriter::flush() {
    convert();
    if (used_ > 0)
        ok_ = std::fwrite(utf8_.data(), 1, used_, out_) == used_ && ok_;
    used_ = 0;
}

void LineWriter::convert() {
    if (gathered_ == 0)
        return;
    const char *end =
        put_latin1_as_utf8(utf8_.data() + used_, std::string_view(latin1_.data(), gathered_));
    used_ = static_cast<std::size_t>(end - utf8_.data());
    gathered_ = 0;
    if (used_ >= kBlock)
        flush();
}

} // namespace bl
