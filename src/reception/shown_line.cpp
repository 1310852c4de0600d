#include "reception/shown_line.h"

#include "loconet/detail.h"
#include "loconet/hex.h"
#include "reception/renderings.h"
#include "shared/texts.h"

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
    if (line.empty()) {
        line.append(std::string_view(texts::reception::kHexPrefix));
        const char *end = loconet::put_hex_list(digits, m.view(), true);
        line.append(std::string_view(digits, static_cast<std::size_t>(end - digits)));
    }
}

} // namespace bl
