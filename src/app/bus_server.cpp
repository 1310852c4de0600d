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
        [&core](const std::vector<int> &message) -> std::string {
            if (!core.comm1.portOpen())
                return std::string(kNotConnected);
            // the check byte is written anew, as for every message sent
            if (!core.transmitter.send_bytes({message.begin(), message.end() - 1}))
                return std::string(kNotWritten);
            return {};
        },
        QStringLiteral("Bus-Lauscher " BUSLAUSCHER_VERSION), read_only, std::move(log));
    server_ = std::move(served.server);
    reason_ = served.reason;
    if (server_)
        core.reception.receiver.add_observer(this);
}

} // namespace bl
