#pragma once

#include "reception/area_difference.h"
#include "reception/monitor_area.h"
#include "window/line_layouts.h"
#include "window/mirrored_scroll_bars.h"

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <string>
#include <vector>

namespace bl {

// The monitor area on screen. The text model is exact (read, replace, cut);
// the widget is a view of it, brought up to date at most five times a
// second. The view paints only the lines it shows, each laid out once while
// it stays in view: a bus that brings hundreds of lines between two
// refreshes costs the lines seen, not the lines passed. The view follows
// the newest line until the user scrolls back or selects, as a terminal
// does, and again once the user scrolls to the bottom; a change of the
// window's size keeps whichever it does. Scrolled back or with a selection,
// both stay on their text while lines arrive.
class RtbMoni : public QAbstractScrollArea, public MonitorArea {
public:
    static constexpr int kRefreshMs = 200;
    // A bus that brings more lines between two refreshes than the view shows
    // has the view drawn whole each time: then it is shown once a second, as
    // the history shows such a bus (lines passing faster could not be read
    // either, and drawing lines never seen before is most of what the window
    // costs there).
    static constexpr int kBusyRefreshMs = 1000;

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
    // whole.
    int refreshes_by_moving() const { return refreshes_by_moving_; }
    const MirroredScrollBars &scroll_bars() const { return *bars_; }

    // What the view shows: the model's text as of the last refresh, its
    // line breaks as LF.
    QString shown_text() const;
    int line_height() const;
    int line_count() const { return static_cast<int>(starts_.size()); }
    QString line_text(int line) const;
    // Where a line starts and ends in the shown text (its break not counted).
    int line_start(int line) const;
    int line_end(int line) const;
    // The line under a point of the viewport, and where a line stands in it.
    int line_at(QPoint in_view) const;
    QRect line_rect(int line) const;
    // The selection, by positions in the shown text (anchor to cursor).
    void select(int anchor, int cursor);
    bool has_selection() const { return anchor_ != cursor_; }
    int selection_start() const { return std::min(anchor_, cursor_); }
    int selection_end() const { return std::max(anchor_, cursor_); }
    int cursor_position() const { return cursor_; }
    // Positions in the shown text and where they stand in the viewport.
    int position_at(QPoint in_view);
    QRect character_rect(int position);
    // Scrolls the line of a position into view.
    void show_position(int position);
    QString selected_text() const;
    void copy() const;
    void select_all();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void changed();
    bool take_changes();
    void index_lines();
    void set_ranges();
    void measure_lines_in_view();
    void follow_by_moving(int moved_lines, int first_changed);
    void place_text();
    void keep_following();
    int follow_step() const;
    int spare_rows_after(int still_top) const;
    int top_line() const;
    int lines_in_view() const;
    std::string_view text_between(int from, int to) const;
    int line_of(int position) const;
    QTextLayout &layout_of(int line);
    void set_cursor(int position, bool keep_anchor);

    TextMonitorArea model_;
    AreaDifference difference_;       // since the view last showed the model
    std::string shown_;               // the model's text as the view shows it
    std::vector<int> starts_;         // where each line of shown_ starts
    LineLayouts layouts_;             // the lines in view, laid out
    long long first_line_number_ = 0; // of shown_'s first line, counted since the text was set
    int widest_ = 0;                  // px: the widest line laid out
    int anchor_ = 0;
    int cursor_ = 0;
    bool selecting_ = false;
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
    int spare_rows_ = 0; // blank rows the vertical range holds below the last line
    static constexpr int kFollowStepShare = 8; // a step: the lines in view divided by this
    static constexpr int kMargin = 4;          // px left of the text, as a text box has
    static constexpr int kFillBand = 24;       // px: fewer lines than the raster engine shares out
};

} // namespace bl
