#include "transport/serial_port.h"

#include "shared/texts.h"

#include <QFileInfo>
#include <QSignalBlocker>

namespace bl {

namespace {
const QString kSource = QStringLiteral("Comm1");
}

SerialPort::SerialPort() {
    connect(&port_, &QSerialPort::readyRead, this, [this] { readable(); });
    connect(&port_, &QSerialPort::errorOccurred, this,
            [this](QSerialPort::SerialPortError e) { port_failed(e); });
}

void SerialPort::open(const QString &device, const LineSettings &line) {
    device_ = device;
    port_.setPortName(device);
    if (!port_.open(QIODevice::ReadWrite))
        raise_open_error(device);
    set_line(line);
}

void SerialPort::raise_open_error(const QString &device) {
    namespace t = texts::transport;
    switch (port_.error()) {
    case QSerialPort::DeviceNotFoundError:
        throw RuntimeError(err::kPortMissing, kSource, t::kPortMissing.arg(device));
    case QSerialPort::PermissionError: {
        const QFileInfo info(device);
        if (info.exists() && !(info.isReadable() && info.isWritable()))
            throw RuntimeError(err::kPortNoPermission, kSource, t::kNoPermission.arg(device));
        throw RuntimeError(err::kPortInUse, kSource, t::kInUse.arg(device));
    }
    case QSerialPort::OpenError:
        throw RuntimeError(err::kPortInUse, kSource, t::kInUse.arg(device));
    default:
        throw RuntimeError(err::kPortMissing, kSource,
                           t::kCannotOpen.arg(device, port_.errorString()));
    }
}

void SerialPort::set_line(const LineSettings &line) {
    port_.setBaudRate(line.baud);
    port_.setDataBits(static_cast<QSerialPort::DataBits>(line.data_bits));
    switch (line.parity) {
    case 'e': port_.setParity(QSerialPort::EvenParity); break;
    case 'o': port_.setParity(QSerialPort::OddParity); break;
    case 'm': port_.setParity(QSerialPort::MarkParity); break;
    case 's': port_.setParity(QSerialPort::SpaceParity); break;
    default: port_.setParity(QSerialPort::NoParity); break;
    }
    port_.setStopBits(line.stop_bits == 2     ? QSerialPort::TwoStop
                      : line.stop_bits == 1.5 ? QSerialPort::OneAndHalfStop
                                              : QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
}

bool SerialPort::set_custom_rate(int baud) { return port_.isOpen() && port_.setBaudRate(baud); }

void SerialPort::write(const QByteArray &bytes) {
    port_.write(bytes);
    port_.flush();
}

// Takes what the driver holds without running other handlers: the reply
// waits of the port opening process no events.
void SerialPort::poll_quietly() {
    {
        const QSignalBlocker quiet(&port_);
        port_.waitForReadyRead(0);
    }
    if (port_.error() == QSerialPort::ResourceError || port_.error() == QSerialPort::ReadError)
        port_failed(port_.error());
}

QByteArray SerialPort::read() {
    if (port_.isOpen() && port_.bytesAvailable() == 0)
        poll_quietly();
    return port_.isOpen() ? port_.readAll() : QByteArray();
}

void SerialPort::discard_input() {
    port_.clear(QSerialPort::Input);
    port_.readAll();
}

// Bytes the driver has already taken are on their way in order: purging
// them would cut a message short on the bus, so only what QSerialPort still
// holds is dropped.
void SerialPort::discard_output() {
    if (port_.bytesToWrite() > 0)
        port_.clear(QSerialPort::Output);
}

bool SerialPort::cts() { return port_.pinoutSignals() & QSerialPort::ClearToSendSignal; }

void SerialPort::port_failed(QSerialPort::SerialPortError error) {
    // A device that is gone reads as a resource error, or on Linux as a
    // read of nothing from a port reported readable (a hang-up).
    if ((error != QSerialPort::ResourceError && error != QSerialPort::ReadError) || !port_.isOpen())
        return;
    const RuntimeError vanished(err::kDeviceVanished, kSource,
                                texts::transport::kConnectionLost.arg(device_));
    port_.close();
    failed(vanished);
}

} // namespace bl
