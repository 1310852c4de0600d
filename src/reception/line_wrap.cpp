#include "reception/line_wrap.h"

namespace bl {

void ZeilenUmbruch(MonitorArea &area, std::string_view text) {
    if (text.empty())
        return;
    // successive appends are one replacement by old text + all of them
    if (text.size() <= kWrapColumn) {
        area.append_text(text);
    } else {
        area.append_text(text.substr(0, kWrapColumn));
        area.append_text(kCrLf);
        area.append_text(text.substr(kWrapColumn));
    }
    area.append_text(kCrLf);
    area.move_insertion_point_to_end();
}

} // namespace bl
