#pragma once

#include "reception/monitor_area.h"

#include <QPlainTextEdit>
#include <QTimer>

namespace bl {

// The monitor area on screen. The text model is exact (read, replace, cut);
// the widget shows it, refreshed at most once per interval so that a flood
// of messages does not lay out 5000 characters for every line.
class RtbMoni : public QPlainTextEdit, public MonitorArea {
public:
    static constexpr int kRefreshMs = 100;
    static constexpr std::size_t kMostToAppend = 8192;

    explicit RtbMoni(QWidget *parent = nullptr);

    std::string_view text() const override { return model_.text(); }
    void set_text(std::string text) override;
    void append_text(std::string_view tail) override;
    void keep_last(std::size_t n) override;
    void move_insertion_point_to_end() override;

    // Shows the model now (also done by the refresh timer).
    void refresh_view();
    bool view_is_current() const { return !dirty_; }

private:
    void changed();
    bool update_incrementally(const QString &now);

    TextMonitorArea model_;
    QTimer refresh_;
    bool dirty_ = false;
    bool to_end_ = false;
    QString shown_;         // what the view holds
    std::string appended_;  // appended to the model since the last refresh
    bool replaced_ = false; // the model was replaced since then
};

} // namespace bl
