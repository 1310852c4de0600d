#pragma once

#include "app/options.h"

#include <QStringList>
#include <optional>

namespace bl {

struct CommandLineError {
    QString message;
};

// Reads the program's arguments (the first being the program name).
// Returns the error text for an unknown option or a misplaced argument.
std::optional<CommandLineError> parse_command_line(const QStringList &arguments,
                                                   RunOptions &result);

} // namespace bl
