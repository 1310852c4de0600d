// The detailed rendering ("Ausführlich"): one German line for every LocoNet
// message, with every field a user needs, beside the written rendering.
// Reads only the message's own bytes (never past them) and what the bus's
// context knew when it came (Message::known); a reply names its request,
// found by sequence number.
#pragma once

#include "loconet/bus_context.h"
#include "loconet/fields.h"
#include "loconet/line_text.h"
#include "loconet/message.h"

namespace bl::loconet {

// Writes the line for m; with fields, also lists those of its fields the
// mask asks for. False where m is no message the renderer knows (its line
// then says so, with its bytes).
bool render_detailed(const Message &m, const RequestSource &requests, LineText &line,
                     DetailFields *fields = nullptr, FieldMask wanted = kAllFields);

} // namespace bl::loconet
