#pragma once

#include <string_view>

namespace bl::loconet {

// The public name of an opcode (OPC_INPUT_REP for 0xB2), or "" where the
// program knows none.
std::string_view opcode_name(int opcode);

} // namespace bl::loconet
