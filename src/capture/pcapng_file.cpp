#include "capture/pcapng_file.h"

#include "capture/pcap_format.h"
#include "shared/system_reason.h"
#include "shared/texts.h"

#include <QFileInfo>
#include <cerrno>

namespace bl::capture {

std::optional<QString> PcapngFile::open(const QString &path, const QString &interface_name,
                                        const QString &description, bool must_be_new) {
    close();
    failed_ = false;
    file_.setFileName(path);
    const auto mode = must_be_new
                          ? QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered
                          : QIODevice::WriteOnly | QIODevice::Unbuffered;
    if (!file_.open(mode))
        return QFileInfo::exists(path) ? texts::trace::kExists : german_reason(file_.errorString());
    const std::string application = "Bus-Lauscher " BUSLAUSCHER_VERSION;
    if (!write_block(section_header_block(application)) ||
        !write_block(interface_block(interface_name.toStdString(), description.toStdString()))) {
        const QString reason = german_reason(file_.errorString());
        close();
        if (must_be_new)
            QFile::remove(path);
        return reason;
    }
    return std::nullopt;
}

void PcapngFile::close() {
    if (file_.isOpen())
        file_.close();
}

bool PcapngFile::write_block(const std::string &block) {
    const auto size = static_cast<qint64>(block.size());
    return file_.write(block.data(), size) == size;
}

void PcapngFile::write(const loconet::Message &m, std::string_view comment) {
    if (failed_ || !file_.isOpen())
        return;
    const qint64 end_of_last = file_.pos();
    errno = 0;
    if (write_block(packet_block(m, comment)))
        return;
    const int error = errno;
    const QString reason = error ? german_reason(error) : german_reason(file_.errorString());
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
