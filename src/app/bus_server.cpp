#include "app/bus_server.h"

#include "shared/texts.h"

namespace bl {

namespace {
constexpr std::string_view kNotConnected = "the monitor has no connection to the bus";
}

BusServer::BusServer(MonitorCore &core, bool read_only)
    : server_(
          [&core](const std::vector<int> &message) -> std::string {
              if (!core.comm1.portOpen())
                  return std::string(kNotConnected);
              OutBuffer buffer{};
              const int l_out = static_cast<int>(message.size()) - 2; // without the check byte
              for (int i = 0; i <= l_out; ++i)
                  buffer[static_cast<std::size_t>(i)] =
                      static_cast<std::int16_t>(message[static_cast<std::size_t>(i)]);
              core.transmitter.send_ln_buf(buffer, l_out);
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
