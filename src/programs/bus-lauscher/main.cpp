#include "cli/command_line.h"
#include "cli/console_io.h"
#include "cli/console_mode.h"
#include "cli/decode_command.h"
#include "shared/file_names.h"
#include "shared/say.h"
#include "shared/system_reason.h"
#include "shared/texts.h"
#include "window/window_mode.h"

#include <cerrno>
#include <csignal>
#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

constexpr int kUsageError = 2;

int fail(const QString &message) {
    bl::say(message);
    return kUsageError;
}

QStringList arguments_of(int argc, char **argv) {
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list << bl::argument_text(argv[i]);
    return list;
}

int decode(const bl::RunOptions &options) {
    std::FILE *in = stdin;
    if (!options.input_file.isEmpty()) {
        in = bl::open_for_reading(options.input_file);
        if (!in)
            return fail(
                bl::texts::cli::kUnreadableFile.arg(options.input_file, bl::german_reason(errno)));
    }
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    // a signal ends the decoding with whole lines and the report
    bl::interrupt_on_signals();
    const int status = bl::run_decode(in, stdout, stderr, options);
    if (in != stdin)
        std::fclose(in);
    return status;
}

} // namespace

int main(int argc, char **argv) {
#ifdef SIGXFSZ
    // a file that may grow no further is a failed write, told like a full
    // disk, never the end of the program
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    bl::RunOptions options;
    if (const auto error = bl::parse_command_line(arguments_of(argc, argv), options))
        return fail(error->message);
    switch (options.mode) {
    case bl::RunMode::Help: std::fputs(options.help_text.toUtf8().constData(), stdout); return 0;
    case bl::RunMode::Version: std::printf("bus-lauscher %s\n", BUSLAUSCHER_VERSION); return 0;
    case bl::RunMode::Decode: return decode(options);
    case bl::RunMode::Console: return bl::run_console(argc, argv, options);
    case bl::RunMode::Window: break;
    }
    return bl::run_window(argc, argv, options);
}
