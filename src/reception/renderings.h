#pragma once

#include "loconet/line_text.h"
#include "loconet/message.h"
#include "shared/mod_variablen.h"

#include <cstddef>
#include <string_view>

namespace bl {

// Builds the plain-German line for the complete message in ln_buf/ln_len;
// leaves it empty for a message that is not shown. Keeps the slot table and
// the switch-query state in vars. ascii_hex: a message without a rendering
// is listed as "HEX: " and its bytes.
void render_message(ReceptionVars &vars, bool ascii_hex, LineText &text);

// What the written rendering reads: the message's bytes as the receive
// buffer holds them, the locomotive the slot table gives for the slot it
// names, and whether a switch-state query waits for its answer.
struct WrittenInput {
    const std::int32_t *b; // readable up to index 12 at least
    std::int32_t length;
    long slot_loco;
    bool switch_query;
};
void render_written(const WrittenInput &in, bool ascii_hex, LineText &text);
// The written line of a message kept for later, as it was shown when it
// came (from what it knew then).
void render_written(const loconet::Message &m, bool ascii_hex, LineText &text);
// The locomotive the slot table holds for a slot (0 where none was seen).
long written_slot_loco(const ReceptionVars &vars, int slot);

// Train category coded in the second status byte of slot data.
int train_category_of(int status2);

} // namespace bl
