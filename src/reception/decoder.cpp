#include "reception/decoder.h"

#include "reception/line_wrap.h"
#include "reception/renderings.h"

namespace bl {

void MessageDecoder::decode_ln_mes() {
    cut_area_to_limit();
    if (vars_.hex_on) {
        append_hex_line();
    } else {
        render_message(vars_, text_);
        ZeilenUmbruch(area_, text_.view());
    }
    if (!text_.empty() && vars_.trace_on && !vars_.trace_name.isEmpty())
        trace_.write_record(text_.view());
}

void MessageDecoder::cut_area_to_limit() {
    // the cut falls wherever it falls, also inside a line
    if (area_.text().size() > kAreaLimit)
        area_.keep_last(kAreaKeep);
}

// Every byte as two digits and a blank; never wrapped, every opcode shown.
void MessageDecoder::append_hex_line() {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    text_.n = 0;
    for (int i = 0; i < vars_.ln_len; ++i) {
        const int b = vars_.ln_buf[static_cast<std::size_t>(i)];
        text_.buf[text_.n++] = kDigits[(b >> 4) & 0xF];
        text_.buf[text_.n++] = kDigits[b & 0xF];
        text_.buf[text_.n++] = ' ';
    }
    area_.append_text(text_.view());
    area_.append_text(kCrLf);
    area_.move_insertion_point_to_end();
}

} // namespace bl
