// Throughput of the receive path on realistic mixed traffic. A saturated
// LocoNet carries 16457 bit/s / 10 bits = 1646 bytes/s; the counters show
// how many such buses one core keeps up with.
#include "../tests/support/traffic.h"
#include "app/reception_path.h"
#include "cli/decode_command.h"
#include "cli/line_writer.h"
#include "loconet/findings.h"
#include "loconet/layout_state.h"
#include "simulation/background_traffic.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr double kSaturatedBusBytesPerSecond = 1646.0;
const std::string &traffic() {
    static const std::string t = bl::testing::mixed_traffic(200'000);
    return t;
}

// The traffic of a running layout as the simulated bus makes it: four
// trains driven by their throttles, the sensors of their routes, switches,
// train reports and slot requests, each request with the station's answer.
// Where the mixed traffic above spreads over thousands of locos, sensors and
// switches in no order, this is what a layout repeats.
const std::string &layout_traffic() {
    static const std::string t = [] {
        bl::sim::CommandStation station;
        bl::sim::BackgroundTraffic layout(station, 7);
        std::string out;
        int messages = 0;
        const auto put = [&](const QByteArray &m) {
            out.append(m.constData(), static_cast<std::size_t>(m.size()));
            ++messages;
            for (const QByteArray &answer : station.handle(m)) {
                out.append(answer.constData(), static_cast<std::size_t>(answer.size()));
                ++messages;
            }
        };
        for (const QByteArray &m : layout.opening())
            put(m);
        // a millisecond a message, as the path below stamps them
        while (out.size() < traffic().size())
            put(layout.next(messages / 1000.0));
        return out;
    }();
    return t;
}

void report(benchmark::State &state, std::size_t bytes_per_iteration) {
    const auto total =
        static_cast<double>(state.iterations()) * static_cast<double>(bytes_per_iteration);
    state.SetBytesProcessed(static_cast<std::int64_t>(total));
    state.counters["x_saturated_bus"] =
        benchmark::Counter(total / kSaturatedBusBytesPerSecond, benchmark::Counter::kIsRate);
}

// framing -> decoding -> monitor area (with the 5000/4900 cut)
void BM_FramingDecodingArea(benchmark::State &state) {
    bl::ModVariablen vars;
    vars.monitor_on = bl::kTrue;
    vars.ascii_hex_on = bl::kTrue;
    vars.hex_on = state.range(0) ? bl::kTrue : bl::kFalse;
    bl::TextMonitorArea area;
    bl::NoLines trace;
    bl::ReceptionPath path(vars, bl::LineOutputs{area, trace});
    for (auto _ : state) {
        path.receiver.framing_steps(traffic());
        benchmark::DoNotOptimize(area.text().data());
    }
    report(state, traffic().size());
}
BENCHMARK(BM_FramingDecodingArea)->Arg(0)->Arg(1)->ArgName("hex")->Unit(benchmark::kMillisecond);

// The --decode command on the mixed traffic, read from memory, its output
// and its report to /dev/null.
void run_command(benchmark::State &state, const bl::RunOptions &options) {
    std::FILE *null_err = std::fopen("/dev/null", "wb");
    std::FILE *null_out = std::fopen("/dev/null", "wb");
    for (auto _ : state) {
        std::FILE *in = fmemopen(const_cast<char *>(traffic().data()), traffic().size(), "rb");
        bl::run_decode(in, null_out, null_err, options);
        std::fclose(in);
    }
    std::fclose(null_out);
    std::fclose(null_err);
    report(state, traffic().size());
}

// the whole --decode command: read, frame, decode, write UTF-8 lines, in
// the written or the detailed rendering
void BM_DecodeCommand(benchmark::State &state) {
    bl::RunOptions options;
    options.area = state.range(0) != 0;
    options.output.detail = state.range(1) != 0;
    options.stats = true;
    run_command(state, options);
}
BENCHMARK(BM_DecodeCommand)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"area", "detail"})
    ->Unit(benchmark::kMillisecond);

// --decode with the state (as tables or as JSON) or the findings in the
// lines' place: what such a run takes beside BM_DecodeCommand's
void BM_DecodeInsteadOfLines(benchmark::State &state) {
    bl::RunOptions options;
    options.state = state.range(0) != 2;
    options.json = state.range(0) == 1;
    options.findings = state.range(0) == 2;
    state.SetLabel(state.range(0) == 0   ? "--state"
                   : state.range(0) == 1 ? "--state --json"
                                         : "--findings");
    run_command(state, options);
}
BENCHMARK(BM_DecodeInsteadOfLines)
    ->ArgName("instead")
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond);

// The detailed rendering, on messages a millisecond apart (so that the
// findings' time rules run), to a line sink that counts, or written as
// --decode writes them (UTF-8, to /dev/null).
struct DetailPath {
    struct Count : bl::LineSink {
        std::size_t lines = 0;
        void write_line(std::string_view) override { ++lines; }
    };
    explicit DetailPath(bool written = false)
        : null_out(written ? std::fopen("/dev/null", "wb") : nullptr),
          writer(null_out ? std::make_unique<bl::LineWriter>(null_out) : nullptr) {}
    ~DetailPath() {
        writer.reset();
        if (null_out)
            std::fclose(null_out);
    }
    bl::ModVariablen vars = [] {
        bl::ModVariablen v;
        v.monitor_on = bl::kTrue;
        v.detail_on = bl::kTrue;
        return v;
    }();
    bl::DiscardingMonitorArea area;
    bl::NoLines trace;
    Count lines;
    std::FILE *null_out;
    std::unique_ptr<bl::LineWriter> writer;
    std::int64_t ns = 0;
    bl::ReceptionPath path{
        vars,
        bl::LineOutputs{area, trace, writer ? static_cast<bl::LineSink *>(writer.get()) : &lines},
        [this] {
            ns += 1'000'000;
            return bl::MessageStamp{1'700'000'000'000'000 + ns / 1000, ns};
        }};
    void run(benchmark::State &state, const std::string &bytes) {
        for (auto _ : state) {
            path.receiver.framing_steps(bytes);
            if (writer)
                writer->flush();
            benchmark::DoNotOptimize(lines.lines);
        }
        report(state, bytes.size());
    }
};

// with and without the layout's state kept beside the lines (what the
// Anlage window and --state add to every message), on the mixed traffic
// and on a running layout's
void BM_DetailWithState(benchmark::State &state) {
    DetailPath detail(state.range(2) != 0);
    bl::loconet::LayoutState layout;
    bl::Receiver::MessageListeners::Handle keeping;
    if (state.range(0))
        keeping = detail.path.receiver.listen(
            [&layout](const bl::loconet::Message &m) { layout.apply(m); });
    state.SetLabel(std::string(state.range(0) ? "with the state" : "lines only") +
                   (state.range(1) ? ", layout traffic" : ", mixed traffic") +
                   (state.range(2) ? ", written" : ", counted"));
    detail.run(state, state.range(1) ? layout_traffic() : traffic());
}
BENCHMARK(BM_DetailWithState)
    ->ArgsProduct({{0, 1}, {0, 1}, {0, 1}})
    ->ArgNames({"state", "layout", "written"})
    ->Unit(benchmark::kMillisecond);

// The state by itself, on the first 4096 messages of either traffic applied
// again and again (the messages stay in the cache): what it costs a message
// apart from the lines.
void BM_StateByItself(benchmark::State &state) {
    std::vector<bl::loconet::Message> messages;
    {
        DetailPath framing;
        auto keeping = framing.path.receiver.listen([&messages](const bl::loconet::Message &m) {
            if (messages.size() < 4096)
                messages.push_back(m);
        });
        framing.path.receiver.framing_steps(state.range(0) ? layout_traffic() : traffic());
    }
    bl::loconet::LayoutState layout;
    for (auto _ : state) {
        for (const bl::loconet::Message &m : messages)
            layout.apply(m);
        benchmark::DoNotOptimize(layout.nr());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(messages.size()));
    state.SetLabel(state.range(0) ? "layout traffic" : "mixed traffic");
}
BENCHMARK(BM_StateByItself)->ArgName("layout")->Arg(0)->Arg(1);

// the same with the findings made beside the lines (what --findings and the
// window add to every message)
void BM_DetailWithFindings(benchmark::State &state) {
    DetailPath detail;
    bl::loconet::Findings findings;
    if (state.range(0))
        detail.path.find(findings);
    // the mixed traffic switches the power off every 20 messages and leaves
    // loco requests unanswered: a finding every 7 messages; a healthy bus none
    static const std::string healthy = bl::testing::mixed_traffic(200'000, 7, true);
    state.SetLabel(std::string(state.range(0) ? "with the findings" : "lines only") +
                   (state.range(1) == 2   ? ", layout traffic"
                    : state.range(1) == 1 ? ", healthy bus"
                                          : ", faulty bus"));
    detail.run(state, state.range(1) == 2 ? layout_traffic()
                      : state.range(1)    ? healthy
                                          : traffic());
    state.counters["findings_per_pass"] =
        static_cast<double>(findings.total()) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_DetailWithFindings)
    ->ArgsProduct({{0, 1}, {1, 0, 2}})
    ->ArgNames({"findings", "traffic"})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
