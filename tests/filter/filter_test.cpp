// The filter language: expressions it reads and what they take, and the
// ones it cannot read with the place and the hint it gives.
#include "filter/filter.h"
#include "loconet/findings.h"
#include "support/messages.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace bl::filter {
namespace {

// A message with the line it is shown as and what its detailed line names.
struct Shown {
    loconet::Message message;
    std::string line; // Latin-1
    loconet::Subjects subjects;
};

struct FixedLine : LineSource {
    std::string text;
    loconet::Subjects named;
    int asked = 0;
    std::string_view line() override {
        ++asked;
        return text;
    }
    const loconet::Subjects &subjects() override { return named; }
    std::uint32_t marks = 0;
    std::uint32_t findings(std::uint64_t) override { return marks; }
};

constexpr std::uint32_t bit(loconet::FindingKind k) { return 1u << static_cast<unsigned>(k); }

// A small stretch of bus: slot 5 holds loco 57 once its slot data came.
std::vector<Shown> stretch() {
    testing::MessageBus bus;
    std::vector<Shown> out;
    auto add = [&](loconet::Message m, const char *line) {
        out.push_back({m, line, loconet::subjects_of(m, bus.context())});
    };
    add(bus.next("B2 02 50"), "R\xFC"
                              "ckmelder 5 = belegt");                                // 0
    add(bus.next("B0 0A 30"), "Mag.-Art.: 11 - gr\xFCn - ein ");                     // 1
    add(bus.next("BC 0A 00"), "Statusanfrage nach Mag.-Art. 11");                    // 2
    add(bus.next("B1 0A 30"), "HEX: B1 0A 30 74 ");                                  // 3
    add(bus.next("A0 05 20"), "Lok 0 = Geschw. 32");                                 // 4
    add(bus.next("E7 0E 05 03 39 00 00 00 00 00 00 00 00"), "Slot  5 = Lokadr. 57"); // 5
    add(bus.next("A0 05 30"), "Lok 57 = Geschw. 48");                                // 6
    add(bus.next("BF 00 39"), "Anfrage nach Lokadresse: 57");                        // 7
    add(bus.corrupt("B2 03 50"), "R\xFC"
                                 "ckmelder 7 = belegt");                          // 8
    add(bus.next("83", loconet::Direction::Sent), "Gleisspannung eingeschaltet"); // 9
    add(bus.next("A0 09 00"), "Lok 0 = Geschw. 0");                               // 10
    return out;
}

std::vector<int> taken(const std::string &expression) {
    auto read = Filter::parse(expression);
    if (auto *bad = std::get_if<ParseError>(&read)) {
        ADD_FAILURE() << expression << ": " << bad->hint;
        return {};
    }
    const Filter &f = std::get<Filter>(read);
    std::vector<int> rows;
    const std::vector<Shown> messages = stretch();
    for (std::size_t i = 0; i < messages.size(); ++i) {
        FixedLine line;
        line.text = messages[i].line;
        line.named = messages[i].subjects;
        // findings named the request and the corrupt message
        line.marks = i == 7   ? bit(loconet::FindingKind::Unanswered)
                     : i == 8 ? bit(loconet::FindingKind::Checksum)
                              : 0;
        if (f.matches(messages[i].message, line))
            rows.push_back(static_cast<int>(i));
    }
    return rows;
}

struct Good {
    const char *expression;
    std::vector<int> rows;
};

TEST(Filter, ReadsAndTakes) {
    const std::vector<Good> table = {
        {"", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {"   ", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {"rm=5", {0}},
        {"rm=5 oder weiche=11", {0, 1, 2, 3}},
        {"RM=5 || Weiche=11", {0, 1, 2, 3}},
        {"rm=1-10", {0, 8}},
        {"rm = 7 , 5", {0, 8}},
        {"weiche=11 und nicht opcode=BC", {1, 3}},
        {"weiche=11 && !opcode=bc", {1, 3}},
        // the loco through its slot, once slot data told it
        {"lok=57", {5, 6, 7}},
        {"slot=5", {4, 5, 6}},
        {"slot=5 und nicht lok=57", {4}},
        {"opcode=A0", {4, 6, 10}},
        {"opcode=0xA0,B0-B2", {0, 1, 3, 4, 6, 8, 10}},
        {"opcode=80-FF", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {"fehler", {8}},
        {"gesendet", {9}},
        {"nicht (fehler oder gesendet) und rm=1-4096", {0}},
        {"nicht nicht fehler", {8}},
        // text: part of the shown line, case ignored, umlauts too
        {"belegt", {0, 8}},
        {"R\xC3\x9C"
         "CKMELDER",
         {0, 8}},
        {"\"Geschw. 0\"", {10}},
        {"\xE2\x80\x9EGeschw. 4\xE2\x80\x9C", {6}},
        {"lok", {4, 5, 6, 7, 10}},
        {"(rm=5 oder rm=7) und fehler", {8}},
        {"rm=5 oder rm=7 und fehler", {0, 8}},
        {"\xE2\x82\xAC", {}}, // no Latin-1 line holds it
        // the messages findings name, of any kind or the kinds given
        {"befund", {7, 8}},
        {"befund=pruefsumme", {8}},
        {"Befund = unbeantwortet , abgelehnt", {7}},
        {"befund=abgelehnt,kurzschluss", {}},
        {"nicht befund und lok=57", {5, 6}},
    };
    for (const Good &row : table)
        EXPECT_EQ(taken(row.expression), row.rows) << row.expression;
}

struct Bad {
    const char *expression;
    std::size_t position; // 0-based, in characters
    const char *hint;     // the start of it
};

TEST(Filter, SaysWhereAndWhyItCannotRead) {
    const std::vector<Bad> table = {
        {"rm=", 3, "Nach „rm=“ fehlt eine Zahl"},
        {"rm=x", 3, "Nach „rm=“ fehlt eine Zahl"},
        {"rm=5 oder", 9, "Nach „oder“ fehlt eine Bedingung"},
        {"rm=5 und und rm=6", 9, "Nach „und“ fehlt eine Bedingung"},
        {"nicht", 5, "Nach „nicht“ fehlt eine Bedingung"},
        {"(rm=5", 0, "Die Klammer „(“ wird nicht geschlossen"},
        {"rm=5)", 4, "„)“ ohne passende „(“"},
        {"()", 0, "Die Klammer ist leer"},
        {"rm=5 weiche=3", 5, "Hier fehlt „und“ oder „oder“"},
        {"oder rm=5", 0, "Hier fehlt eine Bedingung"},
        {"rm=0", 3, "rm geht von 1 bis 4096"},
        {"weiche=5000", 7, "weiche geht von 1 bis 4096"},
        {"opcode=7F", 7, "Ein Opcode liegt zwischen 80 und FF"},
        {"opcode=G1", 7, "Nach „opcode=“ fehlt ein Opcode"},
        {"rm=9-3", 3, "Der Bereich geht rückwärts"},
        {"rm=5,", 5, "Nach „rm=“ fehlt eine Zahl"},
        {"lokk=5", 0, "Unbekanntes Feld „lokk“"},
        {"fehler=1", 6, "„fehler“ steht allein"},
        {"befund=rauch", 7, "Unbekannte Art von Befund „rauch“"},
        {"befund=", 7, "Nach „befund=“ fehlt die Art"},
        {"befund=flattern,", 16, "Nach „befund=“ fehlt die Art"},
        {"\"offen", 0, "Das Anführungszeichen wird nicht geschlossen"},
        {"\"\"", 0, "Leerer Text in Anführungszeichen"},
        {"\xC3\xA4\xC3\xB6 und rm=", 10, "Nach „rm=“ fehlt eine Zahl"}, // characters, not bytes
    };
    for (const Bad &row : table) {
        const auto read = Filter::parse(row.expression);
        const auto *bad = std::get_if<ParseError>(&read);
        ASSERT_NE(bad, nullptr) << row.expression;
        EXPECT_EQ(bad->position, row.position) << row.expression << ": " << bad->hint;
        EXPECT_EQ(bad->hint.substr(0, std::string(row.hint).size()), row.hint) << row.expression;
    }
}

// However deep or long the text, reading and evaluating it stay bounded: too
// deep or too long is refused with a hint, what people type is read.
TEST(Filter, DeepAndLongExpressionsAreBounded) {
    const auto repeat = [](std::string_view s, std::size_t n) {
        std::string out;
        for (std::size_t i = 0; i < n; ++i)
            out += s;
        return out;
    };
    const struct {
        std::string expression;
        std::optional<std::size_t> refused_at;
        const char *hint;
    } rows[] = {
        {repeat("(", 14000) + "x", Filter::kLongestExpression, "Der Ausdruck ist zu lang"},
        {repeat("!", 50000) + "x", Filter::kLongestExpression, "Der Ausdruck ist zu lang"},
        {repeat("(", 201) + "x" + repeat(")", 201), 200, "Zu tief verschachtelt"},
        {repeat("nicht ", 201) + "x", 1200, "Zu tief verschachtelt"},
        {repeat("(", 199) + "rm=5" + repeat(")", 199), std::nullopt, ""},
        {repeat("rm=1 oder ", 390) + "rm=5", std::nullopt, ""},
        {repeat("Ã¤", 4001), Filter::kLongestExpression, "Der Ausdruck ist zu lang"},
    };
    testing::MessageBus bus;
    const loconet::Message sensor_5 = bus.next("B2 02 50");
    for (const auto &row : rows) {
        const auto read = Filter::parse(row.expression);
        if (row.refused_at) {
            const auto *bad = std::get_if<ParseError>(&read);
            ASSERT_NE(bad, nullptr) << row.expression.substr(0, 20);
            EXPECT_EQ(bad->position, *row.refused_at);
            EXPECT_EQ(bad->hint.rfind(row.hint, 0), 0u) << bad->hint;
            continue;
        }
        const auto *f = std::get_if<Filter>(&read);
        ASSERT_NE(f, nullptr) << row.expression.substr(0, 20);
        FixedLine line;
        line.named = loconet::subjects_of(sensor_5, bus.context());
        EXPECT_TRUE(f->matches(sensor_5, line));
    }
}

// A field term never asks for the line: rendering it costs more than the test.
TEST(Filter, RendersTheLineOnlyForText) {
    const auto fields = std::get<Filter>(Filter::parse("rm=5 oder lok=3 oder fehler"));
    const auto text = std::get<Filter>(Filter::parse("rm=5 oder belegt"));
    testing::MessageBus bus;
    FixedLine line;
    line.text = "x";
    line.named = loconet::subjects_of(bus.next("B2 10 40"), bus.context());
    EXPECT_FALSE(fields.matches(bus.next("B2 10 50"), line));
    EXPECT_EQ(line.asked, 0);
    EXPECT_FALSE(text.matches(bus.next("B2 10 50"), line));
    EXPECT_EQ(line.asked, 1);
}

} // namespace
} // namespace bl::filter
