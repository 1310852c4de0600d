// --json: every message as one JSON object a line (JSON Lines, as tshark
// writes them), UTF-8: its number ("nr", as the history's Nr.), its time, its
// direction, its bytes, whether its checksum is right, the line the default
// rendering shows ("zeile"), the detailed line ("klartext"), the number of
// the request it answers and its fields by the names the filter and
// Wireshark use. Only the messages a filter takes, where one is given.
#pragma once

#include "filter/filter.h"
#include "loconet/bus_context.h"
#include "reception/receiver.h"

#include <cstdio>
#include <optional>
#include <string>

namespace bl {

// One message's object, without the line end.
std::string json_of(const loconet::Message &m, const loconet::RequestSource &requests);

class JsonLines {
public:
    // flush_each: after every line (a terminal watching live); otherwise in
    // large blocks.
    JsonLines(Receiver &receiver, const loconet::RequestSource &requests, std::FILE *out,
              std::optional<filter::Filter> filter, bool flush_each);
    ~JsonLines();
    JsonLines(const JsonLines &) = delete;
    JsonLines &operator=(const JsonLines &) = delete;

    // Writes what waits; false where the output took not all of it.
    bool flush();
    bool ok() const { return ok_; }

private:
    void write(const loconet::Message &m);

    const loconet::RequestSource &requests_;
    std::FILE *out_;
    std::optional<filter::Filter> filter_;
    bool flush_each_;
    std::string buffer_;
    bool ok_ = true;
    Receiver::MessageListeners::Handle listening_;
};

} // namespace bl
