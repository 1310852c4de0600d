#include "cli/command_line.h"

#include <QCommandLineParser>

namespace bl {

namespace {

QCommandLineOption flag(const char *name, const char *description) {
    return QCommandLineOption(QString::fromLatin1(name), QString::fromUtf8(description));
}

QCommandLineOption valued(const char *name, const char *description, const char *value) {
    return QCommandLineOption(QString::fromLatin1(name), QString::fromUtf8(description),
                              QString::fromLatin1(value));
}

std::optional<InterfaceKind> kind_named(const QString &name) {
    if (name == QLatin1String("com"))
        return InterfaceKind::ComPort;
    if (name == QLatin1String("usb"))
        return InterfaceKind::Usb;
    if (name == QLatin1String("serial"))
        return InterfaceKind::Serial;
    return std::nullopt;
}

} // namespace

std::optional<CommandLineError> parse_command_line(const QStringList &arguments,
                                                   CommandLine &result) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Bus-Lauscher: Diagnose-Monitor für den LocoNet-Bus.\n"
        "Ohne Optionen öffnet sich das Monitorfenster und fragt nach Interface und Anschluss."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Diese Hilfe anzeigen."));
    const auto version = flag("version", "Die Version anzeigen.");
    const auto decode = flag("decode", "LocoNet-Bytes aus DATEI (oder der Standardeingabe) "
                                       "dekodieren und jede angezeigte Zeile ausgeben.");
    const auto hex_output = flag("hex-output", "Wie \"HEX Ausgabe\" angehakt.");
    const auto no_ascii_hex = flag("no-ascii-hex", "Wie \"ASCII+HEX\" nicht angehakt.");
    const auto area = flag("area", "Mit --decode: statt der Zeilen den Text des "
                                   "Monitorbereichs am Ende ausgeben.");
    const auto replay = valued("replay",
                               "Das Fenster zeigt die LocoNet-Bytes aus DATEI, "
                               "ohne Anschluss.",
                               "DATEI");
    const auto exit_after_replay = flag(
        "exit-after-replay", "Mit --replay: das Programm endet, sobald die Datei gezeigt ist.");
    const auto console =
        flag("console", "Ohne Fenster: jede Zeile mit Zeitstempel auf die "
                        "Standardausgabe; eingegebene Hex-Zeilen werden gesendet.");
    const auto interface = valued("interface",
                                  "Die Interface-Frage beantworten: com (58204 "
                                  "COM-Port-Interface), usb oder serial.",
                                  "ART");
    const auto port = valued("port",
                             "Die Anschluss-Frage beantworten: eine COM-Nummer oder ein "
                             "Gerätepfad wie /dev/ttyACM0.",
                             "N|GERÄT");
    const auto demo = flag("demo", "Auf dem eingebauten simulierten LocoNet-Bus, ohne Hardware "
                                   "und ohne Fragen.");
    const auto rate = valued("rate", "Mit --demo: Nachrichten je Sekunde (Vorgabe 4).", "N");
    const auto record = flag("record", "Den Verlauf von Anfang an speichern, wie nach einem Klick "
                                       "auf \"Verlauf speichern\".");
    const auto first_paint =
        flag("exit-after-first-paint", "Das Programm endet, sobald das Fenster gezeichnet ist (zum "
                                       "Messen der Startzeit).");
    parser.addOptions({help, version, decode, hex_output, no_ascii_hex, area, replay,
                       exit_after_replay, console, interface, port, demo, rate, record,
                       first_paint});
    parser.addPositionalArgument(QStringLiteral("DATEI"),
                                 QStringLiteral("Rohe LocoNet-Bytes (mit --decode)."),
                                 QStringLiteral("[DATEI]"));

    if (!parser.parse(arguments))
        return CommandLineError{parser.errorText()};
    result.help_text = parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                 QStringLiteral("bus-lauscher"));
    if (parser.isSet(help)) {
        result.mode = RunMode::Help;
        return std::nullopt;
    }
    if (parser.isSet(version)) {
        result.mode = RunMode::Version;
        return std::nullopt;
    }
    result.decode.hex_output = parser.isSet(hex_output);
    result.decode.ascii_hex = !parser.isSet(no_ascii_hex);
    result.decode.area = parser.isSet(area);
    const QStringList files = parser.positionalArguments();
    if (parser.isSet(decode)) {
        if (files.size() > 1)
            return CommandLineError{QStringLiteral("Nur eine DATEI kann dekodiert werden.")};
        result.mode = RunMode::Decode;
        result.input_file = files.value(0);
        return std::nullopt;
    }
    if (!files.isEmpty())
        return CommandLineError{QStringLiteral("Unerwartetes Argument: %1").arg(files.first())};
    if (parser.isSet(area))
        return CommandLineError{QStringLiteral("--area gehört zu --decode.")};
    if (parser.isSet(interface)) {
        result.answers.kind = kind_named(parser.value(interface));
        if (!result.answers.kind)
            return CommandLineError{QStringLiteral("--interface kennt nur com, usb und serial, "
                                                   "nicht \"%1\".")
                                        .arg(parser.value(interface))};
    }
    if (parser.isSet(port))
        result.answers.port = parser.value(port);
    result.demo = parser.isSet(demo);
    result.record = parser.isSet(record);
    result.exit_after_first_paint = parser.isSet(first_paint);
    if (parser.isSet(rate)) {
        bool ok = false;
        result.demo_rate = parser.value(rate).toDouble(&ok);
        if (!ok || result.demo_rate < 0 || !result.demo)
            return CommandLineError{
                QStringLiteral("--rate braucht eine Zahl ab 0 und gehört zu --demo.")};
    }
    if (result.demo && parser.isSet(replay))
        return CommandLineError{QStringLiteral("--demo und --replay schließen sich aus.")};
    if (parser.isSet(console)) {
        if (parser.isSet(replay))
            return CommandLineError{
                QStringLiteral("--replay gehört zum Fenster, nicht zu --console.")};
        result.mode = RunMode::Console;
        return std::nullopt;
    }
    result.output_modes_given = parser.isSet(hex_output) || parser.isSet(no_ascii_hex);
    result.replay_file = parser.value(replay);
    result.exit_after_replay = parser.isSet(exit_after_replay);
    if (result.exit_after_replay && result.replay_file.isEmpty())
        return CommandLineError{QStringLiteral("--exit-after-replay gehört zu --replay.")};
    result.mode = RunMode::Window;
    return std::nullopt;
}

} // namespace bl
