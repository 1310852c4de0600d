#include "reception/decoder.h"

#include "loconet/hex.h"
#include "reception/line_wrap.h"

namespace bl {

void MessageDecoder::decode_ln_mes() {
    cut_area_to_limit();
    if (vars_.hex_on) {
        append_hex_line();
    } else {
        render_message(vars_, text_);
        ZeilenUmbruch(area_, text_.view());
    }
    if (text_.empty())
        return;
    if (lines_)
        lines_->write_line(text_.view());
    if (vars_.trace_on && !vars_.trace_name.isEmpty())
        trace_.write_line(text_.view());
}

void MessageDecoder::cut_area_to_limit() {
    // the cut falls wherever it falls, also inside a line
    if (area_.text().size() > kAreaLimit)
        area_.keep_last(kAreaKeep);
}

// Every byte as two digits and a blank; never wrapped, every opcode shown.
void MessageDecoder::append_hex_line() {
    char *p = text_.buf;
    for (int i = 0; i < vars_.ln_len; ++i) {
        p = loconet::put_hex(p, vars_.ln_buf[static_cast<std::size_t>(i)]);
        *p++ = ' ';
    }
    text_.n = static_cast<std::size_t>(p - text_.buf);
    area_.append_text(text_.view());
    area_.append_text(kCrLf);
    area_.move_insertion_point_to_end();
}

} // namespace bl
