// A LocoNet bus that another program shares over the network: as LocoNet
// over TCP lines ("lbserver://HOST[:PORT]", port 1234 when none is given)
// or as raw LocoNet bytes both ways ("tcp://HOST:PORT", as ser2net serves an
// interface). Both are byte ports like a USB interface.
#pragma once

#include "loconet/framer.h"
#include "loconet/line_protocol.h"
#include "transport/byte_port.h"

#include <QObject>
#include <QTcpSocket>
#include <QTimer>
#include <deque>
#include <optional>

namespace bl {

struct NetworkAddress {
    enum class Kind { LineProtocol, RawBytes };
    Kind kind;
    QString host;
    quint16 port;
};

std::optional<NetworkAddress> parse_network_address(const QString &entry);

// The connection both kinds share: connecting while the event loop runs on
// (the window keeps painting), within a bound; a German reason when it
// fails; the loss of an open connection.
class NetworkPort : public QObject, public BytePort {
public:
    static constexpr int kConnectMs = 5000;
    // a peer that takes nothing is not waited for without end
    static constexpr qint64 kMostUnsent = 1 << 20;

    // connect_ms: how long a connection may take to be made; most_unsent:
    // how much may wait for a peer that takes nothing
    explicit NetworkPort(int connect_ms = kConnectMs, qint64 most_unsent = kMostUnsent);
    // the socket reports its own teardown; by then nothing here may hear it
    ~NetworkPort() override;
    void open(const QString &device, const LineSettings &line) override;
    void close() override;
    QByteArray read() override { return std::exchange(received_, {}); }
    QString description() const override;

protected:
    virtual void connected() {}
    virtual void arrived(const QByteArray &bytes) = 0;
    // Bytes for the receive path, as an interface would hand them over.
    void deliver(const QByteArray &bytes);
    // Raises a RuntimeError when the peer has taken nothing for long.
    void send(const QByteArray &bytes);
    // What the peer says of itself (its VERSION), already made printable.
    void peer_says(const QString &text);
    // What the peer said went wrong; told with the loss that may follow.
    void peer_complains(const QString &text) { complaint_ = text; }
    QString name() const { return name_; }

private:
    bool wait_for_connection();
    void lost();

    QTcpSocket socket_;
    int connect_ms_;
    qint64 most_unsent_;
    QString name_;
    QString version_;
    QString complaint_;
    QByteArray received_;
};

// Raw LocoNet bytes both ways.
class RawTcpPort : public NetworkPort {
public:
    using NetworkPort::NetworkPort;
    void write(const QByteArray &bytes) override { send(bytes); }

protected:
    void arrived(const QByteArray &bytes) override { deliver(bytes); }
};

// The line protocol: every RECEIVE (and ERROR CHECKSUM, a message with a
// wrong checksum) that holds one whole message gives it to the receive
// path; any other is dropped, and said so. What the program writes goes out
// as SEND, one message at a time, each ended by its SENT answer or a
// time-out.
class LbServerPort : public NetworkPort {
public:
    static constexpr int kAnswerMs = 5000;

    explicit LbServerPort(int answer_ms = kAnswerMs, int connect_ms = kConnectMs,
                          qint64 most_unsent = kMostUnsent);
    void write(const QByteArray &bytes) override;

protected:
    void connected() override;
    void arrived(const QByteArray &bytes) override;

private:
    void line(std::string_view text);
    void received(std::string_view hex);
    void send_next();
    void answered(bool taken, const QString &reason = {});

    loconet::LineSplitter lines_;
    loconet::Framer outgoing_;
    std::deque<std::vector<int>> queued_;
    std::optional<std::vector<int>> outstanding_;
    QTimer answer_;
};

} // namespace bl
