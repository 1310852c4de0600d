#include "app/json_lines.h"

#include "filter/message_source.h"

#include "loconet/detail.h"
#include "loconet/hex.h"
#include "loconet/line_maker.h"
#include "loconet/subjects.h"
#include "shared/json.h"

namespace bl {

namespace {

constexpr std::size_t kBlock = 1 << 20;

std::string_view direction_word(loconet::Direction d) {
    switch (d) {
    case loconet::Direction::Received: return "empfangen";
    case loconet::Direction::Sent: return "gesendet";
    case loconet::Direction::Echo: return "echo";
    }
    return "empfangen";
}

void append_value(std::string &out, const loconet::DetailField &f) {
    if (f.has_number)
        out += std::to_string(f.number);
    else
        json::append_string(out, f.text);
}

// The fields by name: one value as itself, several of a name as a list.
void append_fields(std::string &out, const loconet::DetailFields &fields) {
    out += '{';
    bool first = true;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const loconet::FieldId id = fields[i].id;
        bool seen = false;
        for (std::size_t k = 0; k < i && !seen; ++k)
            seen = fields[k].id == id;
        if (seen)
            continue;
        std::size_t count = 0;
        for (std::size_t k = i; k < fields.size(); ++k)
            count += fields[k].id == id;
        if (!first)
            out += ',';
        first = false;
        json::append_string(out, loconet::info(id).name);
        out += ':';
        if (count == 1) {
            append_value(out, fields[i]);
            continue;
        }
        out += '[';
        bool first_value = true;
        for (std::size_t k = i; k < fields.size(); ++k) {
            if (fields[k].id != id)
                continue;
            if (!first_value)
                out += ',';
            first_value = false;
            append_value(out, fields[k]);
        }
        out += ']';
    }
    out += '}';
}

} // namespace

std::string json_of(const loconet::Message &m, const loconet::RequestSource &requests) {
    std::string out;
    out.reserve(512);
    out += "{\"nr\":";
    out += std::to_string(m.seq);
    out += ",\"zeit\":";
    if (m.wall_us > 0) {
        out += '"';
        json::append_time(out, m.wall_us);
        out += '"';
    } else {
        out += "null"; // raw bytes carry no time
    }
    out += ",\"richtung\":";
    json::append_string(out, direction_word(m.direction));
    out += ",\"bytes\":";
    json::append_string(out, loconet::hex_list(m.view()));
    out += ",\"pruefsumme_ok\":";
    out += m.checksum_ok ? "true" : "false";
    // the monitor shows a send's echo, not the send
    LineText line;
    const bool shown = m.direction != loconet::Direction::Sent &&
                       loconet::make_line(m, {false, false, true}, requests, line);
    out += ",\"zeile\":";
    if (shown)
        json::append_string(out, line.view());
    else
        out += "null";
    loconet::DetailFields fields;
    loconet::render_detailed(m, requests, line, &fields);
    // the message's own fields; what its request named is the request's
    std::erase_if(fields, [](const loconet::DetailField &f) { return f.of_request; });
    out += ",\"klartext\":";
    json::append_string(out, line.view());
    out += ",\"antwort_auf\":";
    out += m.known.answers ? std::to_string(m.known.answers) : "null";
    out += ",\"felder\":";
    append_fields(out, fields);
    out += '}';
    return out;
}

JsonLines::JsonLines(Receiver &receiver, const loconet::RequestSource &requests, std::FILE *out,
                     std::optional<filter::Filter> filter, bool flush_each)
    : requests_(requests), out_(out), filter_(std::move(filter)), flush_each_(flush_each) {
    listening_ = receiver.listen([this](const loconet::Message &m) { write(m); });
}

JsonLines::~JsonLines() { flush(); }

void JsonLines::write(const loconet::Message &m) {
    if (filter_) {
        filter::MessageSource shown(m, requests_);
        if (!filter_->matches(m, shown))
            return;
    }
    buffer_ += json_of(m, requests_);
    buffer_ += '\n';
    if (flush_each_ || buffer_.size() >= kBlock)
        flush();
}

bool JsonLines::flush() {
    if (!buffer_.empty()) {
        ok_ = std::fwrite(buffer_.data(), 1, buffer_.size(), out_) == buffer_.size() && ok_;
        buffer_.clear();
        if (flush_each_)
            ok_ = std::fflush(out_) == 0 && ok_;
    }
    return ok_;
}

} // namespace bl
