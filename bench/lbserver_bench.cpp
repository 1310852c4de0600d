// The monitor as a LocoNet over TCP server on a saturated bus (342 messages
// a second from the simulated bus): the CPU the clients add to it, and each
// client's lag (a SEND's echo coming back as RECEIVE). Not a test: figures.
// usage: lbserver_bench [SECONDS] [CLIENTS]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

// user + system CPU seconds of a process so far (system alone with only_system)
double cpu_seconds(qint64 pid, bool only_system = false) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = stat.readAll().split(' ');
    return ((only_system ? 0 : fields.value(13).toDouble()) + fields.value(14).toDouble()) /
           static_cast<double>(sysconf(_SC_CLK_TCK));
}

void run_for(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

struct Client {
    QTcpSocket socket;
    QByteArray pending;
    QElapsedTimer sent_at;
    QByteArray awaiting; // the RECEIVE line of its own SEND
    std::vector<double> lags_ms;
    qint64 lines = 0;
};

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    const int count = argc > 2 ? std::atoi(argv[2]) : 8;
    QProcess monitor;
    monitor.setStandardOutputFile(QProcess::nullDevice());
    monitor.start(QCoreApplication::applicationDirPath() + QStringLiteral("/../src/bus-lauscher"),
                  {QStringLiteral("--console"), QStringLiteral("--demo"), QStringLiteral("--rate"),
                   QStringLiteral("342"), QStringLiteral("--serve"), QStringLiteral("0")});
    monitor.setReadChannel(QProcess::StandardError);
    QByteArray err;
    while (!err.contains("127.0.0.1:") || !err.endsWith('\n')) {
        if (!monitor.waitForReadyRead(5000))
            return std::fprintf(stderr, "no server\n"), 1;
        err += monitor.readAllStandardError();
    }
    const QByteArray rest = err.mid(err.indexOf("127.0.0.1:") + 10);
    const quint16 port = static_cast<quint16>(rest.left(rest.indexOf('\n')).toUInt());

    run_for(1000); // start-up done
    double before = cpu_seconds(monitor.processId());
    run_for(seconds * 1000);
    const double alone = (cpu_seconds(monitor.processId()) - before) / seconds;

    std::vector<std::unique_ptr<Client>> clients;
    for (int i = 0; i < count; ++i) {
        auto c = std::make_unique<Client>();
        Client *client = c.get();
        QObject::connect(&client->socket, &QTcpSocket::readyRead, [client] {
            client->pending += client->socket.readAll();
            qsizetype end;
            while ((end = client->pending.indexOf('\n')) >= 0) {
                const QByteArray line = client->pending.left(end).trimmed();
                client->pending.remove(0, end + 1);
                ++client->lines;
                if (!client->awaiting.isEmpty() && line == client->awaiting) {
                    client->lags_ms.push_back(static_cast<double>(client->sent_at.nsecsElapsed()) /
                                              1e6);
                    client->awaiting.clear();
                }
            }
        });
        client->socket.connectToHost(QStringLiteral("127.0.0.1"), port);
        client->socket.waitForConnected(5000);
        client->socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        clients.push_back(std::move(c));
    }
    // each client sends a switch request of its own twice a second
    QTimer sender;
    int round = 0;
    QObject::connect(&sender, &QTimer::timeout, [&] {
        Client &c = *clients[static_cast<std::size_t>(round % count)];
        const int address = round % 100;
        const int chk = 0xFF ^ 0xB0 ^ address ^ 0x10;
        const QByteArray message = QStringLiteral("B0 %1 10 %2")
                                       .arg(address, 2, 16, QLatin1Char('0'))
                                       .arg(chk, 2, 16, QLatin1Char('0'))
                                       .toUpper()
                                       .toLatin1();
        c.awaiting = "RECEIVE " + message;
        c.sent_at.start();
        c.socket.write("SEND " + message + "\r\n");
        ++round;
    });
    sender.start(500 / count);
    run_for(1000);
    before = cpu_seconds(monitor.processId());
    run_for(seconds * 1000);
    const double served = (cpu_seconds(monitor.processId()) - before) / seconds;

    std::vector<double> lags;
    qint64 lines = 0;
    for (const auto &c : clients) {
        lags.insert(lags.end(), c->lags_ms.begin(), c->lags_ms.end());
        lines += c->lines;
    }
    std::sort(lags.begin(), lags.end());
    std::printf("monitor alone on a saturated bus: %.2f %% of a core\n", 100 * alone);
    std::printf("with %d clients:                  %.2f %% (added %.2f %%)\n", count, 100 * served,
                100 * (served - alone));
    std::printf("lines to the clients: %lld, lag of a SEND's echo: median %.2f ms, max %.2f ms "
                "(%zu samples)\n",
                static_cast<long long>(lines), lags.empty() ? 0 : lags[lags.size() / 2],
                lags.empty() ? 0 : lags.back(), lags.size());
    monitor.kill();
    monitor.waitForFinished();
    return 0;
}
