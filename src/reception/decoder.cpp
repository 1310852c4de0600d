#include "reception/decoder.h"

#include "loconet/detail.h"
#include "loconet/hex.h"
#include "loconet/message.h"
#include "reception/line_wrap.h"
#include "reception/shown_line.h"
#include "shared/texts.h"

#include <algorithm>

namespace bl {

std::string_view MessageDecoder::decode(const loconet::Message &m) {
    bool shown = true;
    if (filter_)
        shown = decode_filtered(m);
    else if (display_.detail_on && !display_.hex_on)
        shown = decode_detailed(m);
    else
        decode_ln_mes();
    return shown ? text_.view() : std::string_view();
}

// The detailed line takes the place of the written one, in the area, the
// trace and on the terminal alike; a message it does not know is listed
// only while "ASCII+HEX" is ticked, as the written rendering does.
bool MessageDecoder::decode_detailed(const loconet::Message &m) {
    cut_area_to_limit();
    if (!loconet::render_detailed(m, requests_, text_) && !display_.ascii_hex_on)
        text_.clear();
    if (area_.kept())
        ZeilenUmbruch(area_, text_.view());
    show(text_);
    if (mark_errors_)
        mark_if_corrupt();
    return true;
}

namespace {
// What a text term of the filter reads: the message's plain-German line as
// the history shows it, whatever the area shows (its bytes, with HEX
// Ausgabe); made only when a term asks. The line made for the area serves
// where it is that line.
class FilterText : public filter::LineSource {
public:
    FilterText(const loconet::Message &m, const LineText *same, bool detail,
               const loconet::RequestSource &requests)
        : m_(m), same_(same), detail_(detail), requests_(requests) {}
    std::string_view line() override {
        if (same_)
            return same_->view();
        if (!made_)
            filter_text(m_, detail_, requests_, text_);
        made_ = true;
        return text_.view();
    }

private:
    const loconet::Message &m_;
    const LineText *same_;
    bool detail_;
    const loconet::RequestSource &requests_;
    LineText text_;
    bool made_ = false;
};
} // namespace

// The line is made first (the renderer keeps its state whether or not the
// message is shown), then the filter decides on the message.
bool MessageDecoder::decode_filtered(const loconet::Message &m) {
    bool same = false;
    if (display_.hex_on) {
        text_.n = static_cast<std::size_t>(
            loconet::put_hex_list(text_.buf, current_message(), true) - text_.buf);
    } else {
        if (display_.detail_on)
            loconet::render_detailed(m, requests_, text_);
        else
            render_message(vars_, true, text_);
        same = !text_.empty();
        if (text_.empty()) { // shown as the written renderer lists its unknown ones
            const std::string_view lead = texts::reception::kHexPrefix;
            char *p = std::copy(lead.begin(), lead.end(), text_.buf);
            text_.n = static_cast<std::size_t>(loconet::put_hex_list(p, current_message(), true) -
                                               text_.buf);
        }
    }
    FilterText text(m, same ? &text_ : nullptr, display_.detail_on != 0, requests_);
    if (!filter_->matches(m, text))
        return false;
    cut_area_to_limit();
    if (area_.kept()) {
        if (display_.hex_on) {
            area_.append_text(text_.view());
            area_.append_text(kCrLf);
            area_.move_insertion_point_to_end();
        } else {
            ZeilenUmbruch(area_, text_.view());
        }
    }
    show(text_);
    if (mark_errors_)
        mark_if_corrupt();
    return true;
}

void MessageDecoder::decode_ln_mes() {
    cut_area_to_limit();
    if (display_.hex_on) {
        append_hex_line();
    } else {
        render_message(vars_, display_.ascii_hex_on != 0, text_);
        if (area_.kept())
            ZeilenUmbruch(area_, text_.view());
    }
    show(text_);
    if (mark_errors_)
        mark_if_corrupt();
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

void MessageDecoder::mark_if_corrupt() {
    const auto first = vars_.ln_buf.begin();
    if (loconet::checksum_ok(first, first + vars_.ln_len))
        return;
    LineText mark;
    const std::string_view lead = texts::reception::kChecksumWrong;
    char *p = std::copy(lead.begin(), lead.end(), mark.buf);
    p = loconet::put_hex_list(p, current_message(), false);
    mark.n = static_cast<std::size_t>(p - mark.buf);
    ZeilenUmbruch(area_, mark.view());
    show(mark);
}

std::span<const std::int32_t> MessageDecoder::current_message() const {
    return {vars_.ln_buf.data(), static_cast<std::size_t>(vars_.ln_len)};
}

void MessageDecoder::cut_area_to_limit() {
    // the cut falls wherever it falls, also inside a line
    if (area_.text().size() > kAreaLimit)
        area_.keep_last(kAreaKeep);
}

// Every byte as two digits and a blank; never wrapped, every opcode shown.
void MessageDecoder::append_hex_line() {
    text_.n = static_cast<std::size_t>(loconet::put_hex_list(text_.buf, current_message(), true) -
                                       text_.buf);
    area_.append_text(text_.view());
    area_.append_text(kCrLf);
    area_.move_insertion_point_to_end();
}

} // namespace bl
