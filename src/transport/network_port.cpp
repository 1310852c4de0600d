#include "transport/network_port.h"

#include "loconet/hex.h"
#include "shared/texts.h"
#include "transport/network_reason.h"

#include <QEventLoop>
#include <QUrl>

namespace bl {

namespace {

namespace tx = texts::transport;
const QString kSource = QStringLiteral("Comm1");
const QString kLineScheme = QStringLiteral("lbserver");
const QString kRawScheme = QStringLiteral("tcp");

QString peer_text(std::string_view text) {
    return QString::fromStdString(loconet::printable(text));
}

} // namespace

std::optional<NetworkAddress> parse_network_address(const QString &entry) {
    const QUrl url(entry.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() || !url.path().isEmpty() || url.hasQuery())
        return std::nullopt;
    const QString scheme = url.scheme().toLower();
    if (scheme == kLineScheme)
        return NetworkAddress{NetworkAddress::Kind::LineProtocol, url.host(),
                              static_cast<quint16>(url.port(loconet::kLbServerPort))};
    if (scheme == kRawScheme && url.port() > 0)
        return NetworkAddress{NetworkAddress::Kind::RawBytes, url.host(),
                              static_cast<quint16>(url.port())};
    return std::nullopt;
}

NetworkPort::NetworkPort(int connect_ms, qint64 most_unsent)
    : connect_ms_(connect_ms), most_unsent_(most_unsent) {
    connect(&socket_, &QTcpSocket::readyRead, this, [this] {
        if (is_open())
            arrived(socket_.readAll());
    });
    connect(&socket_, &QTcpSocket::disconnected, this, [this] { lost(); });
    connect(&socket_, &QTcpSocket::errorOccurred, this, [this] {
        if (socket_.state() != QAbstractSocket::ConnectedState)
            lost();
    });
}

NetworkPort::~NetworkPort() { socket_.disconnect(this); }

QString NetworkPort::description() const {
    if (state() == PortState::Connecting)
        return tx::kConnectingTo.arg(name_);
    if (!is_open())
        return {};
    return version_.isEmpty() ? tx::kConnectedTo.arg(name_)
                              : tx::kConnectedToVersion.arg(name_, version_);
}

void NetworkPort::open(const QString &device, const LineSettings &) {
    const std::optional<NetworkAddress> address = parse_network_address(device);
    if (!address)
        throw RuntimeError(err::kPortMissing, kSource, tx::kBadAddress.arg(device));
    name_ = device.trimmed();
    version_.clear();
    complaint_.clear();
    received_.clear();
    socket_.abort();
    set_state(PortState::Connecting);
    socket_.connectToHost(address->host, address->port);
    if (!wait_for_connection()) {
        const QAbstractSocket::SocketError why =
            socket_.state() == QAbstractSocket::UnconnectedState
                ? socket_.error()
                : QAbstractSocket::SocketTimeoutError;
        const QString reason = network_reason(why, socket_.errorString());
        socket_.abort();
        set_state(PortState::Unconnected);
        throw RuntimeError(err::kPortMissing, kSource,
                           tx::kCannotConnect.arg(address->host).arg(address->port).arg(reason));
    }
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connected();
    set_state(PortState::Connected);
}

// The window goes on painting and answering while the connection is made;
// whoever closes the port meanwhile ends the wait.
bool NetworkPort::wait_for_connection() {
    QEventLoop loop;
    QTimer bound;
    bound.setSingleShot(true);
    connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(&socket_, &QTcpSocket::stateChanged, &loop, [this, &loop] {
        if (socket_.state() == QAbstractSocket::ConnectedState ||
            socket_.state() == QAbstractSocket::UnconnectedState)
            loop.quit();
    });
    bound.start(connect_ms_);
    if (socket_.state() != QAbstractSocket::ConnectedState &&
        socket_.state() != QAbstractSocket::UnconnectedState)
        loop.exec();
    return socket_.state() == QAbstractSocket::ConnectedState && state() == PortState::Connecting;
}

void NetworkPort::close() {
    set_state(PortState::Closing);
    socket_.abort();
    received_.clear();
    set_state(PortState::Unconnected);
}

void NetworkPort::lost() {
    if (!is_open())
        return;
    received_.clear();
    socket_.abort();
    set_state(PortState::Unconnected);
    const QString reason = complaint_.isEmpty() ? tx::kNetworkLost.arg(name_)
                                                : tx::kNetworkLostSaying.arg(name_, complaint_);
    error({PortError::ConnectionLost, reason, {}});
}

void NetworkPort::deliver(const QByteArray &bytes) {
    received_ += bytes;
    readable(Arrival::FromEventLoop);
}

void NetworkPort::send(const QByteArray &bytes) {
    socket_.write(bytes);
    if (socket_.bytesToWrite() > most_unsent_)
        throw RuntimeError(err::kPortIoFailed, kSource, tx::kPeerTakesNothing.arg(name_));
}

void NetworkPort::peer_says(const QString &text) {
    version_ = text;
    if (is_open())
        told_state();
}

LbServerPort::LbServerPort(int answer_ms, int connect_ms, qint64 most_unsent)
    : NetworkPort(connect_ms, most_unsent) {
    answer_.setSingleShot(true);
    answer_.setInterval(answer_ms);
    connect(&answer_, &QTimer::timeout, this, [this] { answered(false, tx::kNoSentAnswer); });
}

void LbServerPort::connected() {
    lines_ = loconet::LineSplitter();
    outgoing_ = loconet::Framer();
    queued_.clear();
    outstanding_.reset();
    answer_.stop();
}

void LbServerPort::arrived(const QByteArray &bytes) {
    lines_.feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                [this](std::string_view text) { line(text); });
}

// Tokens it does not know (TIMESTAMP, BREAK ... of version 2) are passed
// over.
void LbServerPort::line(std::string_view text) {
    namespace t = loconet::token;
    const loconet::Line l = loconet::split_line(text);
    if (l.token == t::kReceive) {
        received(l.parameter);
    } else if (l.token == t::kError) {
        const loconet::Line error = loconet::split_line(l.parameter);
        if (error.token == t::kChecksum)
            received(error.parameter); // a message whose checksum is wrong
        else
            peer_complains(peer_text(l.parameter));
    } else if (l.token == t::kVersion) {
        peer_says(peer_text(l.parameter));
    } else if (l.token == t::kSent && outstanding_) {
        const loconet::Line answer = loconet::split_line(l.parameter);
        if (answer.token == t::kOk)
            answered(true);
        else if (answer.token == t::kError)
            answered(false, peer_text(answer.parameter));
    }
}

// Each line is one message: bytes that make none are dropped, never framed
// together with the next line's.
void LbServerPort::received(std::string_view hex) {
    const auto bytes = loconet::parse_hex_bytes(hex);
    if (!bytes || bytes->empty())
        return;
    QByteArray raw;
    for (const int b : *bytes)
        raw.append(static_cast<char>(b));
    if (loconet::framing_fault(*bytes).empty())
        deliver(raw);
    else
        error({PortError::Discarded, {}, raw});
}

void LbServerPort::write(const QByteArray &bytes) {
    for (const char c : bytes)
        if (outgoing_.feed(static_cast<unsigned char>(c)))
            queued_.emplace_back(outgoing_.message().begin(), outgoing_.message().end());
    send_next();
}

// Runs also from the socket's and the timer's signals: a peer that takes
// nothing is told here, never thrown into the event loop.
void LbServerPort::send_next() {
    if (outstanding_ || queued_.empty() || !is_open())
        return;
    outstanding_ = std::move(queued_.front());
    queued_.pop_front();
    const std::string line =
        std::string(loconet::token::kSend) + ' ' + loconet::hex_list(*outstanding_) + "\r\n";
    answer_.start();
    try {
        send(QByteArray::fromStdString(line));
    } catch (const RuntimeError &e) {
        answered(false, e.description);
    }
}

// The end of the outstanding SEND: an answer, a refusal or no answer in time.
void LbServerPort::answered(bool taken, const QString &reason) {
    if (!outstanding_)
        return;
    answer_.stop();
    if (!taken) {
        const std::string bytes = loconet::hex_list(*outstanding_);
        error({PortError::Refused,
               tx::kPeerRefused.arg(QString::fromStdString(bytes),
                                    reason.isEmpty() ? tx::kNoReason : reason),
               {}});
    }
    outstanding_.reset();
    send_next();
}

} // namespace bl
