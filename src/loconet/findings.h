// What went wrong on the bus, found in the message stream: a request nobody
// answered, a refusal, bad checksums and given-up bytes, a flapping sensor,
// track power switched off, a short circuit, a bus at its limit, one loco in
// two slots, a send that never came back, a switch commanded again and
// again. Each finding names the message where it happened and the others
// involved, and says in German what happened and what usually causes it.
//
// Fed every message after the bus context has annotated it, in order. Rules
// that need time read the messages' times; a stream without times (raw
// bytes) passes them over.
#pragma once

#include "loconet/bus_context.h"
#include "loconet/layout_state.h"
#include "loconet/message.h"
#include "loconet/numbered.h"
#include "loconet/recent_events.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace bl::loconet {

enum class FindingKind : std::uint8_t {
    Unanswered,
    Refused,
    Checksum,
    Discarded,
    Flapping,
    TrackPower,
    Short,
    Overload,
    DoubleLoco,
    NoEcho,
    SwitchBurst,
    Count
};
inline constexpr std::size_t kFindingKinds = static_cast<std::size_t>(FindingKind::Count);

enum class Severity : std::uint8_t { Error, Warning, Note };

// "unbeantwortet", "abgelehnt", ...: the names --json and the filter use.
std::string_view finding_id(FindingKind kind);
std::optional<FindingKind> finding_kind(std::string_view id);
// "Fehler", "Warnung", "Hinweis"
std::string_view severity_name(Severity severity);

struct Finding {
    FindingKind kind = FindingKind::Unanswered;
    Severity severity = Severity::Warning;
    std::uint64_t nr = 0;                // the message where it happened (0: before any)
    std::int64_t wall_us = 0;            // its time (0: none known)
    std::vector<std::uint64_t> messages; // nr first, then the others involved
    std::uint32_t count = 1;             // the events it groups
    std::string text;                    // German, Latin-1
};

class Findings {
public:
    // The findings kept for the list; older ones are dropped and counted.
    static constexpr std::size_t kKept = 10'000;
    // time limits of the rules, in nanoseconds
    static constexpr std::int64_t kSecond = 1'000'000'000;
    static constexpr std::int64_t kGroupGap = 10 * kSecond; // checksums, given-up bytes
    static constexpr std::int64_t kFlapWindow = 2 * kSecond;
    static constexpr int kFlapChanges = 6;
    static constexpr std::int64_t kBurstWindow = 2 * kSecond;
    static constexpr int kBurstCommands = 5;
    static constexpr std::int64_t kOverloadWindow = 2 * kSecond;
    static constexpr double kOverloadShare = 0.8;
    // the line's rate: 16457 bit/s, ten bits a byte
    static constexpr double kLineBytesPerSecond = 16457.0 / 10.0;
    // the bytes the line carries in the overload window
    static constexpr double kWindowBytes =
        kLineBytesPerSecond * static_cast<double>(kOverloadWindow) / kSecond;

    using Found = std::function<void(const Finding &)>;
    // Told of each finding as it is made (a grouped one when its group ends;
    // the list has it from its first event on, its count growing).
    void on_found(Found found) { found_ = std::move(found); }

    // One message, after the bus context annotated it. The context names
    // the request a reply answers and watches the requests waiting for
    // theirs (from the first message on: set it watching before that).
    void observe(const Message &m, BusContext &context);
    // Bytes given up without becoming a message, at the last message's time.
    void discarded(std::size_t bytes);
    // One of our sends whose echo did not come back in time.
    void no_echo(std::span<const std::uint8_t> message, std::int64_t steady_ns,
                 std::int64_t wall_us);
    // Time passes without messages (live): requests overdue by now, groups
    // that have ended.
    void tick(std::int64_t steady_ns, std::int64_t wall_us);
    // The end of the stream: what is still grouped is told.
    void finish();

    const std::deque<Finding> &kept() const { return kept_; }
    std::uint64_t dropped() const { return dropped_; }
    std::uint64_t count(Severity s) const { return by_severity_[static_cast<std::size_t>(s)]; }
    std::uint64_t total() const { return total_; }
    // The kinds of the findings that name a message, one bit each.
    std::uint32_t marks(std::uint64_t nr) const;
    // Whether messages without a time came, whose time rules were passed over.
    bool untimed() const { return untimed_; }
    // The messages' times are not the bus's (raw bytes read as fast as they
    // come): the rules that need time pass them over.
    void set_timeless(bool timeless) { timeless_ = timeless; }

private:
    struct Group {
        std::optional<Finding> open;
        std::int64_t last_ns = 0;
        std::uint64_t kept_as = 0; // its place in the list, counted as total()
    };

    void tell(Finding f); // told and kept
    void keep(Finding f);
    void grouped(Group &g, FindingKind kind, Severity severity, std::uint64_t nr,
                 std::int64_t steady_ns, std::int64_t wall_us, std::uint32_t events);
    void close_group(Group &g, std::int64_t now_ns, bool at_end);
    void expire(std::int64_t now_ns);
    [[gnu::noinline]] void falls_due(std::int64_t now_ns);
    void refused(const Message &m, const RequestSource &requests);
    void power(const Message &m);
    void sections(const Message &m);
    void sensors(const Message &m);
    void switches(const Message &m);
    [[gnu::always_inline]] inline void load(const Message &m);
    [[gnu::noinline]] void next_load_bucket(std::int64_t now_ns);
    [[gnu::noinline]] void overload(const Message &m);
    void doubled(const Message &m);

    Found found_;
    // the slots and sections as the bus told them (only what the rules
    // read is applied: slot data, status, moves and power managers; the
    // locos are not read)
    LayoutState state_{LayoutState::Locos::Skipped};
    // the last event of each sensor and switch, by number, and a sensor's
    // level (-1 unknown, 0 free, 1 occupied) apart from it: most reports
    // repeat a level, and a byte each keeps all levels close at hand
    struct Last {
        std::int64_t ns = 0;
        std::uint64_t nr = 0;
    };
    std::vector<Last> sensor_last_, switch_last_;
    std::vector<std::int8_t> sensor_level_;
    RecentEvents *in_burst(Last &last, Numbered<RecentEvents> &recent, int n, const Message &m,
                           std::int64_t window);
    std::deque<Finding> kept_;
    std::uint64_t dropped_ = 0, total_ = 0;
    std::array<std::uint64_t, 3> by_severity_{};
    // (message, kinds) sorted by message: findings name mostly the newest,
    // and the oldest go with the oldest findings
    std::deque<std::pair<std::uint64_t, std::uint32_t>> marks_;
    void mark(std::uint64_t nr, std::uint32_t bit);
    bool untimed_ = false;
    bool timeless_ = false;
    std::uint64_t last_nr_ = 0;
    std::int64_t last_ns_ = 0, last_wall_us_ = 0;

    BusContext *context_ = nullptr; // the one that watches the requests
    // the earliest a group may end (a bound: none ends before it), so that
    // messages before it pass with one comparison
    std::int64_t next_due_ns_ = INT64_MAX;
    Group checksums_, discards_;
    Numbered<RecentEvents> sensor_changes_, switch_commands_;
    std::vector<bool> section_tripped_;
    std::vector<int> doubled_locos_; // told already, until they part
    // bus load: the bytes of each tenth of a second, the last window's in a
    // ring
    static constexpr std::int64_t kLoadBucket = kSecond / 10;
    static constexpr std::size_t kLoadBuckets = kOverloadWindow / kLoadBucket;
    std::array<std::uint32_t, kLoadBuckets> load_buckets_{};
    std::int64_t load_bucket_ = -1; // the bucket now being filled, by its number
    // where it starts; none yet: no time lies in the bucket from here
    std::int64_t load_bucket_start_ = INT64_MIN;
    std::size_t load_slot_ = 0;    // its place in the ring
    std::uint64_t load_bytes_ = 0; // in the ring
    std::int64_t load_seen_since_ = 0;
    bool overloaded_ = false;
};

} // namespace bl::loconet
