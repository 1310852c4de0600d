#include "cli/command_line.h"

#include <QCommandLineParser>

namespace bl {

std::optional<CommandLineError> parse_command_line(const QStringList &arguments,
                                                   CommandLine &result) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Bus-Lauscher: Diagnose-Monitor für den LocoNet-Bus.\n"
                       "Ohne Optionen öffnet sich das Monitorfenster."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Diese Hilfe anzeigen."));
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Die Version anzeigen."));
    const QCommandLineOption decode(
        QStringLiteral("decode"),
        QStringLiteral("LocoNet-Bytes aus DATEI (oder der Standardeingabe) dekodieren und "
                       "jede angezeigte Zeile ausgeben."));
    const QCommandLineOption hex_output(QStringLiteral("hex-output"),
                                        QStringLiteral("Wie \"HEX Ausgabe\" angehakt."));
    const QCommandLineOption no_ascii_hex(QStringLiteral("no-ascii-hex"),
                                          QStringLiteral("Wie \"ASCII+HEX\" nicht angehakt."));
    const QCommandLineOption area(
        QStringLiteral("area"),
        QStringLiteral("Statt der Zeilen den Text des Monitorbereichs am Ende ausgeben."));
    const QCommandLineOption replay(
        QStringLiteral("replay"),
        QStringLiteral("Das Fenster zeigt die LocoNet-Bytes aus DATEI, ohne Anschluss."),
        QStringLiteral("DATEI"));
    const QCommandLineOption exit_after_replay(
        QStringLiteral("exit-after-replay"),
        QStringLiteral("Mit --replay: das Programm endet, sobald die Datei gezeigt ist."));
    parser.addOptions(
        {help, version, decode, hex_output, no_ascii_hex, area, replay, exit_after_replay});
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
    if (parser.isSet(hex_output) || parser.isSet(no_ascii_hex) || parser.isSet(area))
        return CommandLineError{QStringLiteral("--hex-output, --no-ascii-hex und --area "
                                               "gehören zu --decode.")};
    result.replay_file = parser.value(replay);
    result.exit_after_replay = parser.isSet(exit_after_replay);
    if (result.exit_after_replay && result.replay_file.isEmpty())
        return CommandLineError{QStringLiteral("--exit-after-replay gehört zu --replay.")};
    result.mode = RunMode::Window;
    return std::nullopt;
}

} // namespace bl
