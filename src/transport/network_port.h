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

// Whether a port entry names a network address (by its scheme).
bool is_network_address(const QString &entry);
std::optional<NetworkAddress> parse_network_address(const QString &entry);

// The connection both kinds share: connecting with a bounded wait, a
// German reason when it fails, and the loss of an open connection.
class NetworkPort : public QObject, public BytePort {
public:
    static constexpr int kConnectMs = 5000;
    // a peer that takes nothing is not waited for without end
    static constexpr qint64 kMostUnsent = 1 << 20;

    NetworkPort();
    // the socket reports its own teardown; by then nothing here may hear it
    ~NetworkPort() override;
    void open(const QString &device, const LineSettings &line) override;
    void close() override;
    bool is_open() const override { return open_; }
    QByteArray read() override { return std::exchange(received_, {}); }
    bool network() const override { return true; }

protected:
    virtual void connected() {}
    virtual void arrived(const QByteArray &bytes) = 0;
    // Bytes for the receive path, as an interface would hand them over.
    void deliver(const QByteArray &bytes);
    void send(const QByteArray &bytes);
    QString name() const { return name_; }

private:
    void lost();

    QTcpSocket socket_;
    QString name_;
    QByteArray received_;
    bool open_ = false;
};

// Raw LocoNet bytes both ways.
class RawTcpPort : public NetworkPort {
public:
    void write(const QByteArray &bytes) override { send(bytes); }

protected:
    void arrived(const QByteArray &bytes) override { deliver(bytes); }
};

// The line protocol: every RECEIVE gives its bytes to the receive path; what
// the program writes is framed into messages that go out as SEND, one at a
// time, each ended by its SENT answer or a time-out.
class LbServerPort : public NetworkPort {
public:
    static constexpr int kAnswerMs = 5000;

    explicit LbServerPort(int answer_ms = kAnswerMs);
    void write(const QByteArray &bytes) override;

protected:
    void connected() override;
    void arrived(const QByteArray &bytes) override;

private:
    void line(std::string_view text);
    void send_next();
    void answered(bool taken, const QString &reason = {});

    loconet::LineSplitter lines_;
    loconet::Framer outgoing_;
    std::deque<std::vector<int>> queued_;
    std::optional<std::vector<int>> outstanding_;
    QTimer answer_;
};

} // namespace bl
