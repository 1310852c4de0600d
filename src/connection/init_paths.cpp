#include "connection/init_paths.h"

#include <QDir>
#include <QStandardPaths>

namespace bl {

QString windows_doc_path(const std::optional<QString> &userprofile) {
    return userprofile.value_or(QString()) + QStringLiteral("\\Documents\\");
}

QString init_paths() {
#ifdef _WIN32
    return windows_doc_path(qEnvironmentVariableIsSet("USERPROFILE")
                                ? std::optional<QString>(qEnvironmentVariable("USERPROFILE"))
                                : std::nullopt);
#else
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath() + QStringLiteral("/Documents");
    return folder + QLatin1Char('/');
#endif
}

} // namespace bl
