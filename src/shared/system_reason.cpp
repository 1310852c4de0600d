#include "shared/system_reason.h"

#include "shared/texts.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <utility>

namespace bl {

namespace {

namespace tx = texts::system;

const std::array<std::pair<int, const QString *>, 17> kReasons{{
    {ENOENT, &tx::kMissing},
    {ENOTDIR, &tx::kMissing},
    {EACCES, &tx::kNoPermission},
    {EPERM, &tx::kNoPermission},
    {EBUSY, &tx::kInUse},
    {EROFS, &tx::kReadOnly},
    {ENOSPC, &tx::kDiskFull},
#ifdef EDQUOT
    {EDQUOT, &tx::kDiskFull},
#else
    {ENOSPC, &tx::kDiskFull},
#endif
    {ENOTTY, &tx::kNotSerial},
    {ENXIO, &tx::kDeviceGone},
    {ENODEV, &tx::kDeviceGone},
    {EIO, &tx::kIoError},
    {EISDIR, &tx::kIsFolder},
    {EFBIG, &tx::kTooBig},
    {EBADF, &tx::kClosed},
    {EPIPE, &tx::kNobodyReads},
    {EAGAIN, &tx::kBusyLine},
}};

QString system_words(int errnum) { return QString::fromLocal8Bit(std::strerror(errnum)); }

} // namespace

QString german_reason(int errnum) {
    for (const auto &[code, reason] : kReasons)
        if (code == errnum)
            return *reason;
    return system_words(errnum);
}

QString german_reason(const QString &system_text) {
    for (const auto &[code, reason] : kReasons)
        if (system_text.compare(system_words(code), Qt::CaseInsensitive) == 0)
            return *reason;
    return system_text;
}

} // namespace bl
