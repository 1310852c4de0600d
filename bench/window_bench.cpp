// Cost of one refresh of the monitor area's view under a saturated bus:
// 34 new lines (a tenth of a second of traffic), the cut, the repaint.
#include "window/frm_monitor.h"
#include "window/handle_moves.h"

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <benchmark/benchmark.h>

namespace {

void BM_RefreshWithNewLines(benchmark::State &state) {
    bl::FrmMonitor w;
    w.show();
    bl::RtbMoni &area = *w.rtbMoni;
    const int lines = static_cast<int>(state.range(0));
    long n = 0;
    for (auto _ : state) {
        for (int i = 0; i < lines; ++i) {
            if (area.text().size() > 5000)
                area.keep_last(4900);
            area.append_text("R\xFC"
                             "ckmelder " +
                             std::to_string(++n) + " = belegt");
            area.append_text("\r\n");
            area.move_insertion_point_to_end();
        }
        area.refresh_view();
        w.repaint();
    }
}
BENCHMARK(BM_RefreshWithNewLines)->Arg(1)->Arg(34)->Arg(171)->Unit(benchmark::kMicrosecond);

// The whole area drawn anew: what following the newest line no longer
// pays for every line.
void BM_FullViewportRepaint(benchmark::State &state) {
    bl::FrmMonitor w;
    w.show();
    bl::RtbMoni &area = *w.rtbMoni;
    for (int i = 0; i < 200; ++i) {
        area.append_text("R\xFC"
                         "ckmelder " +
                         std::to_string(i) + " = belegt");
        area.append_text("\r\n");
    }
    area.refresh_view();
    QImage image(area.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
        area.viewport()->render(&image);
}
BENCHMARK(BM_FullViewportRepaint)->Unit(benchmark::kMicrosecond);

// Trying once whether the style lets a creeping handle be drawn only
// around its ends, for a vertical bar of the given length (as the monitor
// area's, the first time its text outgrows the view).
void BM_TryingTheScrollBarStyle(benchmark::State &state) {
    QScrollBar bar(Qt::Vertical);
    bar.resize(14, static_cast<int>(state.range(0)));
    bar.setRange(0, 100);
    bar.setPageStep(50);
    const QRect from = bl::handle_rect(bar, 0, 100, 50, 100);
    const QRect to = bl::handle_rect(bar, 0, 102, 50, 102);
    for (auto _ : state) {
        bl::HandleMoves moves;
        benchmark::DoNotOptimize(moves.changed(bar, from, to));
    }
}
BENCHMARK(BM_TryingTheScrollBarStyle)
    ->Arg(80)
    ->Arg(457)
    ->MeasureProcessCPUTime() // the raster engine's helper threads too
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
