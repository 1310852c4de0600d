#include "app/bus_server.h"

namespace bl {

namespace {
constexpr std::string_view kNotConnected = "the monitor has no connection to the bus";
constexpr std::string_view kNotWritten = "the interface did not take it";
} // namespace

BusServer::BusServer(MonitorCore &core, const QString &where, bool read_only,
                     std::function<void(const QString &)> log) {
    Served served = serve_at(
        where,
        [&core](const std::vector<int> &message, std::uint16_t client) -> std::string {
            if (!core.port_open())
                return std::string(kNotConnected);
            if (!core.send_for_client(message, client))
                return std::string(kNotWritten);
            return {};
        },
        QStringLiteral("Bus-Lauscher " BUSLAUSCHER_VERSION), read_only, std::move(log),
        // a closed port refuses at once (put says why); an open one takes a
        // message only while nothing waits and the line has room
        [&core] { return !core.port_open() || core.ready_to_send(); });
    server_ = std::move(served.server);
    reason_ = served.reason;
    // the bus's messages, not the ones sent: those come back as their echo
    if (server_)
        listening_ = core.listen([this](const loconet::Message &m) {
            if (m.direction != loconet::Direction::Sent)
                server_->bus_message(m);
        });
}

} // namespace bl
