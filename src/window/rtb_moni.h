#pragma once

#include "reception/area_difference.h"
#include "reception/monitor_area.h"
#include "window/mirrored_scroll_bars.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTimer>

namespace bl {

// The monitor area on screen. The text model is exact (read, replace, cut);
// the widget is a view of it, brought up to date at most five times a
// second: lines cut from the top are removed, new ones appended, so that
// only those are laid out. The view follows the newest line until the user
// scrolls back or selects, as a terminal does, and again once the user
// scrolls to the bottom; a change of the window's size keeps whichever it
// does. Scrolled back or with a selection, both stay on their text while
// lines arrive.
class RtbMoni : public QPlainTextEdit, public MonitorArea {
public:
    static constexpr int kRefreshMs = 200;
    // A bus that brings more lines between two refreshes than the view shows
    // has the view drawn whole each time, which costs a saturated bus most of
    // the window's time: then it is shown twice a second (lines passing five
    // times a second could not be read either).
    static constexpr int kBusyRefreshMs = 500;

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
    bool following() const;
    int refresh_interval_ms() const { return busy_ ? kBusyRefreshMs : kRefreshMs; }
    // How often a refresh moved the picture up instead of drawing the view
    // whole, and how often the shown scroll bars were drawn anew.
    int refreshes_by_moving() const { return refreshes_by_moving_; }
    const MirroredScrollBars &scroll_bars() const { return *bars_; }

private:
    void changed();
    bool update_incrementally();
    bool follow_by_moving();
    bool fill_below();
    bool update_undrawn();
    void draw_from(const QTextBlock &first_changed);
    void place_text();
    void keep_following();
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

    TextMonitorArea model_;
    AreaDifference difference_; // since the view last showed the model
    QTimer refresh_;
    QElapsedTimer last_refresh_;
    bool dirty_ = false;
    bool follow_ = true; // the user left the view at the bottom
    bool refreshing_ = false;
    bool busy_ = false; // the last refresh brought more lines than the view shows
    int covered_top_ = 0;
    int covered_bottom_ = 0;
    MirroredScrollBars *bars_;
    int refreshes_by_moving_ = 0;
    static constexpr int kFillBand = 24; // px: fewer lines than the raster engine shares out
};

} // namespace bl
