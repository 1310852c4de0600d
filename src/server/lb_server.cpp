#include "server/lb_server.h"

#include "loconet/hex.h"
#include "shared/texts.h"
#include "transport/network_reason.h"

#include <algorithm>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#endif
#include <iterator>

namespace bl {

namespace {

namespace t = loconet::token;
namespace tx = texts::server;

constexpr std::string_view kReadOnly = "read-only server";
constexpr std::string_view kNoEcho = "no echo from the bus";
constexpr std::string_view kNotHex = "not two-digit hexadecimal bytes";
constexpr std::string_view kTooLong = "line too long";
constexpr std::string_view kServerFull = "MESSAGE server full (16 clients)";
constexpr std::string_view kQueueFull = "send queue full: the bus carries no more";

QString peer(const QTcpSocket *socket) {
    return QStringLiteral("%1:%2").arg(socket->peerAddress().toString()).arg(socket->peerPort());
}

} // namespace

std::optional<ServeAddress> parse_serve_address(const QString &text) {
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    ServeAddress where{QHostAddress(QHostAddress::LocalHost), 0};
    if (colon >= 0 && !where.address.setAddress(
                          text.left(colon).remove(QLatin1Char('[')).remove(QLatin1Char(']'))))
        return std::nullopt;
    bool ok = false;
    const uint port = text.mid(colon + 1).toUInt(&ok);
    if (!ok || port > 65535)
        return std::nullopt;
    where.port = static_cast<quint16>(port);
    return where;
}

Served serve_at(const QString &where, LbServer::Put put, const QString &version, bool read_only,
                std::function<void(const QString &)> log, LbServer::Ready ready) {
    const auto address = parse_serve_address(where);
    if (!address)
        return {nullptr, tx::kBadServeAddress.arg(where)};
    auto server = std::make_unique<LbServer>(std::move(put), version, read_only, LbServerLimits{},
                                             std::move(ready));
    server->on_log(std::move(log));
    if (const auto reason = server->listen(*address))
        return {nullptr, tx::kCannotListen.arg(where, *reason)};
    return {std::move(server), {}};
}

LbServer::LbServer(Put put, QString version, bool read_only, Limits limits, Ready ready)
    : put_(std::move(put)), ready_(std::move(ready)),
      version_line_(std::string(t::kVersion) + ' ' + version.toStdString() + "\r\n"),
      read_only_(read_only), limits_(limits) {
    connect(&server_, &QTcpServer::newConnection, this, [this] { accept(); });
    flush_.setSingleShot(true);
    flush_.setInterval(kFlushMs);
    connect(&flush_, &QTimer::timeout, this, [this] { flush(); });
    expiry_.setInterval(250);
    connect(&expiry_, &QTimer::timeout, this, [this] { expire(); });
    drain_.setSingleShot(true);
    drain_.setInterval(kDrainMs);
    connect(&drain_, &QTimer::timeout, this, [this] { drain(); });
    clock_.start();
}

LbServer::~LbServer() {
    for (const auto &client : clients_)
        client->socket->disconnect(this);
}

std::optional<QString> LbServer::listen(const ServeAddress &where) {
    if (!server_.listen(where.address, where.port))
        return network_reason(server_.serverError(), server_.errorString());
    tell(tx::kListening.arg(where.address.toString()).arg(server_.serverPort()));
    return std::nullopt;
}

void LbServer::tell(const QString &what) const {
    if (log_)
        log_(what);
}

void LbServer::accept() {
    while (QTcpSocket *socket = server_.nextPendingConnection()) {
        if (clients_.size() >= static_cast<std::size_t>(kMostClients)) {
            // said why before the connection ends
            tell(tx::kTooMany.arg(peer(socket)));
            socket->write(
                (std::string(t::kError) + " " + std::string(kServerFull) + "\r\n").c_str());
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            socket->disconnectFromHost();
            continue;
        }
        clients_.push_back(
            std::make_unique<Client>(Client{socket, loconet::LineSplitter(), {}, ++last_client_}));
        Client *client = clients_.back().get();
        connect(socket, &QTcpSocket::readyRead, this, [this, client] {
            const QByteArray bytes = client->socket->readAll();
            client->lines.feed(
                std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                [this, client](std::string_view text) { line(*client, text); },
                [this, client](std::string_view beginning) { overlong(*client, beginning); });
        });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { drop(socket, {}); });
        // the server gathers its lines itself; no second wait in the kernel
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        tell(tx::kConnected.arg(peer(socket)).arg(clients_.size()));
        write(socket, version_line_);
    }
}

void LbServer::drop(QTcpSocket *socket, const QString &why) {
    const auto it = std::find_if(clients_.begin(), clients_.end(),
                                 [socket](const auto &c) { return c->socket == socket; });
    if (it == clients_.end())
        return;
    tell(why.isEmpty() ? tx::kDisconnected.arg(peer(socket)).arg(clients_.size() - 1)
                       : tx::kDropped.arg(peer(socket), why));
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    clients_.erase(it);
}

// A client that does not read gets no more than a bounded backlog; then it
// is dropped, and nobody else waits for it.
void LbServer::write(QTcpSocket *socket, const std::string &line) {
    std::size_t sent = 0;
#ifdef Q_OS_UNIX
    // straight to the kernel while nothing waits in Qt's buffer: one system
    // call, where a buffered write would also wake the event loop twice
    if (socket->bytesToWrite() == 0) {
        const ssize_t n = ::send(static_cast<int>(socket->socketDescriptor()), line.data(),
                                 line.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
        sent = n > 0 ? static_cast<std::size_t>(n) : 0;
        if (sent == line.size())
            return;
    }
#endif
    socket->write(line.data() + sent, static_cast<qint64>(line.size() - sent));
    if (socket->bytesToWrite() > limits_.most_unsent)
        QTimer::singleShot(0, this, [this, s = QPointer<QTcpSocket>(socket)] {
            if (s)
                drop(s, tx::kReadsNothing);
        });
}

void LbServer::line(Client &client, std::string_view text) {
    const loconet::Line l = loconet::split_line(text);
    if (l.token == t::kSend)
        send(client, l.parameter);
    // every other token is passed over
}

void LbServer::refuse(Client &client, std::string_view why) {
    write(client.socket,
          std::string(t::kSent) + ' ' + std::string(t::kError) + ' ' + std::string(why) + "\r\n");
}

// Every SEND gets its answer, also one too long to be read.
void LbServer::overlong(Client &client, std::string_view beginning) {
    if (loconet::split_line(beginning).token == t::kSend)
        refuse(client, kTooLong);
}

void LbServer::send(Client &client, std::string_view parameter) {
    const auto refuse = [this, &client](std::string_view why) { this->refuse(client, why); };
    const auto message = loconet::parse_hex_bytes(parameter);
    if (!message)
        return refuse(kNotHex);
    if (const std::string_view why = loconet::send_refusal(*message); !why.empty())
        return refuse(why);
    if (read_only_)
        return refuse(kReadOnly);
    if (queued_.size() >= limits_.most_queued)
        return refuse(kQueueFull);
    queued_.push_back({client.socket, *message, client.number});
    drain();
}

// The waiting SENDs go on the line while it takes them at once; the rest
// ask again shortly.
void LbServer::drain() {
    while (!queued_.empty() && ready_()) {
        const Queued next = std::move(queued_.front());
        queued_.pop_front();
        if (!next.client)
            continue; // its client has gone: nobody waits for it
        // awaited before it goes: a bus may echo it before put returns
        awaiting_.push_back({next.client, next.message, clock_.elapsed() + limits_.echo_ms});
        expiry_.start();
        if (const std::string why = put_(next.message, next.number); !why.empty()) {
            const auto it =
                std::find_if(awaiting_.rbegin(), awaiting_.rend(), [&](const Awaited &a) {
                    return a.client == next.client && a.message == next.message;
                });
            if (it != awaiting_.rend())
                awaiting_.erase(std::next(it).base());
            write(next.client,
                  std::string(t::kSent) + ' ' + std::string(t::kError) + ' ' + why + "\r\n");
        }
    }
    if (!queued_.empty() && !drain_.isActive())
        drain_.start();
}

void LbServer::flush() {
    for (const auto &client : clients_) {
        if (client->pending.isEmpty())
            continue;
        write(client->socket, client->pending.toStdString());
        client->pending.clear();
    }
}

void LbServer::bus_message(const loconet::Message &message) {
    const std::vector<int> bytes(message.view().begin(), message.view().end());
    const std::string token = message.checksum_ok
                                  ? std::string(t::kReceive)
                                  : std::string(t::kError) + ' ' + std::string(t::kChecksum);
    const std::string line = token + ' ' + loconet::hex_list(bytes) + "\r\n";
    for (const auto &client : clients_)
        client->pending.append(line.data(), static_cast<qsizetype>(line.size()));
    if (!clients_.empty() && !flush_.isActive())
        flush_.start();
    // the echo of a client's SEND: its RECEIVE has gone out, now its answer
    const auto echo = std::find_if(awaiting_.begin(), awaiting_.end(),
                                   [&bytes](const Awaited &a) { return a.message == bytes; });
    if (echo == awaiting_.end())
        return;
    if (echo->client) {
        flush(); // its RECEIVE goes before its answer
        write(echo->client, std::string(t::kSent) + ' ' + std::string(t::kOk) + "\r\n");
    }
    awaiting_.erase(echo);
}

void LbServer::expire() {
    while (!awaiting_.empty() && awaiting_.front().deadline < clock_.elapsed()) {
        if (QTcpSocket *client = awaiting_.front().client)
            write(client, std::string(t::kSent) + ' ' + std::string(t::kError) + ' ' +
                              std::string(kNoEcho) + "\r\n");
        awaiting_.pop_front();
    }
    if (awaiting_.empty())
        expiry_.stop();
}

} // namespace bl
