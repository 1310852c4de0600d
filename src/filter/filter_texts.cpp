#include "filter/filter_texts.h"

#include <cstdio>

namespace bl::filter::texts {

namespace {

std::string quoted(std::string_view s) { return "„" + std::string(s) + "“"; }

std::string utf8(std::u32string_view s) {
    std::string out;
    for (const char32_t c : s) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

} // namespace

std::string nothing_after(std::string_view op) {
    return "Nach " + quoted(op) + " fehlt eine Bedingung";
}

std::string stands_alone(std::string_view word) {
    return quoted(word) + " steht allein, ohne „=“ und Wert";
}

std::string unknown_field(std::u32string_view word) {
    return "Unbekanntes Feld " + quoted(utf8(word)) +
           " – bekannt sind lok, slot, weiche, rm und opcode";
}

std::string unknown_finding(std::u32string_view word) {
    return (word.empty() ? std::string("Nach „befund=“ fehlt die Art")
                         : "Unbekannte Art von Befund " + quoted(utf8(word))) +
           " – bekannt sind unbeantwortet, abgelehnt, pruefsumme, verworfen, flattern, "
           "gleisspannung, kurzschluss, ueberlast, doppelte_lok, ohne_echo und weiche_gehaeuft";
}

std::string number_missing(std::string_view field, bool hex) {
    if (hex)
        return "Nach " + quoted(std::string(field) + "=") +
               " fehlt ein Opcode in hexadezimaler Schreibweise, z. B. B2";
    return "Nach " + quoted(std::string(field) + "=") + " fehlt eine Zahl, z. B. " +
           std::string(field) + "=5 oder " + std::string(field) + "=3-7";
}

std::string out_of_range(std::string_view field, int lowest, int highest, bool hex) {
    if (hex)
        return "Ein Opcode liegt zwischen 80 und FF";
    return std::string(field) + " geht von " + std::to_string(lowest) + " bis " +
           std::to_string(highest);
}

} // namespace bl::filter::texts
