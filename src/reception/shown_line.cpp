#include "reception/shown_line.h"

#include "loconet/detail.h"
#include "loconet/hex.h"
#include "reception/renderings.h"

namespace bl {

void shown_line(const loconet::Message &m, LineMode mode, const loconet::RequestSource &requests,
                LineText &line) {
    line.clear();
    char digits[3 * loconet::kLongestMessage];
    if (mode.hex) {
        const char *end = loconet::put_hex_list(digits, m.view(), true);
        line.append(std::string_view(digits, static_cast<std::size_t>(end - digits)));
        return;
    }
    if (mode.detail) {
        loconet::render_detailed(m, requests, line);
        return;
    }
    render_written(m, true, line);
}

void filter_text(const loconet::Message &m, bool detail, const loconet::RequestSource &requests,
                 LineText &line) {
    shown_line(m, LineMode{false, detail}, requests, line);
}

} // namespace bl
