#include "transport/network_port.h"

#include "shared/texts.h"

#include <QUrl>

namespace bl {

namespace {

namespace tx = texts::transport;
const QString kSource = QStringLiteral("Comm1");
const QString kLineScheme = QStringLiteral("lbserver");
const QString kRawScheme = QStringLiteral("tcp");

QString connect_reason(QAbstractSocket::SocketError error, const QString &words) {
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError: return tx::kRefused;
    case QAbstractSocket::HostNotFoundError: return tx::kUnknownHost;
    case QAbstractSocket::SocketTimeoutError: return tx::kNoAnswer;
    case QAbstractSocket::NetworkError: return tx::kNoNetwork;
    default: return words;
    }
}

} // namespace

bool is_network_address(const QString &entry) {
    const QString e = entry.trimmed();
    return e.startsWith(kLineScheme + QStringLiteral("://"), Qt::CaseInsensitive) ||
           e.startsWith(kRawScheme + QStringLiteral("://"), Qt::CaseInsensitive);
}

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

NetworkPort::NetworkPort() {
    connect(&socket_, &QTcpSocket::readyRead, this, [this] {
        if (open_)
            arrived(socket_.readAll());
    });
    connect(&socket_, &QTcpSocket::disconnected, this, [this] { lost(); });
    connect(&socket_, &QTcpSocket::errorOccurred, this, [this] {
        if (socket_.state() != QAbstractSocket::ConnectedState)
            lost();
    });
}

NetworkPort::~NetworkPort() {
    open_ = false;
    socket_.disconnect(this);
}

void NetworkPort::open(const QString &device, const LineSettings &) {
    const std::optional<NetworkAddress> address = parse_network_address(device);
    if (!address)
        throw RuntimeError(err::kPortMissing, kSource, tx::kBadAddress.arg(device));
    name_ = device.trimmed();
    received_.clear();
    socket_.abort();
    socket_.connectToHost(address->host, address->port);
    if (!socket_.waitForConnected(kConnectMs)) {
        const QString reason = connect_reason(socket_.error(), socket_.errorString());
        socket_.abort();
        throw RuntimeError(err::kPortMissing, kSource,
                           tx::kCannotConnect.arg(address->host).arg(address->port).arg(reason));
    }
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    open_ = true;
    status(tx::kConnectedTo.arg(name_));
    connected();
}

void NetworkPort::close() {
    open_ = false;
    socket_.abort();
    received_.clear();
}

void NetworkPort::lost() {
    if (!open_)
        return;
    open_ = false;
    received_.clear();
    socket_.abort();
    failed(RuntimeError(err::kDeviceVanished, kSource, tx::kConnectionLost.arg(name_)));
}

void NetworkPort::deliver(const QByteArray &bytes) {
    received_ += bytes;
    readable();
}

void NetworkPort::send(const QByteArray &bytes) {
    socket_.write(bytes);
    if (socket_.bytesToWrite() > kMostUnsent)
        throw RuntimeError(err::kPortIoFailed, kSource, tx::kPeerTakesNothing.arg(name_));
}

LbServerPort::LbServerPort(int answer_ms) {
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

// Tokens it does not know (TIMESTAMP, BREAK, ERROR ... of version 2) are
// passed over, as are RECEIVE lines that are no hexadecimal bytes.
void LbServerPort::line(std::string_view text) {
    namespace t = loconet::token;
    const loconet::Line l = loconet::split_line(text);
    if (l.token == t::kReceive) {
        if (const auto bytes = loconet::parse_hex_bytes(l.parameter); bytes && !bytes->empty()) {
            QByteArray raw;
            for (const int b : *bytes)
                raw.append(static_cast<char>(b));
            deliver(raw);
        }
    } else if (l.token == t::kVersion) {
        status(tx::kConnectedToVersion.arg(
            name(),
            QString::fromLatin1(l.parameter.data(), static_cast<qsizetype>(l.parameter.size()))));
    } else if (l.token == t::kSent && outstanding_) {
        const loconet::Line answer = loconet::split_line(l.parameter);
        if (answer.token == t::kOk)
            answered(true);
        else if (answer.token == t::kError)
            answered(false, QString::fromLatin1(answer.parameter.data(),
                                                static_cast<qsizetype>(answer.parameter.size())));
    }
}

void LbServerPort::write(const QByteArray &bytes) {
    for (const char c : bytes)
        if (outgoing_.feed(static_cast<unsigned char>(c)))
            queued_.emplace_back(outgoing_.message().begin(), outgoing_.message().end());
    send_next();
}

void LbServerPort::send_next() {
    if (outstanding_ || queued_.empty() || !is_open())
        return;
    outstanding_ = std::move(queued_.front());
    queued_.pop_front();
    const std::string line = std::string(loconet::token::kSend) + ' ' +
                             loconet::hex_bytes(outstanding_->data(), outstanding_->size()) +
                             "\r\n";
    answer_.start();
    send(QByteArray::fromStdString(line));
}

// The end of the outstanding SEND: an answer, a refusal or no answer in time.
void LbServerPort::answered(bool taken, const QString &reason) {
    if (!outstanding_)
        return;
    answer_.stop();
    if (!taken) {
        const std::string bytes = loconet::hex_bytes(outstanding_->data(), outstanding_->size());
        trouble(tx::kPeerRefused.arg(QString::fromStdString(bytes),
                                     reason.isEmpty() ? tx::kNoReason : reason));
    }
    outstanding_.reset();
    send_next();
}

} // namespace bl
