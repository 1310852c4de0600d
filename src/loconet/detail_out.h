// How the detailed rendering writes: the line, and where asked the field
// list beside it, in one go, so that a value is read and named once.
#pragma once

#include "loconet/detail.h"
#include "loconet/detail_texts.h"
#include "loconet/hex.h"

namespace bl::loconet {

class Out {
public:
    Out(LineText &line, DetailFields *fields) : line_(line), fields_(fields) {}

    Out &operator<<(std::string_view latin1) {
        line_.append(latin1);
        return *this;
    }
    Out &operator<<(char c) {
        line_.append(c);
        return *this;
    }
    Out &num(long value) {
        line_.number(value);
        return *this;
    }
    // "0x1F"
    Out &hex(int byte) {
        char digits[4] = {'0', 'x'};
        put_hex(digits + 2, byte);
        return *this << std::string_view(digits, 4);
    }
    // A value in the line that is also a field.
    Out &num(std::string_view field_name, long value) {
        num(value);
        if (fields_)
            field(field_name, value);
        return *this;
    }
    Out &word(std::string_view field_name, std::string_view text) {
        *this << text;
        if (fields_)
            field(field_name, text);
        return *this;
    }
    // A field that is not in the line.
    void field(std::string_view name, long value) {
        if (fields_)
            fields_->push_back({std::string(name), std::to_string(value)});
    }
    void field(std::string_view name, std::string_view value) {
        if (fields_)
            fields_->push_back({std::string(name), std::string(value)});
    }
    bool listing() const { return fields_ != nullptr; }

private:
    LineText &line_;
    DetailFields *fields_;
};

// What every family walker gets: the message, where to write, and the
// requests that replies answer.
struct Walk {
    const Message &m;
    Out &out;
    const RequestSource &requests;

    int operator[](std::size_t i) const { return m[i]; }
    std::size_t length() const { return m.length; }
    // the request this message answers, if it was seen
    const Message *request() const { return requests.request(m.known.answers); }
};

// The families, one walker each; false where the message is none of theirs.
bool walk_power(Walk &w);
bool walk_loco(Walk &w);
bool walk_slot_commands(Walk &w);
bool walk_slot_data(Walk &w);
bool walk_expanded(Walk &w);
bool walk_switches(Walk &w);
bool walk_acknowledgement(Walk &w);
bool walk_multi_sense(Walk &w);
bool walk_identification(Walk &w);
bool walk_peer(Walk &w);
bool walk_immediate(Walk &w);

// Shared pieces of the lines.
void slot_label(Walk &w, int slot);
void speed(Out &out, int spd, int slot_status);
void direction(Out &out, int dirf);
// Functions first..first+count-1 from the bits of value, starting at bit.
void functions(Out &out, int first, int count, int value, int bit = 0);
void f0_to_f4(Out &out, int dirf);
void slot_status(Out &out, int stat1);
void track_status(Out &out, int trk);
void loco(Out &out, int address);
void switch_position(Out &out, int dir, int on);

} // namespace bl::loconet
