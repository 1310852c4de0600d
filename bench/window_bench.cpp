// Cost of one refresh of the monitor area's view under a saturated bus:
// 34 new lines (a tenth of a second of traffic), the cut, the repaint.
#include "window/frm_monitor.h"

#include <QApplication>
#include <QImage>
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

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
