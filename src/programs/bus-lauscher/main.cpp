#include "cli/command_line.h"
#include "cli/console_mode.h"
#include "cli/decode_command.h"
#include "shared/system_reason.h"
#include "shared/texts.h"
#include "window/window_mode.h"

#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

constexpr int kUsageError = 2;

int fail(const QString &message) {
    std::fprintf(stderr, "bus-lauscher: %s\n", message.toLocal8Bit().constData());
    return kUsageError;
}

QStringList arguments_of(int argc, char **argv) {
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list << QString::fromLocal8Bit(argv[i]);
    return list;
}

int decode(const bl::RunOptions &options) {
    std::FILE *in = stdin;
    if (!options.input_file.isEmpty()) {
        in = std::fopen(QFile::encodeName(options.input_file).constData(), "rb");
        if (!in)
            return fail(
                bl::texts::cli::kUnreadableFile.arg(options.input_file, bl::german_reason(errno)));
    }
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    const int status = bl::run_decode(in, stdout, stderr, options);
    if (in != stdin)
        std::fclose(in);
    return status;
}

} // namespace

int main(int argc, char **argv) {
    bl::RunOptions options;
    if (const auto error = bl::parse_command_line(arguments_of(argc, argv), options))
        return fail(error->message);
    switch (options.mode) {
    case bl::RunMode::Help:
        std::fputs(options.help_text.toLocal8Bit().constData(), stdout);
        return 0;
    case bl::RunMode::Version: std::printf("bus-lauscher %s\n", BUSLAUSCHER_VERSION); return 0;
    case bl::RunMode::Decode: return decode(options);
    case bl::RunMode::Console: return bl::run_console(argc, argv, options);
    case bl::RunMode::Window: break;
    }
    return bl::run_window(argc, argv, options);
}
