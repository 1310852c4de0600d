#include "transport/serial_port.h"

#include "shared/interruption.h"
#include "shared/system_reason.h"
#include "shared/texts.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>

#ifdef __linux__
#include <poll.h>
#endif

namespace bl {

namespace {
const QString kSource = QStringLiteral("Comm1");
namespace tx = texts::transport;
} // namespace

SerialPort::SerialPort(int drain_ms) : drain_ms_(drain_ms) {
    connect(&port_, &QSerialPort::readyRead, this, [this] {
        if (!writing_)
            readable(Arrival::FromEventLoop);
    });
    connect(&port_, &QSerialPort::errorOccurred, this,
            [this](QSerialPort::SerialPortError e) { port_failed(e); });
}

void SerialPort::open(const QString &device, const LineSettings &line) {
    device_ = device;
    const QString canonical = QFileInfo(device).canonicalFilePath();
    opened_ = canonical.isEmpty() ? device : canonical;
    port_.setPortName(opened_);
    if (!port_.open(QIODevice::ReadWrite))
        raise_open_error(device);
    set_line(line);
    set_state(PortState::Connected);
}

void SerialPort::close() {
    port_.close();
    set_state(PortState::Unconnected);
}

void SerialPort::raise_open_error(const QString &device) {
    switch (port_.error()) {
    case QSerialPort::DeviceNotFoundError:
        throw RuntimeError(err::kPortMissing, kSource, tx::kPortMissing.arg(device));
    case QSerialPort::PermissionError: {
        const QFileInfo info(opened_);
        if (info.exists() && !(info.isReadable() && info.isWritable()))
            throw RuntimeError(err::kPortNoPermission, kSource, tx::kNoPermission.arg(device));
        throw RuntimeError(err::kPortInUse, kSource, tx::kInUse.arg(device));
    }
    case QSerialPort::OpenError:
        throw RuntimeError(err::kPortInUse, kSource, tx::kInUse.arg(device));
    default:
        throw RuntimeError(err::kPortMissing, kSource,
                           tx::kCannotOpen.arg(device, german_reason(port_.errorString())));
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

// A message is started only when the line can take it whole: what an
// earlier one left has gone to the driver, and the driver has room. A line
// that takes nothing is waited out for a bound; then the message is not
// written at all, so that no part of it reaches the bus later, cut off by
// the next one. (A driver that takes only part of it gets the rest as soon
// as it can: the message is on its way and goes out whole.)
void SerialPort::write(const QByteArray &bytes) {
    const QDeadlineTimer deadline(drain_ms_);
    // bytes that arrive meanwhile wait for the event loop
    writing_ = true;
    while (port_.isOpen() && !line_has_room()) {
        if (deadline.hasExpired() || interruption::requested()) {
            writing_ = false;
            throw RuntimeError(err::kPortIoFailed, kSource,
                               tx::kLineStuck.arg(device_).arg(drain_ms_ / 1000.0));
        }
        // in short steps, so that the user's wish to end is heard
        wait_for_room(static_cast<int>(std::min<qint64>(deadline.remainingTime(), 50)));
    }
    if (port_.isOpen()) {
        port_.write(bytes);
        port_.flush(); // to the driver now, not on the next pass of the event loop
    }
    writing_ = false;
    if (port_.isOpen() && port_.bytesAvailable() > 0)
        readable();
    if (!port_.isOpen())
        throw RuntimeError(err::kDeviceVanished, kSource, tx::kConnectionLost.arg(device_));
}

bool SerialPort::line_has_room() const {
    if (port_.bytesToWrite() > 0)
        return false;
#ifdef __linux__
    // the driver says "writable" only while little waits in it
    pollfd line{static_cast<int>(port_.handle()), POLLOUT, 0};
    return ::poll(&line, 1, 0) == 1 && (line.revents & POLLOUT) != 0;
#else
    return true;
#endif
}

void SerialPort::wait_for_room(int ms) {
    if (port_.bytesToWrite() > 0) {
        port_.waitForBytesWritten(ms);
        return;
    }
#ifdef __linux__
    pollfd line{static_cast<int>(port_.handle()), POLLOUT, 0};
    ::poll(&line, 1, ms);
#endif
}

// Takes what the driver holds without running other handlers: the reply
// waits of the port opening process no events.
void SerialPort::poll_quietly() {
    {
        const QSignalBlocker quiet(&port_);
        port_.waitForReadyRead(0);
    }
    if (port_.error() != QSerialPort::NoError)
        port_failed(port_.error());
}

QByteArray SerialPort::read() {
    if (port_.isOpen() && port_.bytesAvailable() == 0)
        poll_quietly();
    // reading also wakes the port's read notification again
    return port_.isOpen() ? port_.readAll() : QByteArray();
}

void SerialPort::discard_input() {
    port_.clear(QSerialPort::Input);
    port_.readAll();
}

bool SerialPort::cts() { return port_.pinoutSignals() & QSerialPort::ClearToSendSignal; }

// A device that is gone hangs up its line or leaves no node behind.
bool SerialPort::device_gone() const {
    if (!QFileInfo::exists(opened_))
        return true;
#ifdef __linux__
    pollfd line{static_cast<int>(port_.handle()), POLLIN | POLLOUT, 0};
    if (::poll(&line, 1, 0) < 0)
        return true;
    return (line.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
#else
    return port_.error() == QSerialPort::ResourceError;
#endif
}

void SerialPort::port_failed(QSerialPort::SerialPortError what) {
    const bool io = what == QSerialPort::ResourceError || what == QSerialPort::ReadError ||
                    what == QSerialPort::WriteError;
    if (!io || !port_.isOpen())
        return;
    if (!device_gone()) {
        // a full output queue or a read of nothing: the port goes on, and
        // a read it may have missed is looked for
        port_.clearError();
        QTimer::singleShot(0, this, [this] {
            if (port_.isOpen())
                readable();
        });
        return;
    }
    port_.close();
    set_state(PortState::Unconnected);
    error({PortError::DeviceGone, tx::kConnectionLost.arg(device_), {}});
}

} // namespace bl
