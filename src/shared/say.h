#pragma once

#include <QString>

namespace bl {

// One line for the user on standard error, after the program's name
// ("bus-lauscher: …"), in the terminal's UTF-8.
void say(const QString &text);
// The name that begins those lines (the simulator sets its own).
void set_program_name(const char *name);

} // namespace bl
