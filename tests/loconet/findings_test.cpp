// The findings: for each rule a stretch of bus that must raise it and a near
// miss that must not, with time passing as the test says.
#include "loconet/findings.h"
#include "support/messages.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace bl::loconet {
namespace {

// One step of a stretch: a message in hex without its checksum, or
//   "w S"  S seconds pass        "t"    the clock ticks (live)
//   "x HEX" the message corrupt  "d N"  N bytes given up
//   "e"    an echo went missing  "u HEX" the message without a time
struct Case {
    const char *name;
    std::vector<std::string> steps;
    std::vector<std::string> found; // the kinds, in order
};

struct Outcome {
    std::vector<Finding> found;
    bool untimed = false;
};

Outcome run(const std::vector<std::string> &steps) {
    testing::MessageBus bus;
    Findings findings;
    Outcome r;
    findings.on_found([&r](const Finding &f) { r.found.push_back(f); });
    std::int64_t now_ns = 0, wall_us = 0;
    const auto feed = [&](Message m) {
        // a receive buffer is used again: past the message lies what the one
        // before left
        std::fill(m.bytes.begin() + m.length, m.bytes.end(), static_cast<std::uint8_t>(m.seq));
        now_ns = m.steady_ns;
        wall_us = m.wall_us;
        findings.observe(m, bus.context());
    };
    for (const std::string &step : steps) {
        const std::string rest = step.size() > 2 ? step.substr(2) : std::string();
        if (step[0] == 'w') {
            const double seconds = std::stod(rest);
            bus.wait(seconds);
            now_ns += static_cast<std::int64_t>(seconds * 1e9);
        } else if (step == "t") {
            findings.tick(now_ns, wall_us);
        } else if (step[0] == 'x') {
            feed(bus.corrupt(rest));
        } else if (step[0] == 'd') {
            findings.discarded(std::stoul(rest));
        } else if (step == "e") {
            const std::uint8_t sent[] = {0x83, 0x7C};
            findings.no_echo(sent, now_ns, wall_us);
        } else if (step[0] == 'u') {
            Message m = bus.next(rest);
            m.steady_ns = 0;
            m.wall_us = 0;
            feed(m);
        } else {
            feed(bus.next(step));
        }
    }
    findings.finish();
    r.untimed = findings.untimed();
    return r;
}

std::vector<std::string> kinds(const Outcome &r) {
    std::vector<std::string> out;
    for (const Finding &f : r.found)
        out.emplace_back(finding_id(f.kind));
    return out;
}

// n times the steps, in order
std::vector<std::string> times(int n, const std::vector<std::string> &steps) {
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i)
        out.insert(out.end(), steps.begin(), steps.end());
    return out;
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string> &b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const char *kSlot3Loco3 = "E7 0E 03 03 03 00 00 07 00 00 00 00 00";

TEST(Findings, EachRuleRaisesAndItsNearMissDoesNot) {
    const std::vector<Case> table = {
        {"request unanswered", {"BF 00 03", "w 1.5", "t"}, {"unbeantwortet"}},
        {"request answered", {"BF 00 03", "w 0.5", kSlot3Loco3, "w 2", "t"}, {}},
        {"a retry waits in the first one's place",
         {"BF 00 03", "w 0.6", "BF 00 03", "w 0.6", kSlot3Loco3, "w 2", "t"},
         {}},
        {"answered too late", {"BF 00 03", "w 1.2", kSlot3Loco3}, {"unbeantwortet"}},
        // the bus context keeps the newest 64 requests: one it forgot cannot
        // have its reply credited, so it is not judged either
        {"a request forgotten among many cannot be judged",
         std::vector<std::string>{"BF 00 03"} + times(64, {"B0 04 20"}) +
             std::vector<std::string>{kSlot3Loco3, "w 2", "t"},
         {}},
        {"a request remembered among many is judged",
         std::vector<std::string>{"BF 00 03"} + times(63, {"B0 04 20"}) +
             std::vector<std::string>{"w 2", "t"},
         {"unbeantwortet"}},
        {"a switch command is acknowledged only when refused", {"B0 04 30", "w 3", "t"}, {}},
        {"a programming task waits longer",
         {"EF 0E 7C 2B 00 00 00 00 00 1C 00 7F 7F", "w 5", "t"},
         {}},
        {"refused: no free slot", {"BF 00 03", "B4 3F 00"}, {"abgelehnt"}},
        {"accepted is no refusal", {"BD 04 30", "B4 3D 7F", "w 2", "t"}, {}},
        {"programmer busy", {"EF 0E 7C 2B 00 00 00 00 00 1C 00 7F 7F", "B4 6F 00"}, {"abgelehnt"}},
        {"checksums close together are one",
         {"x B2 02 50", "w 3", "x B2 02 50", "w 3", "x B2 02 50"},
         {"pruefsumme"}},
        {"checksums far apart are two",
         {"x B2 02 50", "w 11", "x B2 02 50"},
         {"pruefsumme", "pruefsumme"}},
        {"no checksum wrong", {"B2 02 50", "B2 02 40"}, {}},
        {"bytes given up", {"B2 02 50", "d 3", "w 1", "d 2"}, {"verworfen"}},
        {"a flapping sensor", times(3, {"B2 02 50", "w 0.2", "B2 02 40", "w 0.2"}), {"flattern"}},
        {"a sensor changing slowly", times(3, {"B2 02 50", "w 0.5", "B2 02 40", "w 0.5"}), {}},
        {"the same report again is no change", times(8, {"B2 02 50", "w 0.1"}), {}},
        {"track power off", {"83", "82"}, {"gleisspannung"}},
        {"emergency stop", {"85"}, {"gleisspannung"}},
        {"track power on", {"83"}, {}},
        {"short circuit and its clearing",
         {"D0 60 00 20 00", "D0 60 00 20 01", "D0 60 00 20 00"},
         {"kurzschluss", "kurzschluss"}},
        {"a section that stays well", {"D0 60 00 20 00", "D0 60 00 20 00"}, {}},
        {"a bus at its limit", times(1000, {"A0 01 10", "w 0.0015"}), {"ueberlast"}},
        {"a busy bus", times(1000, {"A0 01 10", "w 0.004"}), {}},
        {"at its limit again after a calm",
         times(2, times(1000, {"A0 01 10", "w 0.0015"}) + std::vector<std::string>{"w 3"}),
         {"ueberlast", "ueberlast"}},
        {"at its limit only for a second at a time",
         times(3, times(600, {"A0 01 10", "w 0.0015"}) + std::vector<std::string>{"w 1"}),
         {}},
        {"one loco in two slots in use",
         {"E7 0E 03 33 03 00 00 07 00 00 00 00 00", "E7 0E 04 33 03 00 00 07 00 00 00 00 00"},
         {"doppelte_lok"}},
        {"a loco in one slot in use, one free",
         {"E7 0E 03 33 03 00 00 07 00 00 00 00 00", "E7 0E 04 03 03 00 00 07 00 00 00 00 00"},
         {}},
        {"told once until they part",
         {"E7 0E 03 33 03 00 00 07 00 00 00 00 00", "E7 0E 04 33 03 00 00 07 00 00 00 00 00",
          "E7 0E 04 33 03 05 00 07 00 00 00 00 00"},
         {"doppelte_lok"}},
        {"an echo missing", {"83", "e"}, {"ohne_echo"}},
        {"a switch commanded again and again",
         times(5, {"B0 04 30", "w 0.3"}),
         {"weiche_gehaeuft"}},
        {"a switch set and released", times(4, {"B0 04 30", "B0 04 20", "w 0.3"}), {}},
    };
    for (const Case &c : table)
        EXPECT_EQ(kinds(run(c.steps)), c.found) << c.name;
}

TEST(Findings, NameTheirMessagesAndSayWhatHappened) {
    const Outcome refused = run({"B2 02 50", "BF 00 03", "B4 3F 00"});
    ASSERT_EQ(refused.found.size(), 1u);
    const Finding &f = refused.found[0];
    EXPECT_EQ(f.severity, Severity::Warning);
    EXPECT_EQ(f.nr, 3u);
    EXPECT_EQ(f.messages, (std::vector<std::uint64_t>{3, 2})); // the refusal, its request
    EXPECT_NE(f.text.find("Abgelehnt: "), std::string::npos) << f.text;
    EXPECT_NE(f.text.find("Lok 3"), std::string::npos) << f.text;
    EXPECT_NE(f.text.find("Slots der Zentrale sind belegt"), std::string::npos) << f.text;

    const Outcome unanswered = run({"BB 05 00", "w 2", "t"});
    ASSERT_EQ(unanswered.found.size(), 1u);
    EXPECT_EQ(unanswered.found[0].nr, 1u);
    EXPECT_EQ(unanswered.found[0].text.rfind("Keine Antwort innerhalb von 1 s auf: ", 0), 0u)
        << unanswered.found[0].text;

    const Outcome sums = run({"x B2 02 50", "B2 02 50", "x B2 02 50", "x B2 02 50"});
    ASSERT_EQ(sums.found.size(), 1u);
    EXPECT_EQ(sums.found[0].severity, Severity::Error);
    EXPECT_EQ(sums.found[0].count, 3u);
    EXPECT_EQ(sums.found[0].messages, (std::vector<std::uint64_t>{1, 3, 4}));
    EXPECT_EQ(sums.found[0].text.rfind("3 Meldung(en) mit falscher Pr\xFC"
                                       "fsumme.",
                                       0),
              0u);

    const Outcome flapping = run(times(3, {"B2 02 50", "w 0.2", "B2 02 40", "w 0.2"}));
    ASSERT_EQ(flapping.found.size(), 1u);
    EXPECT_EQ(flapping.found[0].messages, (std::vector<std::uint64_t>{6, 1, 2, 3, 4, 5}));
    EXPECT_NE(flapping.found[0].text.find("R\xFC"
                                          "ckmelder 5 wechselte 6-mal in 2 s."),
              std::string::npos);

    const Outcome shorted = run({"D0 60 00 20 01", "D0 60 00 20 00"});
    ASSERT_EQ(shorted.found.size(), 2u);
    EXPECT_EQ(shorted.found[0].severity, Severity::Error);
    EXPECT_EQ(shorted.found[1].severity, Severity::Note);
    EXPECT_EQ(shorted.found[1].text, "Kurzschluss in Abschnitt 1 von Ger\xE4t 1 behoben.");
}

// Raw bytes carry no time: the rules that need it are passed over, and the
// others still hold.
TEST(Findings, WithoutTimesTheTimeRulesArePassedOver) {
    const Outcome r = run({"u BF 00 03", "u 82", "u B2 02 50", "u B2 02 40", "u B2 02 50",
                           "u B2 02 40", "u B2 02 50", "u B2 02 40", "u B2 02 50"});
    EXPECT_TRUE(r.untimed);
    EXPECT_EQ(kinds(r), (std::vector<std::string>{"gleisspannung"}));
    EXPECT_FALSE(run({"83"}).untimed);
}

TEST(Findings, MarksTheMessagesForTheFilterAndKeepsABoundedList) {
    testing::MessageBus bus;
    Findings findings;
    for (int i = 0; i < static_cast<int>(Findings::kKept) + 5; ++i) {
        findings.observe(bus.next("82"), bus.context());
        bus.wait(0.01); // a quiet bus
    }
    EXPECT_EQ(findings.kept().size(), Findings::kKept);
    EXPECT_EQ(findings.dropped(), 5u);
    EXPECT_EQ(findings.total(), Findings::kKept + 5);
    EXPECT_EQ(findings.count(Severity::Warning), Findings::kKept + 5);
    EXPECT_EQ(findings.marks(1), 0u); // dropped with its finding
    EXPECT_EQ(findings.marks(Findings::kKept + 5),
              1u << static_cast<unsigned>(FindingKind::TrackPower));
    // our own send counts as its echo: no finding twice
    Findings mine;
    mine.observe(bus.next("82", Direction::Sent), bus.context());
    EXPECT_EQ(mine.total(), 0u);
}

// A noisy bus keeps a group open: the list shows it at once and counts on;
// it is told (headless) when the group ends.
TEST(Findings, AnOpenGroupIsListedAndCountsOn) {
    testing::MessageBus bus;
    Findings findings;
    int told = 0;
    findings.on_found([&told](const Finding &) { ++told; });
    findings.observe(bus.corrupt("B2 02 50"), bus.context());
    ASSERT_EQ(findings.kept().size(), 1u);
    EXPECT_EQ(findings.kept()[0].count, 1u);
    findings.observe(bus.next("B2 02 50"), bus.context());
    findings.observe(bus.corrupt("B2 02 50"), bus.context());
    EXPECT_EQ(findings.kept()[0].count, 2u);
    EXPECT_EQ(findings.kept()[0].text.rfind("2 Meldung(en)", 0), 0u);
    EXPECT_EQ(findings.marks(3), 1u << static_cast<unsigned>(FindingKind::Checksum));
    EXPECT_EQ(findings.count(Severity::Error), 1u);
    EXPECT_EQ(told, 0);
    bus.wait(11);
    findings.tick(bus.next("83").steady_ns, 0);
    EXPECT_EQ(told, 1);
    EXPECT_EQ(findings.kept().size(), 1u);
}

TEST(Findings, KindsAreNamedBothWays) {
    for (std::size_t i = 0; i < kFindingKinds; ++i) {
        const auto kind = static_cast<FindingKind>(i);
        EXPECT_EQ(finding_kind(finding_id(kind)), kind);
    }
    EXPECT_EQ(finding_kind("rauch"), std::nullopt);
}

} // namespace
} // namespace bl::loconet
