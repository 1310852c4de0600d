// bus-lauscher-extcap: a LocoNet bus as a capture interface of Wireshark.
// It speaks Wireshark's extcap interface (--extcap-interfaces,
// --extcap-dlts, --extcap-config, --capture --fifo) and offers the simulated
// bus, each serial port found and a LocoNet-over-TCP source. Capturing, it
// frames the bus with the monitor's own receive path and writes pcapng to
// the FIFO until Wireshark stops it; it never sends on the bus.
#pragma once

#include <QStringList>

namespace bl {

int run_extcap(int &argc, char **argv);

// The answers to the three questions Wireshark asks (what it prints).
QString extcap_interfaces(const QStringList &serial_ports);
QString extcap_dlts(const QString &interface);
QString extcap_config(const QString &interface);

} // namespace bl
