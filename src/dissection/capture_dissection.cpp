#include "dissection/capture_dissection.h"

#include "loconet/detail.h"
#include "loconet/latin1.h"
#include "loconet/line_text.h"

#include <algorithm>

namespace bl::dissection {

namespace {

// Where the pieces of a packet lie: LocoNet frames its messages by the
// opcode's length, and an opcode always starts a new one.
std::vector<Part> split(std::span<const std::uint8_t> bytes) {
    std::vector<Part> parts;
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        Part part;
        part.offset = static_cast<std::uint16_t>(i);
        std::size_t j = i + 1;
        if (!loconet::is_opcode(bytes[i])) {
            while (j < n && !loconet::is_opcode(bytes[j]))
                ++j;
            part.kind = Part::Kind::Stray;
        } else {
            int length = loconet::message_length(bytes[i]);
            if (length == loconet::kLengthFromSecondByte)
                length = i + 1 < n && !loconet::is_opcode(bytes[i + 1]) ? bytes[i + 1] : 0;
            // a length byte of 0 or 1 never completes: the message runs to
            // the next opcode and is cut there
            while (j < n && !loconet::is_opcode(bytes[j]) &&
                   (length < 2 || j - i < static_cast<std::size_t>(length)))
                ++j;
            const bool whole = length >= 2 && j - i == static_cast<std::size_t>(length);
            part.kind = whole ? Part::Kind::Message : Part::Kind::Cut;
            part.expected = length;
        }
        part.length = static_cast<std::uint16_t>(j - i);
        parts.push_back(std::move(part));
        i = j;
    }
    return parts;
}

// The requests replies answered, kept by their sequence numbers.
class KeptRequests : public loconet::RequestSource {
public:
    explicit KeptRequests(const std::unordered_map<std::uint64_t, loconet::Message> &kept)
        : kept_(kept) {}
    const loconet::Message *request(std::uint64_t seq) const override {
        const auto it = kept_.find(seq);
        return it == kept_.end() ? nullptr : &it->second;
    }

private:
    const std::unordered_map<std::uint64_t, loconet::Message> &kept_;
};

const std::vector<FrameFinding> kNoFindings;

} // namespace

CaptureDissection::CaptureDissection() {
    context_.watch_unreplied(); // for the findings, from the first message on
    listen_for_findings();
}

// A finding is told at the frame of the message where it happened, and
// counted at the frame whose message raised it.
void CaptureDissection::listen_for_findings() {
    findings_.on_found([this](const loconet::Finding &f) {
        const std::uint32_t at = f.nr > 0 && f.nr <= learnt_.size()
                                     ? learnt_[static_cast<std::size_t>(f.nr - 1)].frame
                                     : learning_frame_;
        findings_at_[at].push_back({f.kind, f.severity, latin1_to_utf8(f.text)});
        raised_[learning_frame_].push_back(f.kind);
    });
}

void CaptureDissection::reset() {
    context_ = {};
    context_.watch_unreplied(); // for the findings, from the first message on
    echoes_ = {};
    seq_ = 0;
    learning_frame_ = 0;
    learnt_.clear();
    first_seq_.clear();
    raised_.clear();
    requests_.clear();
    replies_.clear();
    findings_at_.clear();
    findings_ = {};
    listen_for_findings();
}

void CaptureDissection::learn(std::uint32_t frame, std::int64_t time_us, bool outbound,
                              std::span<const std::uint8_t> bytes) {
    learning_frame_ = frame;
    if (frame > first_seq_.size())
        first_seq_.resize(frame, 0);
    first_seq_[frame - 1] = seq_ + 1;
    for (const Part &part : split(bytes)) {
        const auto piece = bytes.subspan(part.offset, part.length);
        if (part.kind != Part::Kind::Message) {
            findings_.discarded(part.length);
            continue;
        }
        loconet::Message m = loconet::message_of(piece.begin(), piece.end());
        m.seq = ++seq_;
        m.wall_us = time_us;
        m.steady_ns = time_us * 1000;
        if (outbound) {
            m.direction = loconet::Direction::Sent;
            echoes_.sent(m.view(), static_cast<double>(m.steady_ns) / 1e9);
        } else {
            m.direction =
                echoes_.heard(m.view()) ? loconet::Direction::Echo : loconet::Direction::Received;
        }
        context_.observe(m);
        findings_.observe(m, context_);
        learnt_.push_back({m.known, m.direction, frame, time_us});
        if (const std::uint64_t asked = m.known.answers) {
            if (!requests_.contains(asked))
                if (const loconet::Message *q = context_.request(asked))
                    requests_.emplace(asked, *q);
            replies_[asked].push_back(frame);
        }
    }
}

std::vector<Part> CaptureDissection::dissect(std::uint32_t frame, std::int64_t time_us,
                                             bool outbound, std::span<const std::uint8_t> bytes) {
    if (frame == 0)
        return {}; // Wireshark counts frames from 1
    // a capture's time may be anything; a message's must fit in nanoseconds
    time_us = std::clamp<std::int64_t>(time_us, 0, loconet::kLatestTimeUs);
    if (!learnt(frame))
        learn(frame, time_us, outbound, bytes);
    std::vector<Part> parts = split(bytes);
    std::uint64_t seq = first_seq_[frame - 1];
    for (Part &part : parts) {
        const auto piece = bytes.subspan(part.offset, part.length);
        part.message = loconet::message_of(piece.begin(), piece.end());
        if (part.kind != Part::Kind::Message)
            continue;
        if (seq == 0 || seq > learnt_.size())
            continue; // cannot happen: the frame was learnt from these very bytes
        const Learnt &l = learnt_[static_cast<std::size_t>(seq - 1)];
        part.message.seq = seq;
        part.message.known = l.known;
        part.message.direction = l.direction;
        part.message.wall_us = l.time_us;
        part.message.steady_ns = l.time_us * 1000;
        if (const std::uint64_t asked = l.known.answers; asked > 0 && asked <= learnt_.size()) {
            const Learnt &q = learnt_[static_cast<std::size_t>(asked - 1)];
            part.response_to = q.frame;
            part.response_time_us = l.time_us - q.time_us;
        }
        if (const auto it = replies_.find(seq); it != replies_.end())
            part.response_in = it->second;
        render(part);
        ++seq;
    }
    return parts;
}

void CaptureDissection::render(Part &part) const {
    LineText line;
    const KeptRequests requests(requests_);
    loconet::render_detailed(part.message, requests, line, &part.fields);
    // the message's own fields; what its request named belongs to the request
    std::erase_if(part.fields, [](const loconet::DetailField &f) { return f.of_request; });
    for (loconet::DetailField &f : part.fields)
        f.text = latin1_to_utf8(f.text);
    part.line = latin1_to_utf8(line.view());
}

const std::vector<FrameFinding> &CaptureDissection::findings_at(std::uint32_t frame) const {
    const auto it = findings_at_.find(frame);
    return it == findings_at_.end() ? kNoFindings : it->second;
}

std::vector<loconet::FindingKind> CaptureDissection::raised_at(std::uint32_t frame) const {
    const auto it = raised_.find(frame);
    return it == raised_.end() ? std::vector<loconet::FindingKind>{} : it->second;
}

} // namespace bl::dissection
