#include "shared/file_names.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <QDir>
#else
#include <unistd.h>
#endif

namespace bl {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// The length of the valid UTF-8 sequence at p (end excluded), or 0.
std::size_t utf8_sequence(const unsigned char *p, const unsigned char *end) {
    const unsigned char c = p[0];
    std::size_t n = 0;
    char32_t least = 0;
    if (c < 0x80)
        return 1;
    if ((c & 0xE0) == 0xC0) {
        n = 2;
        least = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        n = 3;
        least = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        n = 4;
        least = 0x10000;
    } else {
        return 0;
    }
    if (static_cast<std::size_t>(end - p) < n)
        return 0;
    char32_t value = c & (0x7F >> n);
    for (std::size_t i = 1; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (p[i] & 0x3F);
    }
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    return value < least || value > 0x10FFFF || surrogate ? 0 : n;
}

} // namespace

QString argument_text(const char *argument) {
    const auto *p = reinterpret_cast<const unsigned char *>(argument);
    const unsigned char *end = p + std::char_traits<char>::length(argument);
    QString text;
    while (p < end) {
        if (const std::size_t n = utf8_sequence(p, end)) {
            text += QString::fromUtf8(reinterpret_cast<const char *>(p), static_cast<qsizetype>(n));
            p += n;
        } else {
            text += QChar(static_cast<char16_t>(kEscapeBase + *p++));
        }
    }
    return text;
}

QByteArray file_name_bytes(const QString &name) {
    QByteArray bytes;
    QString run;
    const auto flush = [&] {
        bytes += run.toUtf8();
        run.clear();
    };
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        // a lone one only: in a pair it is half of a real character
        const bool paired = i > 0 && name[i - 1].isHighSurrogate();
        if (!paired && c.unicode() >= kEscapeBase + 0x80 && c.unicode() <= kEscapeBase + 0xFF) {
            flush();
            bytes += static_cast<char>(c.unicode() - kEscapeBase);
        } else {
            run += c;
        }
    }
    flush();
    return bytes;
}

bool create_new(QFile &file, const QString &name) {
#ifdef _WIN32
    file.setFileName(name);
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        return true;
    errno = name_taken(name) ? EEXIST : EACCES;
    return false;
#else
    const int fd = ::open(file_name_bytes(name).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0)
        return false;
    if (!file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered,
                   QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        errno = EIO;
        return false;
    }
    return true;
#endif
}

bool name_taken(const QString &name) {
    struct stat info {};
#ifdef _WIN32
    return ::stat(file_name_bytes(name).constData(), &info) == 0;
#else
    return ::lstat(file_name_bytes(name).constData(), &info) == 0;
#endif
}

bool make_folders(const QString &name) {
#ifdef _WIN32
    return QDir().mkpath(name);
#endif
    const QByteArray path = file_name_bytes(name);
    for (qsizetype at = 1; at <= path.size(); ++at) {
        if (at < path.size() && path[at] != '/')
            continue;
        const QByteArray part = path.left(at);
        struct stat info {};
        if (::stat(part.constData(), &info) == 0)
            continue;
        if (::mkdir(part.constData(), 0755) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

QString home_folder() {
    const char *home = std::getenv("HOME");
    return home && *home ? argument_text(home) : QString();
}

std::FILE *open_for_reading(const QString &name) {
    const QByteArray bytes = file_name_bytes(name);
    struct stat info {};
    if (::stat(bytes.constData(), &info) == 0 && S_ISDIR(info.st_mode)) {
        errno = EISDIR;
        return nullptr;
    }
    return std::fopen(bytes.constData(), "rb");
}

} // namespace bl
