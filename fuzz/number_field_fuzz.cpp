// Any text in the address or category field: read as a finite number, and
// blanks, tabs and line feeds anywhere make no difference.
#include "shared/val.h"

#include <QString>

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const double value = bl::val(text);
    if (!std::isfinite(value))
        std::abort();
    QString spread;
    for (const QChar c : text)
        spread += QStringLiteral(" ") + c + QStringLiteral("\t");
    if (bl::val(spread) != value)
        std::abort();
    return 0;
}
