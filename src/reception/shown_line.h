// The line a message is shown as, made again from the message alone (for
// the history, capture comments and filters): its bytes where HEX Ausgabe is
// ticked, the detailed rendering where "Ausführlich" is, otherwise the
// written one, and "HEX: " and its bytes where that has none.
#pragma once

#include "loconet/bus_context.h"
#include "loconet/line_text.h"
#include "loconet/message.h"

namespace bl {

struct LineMode {
    bool hex = false;
    bool detail = false;
};

void shown_line(const loconet::Message &m, LineMode mode, const loconet::RequestSource &requests,
                LineText &line);

} // namespace bl
