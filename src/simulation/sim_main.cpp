// bus-lauscher-sim: the simulated LocoNet with its command station, served
// on a pseudo-terminal, so that the monitor (or any LocoNet tool) can be
// pointed at it through the real serial stack.
#include "simulation/pty_server.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <csignal>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulierter LocoNet-Bus mit Zentrale auf einem Pseudo-Terminal (wie ein USB-Interface)."));
    parser.addHelpOption();
    const QCommandLineOption pty(QStringLiteral("pty"),
                                 QStringLiteral("Ein Pseudo-Terminal bedienen; sein Gerätepfad "
                                                "wird ausgegeben."));
    const QCommandLineOption rate(QStringLiteral("rate"),
                                  QStringLiteral("Nachrichten je Sekunde (Vorgabe 4)."),
                                  QStringLiteral("N"), QStringLiteral("4"));
    parser.addOptions({pty, rate});
    if (!parser.parse(app.arguments())) {
        std::fprintf(stderr, "bus-lauscher-sim: %s\n", qPrintable(parser.errorText()));
        return 2;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (!parser.isSet(pty)) {
        std::fputs("bus-lauscher-sim: --pty fehlt\n", stderr);
        return 2;
    }
    bool ok = false;
    const double per_second = parser.value(rate).toDouble(&ok);
    if (!ok || per_second < 0) {
        std::fputs("bus-lauscher-sim: --rate braucht eine Zahl ab 0\n", stderr);
        return 2;
    }
    bl::sim::LocoNetBus bus(per_second);
    bl::sim::PtyServer server(bus);
    if (!server.open()) {
        std::fputs("bus-lauscher-sim: kein Pseudo-Terminal verfügbar\n", stderr);
        return 1;
    }
    std::printf("%s\n", qPrintable(server.device()));
    std::fflush(stdout);
    // nothing to save: end at once
    std::signal(SIGINT, [](int) { std::_Exit(0); });
    std::signal(SIGTERM, [](int) { std::_Exit(0); });
    bus.start();
    return QCoreApplication::exec();
}
