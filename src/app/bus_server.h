#pragma once

#include "app/monitor_core.h"
#include "server/lb_server.h"

namespace bl {

// --serve: the monitor's bus shared over TCP. Every framed message goes to
// the clients; their messages go on the bus through the same transmission
// queue as the send rows.
class BusServer : public FrameObserver {
public:
    BusServer(MonitorCore &core, bool read_only);

    // The reason (German) when it cannot listen there.
    std::optional<QString> listen(const QString &where);
    LbServer &server() { return server_; }

    void message(std::span<const std::int32_t> msg, bool checksum_ok) override {
        server_.bus_message(msg, checksum_ok);
    }
    void discarded(std::span<const std::int32_t>) override {}

private:
    LbServer server_;
};

} // namespace bl
