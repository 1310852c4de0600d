#include "capture/capture_device.h"

#include <algorithm>
#include <cstring>

namespace bl::capture {

namespace {
constexpr qint64 kChunk = 64 * 1024;
}

CaptureDevice::CaptureDevice(std::unique_ptr<QIODevice> file)
    : file_(std::move(file)), reader_([this](const Packet &p) {
          out_.append(p.bytes.data(), static_cast<qsizetype>(p.bytes.size()));
      }) {
    open(QIODevice::ReadOnly);
}

qint64 CaptureDevice::readData(char *data, qint64 most) {
    while (out_.isEmpty() && !done_) {
        const QByteArray in = file_->read(kChunk);
        if (in.isEmpty()) {
            reader_.finish();
            done_ = true;
            break;
        }
        reader_.feed(std::string_view(in.constData(), static_cast<std::size_t>(in.size())));
        done_ = reader_.problem().has_value();
    }
    const qint64 n = std::min<qint64>(most, out_.size());
    std::memcpy(data, out_.constData(), static_cast<std::size_t>(n));
    out_.remove(0, n);
    return n;
}

std::optional<ReadProblem> first_problem(QIODevice &file) {
    const QByteArray start = file.peek(kChunk);
    CaptureReader reader([](const Packet &) {});
    reader.feed(std::string_view(start.constData(), static_cast<std::size_t>(start.size())));
    if (const auto &problem = reader.problem();
        problem && problem->what != ReadProblem::What::Truncated)
        return problem;
    return std::nullopt;
}

} // namespace bl::capture
