#pragma once

#include "reception/line_sink.h"

#include <QFile>
#include <QString>
#include <functional>
#include <optional>

namespace bl {

// The trace file: each record is the time stamp, " - ", the text and CR LF
// in Windows-1252. Records are handed to the operating system as they are
// written, so a crash or a killed process loses none.
class TraceFile : public LineSink {
public:
    using TimeStamp = std::function<QString()>;
    explicit TraceFile(TimeStamp time_stamp);

    // Creates or empties the file; returns the reason when it cannot.
    std::optional<QString> open(const QString &path);
    void close();
    bool is_open() const { return file_.isOpen(); }

    // Raises a RuntimeError when no file is open or the write fails; the
    // failure handler runs first, so that one failure is reported once.
    void write_line(std::string_view text) override;
    void set_on_failure(std::function<void()> handler) { on_failure_ = std::move(handler); }

private:
    TimeStamp time_stamp_;
    QFile file_;
    std::function<void()> on_failure_;
};

} // namespace bl
