// The line a message is shown as, made again from the message alone (for
// the history and filters): its bytes where HEX Ausgabe is ticked, the
// detailed rendering where "Ausführlich" is, otherwise the written one (with
// "HEX: " and its bytes for an opcode it has no rendering for), as the
// monitor showed it: empty where it showed none.
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

// What a text term of the filter reads, in the window and headless alike:
// the plain-German line (detailed or written), never the bytes of HEX
// Ausgabe.
void filter_text(const loconet::Message &m, bool detail, const loconet::RequestSource &requests,
                 LineText &line);

} // namespace bl
