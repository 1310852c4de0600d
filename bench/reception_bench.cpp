// Throughput of the receive path on realistic mixed traffic. A saturated
// LocoNet carries 16457 bit/s / 10 bits = 1646 bytes/s; the counters show
// how many such buses one core keeps up with.
#include "../tests/support/traffic.h"
#include "app/reception_path.h"
#include "cli/decode_command.h"
#include "loconet/layout_state.h"

#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

constexpr double kSaturatedBusBytesPerSecond = 1646.0;
const std::string &traffic() {
    static const std::string t = bl::testing::mixed_traffic(200'000);
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

// the whole --decode command: read, frame, decode, write UTF-8 lines, in
// the written or the detailed rendering
void BM_DecodeCommand(benchmark::State &state) {
    bl::RunOptions options;
    options.area = state.range(0) != 0;
    options.output.detail = state.range(1) != 0;
    options.stats = true;
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
BENCHMARK(BM_DecodeCommand)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"area", "detail"})
    ->Unit(benchmark::kMillisecond);

// the detailed rendering to a line sink, with and without the layout's state
// kept beside it (what the Anlage window and --state add to every message)
void BM_DetailWithState(benchmark::State &state) {
    bl::ModVariablen vars;
    vars.monitor_on = bl::kTrue;
    vars.detail_on = bl::kTrue;
    bl::DiscardingMonitorArea area;
    bl::NoLines trace;
    struct Count : bl::LineSink {
        std::size_t lines = 0;
        void write_line(std::string_view) override { ++lines; }
    } lines;
    bl::ReceptionPath path(vars, bl::LineOutputs{area, trace, &lines});
    bl::loconet::LayoutState layout;
    bl::Receiver::MessageListeners::Handle keeping;
    if (state.range(0))
        keeping =
            path.receiver.listen([&layout](const bl::loconet::Message &m) { layout.apply(m); });
    for (auto _ : state) {
        path.receiver.framing_steps(traffic());
        benchmark::DoNotOptimize(lines.lines);
    }
    state.SetLabel(state.range(0) ? "with the state" : "lines only");
    report(state, traffic().size());
}
BENCHMARK(BM_DetailWithState)->Arg(0)->Arg(1)->ArgName("state")->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
