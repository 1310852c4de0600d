// Texts of the monitor are held one byte per character in ISO 8859-1, so that
// character counts (the 80-character line break, the 5000/4900 cut) are byte
// counts. Every text the program writes is ASCII plus German umlauts.
#pragma once

#include "loconet/latin1_literal.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace bl {

// Writes the UTF-8 form of a Latin-1 text at out, which has room for twice
// its length; returns the position after it.
char *put_latin1_as_utf8(char *out, std::string_view latin1);
// Appends the UTF-8 form of a Latin-1 text to out.
void append_latin1_as_utf8(std::string &out, std::string_view latin1);
std::string latin1_to_utf8(std::string_view latin1);

} // namespace bl
