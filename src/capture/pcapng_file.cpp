#include "capture/pcapng_file.h"

#include "capture/pcap_format.h"
#include "shared/system_reason.h"
#include "shared/texts.h"

#include "shared/file_names.h"
#include "shared/interruption.h"

#include <cerrno>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace bl::capture {

std::optional<QString> PcapngFile::open(const QString &path, const QString &interface_name,
                                        const QString &description, bool must_be_new) {
    close();
    failed_ = false;
    path_ = path;
    file_.setFileName(path);
    if (!must_be_new && is_fifo(path)) {
        if (auto reason = open_fifo(path))
            return reason;
    } else if (must_be_new) {
        // a link that leads nowhere is there too: never written through
        if (!create_new(file_, path))
            return errno == EEXIST ? texts::trace::kExists : german_reason(errno);
    } else if (!file_.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return german_reason(file_.errorString());
    }
    const std::string application = "Bus-Lauscher " BUSLAUSCHER_VERSION;
    if (!write_block(section_header_block(application)) ||
        !write_block(interface_block(interface_name.toStdString(), description.toStdString()))) {
        const QString reason = german_reason(file_.errorString());
        close();
        if (must_be_new) {
#ifdef _WIN32
            QFile::remove(path);
#else
            ::unlink(file_name_bytes(path).constData());
#endif
        }
        return reason;
    }
    return std::nullopt;
}

void PcapngFile::close() {
    if (file_.isOpen())
        file_.close();
#ifndef _WIN32
    if (fifo_ >= 0)
        ::close(fifo_);
#endif
    fifo_ = -1;
}

bool PcapngFile::write_block(const std::string &block) {
    if (fifo_ >= 0)
        return write_fifo(block);
    const auto size = static_cast<qint64>(block.size());
    return file_.write(block.data(), size) == size;
}

#ifndef _WIN32
// Until a reader opens it: a FIFO opened for writing without a reader fails
// at once (ENXIO) when asked not to wait, so it is asked again, and a
// signal ends the waiting.
std::optional<QString> PcapngFile::open_fifo(const QString &path) {
    const QByteArray name = QFile::encodeName(path);
    for (;;) {
        fifo_ = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fifo_ >= 0)
            break;
        if (errno != ENXIO && errno != EINTR)
            return german_reason(errno);
        if (interruption::requested())
            return german_reason(EINTR);
        ::usleep(20'000);
    }
    // whole blocks from here: a write waits for room, unless a signal comes
    const int flags = ::fcntl(fifo_, F_GETFL);
    ::fcntl(fifo_, F_SETFL, flags & ~O_NONBLOCK);
    return std::nullopt;
}

bool PcapngFile::write_fifo(const std::string &block) {
    std::size_t done = 0;
    while (done < block.size()) {
        const ssize_t n = ::write(fifo_, block.data() + done, block.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR && !interruption::requested())
            continue;
        return false;
    }
    return true;
}

bool PcapngFile::is_fifo(const QString &path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISFIFO(info.st_mode);
}
#else
std::optional<QString> PcapngFile::open_fifo(const QString &) { return german_reason(ENOSYS); }
bool PcapngFile::write_fifo(const std::string &) { return false; }
bool PcapngFile::is_fifo(const QString &) { return false; }
#endif

void PcapngFile::write(const loconet::Message &m, std::string_view comment) {
    if (failed_ || !is_open())
        return;
    const qint64 end_of_last = fifo_ >= 0 ? 0 : file_.pos();
    errno = 0;
    if (write_block(packet_block(m, comment)))
        return;
    const int error = errno;
    const QString reason = error ? german_reason(error) : german_reason(file_.errorString());
    if (file_.isOpen())
        file_.resize(end_of_last); // the file ends with the last whole block
    close();
    failed_ = true;
    if (on_failure_)
        on_failure_(reason);
}

int read_problem_status(const std::optional<ReadProblem> &problem) {
    return !problem || problem->what == ReadProblem::What::Truncated ? 0 : 2;
}

QString read_problem_text(const ReadProblem &problem) {
    switch (problem.what) {
    case ReadProblem::What::OtherLinkType:
        return texts::capture::kOtherLinkType.arg(problem.link_type);
    case ReadProblem::What::Truncated: return texts::capture::kTruncated;
    case ReadProblem::What::Malformed: return texts::capture::kMalformed;
    }
    return {};
}

} // namespace bl::capture
