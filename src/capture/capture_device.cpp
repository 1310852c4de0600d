#include "capture/capture_device.h"

#include <algorithm>
#include <cstring>

namespace bl::capture {

namespace {
constexpr qint64 kChunk = 64 * 1024;
}

CaptureDevice::CaptureDevice(std::unique_ptr<QIODevice> file)
    : file_(std::move(file)), reader_([this](const Packet &p) {
          packets_.push_back({QByteArray(p.bytes.data(), static_cast<qsizetype>(p.bytes.size())),
                              {p.time_us, p.outbound}});
      }) {
    // unbuffered: each read reaches readData, so current() is the packet
    // of the bytes just read
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 CaptureDevice::readData(char *data, qint64 most) {
    for (;;) {
        // an empty packet is passed over; a read spans no two packets
        while (!packets_.empty() && packets_.front().bytes.isEmpty())
            packets_.pop_front();
        if (!packets_.empty() || done_)
            break;
        const QByteArray in = file_->read(kChunk);
        if (in.isEmpty()) {
            reader_.finish();
            done_ = true;
            continue;
        }
        reader_.feed(std::string_view(in.constData(), static_cast<std::size_t>(in.size())));
        done_ = reader_.problem().has_value();
    }
    if (packets_.empty())
        return 0;
    Waiting &next = packets_.front();
    current_ = next.at;
    const qint64 n = std::min<qint64>(most, next.bytes.size());
    std::memcpy(data, next.bytes.constData(), static_cast<std::size_t>(n));
    next.bytes.remove(0, n);
    if (next.bytes.isEmpty())
        packets_.pop_front();
    return n;
}

QByteArray peek_start(QIODevice &file, qsizetype n) {
    QByteArray start;
    while (start.size() < n) {
        const QByteArray more = file.read(n - start.size());
        if (more.isEmpty())
            break;
        start += more;
    }
    for (qsizetype i = start.size(); i-- > 0;)
        file.ungetChar(start[i]);
    return start;
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
