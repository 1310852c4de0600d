#include "window/monitor_commands.h"

#include "reception/line_wrap.h"
#include "shared/texts.h"

namespace bl {

QString MonitorCommands::start_stop(const QString &caption) {
    const bool resume = caption == texts::window::kStart;
    display_.monitor_on = resume ? kTrue : kFalse;
    const std::string_view mark =
        resume ? texts::window::kStartLine.view() : texts::window::kStopLine.view();
    // a line of its own even after a complete line; the view is not moved
    area_.append_text(kCrLf);
    area_.append_text(mark);
    area_.append_text(kCrLf);
    if (!trace_vars_.trace_name.isEmpty() && trace_vars_.trace_on)
        trace_.write_line(mark);
    return resume ? texts::window::kStop : texts::window::kStart;
}

void MonitorCommands::clear() { area_.set_text({}); }

void MonitorCommands::hex_output_clicked(int state) {
    if (state == 1)
        display_.hex_on = kTrue;
    else if (state == 0)
        display_.hex_on = kFalse;
}

void MonitorCommands::detail_clicked(int state) {
    display_.detail_on = state == 1 ? kTrue : kFalse;
}

void MonitorCommands::ascii_hex_clicked(int state) {
    if (state == 1)
        display_.ascii_hex_on = kTrue;
    else if (state == 0)
        display_.ascii_hex_on = kFalse;
}

} // namespace bl
