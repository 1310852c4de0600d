#include "reception/decoder.h"

#include "filter/message_source.h"

#include "loconet/hex.h"
#include "loconet/message.h"
#include "loconet/written_texts.h"
#include "reception/line_wrap.h"
#include "shared/texts.h"

#include <algorithm>

namespace bl {

std::string_view MessageDecoder::decode(const loconet::Message &m) {
    const bool shown = filter_ ? decode_filtered(m) : decode_ln_mes(m);
    return shown ? text_.view() : std::string_view();
}

// The area is cut before every message, also one that shows nothing; the
// bytes of HEX Ausgabe are never wrapped.
bool MessageDecoder::decode_ln_mes(const loconet::Message &m) {
    cut_area_to_limit();
    const bool shown = loconet::make_line(m, mode(), requests_, text_);
    append_to_area(!display_.hex_on);
    show(text_);
    if (mark_errors_)
        mark_if_corrupt(m);
    return shown;
}

// The line is made first, then the filter decides on the message; a message
// without a line is shown as its bytes, so that each one taken has exactly
// one line.
bool MessageDecoder::decode_filtered(const loconet::Message &m) {
    bool same = false;
    if (display_.hex_on) {
        loconet::make_line(m, mode(), requests_, text_);
    } else {
        same = loconet::make_line(m, {false, display_.detail_on != 0, true}, requests_, text_);
        if (!same) { // shown as the written renderer lists its unknown ones
            text_.append(std::string_view(texts::written::kHexPrefix));
            loconet::append_hex_list(text_, m.view(), true);
        }
    }
    // what a text term reads: the plain-German line as the history shows it,
    // whatever the area shows (its bytes, with HEX Ausgabe); the line made
    // for the area serves where it is that line
    filter::MessageSource text(m, requests_, display_.detail_on != 0, findings_,
                               same ? &text_ : nullptr);
    if (!filter_->matches(m, text))
        return false;
    cut_area_to_limit();
    append_to_area(!display_.hex_on);
    show(text_);
    if (mark_errors_)
        mark_if_corrupt(m);
    return true;
}

void MessageDecoder::append_to_area(bool wrapped) {
    if (!area_.kept())
        return;
    if (wrapped) {
        ZeilenUmbruch(area_, text_.view());
        return;
    }
    area_.append_text(text_.view());
    area_.append_text(kCrLf);
    area_.move_insertion_point_to_end();
}

// The line goes to the terminal and, while a trace is recorded, the trace.
void MessageDecoder::show(const LineText &line) {
    if (line.empty())
        return;
    if (lines_)
        lines_->write_line(line.view());
    if (trace_vars_.trace_on && !trace_vars_.trace_name.isEmpty())
        trace_.write_line(line.view());
}

void MessageDecoder::mark_if_corrupt(const loconet::Message &m) {
    if (m.checksum_ok)
        return;
    LineText mark;
    mark.append(std::string_view(texts::reception::kChecksumWrong));
    loconet::append_hex_list(mark, m.view(), false);
    ZeilenUmbruch(area_, mark.view());
    show(mark);
}

void MessageDecoder::cut_area_to_limit() {
    // the cut falls wherever it falls, also inside a line
    if (area_.text().size() > kAreaLimit)
        area_.keep_last(kAreaKeep);
}

} // namespace bl
