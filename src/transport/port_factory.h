// Which port an address means, decided in one place: a COM number, a
// device path, a bus shared over the network as LocoNet over TCP lines
// (lbserver://) or as raw bytes (tcp://). The replay and the simulated bus
// are handed in ready, as one port for every address.
#pragma once

#include "transport/byte_port.h"

#include <QString>
#include <memory>

namespace bl {

enum class PortScheme { ComNumber, Device, LineProtocol, RawTcp };

// An entry beginning with lbserver:// or tcp:// is a network address, one
// beginning with "/" a device path; anything else is read as a COM number.
PortScheme scheme_of(const QString &entry);
// A bus on the network already passes LocoNet: no interface kind to ask.
inline bool is_network(PortScheme scheme) {
    return scheme == PortScheme::LineProtocol || scheme == PortScheme::RawTcp;
}
inline bool is_network_address(const QString &entry) { return is_network(scheme_of(entry)); }

class PortFactory {
public:
    virtual ~PortFactory() = default;
    // The port for an address; it stays the factory's.
    virtual BytePort &port_for(const QString &address) = 0;
    // Whether the address's device can be there now (a serial device's
    // node exists); where that cannot be told, yes: an opening finds out.
    virtual bool present(const QString &) const { return true; }
};

// One port, whatever the address: a replay, the simulated bus, a test's.
class OnePort : public PortFactory {
public:
    explicit OnePort(std::unique_ptr<BytePort> port) : port_(std::move(port)) {}
    BytePort &port_for(const QString &) override { return *port_; }

private:
    std::unique_ptr<BytePort> port_;
};

// The system's ports: a serial port for COM numbers and device paths, a
// network port, made anew for each opening, for network addresses.
class SystemPorts : public PortFactory {
public:
    SystemPorts();
    ~SystemPorts() override;
    BytePort &port_for(const QString &address) override;
    bool present(const QString &address) const override;
    // The serial port itself (the UART's rate is set on it).
    BytePort &serial() { return *serial_; }

private:
    std::unique_ptr<BytePort> serial_;
    std::unique_ptr<BytePort> network_;
};

} // namespace bl
