#include "cli/decode_command.h"

#include "app/finding_report.h"
#include "app/json_lines.h"
#include "app/pcap_recording.h"
#include "app/reception_path.h"
#include "app/state_report.h"
#include "capture/pcap_format.h"
#include "capture/pcapng_file.h"
#include "cli/line_writer.h"
#include "reception/bus_health.h"
#include "shared/system_reason.h"

#include "loconet/latin1.h"
#include "shared/interruption.h"
#include "shared/texts.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>

#include <string>
#include <string_view>
#include <vector>

namespace bl {

namespace {

constexpr std::size_t kChunk = 1 << 20;

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
    // with --json the objects take the lines' place, with --state the
    // state, with --findings the findings
    const bool no_lines = options.json || options.state || options.findings;
    ReceptionPath path(
        vars, area || no_lines
                  ? LineOutputs{area ? static_cast<MonitorArea &>(text_area) : no_area, no_trace}
                  : LineOutputs{no_area, no_trace, &lines});
    path.decoder.set_mark_errors(options.mark_errors && !no_lines);
    // the written lines and their bytes name no request: only the detailed
    // lines, the JSON, the state, the findings and the filter need replies
    // credited to their requests
    path.context.set_requests_tracked(options.output.detail || no_lines ||
                                      !options.filter.isEmpty());
    std::optional<JsonLines> json;
    if (options.json && !options.state && !options.findings)
        json.emplace(path.receiver, path.context, out, filter_of(options), false);
    else
        path.decoder.set_filter(filter_of(options));
    loconet::LayoutState state;
    std::uint64_t messages = 0;
    Receiver::MessageListeners::Handle stating;
    if (options.state)
        stating = path.receiver.listen([&state, &messages, &options](const loconet::Message &m) {
            messages = m.seq;
            if (options.state_at == 0 || m.seq <= options.state_at)
                state.apply(m);
        });

    std::optional<loconet::Findings> findings;
    bool findings_cut = false;
    const auto asked = filter_of(options);
    if (options.findings || (asked && asked->asks_findings())) {
        findings.emplace();
        path.find(*findings);
    }
    if (options.findings) {
        findings->on_found([out, &options, &findings_cut](const loconet::Finding &f) {
            std::string line = options.json ? finding_json(f) : finding_line(f);
            line += '\n';
            if (std::fwrite(line.data(), 1, line.size(), out) != line.size())
                findings_cut = true;
        });
    }

    std::optional<PcapRecording> pcap;
    bool pcap_cut = false;
    if (!options.pcap_file.isEmpty()) {
        // a raw stream has no times of its own: the time it is decoded
        path.receiver.set_stamp([] {
            const auto now = std::chrono::system_clock::now().time_since_epoch();
            return MessageStamp{std::chrono::duration_cast<std::chrono::microseconds>(now).count(),
                                0};
        });
        pcap.emplace(path.receiver);
        const QString name =
            options.input_file.isEmpty() ? QStringLiteral("stdin") : options.input_file;
        if (const auto reason =
                pcap->start(options.pcap_file, name, texts::capture::kDecodedFile)) {
            say_to(err, texts::capture::kNotCreated.arg(options.pcap_file, *reason));
            return 2;
        }
        pcap->set_on_failure([err, &options, &pcap_cut](const QString &reason) {
            say_to(err, texts::capture::kWriteFailed.arg(options.pcap_file, reason));
            pcap_cut = true;
        });
    }
    // The state and the findings take the lines' place: where no area, no
    // JSON line and no recording (which keeps each message's line) takes
    // them either, none is made. Making them was most of such a run's time.
    if (no_lines && !area && !json && !pcap)
        path.receiver.set_decode({});

    // raw bytes, or the packets of a pcap or pcapng capture, each message
    // with the time and direction its packet was recorded with
    capture::Packet packet;
    capture::CaptureReader packets([&](const capture::Packet &p) {
        packet = p;
        path.receiver.framing_steps(p.bytes);
    });
    std::optional<capture::Format> format;
    std::string start; // the first bytes, until they tell the format
    std::vector<char> chunk(kChunk);
    const auto take = [&](std::string_view bytes) {
        if (!format) {
            start.append(bytes);
            if (start.size() < 4)
                return;
            format = capture::format_of(start);
            if (*format != capture::Format::Raw)
                path.receiver.set_stamp([&packet] {
                    return MessageStamp{packet.time_us, packet.time_us * 1000, packet.outbound};
                });
            bytes = start;
        }
        if (*format == capture::Format::Raw)
            path.receiver.framing_steps(bytes);
        else
            packets.feed(bytes);
        start.clear();
    };
    std::size_t got = 0;
    while (!interruption::requested() && !packets.problem() &&
           (got = std::fread(chunk.data(), 1, chunk.size(), in)) > 0)
        take(std::string_view(chunk.data(), got));
    const bool interrupted = interruption::requested();
    if (std::ferror(in) && !interrupted) {
        std::fprintf(err, "bus-lauscher: %s\n",
                     qPrintable(texts::cli::kUnreadableInput.arg(german_reason(errno))));
        return 2;
    }
    if (!format && !start.empty()) { // fewer than four bytes in all: raw
        format = capture::Format::Raw;
        path.receiver.framing_steps(start);
    }
    int status = 0;
    if (format && *format != capture::Format::Raw && !interrupted) {
        packets.finish();
        if (const auto &problem = packets.problem())
            say_to(err, capture::read_problem_text(*problem));
        status = capture::read_problem_status(packets.problem());
        if (packets.passed_over() > 0 && status == 0)
            say_to(err, texts::capture::kPassedOver.arg(packets.passed_over()));
    }
    // what was whole before is shown; a cut-off end or a signal ends the
    // lines whole and still gives the report
    path.receiver.finish();
    if (findings) {
        findings->finish();
        if (findings->untimed() && options.findings)
            say_to(err, texts::cli::kUntimed);
        if (findings_cut)
            lines.fail();
    }
    lines.flush();
    if (json && !json->flush())
        lines.fail();
    if (options.state && options.state_at > messages) {
        say_to(err, texts::cli::kNoSuchMessage.arg(options.state_at).arg(messages));
        status = std::max(status, 1);
    } else if (options.state) {
        const auto f = filter_of(options);
        const filter::Filter *chosen = f ? &*f : nullptr;
        const std::string text =
            options.json ? state_json(state, chosen) + "\n" : state_text(state, chosen);
        if (std::fwrite(text.data(), 1, text.size(), out) != text.size())
            lines.fail();
    }
    if (area) {
        const std::string text = latin1_to_utf8(text_area.text());
        std::fwrite(text.data(), 1, text.size(), out);
    }
    if (options.stats)
        write_bus_report(err, path.counts);
    if (interrupted)
        status = interruption::status_of_signal();
    else if (pcap_cut && status == 0)
        status = 1; // the recording asked for is not whole
    errno = 0;
    if (lines.ok() && std::fflush(out) == 0 && !std::ferror(out))
        return status;
    // a full disk, a closed or full output: said, never a silent success
    std::fprintf(err, "bus-lauscher: %s\n",
                 qPrintable(texts::cli::kUnwritableOutput.arg(german_reason(errno ? errno : EIO))));
    return 1;
}

} // namespace bl
