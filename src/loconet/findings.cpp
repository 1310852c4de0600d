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

std::vector<std::uint64_t> Findings::Recent::within(std::int64_t now, std::int64_t window) const {
    std::vector<std::uint64_t> found;
    for (std::size_t i = 0; i < at.size(); ++i)
        if (nr[i] != 0 && now - at[i] <= window)
            found.push_back(nr[i]);
    std::sort(found.begin(), found.end());
    return found;
}

void Findings::tell(Finding f) {
    ++total_;
    ++by_severity_[static_cast<std::size_t>(f.severity)];
    const std::uint32_t bit = 1u << static_cast<unsigned>(f.kind);
    for (const std::uint64_t nr : f.messages)
        if (nr != 0)
            marks_[nr] |= bit;
    if (found_)
        found_(f);
    kept_.push_back(std::move(f));
    if (kept_.size() > kKept) {
        for (const std::uint64_t nr : kept_.front().messages)
            marks_.erase(nr);
        kept_.pop_front();
        ++dropped_;
    }
}

void Findings::observe(const Message &m, const RequestSource &requests) {
    // our sends count as their echo from the bus
    if (m.length == 0 || m.direction == Direction::Sent)
        return;
    last_nr_ = m.seq;
    last_wall_us_ = m.wall_us;
    const bool timed = m.steady_ns != 0;
    if (timed) {
        last_ns_ = m.steady_ns;
        expire(m.steady_ns);
        close_group(checksums_, m.steady_ns, false);
        close_group(discards_, m.steady_ns, false);
    } else {
        untimed_ = true;
    }
    if (!m.checksum_ok) {
        grouped(checksums_, FindingKind::Checksum, Severity::Error, m.seq, m.steady_ns, m.wall_us,
                1);
        return;
    }
    state_.apply(m);
    if (m.known.answers != 0)
        answered(m.known.answers);
    if (m.opcode() == kOpcLongAck)
        refused(m, requests);
    power(m);
    sections(m);
    doubled(m);
    if (timed) {
        sensors(m);
        switches(m);
        load(m);
        requested(m, requests);
    }
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
    expire(steady_ns);
    close_group(checksums_, steady_ns, false);
    close_group(discards_, steady_ns, false);
}

void Findings::finish() {
    // requests whose time ran out before the last message; later ones
    // cannot be judged
    expire(last_ns_);
    close_group(checksums_, 0, true);
    close_group(discards_, 0, true);
}

// A finding that groups events closer than kGroupGap to one another.
void Findings::grouped(Group &g, FindingKind kind, Severity severity, std::uint64_t nr,
                       std::int64_t steady_ns, std::int64_t wall_us, std::uint32_t events) {
    if (g.open && steady_ns != 0 && g.last_ns != 0 && steady_ns - g.last_ns > kGroupGap)
        close_group(g, 0, true);
    if (!g.open) {
        g.open = Finding{kind, severity, nr, wall_us, {}, 0, {}};
    }
    g.open->count += events;
    if (nr != 0 && g.open->messages.size() < kListed &&
        (g.open->messages.empty() || g.open->messages.back() != nr))
        g.open->messages.push_back(nr);
    if (steady_ns != 0)
        g.last_ns = steady_ns;
}

void Findings::close_group(Group &g, std::int64_t now_ns, bool at_end) {
    if (!g.open)
        return;
    if (!at_end && (now_ns == 0 || g.last_ns == 0 || now_ns - g.last_ns <= kGroupGap))
        return;
    Finding f = std::move(*g.open);
    g.open.reset();
    const bool sums = f.kind == FindingKind::Checksum;
    f.text = number(f.count);
    f.text.append(sums ? t::kChecksum : t::kDiscarded)
        .append(t::kCause)
        .append(sums ? t::kCauseChecksum : t::kCauseDiscarded);
    tell(std::move(f));
}

// Requests whose time ran out unanswered.
void Findings::expire(std::int64_t now_ns) {
    if (next_deadline_ == 0 || now_ns <= next_deadline_)
        return;
    next_deadline_ = 0;
    std::vector<Pending> late;
    std::erase_if(pending_, [&](Pending &p) {
        if (now_ns > p.deadline_ns) {
            late.push_back(std::move(p));
            return true;
        }
        if (next_deadline_ == 0 || p.deadline_ns < next_deadline_)
            next_deadline_ = p.deadline_ns;
        return false;
    });
    const NoRequests none;
    for (const Pending &p : late) {
        Finding f{FindingKind::Unanswered, Severity::Warning, p.nr, p.wall_us, {p.nr}, 1, {}};
        f.text.append(t::kUnanswered)
            .append(number(static_cast<std::uint64_t>(p.patience_ns / kSecond)))
            .append(t::kUnansweredOn)
            .append(detailed(p.request, none))
            .append(".")
            .append(t::kCause)
            .append(unanswered_cause(BusContext::asks(p.request)));
        tell(std::move(f));
    }
}

void Findings::requested(const Message &m, const RequestSource &) {
    const BusContext::Asks kind = BusContext::asks(m);
    if (kind == BusContext::Asks::Nothing || !BusContext::awaits_reply(m, kind))
        return;
    // asked again before an answer: the repetition waits in its place
    std::erase_if(pending_, [&m](const Pending &p) {
        return std::equal(p.request.view().begin(), p.request.view().end(), m.view().begin(),
                          m.view().end());
    });
    constexpr std::size_t kMostPending = 256;
    if (pending_.size() >= kMostPending)
        pending_.erase(pending_.begin());
    const std::int64_t patience = BusContext::patience(kind);
    pending_.push_back({m.seq, m.steady_ns + patience, m.wall_us, patience, m});
    if (next_deadline_ == 0 || m.steady_ns + patience < next_deadline_)
        next_deadline_ = m.steady_ns + patience;
}

void Findings::answered(std::uint64_t request_nr) {
    std::erase_if(pending_, [request_nr](const Pending &p) { return p.nr == request_nr; });
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

void Findings::sensors(const Message &m) {
    if (m.opcode() != kOpcInputRep)
        return;
    const int n = sensor_number(m[1], m[2]);
    const SensorState *s = state_.sensors().find(n);
    if (!s || s->changed_nr != m.seq)
        return;
    bool added = false;
    Recent *r = sensor_changes_.get(n, added);
    if (!r)
        return;
    r->add(m.steady_ns, m.seq);
    const auto involved = r->within(m.steady_ns, kFlapWindow);
    if (static_cast<int>(involved.size()) < kFlapChanges)
        return;
    const bool told = m.steady_ns < r->quiet_until;
    r->quiet_until = m.steady_ns + kFlapWindow;
    if (told)
        return;
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
    bool added = false;
    Recent *r = switch_commands_.get(n, added);
    if (!r)
        return;
    r->add(m.steady_ns, m.seq);
    const auto involved = r->within(m.steady_ns, kBurstWindow);
    if (static_cast<int>(involved.size()) < kBurstCommands)
        return;
    const bool told = m.steady_ns < r->quiet_until;
    r->quiet_until = m.steady_ns + kBurstWindow;
    if (told)
        return;
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
void Findings::load(const Message &m) {
    load_window_.emplace_back(m.steady_ns, m.length);
    load_bytes_ += m.length;
    while (m.steady_ns - load_window_.front().first > kOverloadWindow) {
        load_bytes_ -= load_window_.front().second;
        load_window_.pop_front();
    }
    if (!load_seen_since_)
        load_seen_since_ = m.steady_ns;
    const double share = static_cast<double>(load_bytes_) /
                         (kLineBytesPerSecond * static_cast<double>(kOverloadWindow) / kSecond);
    if (share < 0.7)
        overloaded_ = false;
    if (overloaded_ || share < kOverloadShare || m.steady_ns - load_seen_since_ < kOverloadWindow)
        return;
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
    for (const SlotState &s : state_.slots()) {
        if (s.changed_nr != m.seq || s.loco <= 0)
            continue;
        const std::vector<int> held = state_.slots_holding(s.loco);
        const auto told = std::find(doubled_locos_.begin(), doubled_locos_.end(), s.loco);
        if (held.size() < 2) {
            if (told != doubled_locos_.end())
                doubled_locos_.erase(told);
            continue;
        }
        if (told != doubled_locos_.end())
            continue;
        doubled_locos_.push_back(s.loco);
        Finding f{FindingKind::DoubleLoco, Severity::Warning, m.seq, m.wall_us, {m.seq}, 1, {}};
        f.text.append(t::kLoco)
            .append(number(static_cast<std::uint64_t>(s.loco)))
            .append(t::kInSlots);
        for (std::size_t i = 0; i < held.size(); ++i) {
            if (i > 0)
                f.text.append(", ");
            f.text.append(number(static_cast<std::uint64_t>(held[i])));
            if (const SlotState *other = state_.slots().find(held[i]);
                other && other->changed_nr != m.seq && other->changed_nr != 0)
                f.messages.push_back(other->changed_nr);
        }
        f.text.append(".").append(t::kCause).append(t::kCauseDoubleLoco);
        tell(std::move(f));
    }
}

} // namespace bl::loconet
