#pragma once

#include <string>

namespace bl {

// A byte as two upper-case hexadecimal digits. The value is first rounded to
// the nearest integer (a half goes to the even neighbour); a result that is
// not exactly two digits long gets one "0" in front (5 -> "05", 256 -> "0100").
// Negative values are written as their 32-bit two's complement.
std::string hex_(double value);

} // namespace bl
