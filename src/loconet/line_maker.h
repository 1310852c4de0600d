// The one place a message's line is made, for the monitor area, the trace,
// the terminal, the history, the recording's comment and --json alike: its
// bytes where HEX Ausgabe is ticked, the detailed rendering where
// "Ausführlich" is, otherwise the written one (with "HEX: " and its bytes
// for an opcode it has no rendering for while "ASCII+HEX" is ticked). Made
// from the message value and what the bus's context knew when it came, so
// that the same message gives the same line wherever it is shown: empty
// where the monitor shows none.
#pragma once

#include "loconet/bus_context.h"
#include "loconet/line_text.h"
#include "loconet/message.h"

namespace bl::loconet {

struct LineMode {
    bool hex = false;
    bool detail = false;
    bool ascii_hex = true;
};

// False where the monitor shows no line for the message in this mode.
bool make_line(const Message &m, const LineMode &mode, const RequestSource &requests,
               LineText &line);

// What a text term of the filter reads, in the window and headless alike:
// the plain-German line (detailed or written), never the bytes of HEX
// Ausgabe.
void filter_text(const Message &m, bool detail, const RequestSource &requests, LineText &line);

} // namespace bl::loconet
