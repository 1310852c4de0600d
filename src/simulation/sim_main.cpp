// bus-lauscher-sim: the simulated LocoNet with its command station, served
// on a pseudo-terminal, so that the monitor (or any LocoNet tool) can be
// pointed at it through the real serial stack.
#include "shared/texts.h"
#include "simulation/pty_server.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

namespace tx = bl::texts::simulation;

int fail(const QString &message, int status) {
    std::fprintf(stderr, "bus-lauscher-sim: %s\n", qPrintable(message));
    return status;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(tx::kDescription);
    parser.addHelpOption();
    const QCommandLineOption pty(QStringLiteral("pty"), tx::kPtyOption);
    const QCommandLineOption rate(QStringLiteral("rate"), tx::kRateOption, QStringLiteral("N"),
                                  QStringLiteral("4"));
    parser.addOptions({pty, rate});
    if (!parser.parse(app.arguments()))
        return fail(parser.errorText(), 2);
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (!parser.isSet(pty))
        return fail(tx::kPtyMissing, 2);
    bool ok = false;
    const double per_second = parser.value(rate).toDouble(&ok);
    if (!ok || per_second < 0)
        return fail(tx::kBadRate, 2);
    bl::sim::LocoNetBus bus(per_second);
    bl::sim::PtyServer server(bus);
    if (!server.open())
        return fail(tx::kNoPty, 1);
    std::printf("%s\n", qPrintable(server.device()));
    std::fflush(stdout);
    // nothing to save: end at once
    std::signal(SIGINT, [](int) { std::_Exit(0); });
    std::signal(SIGTERM, [](int) { std::_Exit(0); });
    bus.start();
    return QCoreApplication::exec();
}
