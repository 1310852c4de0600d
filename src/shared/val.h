#pragma once

#include <QStringView>

namespace bl {

// Reads a number from the start of a text the way BASIC's Val does: blanks,
// tabs and line feeds are skipped anywhere; an optional sign, digits with an
// optional decimal point and exponent (E or D) form a decimal number; "&H"
// and "&O" begin a hexadecimal or octal number (up to FFFF it is a 16-bit
// value, so "&HFFFF" is -1; up to FFFFFFFF a 32-bit one); reading stops at
// the first character that does not fit. A text without a number reads 0.
double val(QStringView text);

} // namespace bl
