#include "cli/decode_command.h"

#include "app/pcap_recording.h"
#include "app/reception_path.h"
#include "capture/pcap_format.h"
#include "capture/pcapng_file.h"
#include "reception/bus_health.h"
#include "shared/system_reason.h"

#include "shared/latin1.h"
#include "shared/texts.h"
#include <QDateTime>
#include <cerrno>
#include <optional>

#include <string>
#include <string_view>
#include <vector>

namespace bl {

namespace {

constexpr std::size_t kChunk = 1 << 20;

// Collects the shown lines as UTF-8 output lines and writes them in large
// blocks.
class LineWriter : public LineSink {
public:
    explicit LineWriter(std::FILE *out) : out_(out), buffer_(kChunk + 2 * LineText::kCapacity) {}
    ~LineWriter() override { flush(); }

    void write_line(std::string_view text) override {
        char *p = put_latin1_as_utf8(buffer_.data() + used_, text);
        *p++ = '\n';
        used_ = static_cast<std::size_t>(p - buffer_.data());
        if (used_ >= kChunk)
            flush();
    }
    void flush() {
        if (used_ > 0)
            ok_ = std::fwrite(buffer_.data(), 1, used_, out_) == used_ && ok_;
        used_ = 0;
    }
    bool ok() const { return ok_; }

private:
    std::FILE *out_;
    std::vector<char> buffer_; // room for one more line past kChunk
    std::size_t used_ = 0;
    bool ok_ = true;
};

void say_to(std::FILE *err, const QString &what) {
    std::fprintf(err, "bus-lauscher: %s\n", what.toUtf8().constData());
}

} // namespace

void write_bus_report(std::FILE *err, const loconet::BusCounts &counts) {
    for (const QString &line : bus_report(counts))
        std::fprintf(err, "%s\n", line.toUtf8().constData());
}

int run_decode(std::FILE *in, std::FILE *out, std::FILE *err, const RunOptions &options) {
    const bool area = options.area;
    ModVariablen vars;
    vars.monitor_on = kTrue;
    vars.hex_on = options.output.hex_output ? kTrue : kFalse;
    vars.ascii_hex_on = options.output.ascii_hex ? kTrue : kFalse;
    vars.detail_on = options.output.detail ? kTrue : kFalse;

    LineWriter lines(out);
    NoLines no_trace;
    TextMonitorArea text_area;
    DiscardingMonitorArea no_area;
    ReceptionPath path(vars, area ? LineOutputs{text_area, no_trace}
                                  : LineOutputs{no_area, no_trace, &lines});
    path.decoder.set_mark_errors(options.mark_errors);
    path.decoder.set_filter(filter_of(options));

    std::optional<PcapRecording> pcap;
    if (!options.pcap_file.isEmpty()) {
        // a raw stream has no times of its own: the time it is decoded
        path.receiver.set_stamp([] {
            return MessageStamp{QDateTime::currentMSecsSinceEpoch(), 0};
        });
        pcap.emplace(path.receiver, vars, path.context);
        const QString name =
            options.input_file.isEmpty() ? QStringLiteral("stdin") : options.input_file;
        if (const auto reason =
                pcap->start(options.pcap_file, name, texts::capture::kDecodedFile)) {
            say_to(err, texts::capture::kNotCreated.arg(options.pcap_file, *reason));
            return 2;
        }
        pcap->set_on_failure([err, &options](const QString &reason) {
            say_to(err, texts::capture::kWriteFailed.arg(options.pcap_file, reason));
        });
    }

    // raw bytes, or the packets of a pcap or pcapng capture (by its start)
    std::int64_t packet_ms = 0;
    capture::CaptureReader packets([&](const capture::Packet &p) {
        packet_ms = p.time_us / 1000;
        path.receiver.framing_steps(p.bytes);
    });
    std::optional<capture::Format> format;
    std::vector<char> chunk(kChunk);
    std::size_t got = 0;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), in)) > 0) {
        const std::string_view bytes(chunk.data(), got);
        if (!format) {
            format = capture::format_of(bytes);
            if (*format != capture::Format::Raw)
                path.receiver.set_stamp([&packet_ms] {
                    return MessageStamp{packet_ms, packet_ms * 1'000'000};
                });
        }
        if (*format == capture::Format::Raw)
            path.receiver.framing_steps(bytes);
        else
            packets.feed(bytes);
        if (packets.problem())
            break;
    }
    if (std::ferror(in)) {
        std::fprintf(err, "bus-lauscher: %s\n",
                     qPrintable(texts::cli::kUnreadableInput.arg(german_reason(errno))));
        return 2;
    }
    if (format && *format != capture::Format::Raw) {
        packets.finish();
        if (const auto &problem = packets.problem()) {
            // what was whole before is shown; a cut-off end is only told
            say_to(err, capture::read_problem_text(*problem));
            if (problem->what != capture::ReadProblem::What::Truncated) {
                path.receiver.finish();
                lines.flush();
                return 2;
            }
        }
    }
    path.receiver.finish();
    lines.flush();
    if (area) {
        const std::string text = latin1_to_utf8(text_area.text());
        std::fwrite(text.data(), 1, text.size(), out);
    }
    if (options.stats)
        write_bus_report(err, path.counts);
    errno = 0;
    if (lines.ok() && std::fflush(out) == 0 && !std::ferror(out))
        return 0;
    // a full disk, a closed or full output: said, never a silent success
    std::fprintf(err, "bus-lauscher: %s\n",
                 qPrintable(texts::cli::kUnwritableOutput.arg(german_reason(errno ? errno : EIO))));
    return 1;
}

} // namespace bl
