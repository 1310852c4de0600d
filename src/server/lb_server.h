// Shares a LocoNet bus with other programs over TCP, as LocoNet over TCP
// lines (the LbServer protocol, versions 1 and 2): every message from the
// bus goes to every client as RECEIVE (or ERROR CHECKSUM, so that no
// version-1 client takes corrupt bytes for a message), and a client's SEND
// goes on the bus and is answered SENT OK once its echo has come back. SENDs
// wait in a bounded queue and go on the line only when it takes them at
// once, so that reading the bus never waits for sending; one that does not
// fit the queue is refused at once, and the wait for its echo starts when
// it is written.
// Listens on loopback unless an address is named; each client has a
// bounded output, and a client that reads nothing is dropped rather than
// slowing the bus.
#pragma once

#include "loconet/line_protocol.h"
#include "loconet/message.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace bl {

struct ServeAddress {
    QHostAddress address;
    quint16 port = 0;
};
// "[ADDR:]PORT": 127.0.0.1 unless an address is given.
std::optional<ServeAddress> parse_serve_address(const QString &text);

struct LbServerLimits {
    qint64 most_unsent = 256 * 1024; // bytes waiting for one client
    int echo_ms = 2000;              // a SEND's echo comes within this, from its writing
    std::size_t most_queued = 64;    // SENDs of all clients waiting to be written
};

class LbServer : public QObject {
public:
    static constexpr int kMostClients = 16;
    // the bus's lines go out together a few times a second rather than one
    // write each, which keeps the server's cost low on a busy bus
    static constexpr int kFlushMs = 30;
    using Limits = LbServerLimits;

    // Puts a message (check byte included) of client n (1, 2, ... in the
    // order they came) on the bus; an empty reason when it went, a reason
    // in plain words when it could not.
    using Put = std::function<std::string(const std::vector<int> &, std::uint16_t client)>;
    // Whether put would put a message on the line at once.
    using Ready = std::function<bool()>;
    // Every how many milliseconds a waiting SEND asks again whether the line
    // takes it.
    static constexpr int kDrainMs = 2;

    LbServer(
        Put put, QString version, bool read_only, Limits limits = {},
        Ready ready = [] { return true; });
    ~LbServer() override;

    // The reason when the address cannot be listened on.
    std::optional<QString> listen(const ServeAddress &where);
    quint16 port() const { return server_.serverPort(); }
    QHostAddress address() const { return server_.serverAddress(); }
    int clients() const { return static_cast<int>(clients_.size()); }
    // A message framed from the bus, its checksum right or not.
    void bus_message(const loconet::Message &message);
    // What happens to the clients, for the user.
    void on_log(std::function<void(const QString &)> log) { log_ = std::move(log); }

private:
    struct Client {
        QTcpSocket *socket;
        loconet::LineSplitter lines;
        QByteArray pending; // lines of the bus not yet handed to the socket
        std::uint16_t number;
    };
    struct Awaited {
        QPointer<QTcpSocket> client;
        std::vector<int> message;
        qint64 deadline;
    };
    struct Queued {
        QPointer<QTcpSocket> client;
        std::vector<int> message;
        std::uint16_t number;
    };
    void accept();
    void line(Client &client, std::string_view text);
    void send(Client &client, std::string_view parameter);
    void overlong(Client &client, std::string_view beginning);
    void refuse(Client &client, std::string_view why);
    void write(QTcpSocket *socket, const std::string &line);
    void flush();
    void drain();
    void expire();
    void drop(QTcpSocket *socket, const QString &why);
    void tell(const QString &what) const;

    Put put_;
    Ready ready_;
    std::string version_line_;
    bool read_only_;
    Limits limits_;
    QTcpServer server_;
    std::vector<std::unique_ptr<Client>> clients_;
    std::deque<Queued> queued_;    // SENDs waiting for the line to take them
    std::deque<Awaited> awaiting_; // SENDs on the bus, waiting for their echo
    QTimer drain_;
    std::uint16_t last_client_ = 0;
    QTimer expiry_;
    QTimer flush_;
    QElapsedTimer clock_;
    std::function<void(const QString &)> log_;
};

// A server listening at "[ADDR:]PORT", or why there is none (German).
struct Served {
    std::unique_ptr<LbServer> server;
    QString reason;
};
// log hears what happens to the clients, from the listening on.
Served serve_at(
    const QString &where, LbServer::Put put, const QString &version, bool read_only,
    std::function<void(const QString &)> log, LbServer::Ready ready = [] { return true; });

} // namespace bl
