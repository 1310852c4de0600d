// The fields of LocoNet messages, described once: the name every consumer
// uses for a field (the filter, --json, the Wireshark dissector), the title
// the field view shows, and where in a message a field was read from. The
// detailed renderer's walkers name each value they show by one of these, so
// that the line, the field view, the filter's subjects, --json and the
// dissector read the very same values.
#pragma once

#include "loconet/latin1_literal.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace bl::loconet {

enum class FieldId : std::uint8_t {
    Opcode,
    Length,
    Checksum,
    Loco,        // a locomotive address
    Slot,        // a slot number (also a move's or a link's destination)
    Switch,      // a switch (turnout) number, 1-based
    Sensor,      // a feedback sensor number, 1-based
    Section,     // a detection section of a transponder or power manager
    Speed,       // a speed: the slot's raw value 0..127, or a DCC speed step
    Direction,   // "vorwärts" / "rückwärts"
    FunctionOn,  // the number of a function that is on
    FunctionOff, // the number of a function that is off
    Status,      // a slot's activity
    Consist,     // a slot's consist state
    Steps,       // the speed-step mode
    Throttle,    // a throttle's or device's ID
    Track,       // the track status byte
    Position,    // a switch position
    Output,      // a switch output, on or off
    State,       // occupied/free, a result, a status
    Answer,      // what a long acknowledgement answers
    Cv,          // a configuration variable, 1-based
    Value,       // a value read or written
    Mode,        // a programming or operating mode
    Time,        // the model clock's time
    Day,         // the model clock's day
    Rate,        // the model clock's rate
    Board,       // a device or detector board
    Zone,        // a transponder zone
    Article,     // an article number
    Module,      // a module address
    Source,      // the sender of a peer transfer
    Destination, // the receiver of a peer transfer
    Sv,          // a system variable
    Packet,      // a DCC packet's bytes
    Repeats,     // how often a DCC packet is repeated
    Opsw,        // an option switch
    Data,        // text or data a message carries
    Receiver,    // a receiver's number or ID
    Category,    // a train category
    Kind,        // what kind of device or entry
    Request,     // what a long acknowledgement names as its request
    kCount
};

// What a field's values mainly are: numbers (an address, a count), or words
// (a direction, a state), which may come with the code they were read as.
enum class FieldKind : std::uint8_t { Number, Word };

struct FieldInfo {
    std::string_view name;  // as the filter, --json and the dissector name it (ASCII)
    std::string_view title; // as the field view shows it (Latin-1)
    FieldKind kind = FieldKind::Number;
};

inline constexpr std::array<FieldInfo, static_cast<std::size_t>(FieldId::kCount)> kFieldInfo{{
    {"opcode", "Opcode"_de},
    {"length", "Länge"_de},
    {"checksum", "Prüfsumme"_de},
    {"loco", "Lok"_de},
    {"slot", "Slot"_de},
    {"switch", "Weiche"_de},
    {"sensor", "Rückmelder"_de},
    {"section", "Meldeabschnitt"_de},
    {"speed", "Fahrstufe"_de},
    {"direction", "Richtung"_de, FieldKind::Word},
    {"function_on", "Funktionen an"_de},
    {"function_off", "Funktionen aus"_de},
    {"status", "Status"_de, FieldKind::Word},
    {"consist", "Traktion"_de, FieldKind::Word},
    {"steps", "Fahrstufenmodus"_de, FieldKind::Word},
    {"throttle", "Regler-ID"_de},
    {"track", "Gleisstatus"_de},
    {"position", "Stellung"_de, FieldKind::Word},
    {"output", "Ausgang"_de, FieldKind::Word},
    {"state", "Zustand"_de, FieldKind::Word},
    {"answer", "Antwort"_de},
    {"cv", "CV"_de},
    {"value", "Wert"_de},
    {"mode", "Modus"_de, FieldKind::Word},
    {"time", "Modellzeit"_de, FieldKind::Word},
    {"day", "Tag"_de},
    {"rate", "Faktor"_de},
    {"board", "Gerät"_de},
    {"zone", "Zone"_de, FieldKind::Word},
    {"article", "Artikel"_de},
    {"module", "Modul"_de},
    {"source", "Quelle"_de},
    {"destination", "Ziel"_de},
    {"sv", "SV"_de},
    {"packet", "DCC-Paket"_de},
    {"repeats", "Wiederholungen"_de},
    {"opsw", "Optionsschalter"_de},
    {"data", "Daten"_de, FieldKind::Word},
    {"receiver", "Empfänger"_de},
    {"category", "Kategorie"_de},
    {"kind", "Art"_de, FieldKind::Word},
    {"request", "Anfrage"_de, FieldKind::Word},
}};

constexpr const FieldInfo &info(FieldId id) { return kFieldInfo[static_cast<std::size_t>(id)]; }

// A set of fields, a bit each.
using FieldMask = std::uint64_t;
static_assert(static_cast<int>(FieldId::kCount) <= 64);
constexpr FieldMask mask_of(FieldId id) { return FieldMask{1} << static_cast<int>(id); }
inline constexpr FieldMask kAllFields = ~FieldMask{0};
// What a message is about: the filter's lok, slot, weiche and rm.
inline constexpr FieldMask kSubjectFields = mask_of(FieldId::Loco) | mask_of(FieldId::Slot) |
                                            mask_of(FieldId::Switch) | mask_of(FieldId::Sensor) |
                                            mask_of(FieldId::Section);

// One value of a message: a number, a text, or both (a code and what it
// means); the bytes it was read from where the walker says so (first byte
// and count; a count of 0: the message as a whole).
struct DetailField {
    FieldId id;
    long number = 0;
    bool has_number = false;
    std::string text; // Latin-1
    std::uint8_t first_byte = 0;
    std::uint8_t byte_count = 0;
    // named by the request a reply answers, not read from the reply itself:
    // a subject of the reply for the filter, no field of its own
    bool of_request = false;
};
using DetailFields = std::vector<DetailField>;

} // namespace bl::loconet
