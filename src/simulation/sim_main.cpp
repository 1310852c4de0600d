// bus-lauscher-sim: the simulated LocoNet with its command station, served
// on a pseudo-terminal, so that the monitor (or any LocoNet tool) can be
// pointed at it through the real serial stack.
#include "shared/texts.h"
#include "simulation/pty_server.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <csignal>
#include <cstdio>
#include <cstdlib>

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

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(tx::kDescription);
    parser.addHelpOption();
    const QCommandLineOption pty(QStringLiteral("pty"), tx::kPtyOption);
    const QCommandLineOption rate(QStringLiteral("rate"), tx::kRateOption, QStringLiteral("N"),
                                  QStringLiteral("4"));
    const QCommandLineOption corrupt(QStringLiteral("corrupt"), tx::kCorruptOption,
                                     tx::kPercentValue, QStringLiteral("0"));
    const QCommandLineOption link(QStringLiteral("link"), tx::kLinkOption, tx::kPathValue);
    parser.addOptions({pty, rate, corrupt, link});
    if (!parser.parse(app.arguments()))
        return fail(parser.errorText(), 2);
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (!parser.isSet(pty))
        return fail(tx::kPtyMissing, 2);
    double per_second = 0, percent = 0;
    if (!number_within(parser.value(rate), kMostMessagesPerSecond, per_second))
        return fail(tx::kBadRate, 2);
    if (!number_within(parser.value(corrupt), 100, percent))
        return fail(tx::kBadCorrupt, 2);
    bl::sim::LocoNetBus bus(per_second);
    bus.set_corruption(percent / 100);
    bl::sim::PtyServer server(bus);
    if (!server.open())
        return fail(tx::kNoPty, 1);
    // a name that stays while the simulator comes and goes, like a USB
    // interface's stable device name
    if (parser.isSet(link)) {
        QFile::remove(parser.value(link));
        if (!QFile::link(server.device(), parser.value(link)))
            return fail(tx::kNoLink.arg(parser.value(link)), 1);
    }
    std::printf("%s\n", qPrintable(server.device()));
    std::fflush(stdout);
    // nothing to save: end at once
    std::signal(SIGINT, [](int) { std::_Exit(0); });
    std::signal(SIGTERM, [](int) { std::_Exit(0); });
    bus.start();
    return QCoreApplication::exec();
}
