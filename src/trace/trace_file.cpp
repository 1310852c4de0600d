#include "trace/trace_file.h"

#include "shared/runtime_error.h"
#include "shared/texts.h"
#include "shared/windows1252.h"

namespace bl {

TraceFile::TraceFile(TimeStamp time_stamp) : time_stamp_(std::move(time_stamp)) {}

std::optional<QString> TraceFile::open(const QString &path) {
    close();
    file_.setFileName(path);
    // unbuffered: every record goes to the operating system at once
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return file_.errorString();
    return std::nullopt;
}

void TraceFile::close() {
    if (file_.isOpen())
        file_.close();
}

void TraceFile::write_line(std::string_view text) {
    if (!file_.isOpen()) {
        if (on_failure_)
            on_failure_();
        throw RuntimeError(err::kBadFileNumber, texts::trace::kProgramSource,
                           texts::trace::kBadFileNumber);
    }
    QByteArray line = to_windows1252(time_stamp_());
    line.append(" - ");
    append_latin1_as_windows1252(line, text);
    line.append("\r\n");
    if (file_.write(line) != line.size()) {
        const QString reason = file_.errorString();
        if (on_failure_)
            on_failure_();
        throw RuntimeError(err::kFileWriteFailed, texts::trace::kProgramSource,
                           texts::trace::kTraceWriteFailed.arg(reason));
    }
}

} // namespace bl
