#include "transport/port_factory.h"

#include "transport/network_port.h"
#include "transport/serial_port.h"

#include <QFileInfo>

namespace bl {

PortScheme scheme_of(const QString &entry) {
    const QString e = entry.trimmed();
    if (e.startsWith(QLatin1String("lbserver://"), Qt::CaseInsensitive))
        return PortScheme::LineProtocol;
    if (e.startsWith(QLatin1String("tcp://"), Qt::CaseInsensitive))
        return PortScheme::RawTcp;
    if (e.startsWith(QLatin1Char('/')))
        return PortScheme::Device;
    return PortScheme::ComNumber;
}

SystemPorts::SystemPorts() : serial_(std::make_unique<SerialPort>()) {}
SystemPorts::~SystemPorts() = default;

BytePort &SystemPorts::port_for(const QString &address) {
    switch (scheme_of(address)) {
    case PortScheme::LineProtocol: network_ = std::make_unique<LbServerPort>(); return *network_;
    case PortScheme::RawTcp: network_ = std::make_unique<RawTcpPort>(); return *network_;
    case PortScheme::ComNumber:
    case PortScheme::Device: break;
    }
    return *serial_;
}

} // namespace bl

namespace bl {

bool SystemPorts::present(const QString &address) const {
    return is_network_address(address) || QFileInfo::exists(address);
}

} // namespace bl
