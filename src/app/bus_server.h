#pragma once

#include "app/monitor_core.h"
#include "server/lb_server.h"

#include <memory>

namespace bl {

// --serve: the monitor's bus shared over TCP. Every framed message goes to
// the clients; their messages go on the bus through the same transmission
// queue as the send rows.
class BusServer {
public:
    // Listens at "[ADDR:]PORT"; reason() says why not, when it cannot.
    // log hears what happens to the clients.
    BusServer(MonitorCore &core, const QString &where, bool read_only,
              std::function<void(const QString &)> log);

    bool listening() const { return server_ != nullptr; }
    const QString &reason() const { return reason_; }
    quint16 port() const { return server_ ? server_->port() : 0; }

private:
    std::unique_ptr<LbServer> server_;
    QString reason_;
    Receiver::MessageListeners::Handle listening_;
};

} // namespace bl
