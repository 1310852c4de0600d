// The other end of a TCP connection, played by a test: a server that takes
// one client, records what it is sent and answers as told.
#pragma once

#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace bl::testing {

struct ScriptedServer {
    QTcpServer server;
    QTcpSocket *client = nullptr;
    QByteArray heard;

    ScriptedServer() {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            client = server.nextPendingConnection();
            QObject::connect(client, &QTcpSocket::readyRead,
                             [this] { heard += client->readAll(); });
        });
    }
    QString address(const char *scheme) const {
        return QStringLiteral("%1://127.0.0.1:%2")
            .arg(QLatin1String(scheme))
            .arg(server.serverPort());
    }
    bool has_client() {
        return QTest::qWaitFor([this] { return client != nullptr; }, 5000);
    }
    void say(const QByteArray &bytes) {
        client->write(bytes);
        client->flush();
    }
    bool hears(const QByteArray &text) {
        return QTest::qWaitFor([&] { return heard.contains(text); }, 5000);
    }
};

} // namespace bl::testing
