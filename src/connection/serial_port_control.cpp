#include "connection/serial_port_control.h"

#include <QFileInfo>
#include <QSignalBlocker>
#include <QTimer>

namespace bl {

namespace {
const QString kSource = QStringLiteral("Comm1");
constexpr int kInvalidPropertyValue = 380;
constexpr int kNotWhileOpen = 8000;
constexpr int kAlreadyOpen = 8005;
} // namespace

SerialPortControl::SerialPortControl() {
    setObjectName(QStringLiteral("Comm1"));
    connect(&port_, &QSerialPort::readyRead, this, [this] { data_arrived(); });
    connect(&port_, &QSerialPort::errorOccurred, this,
            [this](QSerialPort::SerialPortError e) { port_failed(e); });
}

QString SerialPortControl::deviceName() const {
    return device_path_.isEmpty() ? device_for_com_port(comm_port_) : device_path_;
}

void SerialPortControl::setCommPort(std::int16_t port) {
    if (port < 1 || port > kHighestComPort)
        throw RuntimeError(err::kInvalidPortNumber, kSource,
                           QStringLiteral("Ungültige Portnummer"));
    if (port_.isOpen())
        throw RuntimeError(kNotWhileOpen, kSource,
                           QStringLiteral("Bei geöffnetem Anschluss nicht möglich"));
    comm_port_ = port;
    device_path_.clear();
}

void SerialPortControl::setSettings(const QString &settings) {
    const auto parsed = parse_settings(settings);
    if (!parsed)
        throw RuntimeError(kInvalidPropertyValue, kSource,
                           QStringLiteral("Ungültiger Eigenschaftswert: %1").arg(settings));
    settings_ = *parsed;
    if (port_.isOpen())
        apply_settings();
}

void SerialPortControl::apply_settings() {
    port_.setBaudRate(settings_.baud);
    port_.setDataBits(static_cast<QSerialPort::DataBits>(settings_.data_bits));
    switch (settings_.parity) {
    case 'e': port_.setParity(QSerialPort::EvenParity); break;
    case 'o': port_.setParity(QSerialPort::OddParity); break;
    case 'm': port_.setParity(QSerialPort::MarkParity); break;
    case 's': port_.setParity(QSerialPort::SpaceParity); break;
    default: port_.setParity(QSerialPort::NoParity); break;
    }
    port_.setStopBits(settings_.stop_bits == 2     ? QSerialPort::TwoStop
                      : settings_.stop_bits == 1.5 ? QSerialPort::OneAndHalfStop
                                                   : QSerialPort::OneStop);
}

bool SerialPortControl::setCustomBaudRate(qint32 baud) {
    return port_.isOpen() && port_.setBaudRate(baud);
}

void SerialPortControl::setPortOpen(bool open) {
    if (!open) {
        port_.close();
        return;
    }
    if (port_.isOpen())
        throw RuntimeError(kAlreadyOpen, kSource, QStringLiteral("Anschluss ist bereits geöffnet"));
    port_.setPortName(deviceName());
    if (!port_.open(QIODevice::ReadWrite))
        raise_open_error();
    apply_settings();
    if (rts_)
        port_.setRequestToSend(true);
}

void SerialPortControl::raise_open_error() {
    const QString device = deviceName();
    const QString detail = port_.errorString();
    switch (port_.error()) {
    case QSerialPort::DeviceNotFoundError:
        throw RuntimeError(err::kPortMissing, kSource,
                           QStringLiteral("Anschluss %1 ist nicht vorhanden").arg(device));
    case QSerialPort::PermissionError: {
        const QFileInfo info(device);
        if (info.exists() && !(info.isReadable() && info.isWritable()))
            throw RuntimeError(err::kPortNoPermission, kSource,
                               QStringLiteral("Keine Berechtigung für %1").arg(device));
        throw RuntimeError(err::kPortInUse, kSource,
                           QStringLiteral("Anschluss %1 wird schon benutzt").arg(device));
    }
    case QSerialPort::OpenError:
        throw RuntimeError(err::kPortInUse, kSource,
                           QStringLiteral("Anschluss %1 wird schon benutzt").arg(device));
    default:
        throw RuntimeError(
            err::kPortMissing, kSource,
            QStringLiteral("Anschluss %1 lässt sich nicht öffnen (%2)").arg(device, detail));
    }
}

void SerialPortControl::require_open() const {
    if (!port_.isOpen())
        throw RuntimeError(err::kPortNotOpen, kSource, QStringLiteral("Anschluss nicht geöffnet"));
}

// Takes what the driver holds into our buffer without running other
// handlers: the reply waits of the port opening process no events.
void SerialPortControl::poll_without_events() {
    {
        const QSignalBlocker quiet(&port_);
        port_.waitForReadyRead(0);
    }
    if (port_.error() == QSerialPort::ResourceError || port_.error() == QSerialPort::ReadError) {
        port_failed(port_.error());
        require_open();
    }
    if (r_threshold_ == 1 && port_.bytesAvailable() > 0)
        QTimer::singleShot(0, this, [this] { data_arrived(); });
}

int SerialPortControl::inBufferCount() {
    require_open();
    poll_without_events();
    return static_cast<int>(port_.bytesAvailable());
}

void SerialPortControl::setInBufferCount(int) {
    require_open();
    port_.clear(QSerialPort::Input);
    port_.readAll();
}

QByteArray SerialPortControl::input() {
    require_open();
    if (port_.bytesAvailable() == 0)
        poll_without_events();
    const qint64 waiting = port_.bytesAvailable();
    return port_.read(input_len_ == 0 ? waiting : std::min<qint64>(input_len_, waiting));
}

// Discards what this control still holds unsent. Bytes the driver has
// already taken are on their way in order: purging them would cut a
// message short on the bus, so they are left to go out.
void SerialPortControl::setOutBufferCount(int) {
    require_open();
    if (port_.bytesToWrite() > 0)
        port_.clear(QSerialPort::Output);
}

void SerialPortControl::output(const QByteArray &bytes) {
    require_open();
    port_.write(bytes);
    port_.flush();
}

bool SerialPortControl::ctsHolding() {
    require_open();
    return port_.pinoutSignals() & QSerialPort::ClearToSendSignal;
}

void SerialPortControl::setRTSEnable(bool on) {
    rts_ = on;
    if (port_.isOpen())
        port_.setRequestToSend(on);
}

void SerialPortControl::setHandshaking(int) { port_.setFlowControl(QSerialPort::NoFlowControl); }

void SerialPortControl::setBreak(bool on) {
    require_open();
    port_.setBreakEnabled(on);
}

void SerialPortControl::data_arrived() {
    if (in_comm_event_ || r_threshold_ != 1 || !on_comm_ || !port_.isOpen() ||
        port_.bytesAvailable() == 0)
        return;
    in_comm_event_ = true;
    comm_event_ = kCommEventReceive;
    on_comm_();
    in_comm_event_ = false;
    // bytes the handler left (one per read on some interfaces) come next
    if (port_.isOpen() && port_.bytesAvailable() > 0)
        QTimer::singleShot(0, this, [this] { data_arrived(); });
}

void SerialPortControl::port_failed(QSerialPort::SerialPortError error) {
    // A device that is gone reads as a resource error, or on Linux as a
    // read of nothing from a port reported readable (a hang-up).
    if ((error != QSerialPort::ResourceError && error != QSerialPort::ReadError) || !port_.isOpen())
        return;
    const RuntimeError vanished(err::kDeviceVanished, kSource,
                                QStringLiteral("Die Verbindung zu %1 ist abgebrochen "
                                               "(Gerät entfernt?)")
                                    .arg(deviceName()));
    port_.close();
    if (on_failure_)
        on_failure_(vanished);
}

} // namespace bl
