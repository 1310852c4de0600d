// The history on a million messages: filtering them (what typing in the
// filter line costs), and the memory the store takes.
#include "../tests/support/traffic.h"
#include "app/reception_path.h"
#include "history/state_timeline.h"
#include "history_model/history_model.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <random>

namespace {

constexpr std::size_t kMessages = 1'000'000;

// A million messages of mixed traffic, framed as the bus gives them, and the
// layout's state beside them as the window keeps it.
bl::HistoryStore all_messages;
bl::StateTimeline timeline(all_messages);

const bl::HistoryStore &million() {
    static bool filled = false;
    if (!filled) {
        bl::ModVariablen vars;
        vars.monitor_on = bl::kTrue;
        bl::DiscardingMonitorArea area;
        bl::NoLines trace;
        bl::ReceptionPath path(vars, {area, trace});
        auto feed = path.receiver.listen([](const bl::loconet::Message &m) {
            timeline.add(m);
            all_messages.add(m);
        });
        const std::string traffic = bl::testing::mixed_traffic(kMessages);
        path.receiver.framing_steps(traffic);
        filled = true;
    }
    return all_messages;
}

bl::filter::Filter read(const char *expression) {
    return std::get<bl::filter::Filter>(bl::filter::Filter::parse(expression));
}

const char *const kExpressions[] = {
    "rm=5 oder weiche=11",            // fields only
    "lok=3-7 und nicht opcode=A0,A1", // through the slots
    "fehler oder gesendet",           // flags
    "belegt",                         // a text: each line rendered
};

void BM_FilterMillion(benchmark::State &state) {
    const bl::HistoryStore &store = million();
    bl::HistoryModel model(store);
    model.set_detail(state.range(1) != 0);
    const char *expression = kExpressions[state.range(0)];
    for (auto _ : state) {
        model.set_filter(read(expression));
        benchmark::DoNotOptimize(model.rowCount());
    }
    state.SetLabel(std::string(expression) + (state.range(1) ? " (ausführlich)" : "") + ": " +
                   std::to_string(model.rowCount()) + " of " + std::to_string(store.size()));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(store.size()));
}
BENCHMARK(BM_FilterMillion)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({2, 0})
    ->Args({3, 0})
    ->Args({3, 1})
    ->Unit(benchmark::kMillisecond);

// the state as it was after a row chosen anywhere in the million (the
// slowest is the row just before the next copy)
void BM_StateAtAnyRow(benchmark::State &state) {
    const bl::HistoryStore &kept = million();
    std::mt19937_64 rng(11);
    double slowest_ms = 0;
    for (auto _ : state) {
        const std::uint64_t position = kept.first() + rng() % kept.size();
        const auto start = std::chrono::steady_clock::now();
        auto then = timeline.at(position);
        benchmark::DoNotOptimize(then);
        slowest_ms = std::max(slowest_ms, std::chrono::duration<double, std::milli>(
                                              std::chrono::steady_clock::now() - start)
                                              .count());
    }
    // and the worst place on purpose: the last row before a copy
    const std::uint64_t worst = kept.first() + timeline.between_copies() * 20 - 2;
    const auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(timeline.at(worst));
    const double worst_ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    state.counters["slowest_ms"] = std::max(slowest_ms, worst_ms);
    state.counters["copies"] = static_cast<double>(timeline.copies());
}
BENCHMARK(BM_StateAtAnyRow)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
