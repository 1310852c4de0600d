// The filter language of the history and of --filter:
//
//   Ausdruck := Und { ("oder" | "||") Und }
//   Und      := Nicht { ("und" | "&&") Nicht }
//   Nicht    := ("nicht" | "!") Nicht | "(" Ausdruck ")" | Term
//   Term     := Feld "=" Liste | "fehler" | "gesendet" | "befund" ["=" Arten] | Text
//               ("gesendet": our own sends and their echoes; "befund": the
//               messages a finding names, of the kinds given by their names)
//   Feld     := "lok" | "slot" | "weiche" | "rm" | "opcode"
//   Liste    := Wert { "," Wert } ;  Wert := Zahl [ "-" Zahl ]
//   Text     := Wort | "in Anführungszeichen"
//
// Keywords ignore case; opcode values are hexadecimal; a text matches part
// of the shown line, case ignored. An expression that cannot be read gives
// the place of the mistake and a German hint.
#pragma once

#include "loconet/message.h"
#include "loconet/subjects.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace bl::filter {

struct ParseError {
    std::size_t position = 0; // in characters from the start, 0-based
    std::string hint;         // German, UTF-8
};

// What a message is shown as, made only when a term asks for it: its line
// (for text) and its subjects (for the fields), both from the detailed
// renderer's own reading, so that a field matches what the line names.
class LineSource {
public:
    virtual ~LineSource() = default;
    virtual std::string_view line() = 0; // Latin-1
    virtual const loconet::Subjects &subjects() = 0;
    // The kinds of the findings that name the message, one bit each.
    virtual std::uint32_t findings(std::uint64_t) { return 0; }
};

class Filter {
public:
    // Far beyond what anyone types, and a bound for the reader's and the
    // evaluator's recursion.
    static constexpr std::size_t kLongestExpression = 4000; // characters
    static constexpr int kDeepestNesting = 200;             // brackets and "nicht" in one another

    // An empty expression (blanks only) matches every message.
    static std::variant<Filter, ParseError> parse(std::string_view utf8);

    bool matches_everything() const { return nodes_.empty(); }
    // Whether it asks for findings ("befund"), which are then to be made.
    bool asks_findings() const {
        for (const Node &n : nodes_)
            if (n.kind == Kind::Finding)
                return true;
        return false;
    }
    bool matches(const loconet::Message &m, LineSource &line) const;

    enum class Kind : std::uint8_t {
        Or,
        And,
        Not,
        Loco,
        Slot,
        Turnout,
        Sensor,
        Opcode,
        Error,
        Sent,
        Finding,
        Text
    };
    struct Range {
        int from;
        int to;
    };
    struct Node {
        explicit Node(Kind k) : kind(k) {}
        Kind kind;
        int left = -1; // Or, And: both; Not: left
        int right = -1;
        std::vector<Range> values; // the fields
        std::string text;          // Text: lower-case Latin-1
        bool never = false;        // Text that no Latin-1 line can hold
    };

private:
    friend class Parser;
    bool eval(int node, const loconet::Message &m, LineSource &line) const;

    std::vector<Node> nodes_;
    int root_ = -1;
};

// Latin-1 lower case (A-Z and the accented capitals).
inline char fold(char c) {
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7))
        return static_cast<char>(u + 0x20);
    return c;
}

} // namespace bl::filter
