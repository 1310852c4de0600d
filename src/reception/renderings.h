#pragma once

#include "loconet/line_text.h"
#include "shared/mod_variablen.h"

#include <cstddef>
#include <string_view>

namespace bl {

// Builds the plain-German line for the complete message in ln_buf/ln_len;
// leaves it empty for a message that is not shown. Keeps the slot table and
// the switch-query state in vars. ascii_hex: a message without a rendering
// is listed as "HEX: " and its bytes.
void render_message(ReceptionVars &vars, bool ascii_hex, LineText &text);

// Train category coded in the second status byte of slot data.
int train_category_of(int status2);

} // namespace bl
