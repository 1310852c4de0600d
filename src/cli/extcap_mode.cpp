#include "cli/extcap_mode.h"

#include "app/bus_access.h"
#include "app/monitor_core.h"
#include "cli/console_io.h"
#include "connection/init_paths.h"
#include "shared/command_line_text.h"
#include "shared/interruption.h"
#include "shared/say.h"
#include "shared/steady_clock.h"
#include "shared/texts.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QTimer>
#include <algorithm>
#include <csignal>
#if defined(Q_OS_UNIX)
#include <unistd.h>
#endif
#if defined(Q_OS_LINUX)
#include <sys/prctl.h>
#endif

namespace bl {

namespace {

namespace tx = texts::extcap;

const QString kDemo = QStringLiteral("bus-lauscher-demo");
const QString kTcp = QStringLiteral("bus-lauscher-tcp");
const QString kDevice = QStringLiteral("bus-lauscher-device");
const QString kSerialPrefix = QStringLiteral("bus-lauscher-serial-");

// Nobody reads boxes here and nobody answers: the first box (a port that
// cannot be opened, with its reason) is kept for one line on standard
// error, where Wireshark shows it, and a question ends the start-up at once
// (its "Yes" ends the program) instead of asking again.
class NoQuestions : public Dialogs {
public:
    MsgResult message_box(const QString &text, const QString &, MsgIcon,
                          MsgButtons buttons) override {
        if (buttons != MsgButtons::Ok)
            return MsgResult::Yes;
        if (first_.isEmpty())
            first_ = text.simplified();
        return MsgResult::Ok;
    }
    std::optional<QString> input_box(const QString &, const QString &, const QString &) override {
        return std::nullopt;
    }
    const QString &first() const { return first_; }

private:
    QString first_;
};

QStringList serial_ports() {
    QStringList ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        ports << info.systemLocation();
    return ports;
}

QString interface_of(const QString &port) {
    QString name = port;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return kSerialPrefix + name;
}

QString port_of(const QString &interface) {
    for (const QString &port : serial_ports())
        if (interface_of(port) == interface)
            return port;
    return {};
}

std::optional<InterfaceKind> kind_named(const QString &name) {
    if (name == QLatin1String("com"))
        return InterfaceKind::ComPort;
    if (name == QLatin1String("serial"))
        return InterfaceKind::Serial;
    if (name.isEmpty() || name == QLatin1String("usb"))
        return InterfaceKind::Usb;
    return std::nullopt;
}

struct Capture {
    QString interface;
    QString fifo;
    bool fifo_is_new = false; // no FIFO of Wireshark's: a new file
    double rate = 20;
    QString kind;
    QString host = QStringLiteral("127.0.0.1");
    QString port = QStringLiteral("1234");
    QString protocol = QStringLiteral("lbserver");
    QString device;
    bool detailed = false; // the detailed lines as comments
    long parent = 0;       // the process that started it (Wireshark); 0: not watched
};

// The process that started the capture program, watched so that the
// program ends with it: where the system can, its end sends SIGTERM (which
// also ends a wait for the FIFO); a timer looks again while capturing.
long watch_parent() {
#if defined(Q_OS_LINUX)
    const pid_t parent = ::getppid();
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    return parent; // gone before that: parent_gone() sees it
#elif defined(Q_OS_UNIX)
    return ::getppid();
#else
    return 0;
#endif
}

bool parent_gone(long parent) {
#if defined(Q_OS_UNIX)
    return parent != 0 && ::getppid() != parent;
#else
    (void)parent;
    return false;
#endif
}

int fail(const QString &what) {
    say(what);
    return 1;
}

// A value on the command line that means nothing: said, status 2.
int refuse(const QString &what) {
    say(what);
    return 2;
}

int run_capture(const Capture &c) {
    RunOptions options;
    StartupAnswers answers;
    QString name, description;
    if (c.interface == kDemo) {
        options.demo = true;
        options.demo_rate = c.rate;
        name = QStringLiteral("demo");
        description = texts::capture::kSimulated;
    } else if (c.interface == kTcp) {
        answers.kind = InterfaceKind::Usb;
        answers.port = c.protocol + QStringLiteral("://") + c.host + QLatin1Char(':') + c.port;
        name = *answers.port;
        description = tx::kTcpDescription;
    } else if (c.interface == kDevice) {
        if (c.device.isEmpty())
            return fail(tx::kNoDevice);
        answers.kind = kind_named(c.kind);
        answers.port = c.device;
        name = c.device;
    } else {
        const QString port = port_of(c.interface);
        if (port.isEmpty())
            return fail(tx::kUnknownInterface.arg(c.interface));
        answers.kind = kind_named(c.kind);
        answers.port = port;
        name = port;
    }
    options.answers = answers;
    NoQuestions dialogs;
    QtEventPump events;
    ElapsedSteadyClock clock;
    BusAccess access = bus_access(options, clock);
    QTimer timer1;
    timer1.setInterval(100);
    timer1.start();
    DiscardingMonitorArea no_area;
    NoLines no_lines;
    MonitorCore core(std::move(access.ports),
                     CorePlatform{dialogs, events, clock, *access.uart, init_paths},
                     LineOutputs{no_area, no_lines}, timer1);
    if (!core.start(access.answers)) {
        if (interruption::requested())
            return interruption::status_of_signal();
        return fail(tx::kCannotCapture.arg(dialogs.first().isEmpty() ? name : dialogs.first()));
    }
    if (description.isEmpty())
        description = core.interface_description();
    core.vars().monitor_on = kTrue;
    OutputModes modes;
    modes.detail = c.detailed;
    core.set_output_modes(modes);
    // Wireshark gone without a word (killed): its capture program goes too,
    // also on a quiet bus where no write would tell
    QTimer orphaned;
    QObject::connect(&orphaned, &QTimer::timeout, [parent = c.parent] {
        if (parent_gone(parent))
            QCoreApplication::exit(0);
    });
    orphaned.start(250);
    // opening a FIFO waits for its reader: a signal meanwhile ends it here
    if (const auto reason = core.pcap().start(c.fifo, name, description, c.fifo_is_new)) {
        if (interruption::requested())
            return interruption::status_of_signal();
        return fail(texts::capture::kNotCreated.arg(c.fifo, *reason));
    }
    // Wireshark gone (the FIFO closed), or a write cut short by a signal:
    // the capture ends
    core.pcap().set_on_failure([](const QString &) { QCoreApplication::exit(0); });
    if (access.simulated_bus)
        access.simulated_bus->start();
    end_on_signals(QCoreApplication::instance());
    const int status = QCoreApplication::exec();
    core.pcap().stop();
    core.close_port();
    return status;
}

} // namespace

QString extcap_interfaces(const QStringList &ports) {
    QString out = QStringLiteral("extcap {version=%1}{display=Bus-Lauscher}{help=%2}\n")
                      .arg(QStringLiteral(BUSLAUSCHER_VERSION), tx::kHelpUrl);
    out += QStringLiteral("interface {value=%1}{display=%2}\n").arg(kDemo, tx::kDemoDisplay);
    for (const QString &port : ports)
        out += QStringLiteral("interface {value=%1}{display=%2}\n")
                   .arg(interface_of(port), tx::kSerialDisplay.arg(port));
    out += QStringLiteral("interface {value=%1}{display=%2}\n").arg(kTcp, tx::kTcpDisplay);
    out += QStringLiteral("interface {value=%1}{display=%2}\n").arg(kDevice, tx::kDeviceDisplay);
    return out;
}

QString extcap_dlts(const QString &) {
    return QStringLiteral("dlt {number=147}{name=USER0}{display=LocoNet}\n");
}

namespace {

QString interface_kinds(int number) {
    return QStringLiteral("arg {number=%1}{call=--kind}{display=%2}{type=selector}\n"
                          "value {arg=%1}{value=usb}{display=%3}{default=true}\n"
                          "value {arg=%1}{value=com}{display=%4}\n"
                          "value {arg=%1}{value=serial}{display=%5}\n")
        .arg(QString::number(number), tx::kKind, texts::connection::kUsbInterfaceKind,
             texts::connection::kComInterfaceKind, texts::connection::kSerialInterfaceKind);
}

// What only this kind of source asks; its arguments numbered from 0.
QString source_config(const QString &interface) {
    if (interface == kDemo)
        return QStringLiteral("arg {number=0}{call=--rate}{display=%1}{type=integer}"
                              "{range=1,400}{default=20}{tooltip=%2}\n")
            .arg(tx::kRate, tx::kRateTip);
    if (interface == kTcp)
        return QStringLiteral("arg {number=0}{call=--host}{display=%1}{type=string}"
                              "{default=127.0.0.1}{tooltip=%2}\n"
                              "arg {number=1}{call=--port}{display=Port}{type=unsigned}"
                              "{range=1,65535}{default=1234}\n"
                              "arg {number=2}{call=--protocol}{display=%3}{type=selector}\n"
                              "value {arg=2}{value=lbserver}{display=%4}{default=true}\n"
                              "value {arg=2}{value=tcp}{display=%5}\n")
            .arg(tx::kHost, tx::kHostTip, tx::kProtocol, tx::kLbServer, tx::kRawTcp);
    if (interface == kDevice)
        return QStringLiteral("arg {number=0}{call=--device}{display=%1}{type=fileselect}"
                              "{mustexist=true}{required=true}{tooltip=%2}\n")
                   .arg(tx::kDevice, tx::kDeviceTip) +
               interface_kinds(1);
    if (interface.startsWith(kSerialPrefix))
        return interface_kinds(0);
    return {};
}

} // namespace

QString extcap_config(const QString &interface) {
    const QString own = source_config(interface);
    if (own.isEmpty())
        return {};
    // every source can write the detailed lines
    const auto number = own.count(QStringLiteral("arg {number="));
    return own + QStringLiteral("arg {number=%1}{call=--detailed}{display=%2}{type=boolflag}"
                                "{default=false}{tooltip=%3}\n")
                     .arg(QString::number(number), tx::kDetailed, tx::kDetailedTip);
}

int run_extcap(int &argc, char **argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const auto flag = [](const char *name, const QString &what) {
        return QCommandLineOption(QString::fromLatin1(name), what);
    };
    const auto valued = [](const char *name, const QString &what) {
        return QCommandLineOption(QString::fromLatin1(name), what, tx::kValue);
    };
    const QCommandLineOption interfaces = flag("extcap-interfaces", tx::kOptInterfaces),
                             dlts = flag("extcap-dlts", tx::kOptDlts),
                             config = flag("extcap-config", tx::kOptConfig),
                             capture_now = flag("capture", tx::kOptCapture),
                             interface = valued("extcap-interface", tx::kOptInterface),
                             fifo = valued("fifo", tx::kOptFifo),
                             version = valued("extcap-version", tx::kOptWireshark),
                             filter = valued("extcap-capture-filter", tx::kOptWireshark),
                             rate = valued("rate", tx::kRateTip),
                             kind = valued("kind", tx::kOptKind),
                             host = valued("host", tx::kHostTip),
                             port = valued("port", tx::kOptPort),
                             protocol = valued("protocol", tx::kOptProtocol),
                             device = valued("device", tx::kOptDevice),
                             detailed = flag("detailed", tx::kDetailedTip);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  texts::cli::kHelpOption);
    parser.setApplicationDescription(tx::kUsage);
    parser.addOptions({help, interfaces, dlts, config, capture_now, interface, fifo, version,
                       filter, rate, kind, host, port, protocol, device, detailed});
    if (!parser.parse(app.arguments())) {
        say(parse_error_in_german(parser));
        return 2;
    }
    const auto print = [](const QString &text) {
        std::fputs(text.toUtf8().constData(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    };
    if (parser.isSet(help))
        return print(help_in_german(parser, QStringLiteral("bus-lauscher-extcap")));
    if (parser.isSet(interfaces))
        return print(extcap_interfaces(serial_ports()));
    const QString chosen = parser.value(interface);
    if (parser.isSet(dlts))
        return print(extcap_dlts(chosen));
    if (parser.isSet(config))
        return print(extcap_config(chosen));
    if (!parser.isSet(capture_now))
        return fail(tx::kUsage);
    if (chosen.isEmpty() || !parser.isSet(fifo))
        return fail(tx::kUsage);
    // a signal ends the program wherever it waits (opening the FIFO, a
    // write Wireshark does not read)
    interrupt_on_signals();
    Capture c;
    c.parent = watch_parent();
    c.interface = chosen;
    c.fifo = parser.value(fifo);
    const QFileInfo target(c.fifo);
    if (target.exists() && !target.isSymLink() && target.isFile())
        return refuse(tx::kNotAFifo.arg(c.fifo));
    c.fifo_is_new = !target.exists();
    if (parser.isSet(rate)) {
        bool ok = false;
        c.rate = parser.value(rate).toDouble(&ok);
        if (!ok || !(c.rate >= 1 && c.rate <= 400))
            return refuse(tx::kBadRate.arg(parser.value(rate)));
    }
    c.kind = parser.value(kind);
    if (!kind_named(c.kind))
        return refuse(tx::kUnknownKind.arg(c.kind));
    if (parser.isSet(host))
        c.host = parser.value(host);
    if (parser.isSet(port)) {
        bool ok = false;
        const uint number = parser.value(port).toUInt(&ok);
        if (!ok || number < 1 || number > 65535)
            return refuse(tx::kBadPort.arg(parser.value(port)));
        c.port = QString::number(number);
    }
    if (parser.isSet(protocol)) {
        c.protocol = parser.value(protocol);
        if (c.protocol != QLatin1String("tcp") && c.protocol != QLatin1String("lbserver"))
            return refuse(tx::kBadProtocol.arg(c.protocol));
    }
    c.device = parser.value(device);
    c.detailed = parser.isSet(detailed);
    return run_capture(c);
}

} // namespace bl
