// What the user asked for on the command line, as plain data for the
// front ends; the command line itself is read in cli/.
#pragma once

#include "connection/startup_dialogue.h"
#include "filter/filter.h"

#include <QString>
#include <optional>

namespace bl {

enum class RunMode { Window, Console, Decode, Help, Version };

// The output modes, as the two check boxes set them.
struct OutputModes {
    bool hex_output = false; // as if "HEX Ausgabe" were ticked
    bool ascii_hex = true;   // as if "ASCII+HEX" were ticked
    bool detail = false;     // as if "Ausführlich" were ticked
};

struct RunOptions {
    RunMode mode = RunMode::Window;
    OutputModes output;
    bool output_modes_given = false; // --hex-output or --no-ascii-hex
    bool area = false;               // --decode --area: the final area text
    QString input_file;              // --decode FILE; empty = standard input
    QString replay_file;             // --replay FILE: the window shows a capture
    bool exit_after_replay = false;
    StartupAnswers answers;              // --interface, --port
    bool demo = false;                   // --demo: the simulated bus instead of a port
    double demo_rate = 4;                // --rate: its messages per second
    bool record = false;                 // --record: a trace runs from the start
    bool exit_after_first_paint = false; // for timing the start
    bool stats = false;                  // --stats: the bus's counts at the end
    bool mark_errors = false;            // --mark-errors: a line after a corrupt message
    double corrupt_percent = 0;          // --corrupt: share of simulated messages damaged
    QString serve;                       // --serve [ADDR:]PORT: share the bus over TCP
    bool serve_read_only = false;        // --serve-read-only: no client may send
    QString filter;                      // --filter: only matching messages are shown
    QString pcap_file;                   // --pcap: a pcapng recording for Wireshark
    std::size_t history = 1'000'000;     // --history: messages the history keeps
    bool analyse = false;                // --analyse: the history window opens at start
    bool json = false;                   // --json: a JSON object a message instead of the lines
    bool state = false;                  // --state: the layout's state at the end instead
    std::uint64_t state_at = 0;          // --state-at N: ... after message N (0: the last)
    bool findings = false;               // --findings: the findings instead of the lines
    QString ring;                        // --ring DIR: a ring of pcapng files
    std::uint64_t ring_kb = 10240;       // --ring-size
    int ring_files = 10;                 // --ring-files
    QString trigger;                     // --trigger: an event file for each match
    double trigger_before = 10;          // --trigger-before S
    double trigger_after = 10;           // --trigger-after S
    QString trigger_dir;                 // --trigger-dir (empty: the documents folder)
    bool befunde = false;                // --befunde: the Befunde window opens at start
    bool anlage = false;                 // --anlage: the Anlage window opens at start
    QString help_text;
};

// The filter --filter asked for (the command line has read it already).
inline std::optional<filter::Filter> filter_of(const RunOptions &options) {
    if (options.filter.isEmpty())
        return std::nullopt;
    auto read = filter::Filter::parse(options.filter.toStdString());
    if (auto *f = std::get_if<filter::Filter>(&read))
        return std::move(*f);
    return std::nullopt;
}

} // namespace bl
