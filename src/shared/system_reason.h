#pragma once

#include <QString>

namespace bl {

// Why the operating system refused, in German for the reasons users meet
// (missing, no permission, in use, read-only, disk full, not a serial
// device, device gone, I/O error, a folder); the system's own words
// otherwise.
QString german_reason(int errnum);

// The same for a reason already put in the system's words (strerror's
// text, as Qt's error strings carry it).
QString german_reason(const QString &system_text);

} // namespace bl
