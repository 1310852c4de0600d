#pragma once

#include <QByteArray>
#include <QStringView>
#include <string_view>

namespace bl {

// Trace files are written in Windows-1252 on every system, so that they are
// byte-identical to those recorded on Windows. Characters that the code page
// lacks become "?".
QByteArray to_windows1252(QStringView text);

// Appends a monitor text (Latin-1, see latin1.h) in Windows-1252. The two
// agree on every character the monitor writes; the C1 range, which
// Windows-1252 uses for other characters, becomes "?".
void append_latin1_as_windows1252(QByteArray &out, std::string_view latin1);

} // namespace bl
