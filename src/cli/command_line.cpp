#include "cli/command_line.h"

#include "filter/filter.h"
#include "shared/command_line_text.h"
#include "shared/texts.h"

#include <QCommandLineParser>
#include <array>

namespace bl {

namespace {

namespace tx = texts::cli;

// The ways the program runs, as far as the options care.
enum Where : unsigned {
    kDecode = 1,
    kConsole = 2,
    kReplay = 4, // the window, showing a capture
    kWindow = 8, // the window, on a port or the simulated bus
    kAnywhere = kDecode | kConsole | kReplay | kWindow,
};

struct OptionRule {
    const char *name;
    unsigned where; // where it does something
};

// An option given where it does nothing is refused rather than ignored.
constexpr std::array kRules{
    OptionRule{"hex-output", kAnywhere},
    OptionRule{"detail", kAnywhere},
    OptionRule{"no-ascii-hex", kAnywhere},
    OptionRule{"mark-errors", kAnywhere},
    OptionRule{"area", kDecode},
    OptionRule{"stats", kDecode | kConsole},
    OptionRule{"interface", kConsole | kWindow},
    OptionRule{"port", kConsole | kWindow},
    OptionRule{"demo", kConsole | kWindow},
    OptionRule{"rate", kConsole | kWindow},
    OptionRule{"corrupt", kConsole | kWindow},
    OptionRule{"record", kConsole | kReplay | kWindow},
    OptionRule{"serve", kConsole | kWindow},
    OptionRule{"serve-read-only", kConsole | kWindow},
    OptionRule{"exit-after-replay", kReplay},
    OptionRule{"exit-after-first-paint", kReplay | kWindow},
    OptionRule{"filter", kDecode | kConsole | kReplay},
    OptionRule{"pcap", kAnywhere},
    OptionRule{"history", kReplay | kWindow},
    OptionRule{"analyse", kReplay | kWindow},
    OptionRule{"json", kDecode | kConsole | kReplay},
    OptionRule{"state", kDecode | kReplay},
    OptionRule{"state-at", kDecode | kReplay},
    OptionRule{"findings", kDecode | kConsole | kReplay},
    OptionRule{"befunde", kReplay | kWindow},
    OptionRule{"ring", kConsole | kReplay | kWindow},
    OptionRule{"ring-size", kConsole | kReplay | kWindow},
    OptionRule{"ring-files", kConsole | kReplay | kWindow},
    OptionRule{"trigger", kConsole | kReplay | kWindow},
    OptionRule{"trigger-before", kConsole | kReplay | kWindow},
    OptionRule{"trigger-after", kConsole | kReplay | kWindow},
    OptionRule{"trigger-dir", kConsole | kReplay | kWindow},
    OptionRule{"anlage", kReplay | kWindow},
};

// An option that means something only beside another.
struct Companion {
    const char *option;
    const char *needs;
};
constexpr std::array kCompanions{
    Companion{"serve-read-only", "serve"},
    Companion{"rate", "demo"},
    Companion{"corrupt", "demo"},
};
// An option that means nothing beside another (the simulated bus has no port).
constexpr std::array kExclusions{
    Companion{"port", "demo"},
};

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

QString dashed(const char *name) { return QStringLiteral("--") + QString::fromLatin1(name); }

QString described(Where where) {
    switch (where) {
    case kDecode: return tx::kWithDecode;
    case kConsole: return tx::kWithConsole;
    case kReplay: return tx::kWithReplay;
    default: return tx::kInTheWindow;
    }
}

std::optional<CommandLineError> misplaced(const QCommandLineParser &parser, Where where) {
    if (parser.isSet(QStringLiteral("demo")) && parser.isSet(QStringLiteral("replay")))
        return error(tx::kDemoOrReplay);
    for (const OptionRule &rule : kRules)
        if (parser.isSet(QString::fromLatin1(rule.name)) && !(rule.where & where))
            return error(tx::kNoEffect.arg(dashed(rule.name), described(where)));
    for (const Companion &c : kCompanions)
        if (parser.isSet(QString::fromLatin1(c.option)) &&
            !parser.isSet(QString::fromLatin1(c.needs)))
            return error(tx::kNeedsOption.arg(dashed(c.option), dashed(c.needs)));
    for (const Companion &c : kExclusions)
        if (parser.isSet(QString::fromLatin1(c.option)) &&
            parser.isSet(QString::fromLatin1(c.needs)))
            return error(tx::kNoEffect.arg(dashed(c.option), tx::kWith.arg(dashed(c.needs))));
    return std::nullopt;
}

// A simulated bus well beyond a saturated LocoNet (about 400 short messages a
// second) for stress tests, but one whose ticks still end.
constexpr double kMostMessagesPerSecond = 5000;
// The most the history may keep (about 5 GB).
constexpr qulonglong kMostHistory = 100'000'000;

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
    const auto detail = flag("detail", tx::kDetailOption);
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
    const auto filter = valued("filter", tx::kFilterOption, tx::kFilterValue);
    const auto history = valued("history", tx::kHistoryOption, tx::kNumberValue);
    const auto analyse = flag("analyse", tx::kAnalyseOption);
    const auto pcap = valued("pcap", texts::capture::kPcapOption, tx::kFileValue);
    const auto json = flag("json", tx::kJsonOption);
    const auto state = flag("state", tx::kStateOption);
    const auto state_at = valued("state-at", tx::kStateAtOption, tx::kNumberValue);
    const auto anlage = flag("anlage", tx::kAnlageOption);
    const auto findings = flag("findings", tx::kFindingsOption);
    const auto befunde = flag("befunde", tx::kBefundeOption);
    const auto ring = valued("ring", tx::kRingOption, tx::kDirValue);
    const auto ring_size = valued("ring-size", tx::kRingSizeOption, tx::kKbValue);
    const auto ring_files = valued("ring-files", tx::kRingFilesOption, tx::kNumberValue);
    const auto trigger = valued("trigger", tx::kTriggerOption, tx::kExpressionValue);
    const auto trigger_before =
        valued("trigger-before", tx::kTriggerBeforeOption, tx::kSecondsValue);
    const auto trigger_after = valued("trigger-after", tx::kTriggerAfterOption, tx::kSecondsValue);
    const auto trigger_dir = valued("trigger-dir", tx::kTriggerDirOption, tx::kDirValue);
    parser.addOptions({help,          version,      decode,
                       hex_output,    no_ascii_hex, detail,
                       area,          replay,       exit_after_replay,
                       console,       interface,    port,
                       demo,          rate,         corrupt,
                       record,        first_paint,  stats,
                       mark_errors,   serve,        serve_read_only,
                       filter,        history,      analyse,
                       pcap,          json,         state,
                       state_at,      anlage,       findings,
                       befunde,       ring,         ring_size,
                       ring_files,    trigger,      trigger_before,
                       trigger_after, trigger_dir});
    parser.addPositionalArgument(tx::kFileValue, tx::kFileArgument,
                                 QLatin1Char('[') + tx::kFileValue + QLatin1Char(']'));

    if (!parser.parse(arguments))
        return error(parse_error_in_german(parser));
    // an option given twice with a value would have one value dropped unseen
    for (const QString &name : parser.optionNames())
        if (parser.values(name).size() > 1)
            return error(tx::kGivenTwice.arg(QStringLiteral("--") + name));
    // the ways the program runs are one at a time
    const QCommandLineOption *ways[] = {&decode, &console, &replay};
    for (std::size_t a = 0; a < 3; ++a)
        for (std::size_t b = a + 1; b < 3; ++b)
            if (parser.isSet(*ways[a]) && parser.isSet(*ways[b]))
                return error(
                    tx::kExclusive.arg(QStringLiteral("--") + ways[a]->names().constFirst(),
                                       QStringLiteral("--") + ways[b]->names().constFirst()));
    result.help_text = help_in_german(parser, QStringLiteral("bus-lauscher"));
    if (parser.isSet(help)) {
        result.mode = RunMode::Help;
        return std::nullopt;
    }
    if (parser.isSet(version)) {
        result.mode = RunMode::Version;
        return std::nullopt;
    }
    const Where where = parser.isSet(decode)    ? kDecode
                        : parser.isSet(console) ? kConsole
                        : parser.isSet(replay)  ? kReplay
                                                : kWindow;
    if (where == kConsole && parser.isSet(replay))
        return error(tx::kReplayNeedsWindow);
    if (const auto misplaced_option = misplaced(parser, where))
        return misplaced_option;
    const QStringList files = parser.positionalArguments();
    if (where == kDecode && files.size() > 1)
        return error(tx::kOneFileOnly);
    if (where != kDecode && !files.isEmpty())
        return error(tx::kUnexpectedArgument.arg(files.first()));

    result.output.hex_output = parser.isSet(hex_output);
    result.output.ascii_hex = !parser.isSet(no_ascii_hex);
    result.output.detail = parser.isSet(detail);
    result.output_modes_given =
        parser.isSet(hex_output) || parser.isSet(no_ascii_hex) || parser.isSet(detail);
    result.area = parser.isSet(area);
    result.stats = parser.isSet(stats);
    result.mark_errors = parser.isSet(mark_errors);
    result.serve = parser.value(serve);
    result.serve_read_only = parser.isSet(serve_read_only);
    result.input_file = files.value(0);
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
    if (parser.isSet(rate)) {
        const auto value = number_within(parser.value(rate), kMostMessagesPerSecond);
        if (!value)
            return error(tx::kBadRate);
        result.demo_rate = *value;
    }
    if (parser.isSet(corrupt)) {
        const auto value = number_within(parser.value(corrupt), 100);
        if (!value)
            return error(tx::kBadCorrupt);
        result.corrupt_percent = *value;
    }
    if (parser.isSet(filter)) {
        const auto read = filter::Filter::parse(parser.value(filter).toStdString());
        if (const auto *bad = std::get_if<filter::ParseError>(&read))
            return error(
                tx::kBadFilter.arg(bad->position + 1).arg(QString::fromStdString(bad->hint)));
        result.filter = parser.value(filter);
    }
    if (parser.isSet(history)) {
        bool ok = false;
        const qulonglong n = parser.value(history).toULongLong(&ok);
        if (!ok || n < 1 || n > kMostHistory)
            return error(tx::kBadHistory);
        result.history = static_cast<std::size_t>(n);
    }
    result.analyse = parser.isSet(analyse);
    result.json = parser.isSet(json);
    result.state = parser.isSet(state) || parser.isSet(state_at);
    result.anlage = parser.isSet(anlage);
    result.findings = parser.isSet(findings);
    result.befunde = parser.isSet(befunde);
    result.ring = parser.value(ring);
    if (result.ring.isEmpty() && (parser.isSet(ring_size) || parser.isSet(ring_files)))
        return error(tx::kOnlyWithRing.arg(parser.isSet(ring_size)
                                               ? QStringLiteral("--ring-size")
                                               : QStringLiteral("--ring-files")));
    if (parser.isSet(ring_size)) {
        bool ok = false;
        result.ring_kb = parser.value(ring_size).toULongLong(&ok);
        if (!ok || result.ring_kb < 1 || result.ring_kb > 4'194'304)
            return error(tx::kBadRingSize);
    }
    if (parser.isSet(ring_files)) {
        bool ok = false;
        result.ring_files = parser.value(ring_files).toInt(&ok);
        if (!ok || result.ring_files < 1 || result.ring_files > 100'000)
            return error(tx::kBadRingFiles);
    }
    result.trigger = parser.value(trigger);
    for (const auto *o : {&trigger_before, &trigger_after, &trigger_dir})
        if (result.trigger.isEmpty() && parser.isSet(*o))
            return error(tx::kOnlyWithTrigger.arg(QStringLiteral("--") + o->names().constFirst()));
    if (!result.trigger.isEmpty()) {
        const auto read = filter::Filter::parse(result.trigger.toStdString());
        if (const auto *bad = std::get_if<filter::ParseError>(&read))
            return error(
                tx::kBadTrigger.arg(bad->position + 1).arg(QString::fromStdString(bad->hint)));
    }
    for (auto [o, value] : {std::pair{&trigger_before, &result.trigger_before},
                            std::pair{&trigger_after, &result.trigger_after}}) {
        if (!parser.isSet(*o))
            continue;
        bool ok = false;
        *value = parser.value(*o).toDouble(&ok);
        if (!ok || !(*value >= 0 && *value <= 3600))
            return error(tx::kBadTriggerSeconds);
    }
    result.trigger_dir = parser.value(trigger_dir);
    if (result.findings && result.state)
        return error(tx::kExclusive.arg(QStringLiteral("--findings"), QStringLiteral("--state")));
    if (result.findings && result.area)
        return error(tx::kExclusive.arg(QStringLiteral("--findings"), QStringLiteral("--area")));
    if (parser.isSet(state_at)) {
        bool ok = false;
        result.state_at = parser.value(state_at).toULongLong(&ok);
        if (!ok || result.state_at == 0)
            return error(tx::kBadStateAt);
    }
    if (result.json && result.area)
        return error(tx::kExclusive.arg(QStringLiteral("--json"), QStringLiteral("--area")));
    result.pcap_file = parser.value(pcap);
    result.replay_file = parser.value(replay);
    result.exit_after_replay = parser.isSet(exit_after_replay);
    result.mode = where == kDecode    ? RunMode::Decode
                  : where == kConsole ? RunMode::Console
                                      : RunMode::Window;
    return std::nullopt;
}

} // namespace bl
