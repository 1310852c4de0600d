// bus-lauscher-sim: the simulated LocoNet with its command station, served
// on a pseudo-terminal, so that the monitor (or any LocoNet tool) can be
// pointed at it through the real serial stack.
#include "programs/bus-lauscher-sim/pty_server.h"
#include "server/lb_server.h"
#include "shared/texts.h"
#include "simulation/loconet_message.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

namespace tx = bl::texts::simulation;

// A bus well beyond a saturated LocoNet, for stress tests, whose ticks end.
constexpr double kMostMessagesPerSecond = 5000;

bool number_within(const QString &text, double most, double &value) {
    bool ok = false;
    value = text.toDouble(&ok);
    return ok && value >= 0 && value <= most;
}

int fail(const QString &message, int status) {
    std::fprintf(stderr, "bus-lauscher-sim: %s\n", qPrintable(message));
    return status;
}

} // namespace

// --lbserver: the simulated bus shared over TCP as LocoNet over TCP lines.
std::unique_ptr<bl::LbServer> serve(bl::sim::LocoNetBus &bus, const QString &where) {
    const auto address = bl::parse_serve_address(where);
    if (!address) {
        fail(bl::texts::server::kBadServeAddress.arg(where), 2);
        return nullptr;
    }
    auto server = std::make_unique<bl::LbServer>(
        [&bus](const std::vector<int> &message) {
            QByteArray bytes;
            for (const int b : message)
                bytes.append(static_cast<char>(b));
            bus.put(bytes);
            return std::string();
        },
        QStringLiteral("Bus-Lauscher-Sim " BUSLAUSCHER_VERSION), false);
    bl::LbServer *s = server.get();
    bus.listen([s](const QByteArray &message) {
        std::vector<std::int32_t> bytes;
        for (const char c : message)
            bytes.push_back(static_cast<unsigned char>(c));
        s->bus_message(bytes, bl::sim::checksum_ok(message));
    });
    if (const auto reason = server->listen(*address)) {
        fail(bl::texts::server::kCannotListen.arg(where, *reason), 1);
        return nullptr;
    }
    return server;
}

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(tx::kDescription);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  bl::texts::cli::kHelpOption);
    const QCommandLineOption version(QStringLiteral("version"), bl::texts::cli::kVersionOption);
    parser.addOptions({help, version});
    const QCommandLineOption pty(QStringLiteral("pty"), tx::kPtyOption);
    const QCommandLineOption lbserver(QStringLiteral("lbserver"), tx::kLbServerOption,
                                      tx::kServeValue);
    const QCommandLineOption rate(QStringLiteral("rate"), tx::kRateOption, QStringLiteral("N"),
                                  QStringLiteral("4"));
    const QCommandLineOption corrupt(QStringLiteral("corrupt"), tx::kCorruptOption,
                                     tx::kPercentValue, QStringLiteral("0"));
    const QCommandLineOption link(QStringLiteral("link"), tx::kLinkOption, tx::kPathValue);
    parser.addOptions({pty, lbserver, rate, corrupt, link});
    if (!parser.parse(app.arguments()))
        return fail(parser.errorText(), 2);
    if (parser.isSet(help)) {
        // named as the user calls it, not by the path it was started from
        QString text = parser.helpText();
        text.replace(QCoreApplication::arguments().constFirst(),
                     QStringLiteral("bus-lauscher-sim"));
        std::fputs(text.toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("bus-lauscher-sim %s\n", BUSLAUSCHER_VERSION);
        return 0;
    }
    if (!parser.isSet(pty) && !parser.isSet(lbserver))
        return fail(tx::kNeedsPtyOrServer, 2);
    double per_second = 0, percent = 0;
    if (!number_within(parser.value(rate), kMostMessagesPerSecond, per_second))
        return fail(tx::kBadRate, 2);
    if (!number_within(parser.value(corrupt), 100, percent))
        return fail(tx::kBadCorrupt, 2);
    bl::sim::LocoNetBus bus(per_second);
    bus.set_corruption(percent / 100);
    std::unique_ptr<bl::sim::PtyServer> pty_server;
    if (parser.isSet(pty)) {
        pty_server = std::make_unique<bl::sim::PtyServer>(bus);
        if (!pty_server->open())
            return fail(tx::kNoPty, 1);
        // a name that stays while the simulator comes and goes, like a USB
        // interface's stable device name
        if (parser.isSet(link)) {
            QFile::remove(parser.value(link));
            if (!QFile::link(pty_server->device(), parser.value(link)))
                return fail(tx::kNoLink.arg(parser.value(link)), 1);
        }
        std::printf("%s\n", qPrintable(pty_server->device()));
    }
    std::unique_ptr<bl::LbServer> tcp_server;
    if (parser.isSet(lbserver)) {
        tcp_server = serve(bus, parser.value(lbserver));
        if (!tcp_server)
            return 2;
        std::printf("lbserver://%s:%u\n", qPrintable(tcp_server->address().toString()),
                    tcp_server->port());
    }
    std::fflush(stdout);
    // nothing to save: end at once
    std::signal(SIGINT, [](int) { std::_Exit(0); });
    std::signal(SIGTERM, [](int) { std::_Exit(0); });
    bus.start();
    return QCoreApplication::exec();
}
