// The detailed rendering ("Ausführlich"): one German line for every LocoNet
// message, with every field a user needs, beside the written rendering.
// Reads only the message's own bytes (never past them) and what the bus's
// context knew when it came (Message::known); a reply names its request,
// found by sequence number.
#pragma once

#include "loconet/bus_context.h"
#include "loconet/line_text.h"
#include "loconet/message.h"

#include <string>
#include <vector>

namespace bl::loconet {

// A field of the message, by name, for the field view (Latin-1).
struct DetailField {
    std::string name;
    std::string value;
};
using DetailFields = std::vector<DetailField>;

// Writes the line for m; with fields, also lists its fields. False where m
// is no message the renderer knows (its line then says so, with its bytes).
bool render_detailed(const Message &m, const RequestSource &requests, LineText &line,
                     DetailFields *fields = nullptr);

} // namespace bl::loconet
