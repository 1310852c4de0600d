#include "loconet/bus_context.h"

#include "loconet/addresses.h"
#include "loconet/opcodes.h"
#include "loconet/peer_formats.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <initializer_list>

namespace bl::loconet {

namespace {

constexpr int kSlotDataLength = 14;
constexpr int kExpandedSlotLength = 0x15;
constexpr std::uint8_t kEveryone = 0xFF; // a question every device of a kind answers

bool loco_slot(int slot) { return slot >= 0 && slot < kFirstSystemSlot; }

// The slot a locomotive message is about, or -1.
int slot_of(const Message &m) {
    switch (m.opcode()) {
    case kOpcLocoSpd:
    case kOpcLocoDirf:
    case kOpcLocoSnd:
    case kOpcLocoF9F12:
    case kOpcSlotStat1:
    case kOpcConsistFunc:
    case kOpcUnlinkSlots:
    case kOpcLinkSlots:
    case kOpcMoveSlots:
    case kOpcRqSlData: return m[1];
    case kOpcExpCmd: return m[1] == 0x20 ? m[2] : -1;
    case kOpcSlRdData:
    case kOpcWrSlData: return m.length == kSlotDataLength ? m[2] : -1;
    default: return -1;
    }
}

// The loco a slot's data gives: a high part of 0x7F is a short alias, whose
// long address the ID bytes hold where status 2 says so.
int slot_data_loco(const Message &m) {
    if (m[9] == 0x7F)
        return (m[8] & 0x0C) == 0x04 ? loco_address(m[12], m[11]) : m[4];
    return loco_address(m[9], m[4]);
}

} // namespace

std::int64_t BusContext::patience(Asks kind) {
    using A = BusContext::Asks;
    constexpr std::int64_t kSecond = 1'000'000'000;
    switch (kind) {
    case A::ProgrammerTask: return 30 * kSecond; // a paged read takes many seconds
    case A::ArticleRead:
    case A::SystemVariable1:
    case A::SystemVariable2:
    case A::TransponderFind:
    case A::RadioQuery:
    case A::ReceiverQuery: return 2 * kSecond; // devices on the bus answer, not the master
    default: return kSecond;
    }
}

namespace {

// How many replies a request gets.
std::uint8_t replies_to(BusContext::Asks kind, const Message &m) {
    using A = BusContext::Asks;
    switch (kind) {
    case A::ProgrammerTask: return 2; // the acknowledgement, then the final reply
    case A::ReceiverQuery: return kEveryone;
    case A::RadioQuery: return m[2] == 0x0F || m[2] == 0x01 ? kEveryone : 1;
    case A::SystemVariable2: return m[3] == 0x07 ? kEveryone : 1;
    case A::ArticleRead: return article_access(m).mod == 0xFFFF ? kEveryone : 1;
    default: return 1;
    }
}

// The slot a request for slot data names (with its expanded bits).
int requested_slot(const Message &m) { return m[1] + 128 * (m[2] & 0x07); }

bool is_reply_opcode(int op) {
    switch (op) {
    case kOpcLongAck:
    case kOpcSlRdData:
    case kOpcExpRdData:
    case kOpcReceiverReport:
    case kOpcPeerXfer: return true;
    default: return false;
    }
}

// Whether a request is always answered by one reply (not only when refused,
// like a switch command or a packet, nor by every device that hears it).
static_assert(static_cast<unsigned>(BusContext::Asks::ReceiverQuery) < 32, "a bit per kind");
constexpr std::uint32_t kAlwaysReplied = [] {
    using A = BusContext::Asks;
    std::uint32_t kinds = 0;
    for (const A kind : {A::LocoByAddress, A::ExpandedLocoByAddress, A::SwitchWithAck,
                         A::SwitchState, A::SlotData, A::Move, A::Link, A::Unlink,
                         A::ProgrammerTask, A::ArticleRead, A::SystemVariable1, A::SystemVariable2})
        kinds |= 1u << static_cast<unsigned>(kind);
    return kinds;
}();
bool always_replied(BusContext::Asks kind, std::uint8_t replies) {
    return (kAlwaysReplied >> static_cast<unsigned>(kind) & 1u) && replies != kEveryone;
}
} // namespace

BusContext::Asks BusContext::asks(const Message &m) {
    switch (m.opcode()) {
    case kOpcLocoAdr: return Asks::LocoByAddress;
    case kOpcExpLocoAdr: return Asks::ExpandedLocoByAddress;
    case kOpcSwAck: return Asks::SwitchWithAck;
    case kOpcSwState: return Asks::SwitchState;
    case kOpcSwReq: return Asks::Switch;
    case kOpcRqSlData: return Asks::SlotData;
    case kOpcMoveSlots: return Asks::Move;
    case kOpcLinkSlots: return Asks::Link;
    case kOpcUnlinkSlots: return Asks::Unlink;
    case kOpcWrSlData:
        if (m.length != kSlotDataLength)
            return Asks::Nothing;
        return m[2] == kSlotProgrammer ? Asks::ProgrammerTask : Asks::SlotWrite;
    case kOpcImmPacket:
        if (peer_format(m) == PeerFormat::ArticleCv) {
            const ArticleAccess a = article_access(m);
            if (a.cmd == kArticleRead && !(a.flags & kArticleEnd))
                return Asks::ArticleRead;
        }
        return Asks::ImmediatePacket;
    case kOpcExpWrData: return Asks::TableWrite;
    case kOpcMultiSense:
        return (m[1] & 0x60) == 0x60 && (m[3] & 0xF0) == 0x70 ? Asks::OptionSwitch : Asks::Nothing;
    case kOpcExpCmd: return (m[1] & 0xF8) == 0x38 ? Asks::ExpandedSlotCommand : Asks::Nothing;
    case kOpcReceiverQuery: return m[1] == 0x00 ? Asks::ReceiverQuery : Asks::Nothing;
    case kOpcPeerXfer: break;
    default: return Asks::Nothing;
    }
    switch (peer_format(m)) {
    case PeerFormat::SystemVariable2:
        return (m[3] & 0x40) == 0 ? Asks::SystemVariable2 : Asks::Nothing;
    case PeerFormat::SystemVariable1: return m[2] == 0x50 ? Asks::SystemVariable1 : Asks::Nothing;
    case PeerFormat::TransponderFind: return m[2] == 0x40 ? Asks::TransponderFind : Asks::Nothing;
    case PeerFormat::Radio: return m[3] == 0x08 ? Asks::RadioQuery : Asks::Nothing;
    default: return Asks::Nothing;
    }
}

// Whether reply is one the open request can have: of a kind that answers
// it, about its subject.
bool BusContext::answers(const Message &reply, const Message &q, Asks kind) const {
    switch (reply.opcode()) {
    case kOpcLongAck: {
        int lopc = reply[1];
        // the old document's spellings for the replies to 0xEF, 0xED, 0xEE
        if (lopc == 0x7F || lopc == 0x7D || lopc == 0x7E)
            lopc -= 0x10;
        if (lopc == 0x00 || lopc == 0x50)
            return kind == Asks::OptionSwitch;
        return (q.opcode() & 0x7F) == lopc;
    }
    case kOpcSlRdData: {
        if (reply.length != kSlotDataLength)
            return false;
        const int slot = reply[2];
        switch (kind) {
        case Asks::ProgrammerTask: return slot == kSlotProgrammer;
        case Asks::LocoByAddress:
            return loco_slot(slot) && (slot_data_loco(reply) == loco_address(q[1], q[2]) ||
                                       (reply[9] == 0x7F && reply[4] == loco_address(q[1], q[2])));
        case Asks::SlotData: return !(q[2] & 0x40) && slot == requested_slot(q);
        case Asks::Move: {
            const int from = q[1], to = q[2];
            if (from == 0)
                return true; // the dispatch get: whatever slot was put there
            return slot == (to == 0 || to == from ? from : to);
        }
        case Asks::Link:
        case Asks::Unlink: return slot == q[1] || slot == q[2];
        default: return false;
        }
    }
    case kOpcExpRdData: {
        if (reply.length != kExpandedSlotLength || reply[1] != kExpandedSlotLength)
            return false;
        const int slot = (reply[2] & 0x07) * 128 + reply[3];
        switch (kind) {
        case Asks::ExpandedLocoByAddress:
            return loco_address(reply[6], reply[5]) == loco_address(q[1], q[2]);
        case Asks::SlotData: return (q[2] & 0x40) && slot == requested_slot(q);
        case Asks::ExpandedSlotCommand:
            return slot == (q[1] & 0x07) * 128 + q[2] || slot == (q[3] & 0x07) * 128 + q[4];
        default: return false;
        }
    }
    case kOpcReceiverReport: return kind == Asks::ReceiverQuery;
    default: break;
    }
    switch (peer_format(reply)) {
    case PeerFormat::ArticleCv: {
        const ArticleAccess r = article_access(reply);
        if (r.cmd != kArticleReply || kind != Asks::ArticleRead)
            return false;
        const int asked = article_access(q).article;
        return asked == 0xFFFF || asked == r.article;
    }
    case PeerFormat::SystemVariable2: {
        if (!(reply[3] & 0x40) || kind != Asks::SystemVariable2)
            return false;
        const SystemVariable2 r = system_variable2(reply), asked = system_variable2(q);
        return asked.cmd == (r.cmd & 0x3F) &&
               (asked.cmd == 0x07 || asked.destination == r.destination);
    }
    case PeerFormat::SystemVariable1:
        return kind == Asks::SystemVariable1 && reply[2] != 0x50 && q[3] == reply[2];
    case PeerFormat::TransponderFind:
        return kind == Asks::TransponderFind && reply[2] == 0x00 &&
               transponder_loco(reply[3], reply[4]) == transponder_loco(q[3], q[4]);
    case PeerFormat::Radio: return kind == Asks::RadioQuery && reply[3] == 0x10 && q[2] == reply[2];
    default: return false;
    }
}

// The newest open request the reply answers, within its time; it is
// answered then (a programmer task's final reply follows only its
// acceptance).
std::uint64_t BusContext::answered(const Message &reply) {
    const int op = reply.opcode();
    if (!is_reply_opcode(op))
        return 0;
    // the open requests that can have this reply: a long acknowledgement's
    // by the opcode it names, any other's by the kinds of request it answers
    std::uint64_t candidates = 0;
    const auto of_kinds = [this](std::initializer_list<Asks> kinds) {
        std::uint64_t open = 0;
        for (Asks kind : kinds)
            open |= by_kind_[static_cast<std::size_t>(kind)];
        return open;
    };
    switch (op) {
    case kOpcLongAck: {
        int acked = reply[1];
        // the old document's spellings for the replies to 0xEF, 0xED, 0xEE
        if (acked == 0x7F || acked == 0x7D || acked == 0x7E)
            acked -= 0x10;
        candidates = by_opcode_[static_cast<std::size_t>(acked & 0x7F)];
        if (acked == 0x00 || acked == 0x50)
            candidates |= of_kinds({Asks::OptionSwitch});
        break;
    }
    case kOpcSlRdData: {
        candidates = of_kinds({Asks::ProgrammerTask, Asks::Link, Asks::Unlink});
        // the requests told by a key only where the key is the slot's or the loco's
        const std::uint64_t keyed = of_kinds({Asks::LocoByAddress, Asks::SlotData, Asks::Move});
        candidates |= keyed & ~keyed_;
        if (reply.length == kSlotDataLength) {
            const int loco = slot_data_loco(reply);
            candidates |= keyed & (by_key_[key_bucket(reply[2])] | by_key_[key_bucket(loco)] |
                                   (reply[9] == 0x7F ? by_key_[key_bucket(reply[4])] : 0));
        }
        break;
    }
    case kOpcExpRdData:
        candidates =
            of_kinds({Asks::ExpandedLocoByAddress, Asks::SlotData, Asks::ExpandedSlotCommand});
        break;
    case kOpcReceiverReport: candidates = of_kinds({Asks::ReceiverQuery}); break;
    default:
        switch (peer_format(reply)) {
        case PeerFormat::ArticleCv: candidates = of_kinds({Asks::ArticleRead}); break;
        case PeerFormat::SystemVariable2: candidates = of_kinds({Asks::SystemVariable2}); break;
        case PeerFormat::SystemVariable1: candidates = of_kinds({Asks::SystemVariable1}); break;
        case PeerFormat::TransponderFind: candidates = of_kinds({Asks::TransponderFind}); break;
        case PeerFormat::Radio: candidates = of_kinds({Asks::RadioQuery}); break;
        default: return 0;
        }
    }
    // slot data tells the requests it may answer by its slot and loco,
    // before each is asked in full
    int data_slot = -2, data_loco = -2, data_alias = -2;
    if (op == kOpcSlRdData && reply.length == kSlotDataLength) {
        data_slot = reply[2];
        data_loco = slot_data_loco(reply);
        if (reply[9] == 0x7F)
            data_alias = reply[4];
    }
    // newest first: turned so that the newest place is the highest bit
    static_assert(kRemembered == 64, "one bit per remembered request");
    static_assert(static_cast<std::size_t>(Asks::ReceiverQuery) <
                  std::tuple_size_v<decltype(by_kind_)>);
    std::uint64_t turned = std::rotr(candidates, static_cast<int>(next_));
    while (turned != 0) {
        const int high = 63 - std::countl_zero(turned);
        turned &= ~(std::uint64_t{1} << high);
        const std::size_t at = (static_cast<std::size_t>(high) + next_) % kRemembered;
        Open &open = open_[at];
        if (open.deadline_ns != 0 && reply.steady_ns > open.deadline_ns) {
            if (unreplied_ & (std::uint64_t{1} << at))
                unwatch(at, reply.steady_ns);
            close(at); // replies come in time order: it stays too late
            continue;
        }
        if (open.slot_data_key >= 0 && op == kOpcSlRdData) {
            const bool by_loco = open.kind == Asks::LocoByAddress;
            if (by_loco ? open.slot_data_key != data_loco && open.slot_data_key != data_alias
                        : open.slot_data_key != data_slot)
                continue;
        }
        if (reply.steady_ns < requests_[at].steady_ns)
            continue;
        const Message &request = kept(at);
        if (!answers(reply, request, open.kind))
            continue;
        unreplied_ &= ~(std::uint64_t{1} << at);
        if (open.answers_left != kEveryone)
            --open.answers_left;
        // a task refused, or taken without a final reply, waits for nothing more
        if (open.kind == Asks::ProgrammerTask && op == kOpcLongAck && reply[2] != 0x01)
            open.answers_left = 0;
        if (open.answers_left == 0)
            close(at);
        return request.seq;
    }
    return 0;
}

void BusContext::close(std::size_t at) {
    Open &open = open_[at];
    const std::uint64_t keep = ~(std::uint64_t{1} << at);
    by_kind_[static_cast<std::size_t>(open.kind)] &= keep;
    by_opcode_[open.opcode & 0x7Fu] &= keep;
    if (open.slot_data_key >= 0)
        by_key_[key_bucket(open.slot_data_key)] &= keep;
    keyed_ &= keep;
    open.answers_left = 0;
}

void BusContext::remember(const Message &request, Asks kind) {
    const std::size_t at = next_;
    next_ = (next_ + 1) % kRemembered;
    if (unreplied_ & (std::uint64_t{1} << at))
        unwatch(at, request.steady_ns);
    close(at); // the oldest gives way
    Open &open = open_[at];
    keep(at, request);
    // a file of raw bytes carries no times: its requests wait as long as they are remembered
    open.deadline_ns = request.steady_ns != 0 ? request.steady_ns + patience(kind) : 0;
    open.kind = kind;
    open.opcode = static_cast<std::uint8_t>(request.opcode());
    open.answers_left = replies_to(kind, request);
    open.slot_data_key = -1;
    switch (kind) {
    case Asks::LocoByAddress: open.slot_data_key = loco_address(request[1], request[2]); break;
    case Asks::SlotData:
        if (!(request[2] & 0x40))
            open.slot_data_key = requested_slot(request);
        break;
    case Asks::Move:
        if (const int from = request[1], to = request[2]; from != 0)
            open.slot_data_key = to == 0 || to == from ? from : to;
        break;
    default: break;
    }
    if (open.answers_left == 0)
        return;
    if (watching_ && open.deadline_ns != 0 && request.checksum_ok &&
        always_replied(kind, open.answers_left))
        watch(at, request);
    by_kind_[static_cast<std::size_t>(kind)] |= std::uint64_t{1} << at;
    by_opcode_[open.opcode & 0x7Fu] |= std::uint64_t{1} << at;
    if (open.slot_data_key >= 0) {
        by_key_[key_bucket(open.slot_data_key)] |= std::uint64_t{1} << at;
        keyed_ |= std::uint64_t{1} << at;
    }
}

namespace {
// A request's first bytes (at most seven) and its length, to tell a
// repetition at a glance. The message's array is longer than eight bytes;
// what lies past the message is masked off.
std::uint64_t glance(const Message &m) {
    static_assert(kLongestMessage >= 8);
    std::uint64_t key = 0;
    std::memcpy(&key, m.bytes.data(), 8);
    const unsigned kept = std::min<unsigned>(m.length, 7);
    if (kept == 0)
        return 0;
    if constexpr (std::endian::native == std::endian::little)
        key &= (std::uint64_t{1} << (8 * kept)) - 1;
    else
        key >>= 8 * (8 - kept);
    return (key << 8) | m.length;
}
} // namespace

// A request asked again before its reply came: the one before waits no
// longer, the repetition waits in its place.
void BusContext::watch(std::size_t at, const Message &request) {
    const std::uint64_t key = glance(request);
    std::uint64_t same_opcode = unreplied_ & by_opcode_[request.opcode() & 0x7F];
    while (same_opcode != 0) {
        const auto before = static_cast<std::size_t>(std::countr_zero(same_opcode));
        same_opcode &= same_opcode - 1;
        if (glances_[before] != key)
            continue;
        // longer than the glance: the rest compared too
        const auto bytes = request.view();
        const Kept &k = requests_[before];
        if (request.length <= 7 ||
            (k.length <= Kept::kBytes
                 ? std::equal(bytes.begin(), bytes.end(), k.bytes.begin())
                 : std::equal(bytes.begin(), bytes.end(), long_requests_[before].begin())))
            unreplied_ &= ~(std::uint64_t{1} << before);
    }
    glances_[at] = key;
    unreplied_ |= std::uint64_t{1} << at;
    unreplied_due_ns_ = std::min(unreplied_due_ns_, open_[at].deadline_ns);
}

// A place given up: a watched request whose time ran out by then is told
// later; one still in its time cannot be judged.
void BusContext::unwatch(std::size_t at, std::int64_t now_ns) {
    unreplied_ &= ~(std::uint64_t{1} << at);
    if (now_ns <= open_[at].deadline_ns)
        return;
    constexpr std::size_t kMostOverdue = 256; // untaken, the oldest go
    if (overdue_.size() >= kMostOverdue)
        overdue_.erase(overdue_.begin());
    overdue_.push_back(kept(at));
    unreplied_due_ns_ = INT64_MIN;
}

std::vector<Message> BusContext::take_unreplied(std::int64_t now_ns) {
    std::vector<Message> late = std::move(overdue_);
    overdue_.clear();
    unreplied_due_ns_ = INT64_MAX;
    for (std::uint64_t left = unreplied_; left != 0; left &= left - 1) {
        const auto at = static_cast<std::size_t>(std::countr_zero(left));
        if (now_ns > open_[at].deadline_ns) {
            unreplied_ &= ~(std::uint64_t{1} << at);
            late.push_back(kept(at));
        } else {
            unreplied_due_ns_ = std::min(unreplied_due_ns_, open_[at].deadline_ns);
        }
    }
    std::sort(late.begin(), late.end(),
              [](const Message &a, const Message &b) { return a.seq < b.seq; });
    return late;
}

// Field by field, and only the bytes it has: the message was written just
// now, a byte or a field at a time, and a copy of the whole struct in wide
// blocks would wait for those writes to settle.
void BusContext::keep(std::size_t at, const Message &request) {
    Kept &k = requests_[at];
    k.length = request.length;
    if (request.length <= Kept::kBytes) {
        std::copy_n(request.bytes.begin(), request.length, k.bytes.begin());
        long_requests_[at].clear();
    } else {
        long_requests_[at].assign(request.bytes.begin(), request.bytes.begin() + request.length);
    }
    k.direction = request.direction;
    k.checksum_ok = request.checksum_ok;
    k.connection = request.connection;
    k.seq = request.seq;
    k.wall_us = request.wall_us;
    k.steady_ns = request.steady_ns;
    k.known = request.known;
}

const Message &BusContext::kept(std::size_t at) const {
    const Kept &k = requests_[at];
    Message &m = restored_[next_restored_];
    next_restored_ = (next_restored_ + 1) % restored_.size();
    m.length = k.length;
    if (k.length <= Kept::kBytes)
        std::copy_n(k.bytes.begin(), k.length, m.bytes.begin());
    else
        std::copy(long_requests_[at].begin(), long_requests_[at].end(), m.bytes.begin());
    m.leftover = 0;
    m.direction = k.direction;
    m.checksum_ok = k.checksum_ok;
    m.connection = k.connection;
    m.seq = k.seq;
    m.wall_us = k.wall_us;
    m.steady_ns = k.steady_ns;
    m.known = k.known;
    return m;
}

const Message *BusContext::request(std::uint64_t seq) const {
    if (seq == 0)
        return nullptr;
    for (std::size_t at = 0; at < kRemembered; ++at)
        if (requests_[at].seq == seq)
            return &kept(at);
    return nullptr;
}

std::int16_t BusContext::slot_tab_loco(int slot) const {
    return slot >= 0 && slot < static_cast<int>(slot_tab_.size())
               ? slot_tab_[static_cast<std::size_t>(slot)]
               : std::int16_t{0};
}

void BusContext::learn(const Message &m) {
    const int slot = m[2];
    switch (m.opcode()) {
    case kOpcSlRdData:
    case kOpcWrSlData:
        if (m.length == kSlotDataLength && loco_slot(slot))
            slots_[static_cast<std::size_t>(slot)] = {slot_data_loco(m),
                                                      static_cast<std::uint8_t>(m[3])};
        break;
    case kOpcSlotStat1:
        if (loco_slot(m[1]))
            slots_[static_cast<std::size_t>(m[1])].status = static_cast<std::uint8_t>(m[2]);
        break;
    default: break;
    }
}

// The written rendering's state as it stands before the message, and what
// the message changes in it while it is shown: a slot-data message sets its
// row (from its bytes 0..12, as the receive buffer holds them, also past the
// end of a cut-short one), a switch-state query makes the next long
// acknowledgement its answer.
void BusContext::written(Message &m, bool shown) {
    switch (m.opcode()) {
    case kOpcLocoSpd:
    case kOpcLocoDirf:
    case kOpcLocoSnd: m.known.written_loco = slot_tab_loco(m[1]); break;
    case kOpcSlRdData: {
        const auto entry = [&m](std::size_t i) {
            return i < std::size_t{m.length} + m.leftover ? int{m.bytes[i]} : 0;
        };
        const auto loco = static_cast<std::int16_t>(loco_address(entry(9), entry(4)));
        m.known.written_loco = loco;
        if (shown && entry(2) < static_cast<int>(slot_tab_.size()))
            slot_tab_[static_cast<std::size_t>(entry(2))] = loco;
        break;
    }
    case kOpcLongAck:
        m.known.after_switch_query = sw_query_;
        if (shown)
            sw_query_ = false;
        break;
    case kOpcSwState:
        if (shown)
            sw_query_ = true;
        break;
    default: break;
    }
}

namespace {

// What the context does with a message, by its opcode: most messages (sensor
// and switch reports, speeds) pass through one or two of its steps, and this
// runs for every message.
enum Step : std::uint8_t {
    kNamesSlot = 1,    // slot_of may name a slot
    kMayAnswer = 2,    // it may answer a request
    kWrittenReads = 4, // the written rendering's state reads or changes
    kTeaches = 8,      // it may tell a slot's loco or status
    kMayAsk = 16,      // it may be a request
};

constexpr std::array<std::uint8_t, 256> steps_by_opcode() {
    std::array<std::uint8_t, 256> steps{};
    const auto add = [&steps](std::initializer_list<int> opcodes, Step step) {
        for (int op : opcodes)
            steps[static_cast<std::size_t>(op)] |= step;
    };
    add({kOpcLocoSpd, kOpcLocoDirf, kOpcLocoSnd, kOpcLocoF9F12, kOpcSlotStat1, kOpcConsistFunc,
         kOpcUnlinkSlots, kOpcLinkSlots, kOpcMoveSlots, kOpcRqSlData, kOpcExpCmd, kOpcSlRdData,
         kOpcWrSlData},
        kNamesSlot);
    add({kOpcLongAck, kOpcSlRdData, kOpcExpRdData, kOpcReceiverReport, kOpcPeerXfer}, kMayAnswer);
    add({kOpcLocoSpd, kOpcLocoDirf, kOpcLocoSnd, kOpcSlRdData, kOpcLongAck, kOpcSwState},
        kWrittenReads);
    add({kOpcSlRdData, kOpcWrSlData, kOpcSlotStat1}, kTeaches);
    add({kOpcLocoAdr, kOpcExpLocoAdr, kOpcSwAck, kOpcSwState, kOpcSwReq, kOpcRqSlData,
         kOpcMoveSlots, kOpcLinkSlots, kOpcUnlinkSlots, kOpcWrSlData, kOpcImmPacket, kOpcExpWrData,
         kOpcMultiSense, kOpcExpCmd, kOpcReceiverQuery, kOpcPeerXfer},
        kMayAsk);
    return steps;
}
constexpr auto kSteps = steps_by_opcode();

} // namespace

void BusContext::observe(Message &m, bool written_shown) {
    const std::uint8_t steps = kSteps[static_cast<std::size_t>(m.opcode())];
    if (steps & kNamesSlot) {
        const int slot = slot_of(m);
        if (slot >= 0 && slot < kSlots) {
            m.known.loco = slots_[static_cast<std::size_t>(slot)].loco;
            m.known.slot_status = slots_[static_cast<std::size_t>(slot)].status;
        }
    }
    if (m.direction == Direction::Sent) {
        // the monitor shows its echo, which answers and teaches the same
        if (steps & kWrittenReads)
            written(m, false);
        return;
    }
    if (requests_tracked_ && (steps & kMayAnswer))
        m.known.answers = answered(m);
    if (steps & kWrittenReads)
        written(m, written_shown);
    if (steps & kTeaches)
        learn(m);
    if (requests_tracked_ && (steps & kMayAsk))
        if (const Asks kind = asks(m); kind != Asks::Nothing)
            remember(m, kind);
}

} // namespace bl::loconet
