#include "loconet/findings.h"

#include "loconet/addresses.h"
#include "loconet/detail.h"
#include "loconet/finding_texts.h"
#include "loconet/hex.h"
#include "loconet/opcodes.h"

#include <algorithm>
#include <cmath>

namespace bl::loconet {

namespace {

namespace t = texts::findings;

constexpr std::array<std::string_view, kFindingKinds> kIds{
    "unbeantwortet", "abgelehnt", "pruefsumme",   "verworfen", "flattern",       "gleisspannung",
    "kurzschluss",   "ueberlast", "doppelte_lok", "ohne_echo", "weiche_gehaeuft"};

// the messages a grouped finding lists at most (its count says how many)
constexpr std::size_t kListed = 50;

class NoRequests : public RequestSource {
public:
    const Message *request(std::uint64_t) const override { return nullptr; }
};

std::string detailed(const Message &m, const RequestSource &requests) {
    LineText line;
    render_detailed(m, requests, line);
    return std::string(line.view());
}

std::string_view unanswered_cause(BusContext::Asks kind) {
    using A = BusContext::Asks;
    switch (kind) {
    case A::SwitchWithAck:
    case A::SwitchState: return t::kCauseSwitchAck;
    case A::ProgrammerTask: return t::kCauseProgrammer;
    case A::ArticleRead:
    case A::SystemVariable1:
    case A::SystemVariable2: return t::kCauseDevice;
    default: return t::kCauseStation;
    }
}

// The cause of a refusal, by the request it names; empty where the code is
// no refusal.
std::string_view refusal_cause(int lopc, int ack) {
    if (lopc == 0x6F && ack == 0x7F)
        return t::kCauseNotSupported;
    if (ack != 0)
        return {};
    switch (lopc) {
    case 0x3F:
    case 0x3E: return t::kCauseNoSlots;
    case 0x3D:
    case 0x30:
    case 0x6D: return t::kCauseBufferFull;
    case 0x3B: return t::kCauseNoSuchSlot;
    case 0x3A:
    case 0x39:
    case 0x38: return t::kCauseSlotState;
    case 0x6F: return t::kCauseProgrammerBusy;
    case 0x66: return t::kCauseNotSupported;
    case 0x50:
    case 0x6E: return t::kCauseRefusedOther;
    default: return {};
    }
}

std::string number(std::uint64_t n) { return std::to_string(n); }

} // namespace

std::string_view finding_id(FindingKind kind) {
    return kind < FindingKind::Count ? kIds[static_cast<std::size_t>(kind)] : std::string_view();
}

std::optional<FindingKind> finding_kind(std::string_view id) {
    for (std::size_t i = 0; i < kIds.size(); ++i)
        if (kIds[i] == id)
            return static_cast<FindingKind>(i);
    return std::nullopt;
}

std::string_view severity_name(Severity severity) {
    switch (severity) {
    case Severity::Error: return "Fehler";
    case Severity::Warning: return "Warnung";
    case Severity::Note: return "Hinweis";
    }
    return {};
}

std::uint32_t Findings::marks(std::uint64_t nr) const {
    const auto it =
        std::lower_bound(marks_.begin(), marks_.end(), nr,
                         [](const auto &mark, std::uint64_t n) { return mark.first < n; });
    return it != marks_.end() && it->first == nr ? it->second : 0;
}

void Findings::mark(std::uint64_t nr, std::uint32_t bit) {
    if (nr == 0)
        return;
    if (marks_.empty() || marks_.back().first < nr) {
        marks_.emplace_back(nr, bit);
        return;
    }
    const auto it =
        std::lower_bound(marks_.begin(), marks_.end(), nr,
                         [](const auto &mark, std::uint64_t n) { return mark.first < n; });
    if (it != marks_.end() && it->first == nr)
        it->second |= bit;
    else
        marks_.emplace(it, nr, bit);
}

void Findings::tell(Finding f) {
    if (found_)
        found_(f);
    keep(std::move(f));
}

void Findings::keep(Finding f) {
    ++total_;
    ++by_severity_[static_cast<std::size_t>(f.severity)];
    const std::uint32_t bit = 1u << static_cast<unsigned>(f.kind);
    for (const std::uint64_t nr : f.messages)
        mark(nr, bit);
    kept_.push_back(std::move(f));
    if (kept_.size() > kKept) {
        kept_.pop_front();
        ++dropped_;
        // the marks of messages older than any a kept finding names go
        std::uint64_t oldest = kept_.front().nr;
        for (const std::uint64_t nr : kept_.front().messages)
            oldest = std::min(oldest, nr);
        while (!marks_.empty() && marks_.front().first < oldest)
            marks_.pop_front();
    }
}

// This runs for every message of the bus: what all messages pass is kept
// short.
void Findings::observe(const Message &m, BusContext &context) {
    context_ = &context;
    if (!context.watching_unreplied())
        context.watch_unreplied();
    // our sends count as their echo from the bus
    if (m.length == 0 || m.direction == Direction::Sent)
        return;
    last_nr_ = m.seq;
    last_wall_us_ = m.wall_us;
    const bool timed = m.steady_ns != 0 && !timeless_;
    if (timed) {
        last_ns_ = m.steady_ns;
        if (m.steady_ns > next_due_ns_ || m.steady_ns > context.unreplied_due_ns())
            falls_due(m.steady_ns);
    } else {
        untimed_ = true;
    }
    if (!m.checksum_ok) {
        grouped(checksums_, FindingKind::Checksum, Severity::Error, m.seq, m.steady_ns, m.wall_us,
                1);
        return;
    }
    if (timed)
        load(m);
    // each message to the rules about it
    switch (m.opcode()) {
    case kOpcGpOff:
    case kOpcIdle: power(m); break;
    case kOpcLongAck: refused(m, context); break;
    case kOpcMultiSense:
        state_.apply(m);
        sections(m);
        break;
    case kOpcSlRdData:
    case kOpcWrSlData:
    case kOpcMoveSlots:
        state_.apply(m);
        doubled(m);
        break;
    case kOpcSlotStat1: state_.apply(m); break;
    case kOpcInputRep:
        if (timed)
            sensors(m);
        break;
    case kOpcSwReq:
    case kOpcSwAck:
        if (timed)
            switches(m);
        break;
    default: break;
    }
}

// Requests overdue by now, groups that ended; then the next time a group
// may.
void Findings::falls_due(std::int64_t now_ns) {
    expire(now_ns);
    close_group(checksums_, now_ns, false);
    close_group(discards_, now_ns, false);
    next_due_ns_ = INT64_MAX;
    for (const Group *g : {&checksums_, &discards_})
        if (g->open && g->last_ns != 0)
            next_due_ns_ = std::min(next_due_ns_, g->last_ns + kGroupGap);
}

void Findings::discarded(std::size_t bytes) {
    if (bytes == 0)
        return;
    grouped(discards_, FindingKind::Discarded, Severity::Warning, last_nr_, last_ns_, last_wall_us_,
            static_cast<std::uint32_t>(bytes));
}

void Findings::no_echo(std::span<const std::uint8_t> message, std::int64_t steady_ns,
                       std::int64_t wall_us) {
    Finding f{FindingKind::NoEcho, Severity::Error, last_nr_, wall_us, {last_nr_}, 1, {}};
    f.text.append(t::kNoEcho).append(hex_list(message));
    f.text.append(".").append(t::kCause).append(t::kCauseNoEcho);
    (void)steady_ns;
    tell(std::move(f));
}

void Findings::tick(std::int64_t steady_ns, std::int64_t wall_us) {
    (void)wall_us;
    falls_due(steady_ns);
}

void Findings::finish() {
    // requests whose time ran out before the last message; later ones
    // cannot be judged
    expire(last_ns_);
    close_group(checksums_, 0, true);
    close_group(discards_, 0, true);
}

// A finding that groups events closer than kGroupGap to one another.
// A grouped finding is in the list from its first event on, its count
// growing; it is told when the group ends.
void Findings::grouped(Group &g, FindingKind kind, Severity severity, std::uint64_t nr,
                       std::int64_t steady_ns, std::int64_t wall_us, std::uint32_t events) {
    if (g.open && steady_ns != 0 && g.last_ns != 0 && steady_ns - g.last_ns > kGroupGap)
        close_group(g, 0, true);
    const bool opened = !g.open;
    if (opened)
        g.open = Finding{kind, severity, nr, wall_us, {}, 0, {}};
    Finding &f = *g.open;
    f.count += events;
    const bool listed =
        nr != 0 && f.messages.size() < kListed && (f.messages.empty() || f.messages.back() != nr);
    if (listed)
        f.messages.push_back(nr);
    const bool sums = kind == FindingKind::Checksum;
    f.text = number(f.count);
    f.text.append(sums ? t::kChecksum : t::kDiscarded)
        .append(t::kCause)
        .append(sums ? t::kCauseChecksum : t::kCauseDiscarded);
    if (steady_ns != 0) {
        g.last_ns = steady_ns;
        next_due_ns_ = std::min(next_due_ns_, steady_ns + kGroupGap);
    }
    if (opened) {
        keep(f);
        g.kept_as = total_;
        return;
    }
    // the list's copy follows, while it is still kept
    const std::uint64_t first_kept = total_ - kept_.size() + 1;
    if (g.kept_as >= first_kept) {
        Finding &shown = kept_[static_cast<std::size_t>(g.kept_as - first_kept)];
        shown.count = f.count;
        shown.text = f.text;
        if (listed) {
            shown.messages.push_back(nr);
            mark(nr, 1u << static_cast<unsigned>(kind));
        }
    }
}

void Findings::close_group(Group &g, std::int64_t now_ns, bool at_end) {
    if (!g.open)
        return;
    if (!at_end && (now_ns == 0 || g.last_ns == 0 || now_ns - g.last_ns <= kGroupGap))
        return;
    if (found_)
        found_(*g.open);
    g.open.reset();
}

// Requests whose time ran out unanswered, as the bus context watched them.
void Findings::expire(std::int64_t now_ns) {
    if (!context_ || timeless_)
        return;
    const NoRequests none;
    for (const Message &request : context_->take_unreplied(now_ns)) {
        const BusContext::Asks kind = BusContext::asks(request);
        const std::uint64_t nr = request.seq;
        Finding f{FindingKind::Unanswered, Severity::Warning, nr, request.wall_us, {nr}, 1, {}};
        f.text.append(t::kUnanswered)
            .append(number(static_cast<std::uint64_t>(BusContext::patience(kind) / kSecond)))
            .append(t::kUnansweredOn)
            .append(detailed(request, none))
            .append(".")
            .append(t::kCause)
            .append(unanswered_cause(kind));
        tell(std::move(f));
    }
}

void Findings::refused(const Message &m, const RequestSource &requests) {
    const std::string_view cause = refusal_cause(m[1], m[2]);
    if (cause.empty())
        return;
    Finding f{FindingKind::Refused, Severity::Warning, m.seq, m.wall_us, {m.seq}, 1, {}};
    if (m.known.answers != 0)
        f.messages.push_back(m.known.answers);
    f.text.append(t::kRefused)
        .append(detailed(m, requests))
        .append(".")
        .append(t::kCause)
        .append(cause);
    tell(std::move(f));
}

void Findings::power(const Message &m) {
    const int op = m.opcode();
    if (op != kOpcGpOff && op != kOpcIdle)
        return;
    Finding f{FindingKind::TrackPower, Severity::Warning, m.seq, m.wall_us, {m.seq}, 1, {}};
    f.text.append(op == kOpcGpOff ? t::kPowerOff : t::kEmergencyStop)
        .append(t::kCause)
        .append(op == kOpcGpOff ? t::kCausePowerOff : t::kCauseEmergencyStop);
    tell(std::move(f));
}

// Power managers and boosters report a short circuit as a section tripped.
void Findings::sections(const Message &m) {
    if (m.opcode() != kOpcMultiSense)
        return;
    std::size_t i = 0;
    for (const SectionState &s : state_.sections()) {
        if (i >= section_tripped_.size())
            section_tripped_.push_back(false);
        const bool was = section_tripped_[i];
        const bool is = s.tripped && s.kind != SectionState::Kind::Reverser;
        section_tripped_[i++] = is;
        if (s.changed_nr != m.seq || was == is)
            continue;
        Finding f{FindingKind::Short,
                  is ? Severity::Error : Severity::Note,
                  m.seq,
                  m.wall_us,
                  {m.seq},
                  1,
                  {}};
        f.text.append(t::kShort)
            .append(number(static_cast<std::uint64_t>(s.section)))
            .append(t::kOfDevice)
            .append(number(static_cast<std::uint64_t>(s.board)));
        if (is)
            f.text.append(".").append(t::kCause).append(t::kCauseShort);
        else
            f.text.append(t::kShortCleared);
        tell(std::move(f));
    }
}

// An event of a sensor or switch: where it follows the one before within
// the window, both go to its ring of recent events, which is returned; an
// event after a pause starts no burst and costs no more than its time kept.
RecentEvents *Findings::in_burst(Last &last, Numbered<RecentEvents> &recent, int n,
                                 const Message &m, std::int64_t window) {
    const Last before = last;
    last.ns = m.steady_ns;
    last.nr = m.seq;
    if (before.nr == 0 || m.steady_ns - before.ns > window)
        return nullptr;
    bool added = false;
    RecentEvents *r = recent.get(n, added);
    if (!r)
        return nullptr;
    if (r->newest() != before.nr)
        r->add(before.ns, before.nr);
    r->add(m.steady_ns, m.seq);
    return r;
}

void Findings::sensors(const Message &m) {
    if (m.opcode() != kOpcInputRep)
        return;
    const int n = sensor_number(m[1], m[2]);
    const auto level = static_cast<std::int8_t>((m[2] & 0x10) ? 1 : 0);
    const auto at = static_cast<std::size_t>(n);
    if (at >= sensor_level_.size())
        sensor_level_.resize(at + 1, -1);
    if (sensor_level_[at] == level)
        return; // the same again is no change
    sensor_level_[at] = level;
    if (at >= sensor_last_.size())
        sensor_last_.resize(at + 1);
    RecentEvents *r = in_burst(sensor_last_[at], sensor_changes_, n, m, kFlapWindow);
    if (!r || !r->at_least_within(kFlapChanges, m.steady_ns, kFlapWindow))
        return;
    const bool told = m.steady_ns < r->quiet_until;
    r->quiet_until = m.steady_ns + kFlapWindow;
    if (told)
        return;
    const auto involved = r->within(m.steady_ns, kFlapWindow);
    Finding f{FindingKind::Flapping, Severity::Warning, m.seq, m.wall_us, involved, 1, {}};
    std::rotate(f.messages.rbegin(), f.messages.rbegin() + 1, f.messages.rend()); // nr first
    f.text.append(t::kSensor)
        .append(number(static_cast<std::uint64_t>(n)))
        .append(t::kFlapping)
        .append(number(involved.size()))
        .append(t::kTimesWithin)
        .append(t::kCause)
        .append(t::kCauseFlapping);
    tell(std::move(f));
}

void Findings::switches(const Message &m) {
    const int op = m.opcode();
    if ((op != kOpcSwReq && op != kOpcSwAck) || !(m[2] & 0x10))
        return; // a command is its pulse switched on
    if (op == kOpcSwReq && (m[1] & 0x7C) == 0x78 &&
        ((m[2] & 0x0F) == 0x0F || (m[2] & 0x1F) == 0x17))
        return; // a broadcast or interrogation, about no switch
    const int n = switch_address(m[1], m[2]);
    const auto at = static_cast<std::size_t>(n);
    if (at >= switch_last_.size())
        switch_last_.resize(at + 1);
    RecentEvents *r = in_burst(switch_last_[at], switch_commands_, n, m, kBurstWindow);
    if (!r || !r->at_least_within(kBurstCommands, m.steady_ns, kBurstWindow))
        return;
    const bool told = m.steady_ns < r->quiet_until;
    r->quiet_until = m.steady_ns + kBurstWindow;
    if (told)
        return;
    const auto involved = r->within(m.steady_ns, kBurstWindow);
    Finding f{FindingKind::SwitchBurst, Severity::Note, m.seq, m.wall_us, involved, 1, {}};
    std::rotate(f.messages.rbegin(), f.messages.rbegin() + 1, f.messages.rend());
    f.text.append(t::kSwitch)
        .append(number(static_cast<std::uint64_t>(n)))
        .append(t::kCommanded)
        .append(number(involved.size()))
        .append(t::kCommandedWithin)
        .append(t::kCause)
        .append(t::kCauseSwitchBurst);
    tell(std::move(f));
}

// The share of the line the messages of the last window took, once it
// stays at 80 % for the whole window; told again after it fell below 70 %.
// This runs for every message: the common case is one bucket added to and
// one comparison.
inline void Findings::load(const Message &m) {
    // (unsigned: a time before the bucket's start is far outside it too)
    if (static_cast<std::uint64_t>(m.steady_ns) - static_cast<std::uint64_t>(load_bucket_start_) >=
        static_cast<std::uint64_t>(kLoadBucket))
        next_load_bucket(m.steady_ns);
    load_buckets_[load_slot_] += m.length;
    load_bytes_ += m.length;
    // 80 % and 70 % of the bytes the line carries in the window
    constexpr auto kOverloadBytes = static_cast<std::uint64_t>(kWindowBytes * kOverloadShare);
    constexpr auto kCalmBytes = static_cast<std::uint64_t>(kWindowBytes * 0.7);
    if (load_bytes_ < kCalmBytes) {
        overloaded_ = false;
        return;
    }
    if (overloaded_ || load_bytes_ < kOverloadBytes ||
        m.steady_ns - load_seen_since_ < kOverloadWindow)
        return;
    overload(m);
}

// The buckets passed since the last message are empty; the ring forgets the
// oldest (after a step back in time it starts anew).
void Findings::next_load_bucket(std::int64_t now_ns) {
    if (!load_seen_since_)
        load_seen_since_ = now_ns;
    const std::int64_t bucket = now_ns / kLoadBucket;
    const std::int64_t steps = load_bucket_ < 0 || bucket < load_bucket_
                                   ? static_cast<std::int64_t>(kLoadBuckets)
                                   : std::min<std::int64_t>(bucket - load_bucket_, kLoadBuckets);
    for (std::int64_t i = 1; i <= steps; ++i) {
        load_slot_ = (load_slot_ + 1) % kLoadBuckets;
        load_bytes_ -= load_buckets_[load_slot_];
        load_buckets_[load_slot_] = 0;
    }
    load_bucket_ = bucket;
    load_bucket_start_ = bucket * kLoadBucket;
}

// Kept apart from the counting above, which runs for every message.
void Findings::overload(const Message &m) {
    const double share = static_cast<double>(load_bytes_) / kWindowBytes;
    overloaded_ = true;
    Finding f{FindingKind::Overload, Severity::Warning, m.seq, m.wall_us, {m.seq}, 1, {}};
    f.text.append(t::kOverload)
        .append(number(static_cast<std::uint64_t>(std::lround(std::min(share, 1.0) * 100))))
        .append(t::kOverloadOver)
        .append(t::kCause)
        .append(t::kCauseOverload);
    tell(std::move(f));
}

// One loco in two slots that are both in use: told once, until they part.
void Findings::doubled(const Message &m) {
    const int op = m.opcode();
    if (op != kOpcSlRdData && op != kOpcWrSlData && op != kOpcMoveSlots)
        return;
    // slot data names its slot; a move its source and its destination
    const std::array<int, 2> about{op == kOpcMoveSlots ? m[1] : m[2], m[2]};
    for (std::size_t i = 0; i < (op == kOpcMoveSlots && m[1] != m[2] ? 2u : 1u); ++i) {
        const SlotState *found = state_.slots().find(about[i]);
        if (!found)
            continue;
        const SlotState &s = *found;
        if (s.changed_nr != m.seq || s.loco <= 0)
            continue;
        int holders = 0; // counted first: a list is made only for a finding
        for (const SlotState &other : state_.slots())
            holders += other.loco == s.loco && other.activity != Activity::Free;
        const auto told = std::find(doubled_locos_.begin(), doubled_locos_.end(), s.loco);
        if (holders < 2) {
            if (told != doubled_locos_.end())
                doubled_locos_.erase(told);
            continue;
        }
        if (told != doubled_locos_.end())
            continue;
        const std::vector<int> held = state_.slots_holding(s.loco);
        doubled_locos_.push_back(s.loco);
        Finding f{FindingKind::DoubleLoco, Severity::Warning, m.seq, m.wall_us, {m.seq}, 1, {}};
        f.text.append(t::kLoco)
            .append(number(static_cast<std::uint64_t>(s.loco)))
            .append(t::kInSlots);
        for (std::size_t k = 0; k < held.size(); ++k) {
            if (k > 0)
                f.text.append(", ");
            f.text.append(number(static_cast<std::uint64_t>(held[k])));
            if (const SlotState *other = state_.slots().find(held[k]);
                other && other->changed_nr != m.seq && other->changed_nr != 0)
                f.messages.push_back(other->changed_nr);
        }
        f.text.append(".").append(t::kCause).append(t::kCauseDoubleLoco);
        tell(std::move(f));
    }
}

} // namespace bl::loconet
