#include "transport/any_port.h"

namespace bl {

AnyPort::AnyPort() { wire(serial_); }

void AnyPort::wire(BytePort &inner) {
    inner.on_readable([this, &inner] {
        if (inner.from_event_loop())
            readable_from_event_loop();
        else
            readable();
    });
    inner.on_failed([this](const RuntimeError &e) { failed(e); });
    inner.on_trouble([this](const QString &text) { trouble(text); });
    inner.on_status([this](const QString &text) { status(text); });
}

void AnyPort::open(const QString &device, const LineSettings &line) {
    if (current_->is_open())
        current_->close();
    current_ = &serial_;
    if (const auto address = parse_network_address(device)) {
        if (address->kind == NetworkAddress::Kind::LineProtocol)
            network_ = std::make_unique<LbServerPort>();
        else
            network_ = std::make_unique<RawTcpPort>();
        wire(*network_);
        current_ = network_.get();
    }
    current_->open(device, line);
}

bool AnyPort::present(const QString &device) const {
    return is_network_address(device) || serial_.present(device);
}

} // namespace bl
