// The hints the filter gives where it cannot read an expression (UTF-8).
#pragma once

#include <string>
#include <string_view>

namespace bl::filter::texts {

inline const std::string kUnopenedBracket = "„)“ ohne passende „(“";
inline const std::string kOperatorMissing =
    "Hier fehlt „und“ oder „oder“ (Text mit Leerzeichen in Anführungszeichen setzen)";
inline const std::string kConditionMissing = "Hier fehlt eine Bedingung, z. B. rm=5 oder weiche=11";
inline const std::string kEmptyBrackets = "Die Klammer ist leer";
inline const std::string kUnclosedBracket = "Die Klammer „(“ wird nicht geschlossen";
inline const std::string kUnclosedQuote = "Das Anführungszeichen wird nicht geschlossen";
inline const std::string kEmptyQuote = "Leerer Text in Anführungszeichen";
inline const std::string kBackwardRange = "Der Bereich geht rückwärts: die kleinere Zahl zuerst";
inline const std::string kTooLong = "Der Ausdruck ist zu lang: höchstens 4000 Zeichen";
inline const std::string kTooDeep =
    "Zu tief verschachtelt: höchstens 200 Klammern oder „nicht“ ineinander";

std::string nothing_after(std::string_view op);
std::string stands_alone(std::string_view word);
std::string unknown_field(std::u32string_view word);
std::string unknown_finding(std::u32string_view word);
std::string number_missing(std::string_view field, bool hex);
std::string out_of_range(std::string_view field, int lowest, int highest, bool hex);

} // namespace bl::filter::texts
