// Any entry in the port box: a device path or a finite number.
#include "connection/startup_dialogue.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString entry =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const bl::PortEntry port = bl::read_port_entry(entry);
    if (!std::isfinite(port.number))
        std::abort();
    if (!port.device.isEmpty() && (port.number != 0 || !port.device.startsWith(QLatin1Char('/'))))
        std::abort();
    return 0;
}
