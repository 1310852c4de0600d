#include "trace/trace_file.h"

#include "shared/file_names.h"
#include "shared/system_reason.h"
#include "shared/texts.h"
#include "shared/windows1252.h"

#include <cerrno>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace bl {

TraceFile::TraceFile(TimeStamp time_stamp) : time_stamp_(std::move(time_stamp)) {}

std::optional<QString> TraceFile::open(const QString &path) {
    close();
    path_ = path;
    failed_ = false;
    // unbuffered: every record goes to the operating system at once
    if (!create_new(file_, path))
        return errno == EEXIST ? texts::trace::kExists : german_reason(errno);
    return std::nullopt;
}

void TraceFile::close() {
    if (file_.isOpen())
        file_.close();
}

bool TraceFile::lost() const {
    if (!file_.isOpen())
        return false;
#ifdef Q_OS_UNIX
    struct stat open_file {};
    struct stat named {};
    if (::fstat(file_.handle(), &open_file) != 0 ||
        ::stat(file_name_bytes(path_).constData(), &named) != 0)
        return true;
    return open_file.st_dev != named.st_dev || open_file.st_ino != named.st_ino;
#else
    return !name_taken(path_);
#endif
}

void TraceFile::fail(const QString &reason) {
    close();
    failed_ = true;
    if (on_failure_)
        on_failure_(reason);
}

void TraceFile::write_line(std::string_view text) {
    if (failed_)
        return; // told once; the recording has ended
    if (!file_.isOpen())
        return fail(texts::trace::kBadFileNumber);
    QByteArray line = to_windows1252(time_stamp_());
    line.append(" - ");
    append_latin1_as_windows1252(line, text);
    line.append("\r\n");
    const qint64 end_of_last = file_.pos();
    errno = 0;
    if (file_.write(line) == line.size())
        return;
    // the system's reason, which Qt does not keep for a short write
    const int error = errno;
    const QString reason = error ? german_reason(error) : german_reason(file_.errorString());
    // not a record cut in half: back to the end of the last whole one
    file_.resize(end_of_last);
    fail(reason);
}

} // namespace bl
