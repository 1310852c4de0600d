// Evaluating a read filter against one message: fields from what the
// message names, text from its shown line (made once, when first asked).
#include "filter/filter.h"

namespace bl::filter {

namespace {

bool in(const std::vector<Filter::Range> &values, int v) {
    if (v < 0)
        return false;
    for (const Filter::Range &r : values)
        if (v >= r.from && v <= r.to)
            return true;
    return false;
}

// Whether any of the message's subjects of a kind is among the values.
bool names(const std::vector<Filter::Range> &values, LineSource &line,
           loconet::Subjects::Kind kind) {
    return line.subjects().any(kind, [&values](int v) { return in(values, v); });
}

bool contains_folded(std::string_view haystack, std::string_view needle) {
    if (needle.size() > haystack.size())
        return false;
    for (std::size_t i = 0; i + needle.size() <= haystack.size(); ++i) {
        std::size_t k = 0;
        while (k < needle.size() && fold(haystack[i + k]) == needle[k])
            ++k;
        if (k == needle.size())
            return true;
    }
    return false;
}

} // namespace

bool Filter::matches(const loconet::Message &m, LineSource &line) const {
    return nodes_.empty() || eval(root_, m, line);
}

bool Filter::eval(int index, const loconet::Message &m, LineSource &line) const {
    const Node &n = nodes_[static_cast<std::size_t>(index)];
    switch (n.kind) {
    case Kind::Or: return eval(n.left, m, line) || eval(n.right, m, line);
    case Kind::And: return eval(n.left, m, line) && eval(n.right, m, line);
    case Kind::Not: return !eval(n.left, m, line);
    case Kind::Loco: return names(n.values, line, loconet::Subjects::kLoco);
    case Kind::Slot: return names(n.values, line, loconet::Subjects::kSlot);
    case Kind::Turnout: return names(n.values, line, loconet::Subjects::kSwitch);
    case Kind::Sensor: return names(n.values, line, loconet::Subjects::kSensor);
    case Kind::Opcode: return in(n.values, m.opcode());
    case Kind::Error: return !m.checksum_ok;
    case Kind::Finding: {
        const std::uint32_t marks = line.findings(m.seq);
        if (n.values.empty())
            return marks != 0;
        for (const Range &r : n.values)
            if (marks & (1u << r.from))
                return true;
        return false;
    }
    // what this program put on the bus, and its echo: the send itself is
    // no line of the monitor, its echo is
    case Kind::Sent: return m.direction != loconet::Direction::Received;
    case Kind::Text: return !n.never && contains_folded(line.line(), n.text);
    }
    return false;
}

} // namespace bl::filter
