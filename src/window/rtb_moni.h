#pragma once

#include "reception/monitor_area.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>

namespace bl {

// The monitor area on screen. The text model is exact (read, replace, cut);
// the widget is a view of it, brought up to date at most five times a
// second: lines cut from the top are removed, new ones appended, so that
// only those are laid out. The view follows the newest line only while it
// stands at the bottom and nothing is selected, as a terminal does; scrolled
// back or with a selection, both stay on their text while lines arrive.
class RtbMoni : public QPlainTextEdit, public MonitorArea {
public:
    static constexpr int kRefreshMs = 200;
    static constexpr std::size_t kMostToAppend = 8192;

    explicit RtbMoni(QWidget *parent = nullptr);

    std::string_view text() const override { return model_.text(); }
    void set_text(std::string text) override;
    void append_text(std::string_view tail) override;
    void keep_last(std::size_t n) override;
    void move_insertion_point_to_end() override;

    // The parts of the area that other controls cover (the frame above, the
    // status bar below): the text is shown between them.
    void set_covered(int top_px, int bottom_px);
    // Shows the model now (also done by the refresh timer).
    void refresh_view();
    bool view_is_current() const { return !dirty_; }

private:
    void changed();
    bool update_incrementally();
    bool follow_by_moving();
    void place_scroll_bars();
    void follow(QScrollBar *own, QScrollBar *shown);
    void show_scroll_bars();
    // creeping: a change that may be shown up to kBarsMs late
    void request_scroll_bars(bool creeping);
    bool following() const;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override {
        QPlainTextEdit::resizeEvent(event);
        place_scroll_bars();
    }

    TextMonitorArea model_;
    QTimer refresh_;
    QElapsedTimer last_refresh_;
    bool dirty_ = false;
    std::string appended_;    // appended to the model since the last refresh
    qsizetype cut_chars_ = 0; // characters of the view cut from the top since then
    int cut_lines_ = 0;       // whole lines among them
    bool replaced_ = false;   // the model was replaced since then
    int covered_top_ = 0;
    int covered_bottom_ = 0;
    QScrollBar *shown_vertical_;
    QScrollBar *shown_horizontal_;
    bool refreshing_ = false;
    QElapsedTimer bars_shown_; // when the shown bars were last brought up to date
    QTimer bars_later_;
    static constexpr int kBarsMs = 5000;
    static constexpr int kFillBand = 24; // px: fewer lines than the raster engine shares out
};

} // namespace bl
