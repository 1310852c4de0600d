// How the detailed rendering writes: the line, and where asked the field
// list beside it, in one go, so that a value is read and named once.
#pragma once

#include "loconet/detail.h"
#include "loconet/detail_texts.h"
#include "loconet/hex.h"

namespace bl::loconet {

class Out {
public:
    Out(LineText &line, DetailFields *fields, FieldMask wanted = kAllFields)
        : line_(line), fields_(fields), wanted_(wanted) {}

    Out &operator<<(std::string_view latin1) {
        line_.append(latin1);
        return *this;
    }
    Out &operator<<(char c) {
        line_.append(c);
        return *this;
    }
    void append(std::string_view latin1) { line_.append(latin1); }
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
    Out &num(FieldId id, long value) {
        num(value);
        field(id, value);
        return *this;
    }
    Out &word(FieldId id, std::string_view text) {
        *this << text;
        field(id, text);
        return *this;
    }
    // A field that is not in the line.
    void field(FieldId id, long value) {
        if ((recorded_ = wants(id)))
            fields_->push_back({id, value, true, {}, 0, 0, of_request_});
    }
    void field(FieldId id, std::string_view text) {
        if ((recorded_ = wants(id)))
            fields_->push_back({id, 0, false, std::string(text), 0, 0, of_request_});
    }
    // A code and what it means.
    void field(FieldId id, long code, std::string_view meaning) {
        if ((recorded_ = wants(id)))
            fields_->push_back({id, code, true, std::string(meaning), 0, 0, of_request_});
    }
    // The bytes the field just named was read from.
    Out &at(std::size_t first, std::size_t count = 1) {
        if (recorded_) {
            fields_->back().first_byte = static_cast<std::uint8_t>(first);
            fields_->back().byte_count = static_cast<std::uint8_t>(count);
        }
        return *this;
    }
    bool listing() const { return fields_ != nullptr; }
    bool wants(FieldId id) const { return fields_ && (wanted_ & mask_of(id)); }
    // Another message named within this line (a reply's request): its
    // subjects only.
    Out nested() const {
        Out out(line_, fields_, wanted_ & kSubjectFields);
        out.of_request_ = true;
        return out;
    }
    LineText &line() { return line_; }

private:
    LineText &line_;
    DetailFields *fields_;
    FieldMask wanted_;
    bool recorded_ = false;
    bool of_request_ = false;
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

// " - Antwort auf: " and what the request asked, in its own words, where
// this message answers one that was seen.
void name_request(Walk &w);

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
// One function, "F12=an"; after ", " unless it is the first of a list.
void function(Out &out, int number, bool on, bool first = false);
void f0_to_f4(Out &out, int dirf);
void slot_status(Out &out, int stat1);
// The track status byte; reserved: its bits that mean nothing (expanded
// slots use 0x40 for themselves).
void track_status(Out &out, int trk, int reserved = 0x70);
// " (reservierte Bits gesetzt: 0x40)" where any bit of mask is set in byte.
void reserved_bits(Out &out, int byte, int mask);
void loco(Out &out, int address);
void switch_position(Out &out, int dir, int on);

} // namespace bl::loconet
