#include "loconet/line_maker.h"

#include "loconet/detail.h"
#include "loconet/hex.h"
#include "loconet/written.h"
#include "loconet/written_texts.h"

namespace bl::loconet {

bool make_line(const Message &m, const LineMode &mode, const RequestSource &requests,
               LineText &line) {
    line.clear();
    if (mode.hex) {
        // every opcode shown, also the busy one
        append_hex_list(line, m.view(), true);
        return true;
    }
    if (mode.detail) {
        // a message it does not know is listed only while "ASCII+HEX" is ticked
        if (!render_detailed(m, requests, line) && !mode.ascii_hex)
            line.clear();
        return !line.empty();
    }
    render_written(m, mode.ascii_hex, line);
    return !line.empty();
}

void filter_text(const Message &m, bool detail, const RequestSource &requests, LineText &line) {
    make_line(m, LineMode{false, detail, true}, requests, line);
}

} // namespace bl::loconet
