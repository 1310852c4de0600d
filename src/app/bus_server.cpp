#include "app/bus_server.h"

#include "shared/texts.h"

namespace bl {

namespace {
constexpr std::string_view kNotConnected = "the monitor has no connection to the bus";
constexpr std::string_view kNotWritten = "the interface did not take it";
} // namespace

BusServer::BusServer(MonitorCore &core, bool read_only)
    : server_(
          [&core](const std::vector<int> &message) -> std::string {
              if (!core.comm1.portOpen())
                  return std::string(kNotConnected);
              // the check byte is written anew, as for every message sent
              if (!core.transmitter.send_bytes({message.begin(), message.end() - 1}))
                  return std::string(kNotWritten);
              return {};
          },
          QStringLiteral("Bus-Lauscher " BUSLAUSCHER_VERSION), read_only) {
    core.reception.receiver.add_observer(this);
}

std::optional<QString> BusServer::listen(const QString &where) {
    const auto address = parse_serve_address(where);
    if (!address)
        return texts::server::kBadServeAddress.arg(where);
    if (const auto reason = server_.listen(*address))
        return texts::server::kCannotListen.arg(where, *reason);
    return std::nullopt;
}

} // namespace bl
