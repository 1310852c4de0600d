#pragma once

#include "cli/decode_command.h"
#include "connection/startup_dialogue.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace bl {

enum class RunMode { Window, Console, Decode, Help, Version };

struct CommandLine {
    RunMode mode = RunMode::Window;
    DecodeOptions decode; // output modes, also for --console
    QString input_file;   // --decode FILE; empty = standard input
    QString replay_file;  // --replay FILE: the window shows a capture
    bool exit_after_replay = false;
    StartupAnswers answers;              // --interface, --port
    bool demo = false;                   // --demo: the simulated bus instead of a port
    double demo_rate = 4;                // --rate: its messages per second
    bool record = false;                 // --record: a trace runs from the start
    bool exit_after_first_paint = false; // for timing the start
    bool output_modes_given = false;     // --hex-output or --no-ascii-hex for the window
    QString help_text;
};

struct CommandLineError {
    QString message;
};

// Reads the program's arguments (the first being the program name).
// Returns the error text for an unknown option or a misplaced argument.
std::optional<CommandLineError> parse_command_line(const QStringList &arguments,
                                                   CommandLine &result);

} // namespace bl
