#pragma once

#include "reception/line_sink.h"

#include <QFile>
#include <QString>
#include <functional>
#include <optional>

namespace bl {

// The trace file: each record is the time stamp, " - ", the text and CR LF
// in Windows-1252. Each record reaches the operating system in one write,
// whole or not at all, so a crash, a killed process or a full disk leaves
// only whole records.
class TraceFile : public LineSink {
public:
    using TimeStamp = std::function<QString()>;
    explicit TraceFile(TimeStamp time_stamp);

    // Creates the file, which must not exist yet (a recording never
    // overwrites another); returns the reason (German) when it cannot.
    std::optional<QString> open(const QString &path);
    void close();
    bool is_open() const { return file_.isOpen(); }
    // The open file is no longer the one its path names (removed, or its
    // folder deleted and made anew): records would go nowhere.
    bool lost() const;

    // A record that cannot be written closes the file and is told once,
    // with the reason, through the failure handler; it never throws.
    void write_line(std::string_view text) override;
    void set_on_failure(std::function<void(const QString &reason)> handler) {
        on_failure_ = std::move(handler);
    }

private:
    void fail(const QString &reason);

    TimeStamp time_stamp_;
    QFile file_;
    QString path_; // as named, its bytes kept (see shared/file_names.h)
    std::function<void(const QString &)> on_failure_;
    bool failed_ = false;
};

} // namespace bl
