// The layout's state as people read it and programs take it: the words and
// the rows of each table ("Slots", "Lokomotiven", "Weichen", "Rückmelder",
// "Transponder", "Abschnitte"), as --state prints them, the Anlage window
// shows them and --state --json writes them.
#pragma once

#include "filter/filter.h"
#include "loconet/layout_state.h"

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

namespace bl {

QString power_word(loconet::Power p);       // "an", "aus", "nothalt", "unbekannt"
QString activity_word(loconet::Activity a); // "frei", "gemeinsam", "ruhend", "in_benutzung"
QString position_word(loconet::Position p); // "gerade", "abzweigend", ""
QString direction_word(int direction);      // "vorwärts", "rückwärts", ""
QString functions_text(const loconet::Functions &f); // the ones on: "0 5 12"
QString time_of_day(std::int64_t wall_us);           // "14:05:09,123", "" for none

// One table: its title, its columns, and a row per object, sorted by its
// number; each row with the numbers it is about (for the filter) and when it
// last changed.
struct StateTable {
    enum Kind { kSlots, kLocos, kSwitches, kSensors, kTransponders, kSections, kKinds };
    QString title;
    QStringList columns;
    // the last columns are bookkeeping (times, counts of the last minute):
    // they change with every message and are no news
    int bookkeeping_columns = 1;
    struct Row {
        QStringList cells;
        int loco = -1, slot = -1, switch_number = -1, sensor = -1;
        std::int64_t changed_us = 0;
        std::uint64_t changed_nr = 0;
        qint64 sort_key = 0;
    };
    std::vector<Row> rows;
};

StateTable state_table(const loconet::LayoutState &state, StateTable::Kind kind);
// Whether a filter takes a row: its numbers as the fields (lok, slot, weiche,
// rm), its cells as the text.
bool row_matches(const StateTable::Row &row, const filter::Filter &f);
// The command station's lines: "Gleisspannung: an", "Modelluhr: …", …
QStringList station_lines(const loconet::LayoutState &state);

// --state: every table as German text; with a filter only the rows it takes.
std::string state_text(const loconet::LayoutState &state, const filter::Filter *f = nullptr);
// --state --json: one JSON object; with a filter only the objects it takes.
std::string state_json(const loconet::LayoutState &state, const filter::Filter *f = nullptr);

} // namespace bl
