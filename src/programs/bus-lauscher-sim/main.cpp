// bus-lauscher-sim: the simulated LocoNet with its command station, served
// on a pseudo-terminal, so that the monitor (or any LocoNet tool) can be
// pointed at it through the real serial stack, and over TCP.
#include "server/lb_server.h"
#include "shared/command_line_text.h"
#include "shared/file_names.h"
#include "shared/say.h"
#include "shared/texts.h"
#include "simulation/loconet_message.h"
#include "simulation/pty_server.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <unistd.h>

namespace {

namespace tx = bl::texts::simulation;
namespace cli = bl::texts::cli;

// A bus well beyond a saturated LocoNet, for stress tests, whose ticks end.
constexpr double kMostMessagesPerSecond = 5000;

int fail(const QString &message, int status) {
    bl::say(message);
    return status;
}

// --lbserver: the simulated bus shared over TCP as LocoNet over TCP lines.
struct BusOnTcp {
    std::unique_ptr<bl::LbServer> server;
    bl::sim::LocoNetBus::MessageListeners::Handle listening;
};
std::optional<BusOnTcp> serve(bl::sim::LocoNetBus &bus, const QString &where) {
    bl::Served served =
        bl::serve_at(where,
                     [&bus](const std::vector<int> &message, std::uint16_t) {
                         QByteArray bytes;
                         for (const int b : message)
                             bytes.append(static_cast<char>(b));
                         bus.put(bytes);
                         return std::string();
                     },
                     QStringLiteral("Bus-Lauscher-Sim " BUSLAUSCHER_VERSION), false, {});
    if (!served.server) {
        bl::say(served.reason);
        return std::nullopt;
    }
    bl::LbServer *s = served.server.get();
    auto listening = bus.listen([s](const QByteArray &bytes) {
        s->bus_message(bl::loconet::message_of(bytes.begin(), bytes.end()));
    });
    return BusOnTcp{std::move(served.server), std::move(listening)};
}

// A name that stays while the simulator comes and goes, like a USB
// interface's stable device name. Only a link (to a pseudo-terminal, as
// this program leaves one) is replaced: any other file is the user's.
bool make_link(const QString &device, const QString &path) {
    const QByteArray link = bl::file_name_bytes(path);
    char target[256] = {};
    const ssize_t n = ::readlink(link.constData(), target, sizeof target - 1);
    if (n >= 0 && QByteArray(target, static_cast<qsizetype>(n)).startsWith("/dev/pts/"))
        ::unlink(link.constData());
    if (::symlink(bl::file_name_bytes(device).constData(), link.constData()) == 0)
        return true;
    bl::say((errno == EEXIST ? tx::kLinkTaken : tx::kNoLink).arg(path));
    return false;
}

} // namespace

int main(int argc, char **argv) {
    bl::set_program_name("bus-lauscher-sim");
    QCoreApplication app(argc, argv);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << bl::argument_text(argv[i]);
    QCommandLineParser parser;
    parser.setApplicationDescription(tx::kDescription);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, cli::kHelpOption);
    const QCommandLineOption version(QStringLiteral("version"), cli::kVersionOption);
    parser.addOptions({help, version});
    const QCommandLineOption pty(QStringLiteral("pty"), tx::kPtyOption);
    const QCommandLineOption lbserver(QStringLiteral("lbserver"), tx::kLbServerOption,
                                      cli::kServeValue);
    const QCommandLineOption rate(QStringLiteral("rate"), tx::kRateOption, cli::kNumberValue,
                                  QStringLiteral("4"));
    const QCommandLineOption corrupt(QStringLiteral("corrupt"), tx::kCorruptOption,
                                     cli::kPercentValue, QStringLiteral("0"));
    const QCommandLineOption link(QStringLiteral("link"), tx::kLinkOption, tx::kPathValue);
    parser.addOptions({pty, lbserver, rate, corrupt, link});
    if (!parser.parse(arguments))
        return fail(bl::parse_error_in_german(parser), 2);
    if (parser.isSet(help)) {
        std::fputs(bl::help_in_german(parser, QStringLiteral("bus-lauscher-sim")).toUtf8(), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("bus-lauscher-sim %s\n", BUSLAUSCHER_VERSION);
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return fail(cli::kUnexpectedArgument.arg(parser.positionalArguments().constFirst()), 2);
    if (!parser.isSet(pty) && !parser.isSet(lbserver))
        return fail(tx::kNeedsPtyOrServer, 2);
    if (parser.isSet(link) && !parser.isSet(pty))
        return fail(cli::kNeedsOption.arg(QStringLiteral("--link"), QStringLiteral("--pty")), 2);
    const auto per_second = bl::number_within(parser.value(rate), kMostMessagesPerSecond);
    if (!per_second)
        return fail(cli::kBadRate, 2);
    const auto percent = bl::number_within(parser.value(corrupt), 100);
    if (!percent)
        return fail(cli::kBadCorrupt, 2);
    bl::sim::LocoNetBus bus(*per_second);
    bus.set_corruption(*percent / 100);
    std::unique_ptr<bl::sim::PtyServer> pty_server;
    if (parser.isSet(pty)) {
        pty_server = std::make_unique<bl::sim::PtyServer>(bus);
        if (!pty_server->open())
            return fail(tx::kNoPty, 1);
        if (parser.isSet(link) && !make_link(pty_server->device(), parser.value(link)))
            return 1;
        std::printf("%s\n", qPrintable(pty_server->device()));
    }
    std::optional<BusOnTcp> tcp;
    if (parser.isSet(lbserver)) {
        tcp = serve(bus, parser.value(lbserver));
        if (!tcp)
            return 2;
        std::printf("lbserver://%s:%u\n", qPrintable(tcp->server->address().toString()),
                    tcp->server->port());
    }
    std::fflush(stdout);
    // nothing to save: end at once
    std::signal(SIGINT, [](int) { std::_Exit(0); });
    std::signal(SIGTERM, [](int) { std::_Exit(0); });
    bus.start();
    return QCoreApplication::exec();
}
