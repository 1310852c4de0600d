#include "cli/command_line.h"

#include "shared/texts.h"

#include <QCommandLineParser>

namespace bl {

namespace {

namespace tx = texts::cli;

QCommandLineOption flag(const char *name, const QString &description) {
    return QCommandLineOption(QString::fromLatin1(name), description);
}

QCommandLineOption valued(const char *name, const QString &description, const QString &value) {
    return QCommandLineOption(QString::fromLatin1(name), description, value);
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

std::optional<CommandLineError> error(const QString &message) { return CommandLineError{message}; }

// A simulated bus well beyond a saturated LocoNet (about 400 short messages a
// second) for stress tests, but one whose ticks still end.
constexpr double kMostMessagesPerSecond = 5000;

// A number from 0 to most, for an option that needs its companion option.
bool read_number(const QString &text, double most, double &value, bool companion_given) {
    bool ok = false;
    value = text.toDouble(&ok);
    return ok && companion_given && value >= 0 && value <= most;
}

} // namespace

std::optional<CommandLineError> parse_command_line(const QStringList &arguments,
                                                   RunOptions &result) {
    QCommandLineParser parser;
    parser.setApplicationDescription(tx::kDescription);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, tx::kHelpOption);
    const auto version = flag("version", tx::kVersionOption);
    const auto decode = flag("decode", tx::kDecodeOption);
    const auto hex_output = flag("hex-output", tx::kHexOutputOption);
    const auto no_ascii_hex = flag("no-ascii-hex", tx::kNoAsciiHexOption);
    const auto area = flag("area", tx::kAreaOption);
    const auto replay = valued("replay", tx::kReplayOption, tx::kFileValue);
    const auto exit_after_replay = flag("exit-after-replay", tx::kExitAfterReplayOption);
    const auto console = flag("console", tx::kConsoleOption);
    const auto interface = valued("interface", tx::kInterfaceOption, tx::kKindValue);
    const auto port = valued("port", tx::kPortOption, tx::kPortValue);
    const auto demo = flag("demo", tx::kDemoOption);
    const auto rate = valued("rate", tx::kRateOption, tx::kNumberValue);
    const auto record = flag("record", tx::kRecordOption);
    const auto first_paint = flag("exit-after-first-paint", tx::kFirstPaintOption);
    const auto corrupt = valued("corrupt", tx::kCorruptOption, tx::kPercentValue);
    const auto stats = flag("stats", tx::kStatsOption);
    const auto mark_errors = flag("mark-errors", tx::kMarkErrorsOption);
    const auto serve = valued("serve", tx::kServeOption, tx::kServeValue);
    const auto serve_read_only = flag("serve-read-only", tx::kServeReadOnlyOption);
    parser.addOptions({help,   version,           decode,  hex_output,  no_ascii_hex, area,
                       replay, exit_after_replay, console, interface,   port,         demo,
                       rate,   corrupt,           record,  first_paint, stats,        mark_errors,
                       serve,  serve_read_only});
    parser.addPositionalArgument(tx::kFileValue, tx::kFileArgument,
                                 QLatin1Char('[') + tx::kFileValue + QLatin1Char(']'));

    if (!parser.parse(arguments))
        return error(parser.errorText());
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
    result.output.hex_output = parser.isSet(hex_output);
    result.output.ascii_hex = !parser.isSet(no_ascii_hex);
    result.area = parser.isSet(area);
    result.stats = parser.isSet(stats);
    result.mark_errors = parser.isSet(mark_errors);
    result.serve = parser.value(serve);
    result.serve_read_only = parser.isSet(serve_read_only);
    const QStringList files = parser.positionalArguments();
    if (parser.isSet(decode)) {
        if (files.size() > 1)
            return error(tx::kOneFileOnly);
        result.mode = RunMode::Decode;
        result.input_file = files.value(0);
        return std::nullopt;
    }
    if (!files.isEmpty())
        return error(tx::kUnexpectedArgument.arg(files.first()));
    if (result.area)
        return error(tx::kAreaNeedsDecode);
    if (parser.isSet(interface)) {
        result.answers.kind = kind_named(parser.value(interface));
        if (!result.answers.kind)
            return error(tx::kUnknownInterface.arg(parser.value(interface)));
    }
    if (parser.isSet(port))
        result.answers.port = parser.value(port);
    result.demo = parser.isSet(demo);
    result.record = parser.isSet(record);
    result.exit_after_first_paint = parser.isSet(first_paint);
    if (parser.isSet(rate) &&
        !read_number(parser.value(rate), kMostMessagesPerSecond, result.demo_rate, result.demo))
        return error(tx::kBadRate);
    if (parser.isSet(corrupt) &&
        !read_number(parser.value(corrupt), 100, result.corrupt_percent, result.demo))
        return error(tx::kBadCorrupt);
    if (result.demo && parser.isSet(replay))
        return error(tx::kDemoOrReplay);
    if (parser.isSet(console)) {
        if (parser.isSet(replay))
            return error(tx::kReplayNeedsWindow);
        result.mode = RunMode::Console;
        return std::nullopt;
    }
    if (result.stats)
        return error(tx::kStatsNeedsOutput);
    result.output_modes_given = parser.isSet(hex_output) || parser.isSet(no_ascii_hex);
    result.replay_file = parser.value(replay);
    result.exit_after_replay = parser.isSet(exit_after_replay);
    if (result.exit_after_replay && result.replay_file.isEmpty())
        return error(tx::kExitNeedsReplay);
    result.mode = RunMode::Window;
    return std::nullopt;
}

} // namespace bl
