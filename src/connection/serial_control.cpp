#include "connection/serial_control.h"

#include "shared/texts.h"

namespace bl {

namespace {
const QString kSource = QStringLiteral("Comm1");
constexpr int kInvalidPropertyValue = 380;
constexpr int kNotWhileOpen = 8000;
constexpr int kAlreadyOpen = 8005;
} // namespace

QString device_for_com_port(int n) {
#ifdef _WIN32
    return QStringLiteral("COM%1").arg(n);
#else
    return QStringLiteral("/dev/ttyS%1").arg(n - 1);
#endif
}

SerialControl::SerialControl(std::unique_ptr<PortFactory> ports) : ports_(std::move(ports)) {
    setObjectName(QStringLiteral("Comm1"));
    events_.setSingleShot(true);
    events_.setInterval(0);
    connect(&events_, &QTimer::timeout, this, [this] { fire_event(); });
}

void SerialControl::wire(BytePort &port) {
    port.on_readable([this](BytePort::Arrival arrival) {
        // straight from the event loop the receive event runs at once;
        // from inside other code it waits for the loop
        if (arrival == BytePort::Arrival::FromEventLoop && !in_event_ && r_threshold_ == 1 &&
            on_comm_)
            fire_event();
        else
            schedule_event();
    });
    port.on_state_changed([this, &port](PortState) {
        if (on_connection_note_ && !port.description().isEmpty())
            on_connection_note_(port.description());
    });
    port.on_error([this](const PortFault &fault) { port_error(fault); });
}

void SerialControl::port_error(const PortFault &fault) {
    const bool lost =
        fault.error == PortError::DeviceGone || fault.error == PortError::ConnectionLost;
    if (!lost) {
        if (on_port_error_)
            on_port_error_(fault);
        return;
    }
    received_.clear();
    events_.stop();
    // told after the code that met the failure has returned, so that one
    // fault gives one report
    QTimer::singleShot(0, this, [this, fault] {
        if (on_port_error_)
            on_port_error_(fault);
    });
}

QString SerialControl::deviceName() const {
    return device_path_.isEmpty() ? device_for_com_port(comm_port_) : device_path_;
}

void SerialControl::setCommPort(std::int16_t port) {
    namespace t = texts::connection;
    if (port < 1 || port > kHighestComPort)
        throw RuntimeError(err::kInvalidPortNumber, kSource, t::kInvalidPortNumber);
    if (portOpen())
        throw RuntimeError(kNotWhileOpen, kSource, t::kNotWhileOpen);
    comm_port_ = port;
    device_path_.clear();
}

void SerialControl::setSettings(const QString &settings) {
    const auto parsed = parse_line_settings(settings);
    if (!parsed)
        throw RuntimeError(kInvalidPropertyValue, kSource,
                           texts::connection::kInvalidProperty.arg(settings));
    settings_ = *parsed;
    if (portOpen())
        port_->set_line(settings_);
}

void SerialControl::setPortOpen(bool open) {
    if (!open) {
        if (port_)
            port_->close();
        received_.clear();
        events_.stop();
        return;
    }
    if (portOpen())
        throw RuntimeError(kAlreadyOpen, kSource, texts::connection::kAlreadyOpen);
    port_ = &ports_->port_for(deviceName());
    wire(*port_);
    port_->open(deviceName(), settings_);
    if (rts_)
        port_->set_rts(true);
}

void SerialControl::require_open() const {
    if (!portOpen())
        throw RuntimeError(err::kPortNotOpen, kSource, texts::connection::kNotOpen);
}

void SerialControl::take_arrived() { received_ += port_->read(); }

int SerialControl::inBufferCount() {
    require_open();
    take_arrived();
    if (!received_.isEmpty())
        schedule_event();
    return static_cast<int>(received_.size());
}

void SerialControl::setInBufferCount(int) {
    require_open();
    port_->discard_input();
    received_.clear();
}

QByteArray SerialControl::input() {
    require_open();
    take_arrived();
    const qsizetype n =
        input_len_ == 0 ? received_.size() : std::min<qsizetype>(input_len_, received_.size());
    QByteArray part = received_.left(n);
    received_.remove(0, n);
    return part;
}

// Every write waits until the driver has taken all its bytes, so the
// control holds nothing unsent here; the driver's own queue is left alone,
// as purging it would cut a message short on the bus.
void SerialControl::setOutBufferCount(int) { require_open(); }

void SerialControl::output(const QByteArray &bytes) {
    require_open();
    port_->write(bytes);
}

bool SerialControl::ctsHolding() {
    require_open();
    return port_->cts();
}

void SerialControl::setRTSEnable(bool on) {
    rts_ = on;
    if (portOpen())
        port_->set_rts(on);
}

void SerialControl::setBreak(bool on) {
    require_open();
    port_->set_break(on);
}

void SerialControl::setRThreshold(std::int16_t threshold) {
    r_threshold_ = threshold;
    if (!received_.isEmpty())
        schedule_event();
}

// The receive event runs from the event loop, never inside the code that
// took the bytes, and never inside itself.
void SerialControl::schedule_event() {
    if (r_threshold_ != 1 || !on_comm_)
        return;
    if (in_event_)
        missed_ = true;
    else if (!events_.isActive())
        events_.start();
}

void SerialControl::fire_event() {
    if (in_event_ || !portOpen() || r_threshold_ != 1 || !on_comm_)
        return;
    in_event_ = true;
    missed_ = false;
    comm_event_ = kCommEventReceive;
    on_comm_(); // reads the bytes itself, and meets any error of the port there
    in_event_ = false;
    // bytes the handler left (one per read on some interfaces) come next
    if (portOpen() && (missed_ || !received_.isEmpty()))
        events_.start();
}

} // namespace bl
