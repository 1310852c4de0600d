// The monitor area: a plain text of lines ended by CR LF, written only by
// replacing it as a whole. Texts are Latin-1 (see shared/latin1.h).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace bl {

class MonitorArea {
public:
    virtual ~MonitorArea() = default;
    virtual std::string_view text() const = 0;
    virtual void set_text(std::string text) = 0;
    // Same as set_text(text() + tail), without copying the old text.
    virtual void append_text(std::string_view tail) = 0;
    // Same as set_text(last n characters of text()); n <= text().size().
    virtual void keep_last(std::size_t n) = 0;
    // Brings the last line into view.
    virtual void move_insertion_point_to_end() = 0;
    // False where the text goes nowhere, so that it need not be laid out.
    virtual bool kept() const { return true; }
};

// The text model itself, without a view: the headless decoder and tests use
// it, the window's rtbMoni keeps one and shows it.
// Cutting moves the start of the text instead of copying what is kept, so a
// full area costs nothing extra per message.
class TextMonitorArea : public MonitorArea {
public:
    std::string_view text() const override { return std::string_view(buffer_).substr(start_); }
    void set_text(std::string text) override {
        buffer_ = std::move(text);
        start_ = 0;
    }
    void append_text(std::string_view tail) override { buffer_.append(tail); }
    void keep_last(std::size_t n) override;
    void move_insertion_point_to_end() override { ++moves_to_end_; }
    long moves_to_end() const { return moves_to_end_; }

private:
    std::string buffer_;
    std::size_t start_ = 0; // the text is buffer_ from here on
    long moves_to_end_ = 0;
};

// An area that keeps nothing, for output that only goes to the trace sink.
class DiscardingMonitorArea : public MonitorArea {
public:
    std::string_view text() const override { return {}; }
    void set_text(std::string) override {}
    void append_text(std::string_view) override {}
    void keep_last(std::size_t) override {}
    void move_insertion_point_to_end() override {}
    bool kept() const override { return false; }
};

} // namespace bl
