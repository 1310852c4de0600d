// The written rendering: the plain-German line the monitor has always shown
// for a message (or none), byte for byte, made from the message value and
// what the bus's context knew when it came (Message::known: the locomotive
// its slot table gave the slot, whether a switch-state query waited), so
// that it is the same line live, in the history and in a recording.
#pragma once

#include "loconet/line_text.h"
#include "loconet/message.h"

namespace bl::loconet {

// An opcode without a rendering gives "HEX: " and its bytes where
// ascii_hex is set, else nothing.
void render_written(const Message &m, bool ascii_hex, LineText &text);

} // namespace bl::loconet
