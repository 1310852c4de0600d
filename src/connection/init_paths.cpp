#include "connection/init_paths.h"

#include "shared/file_names.h"

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
    // a home whose name is no UTF-8 is kept byte for byte (Qt would put
    // replacement characters in its place, and a new folder of that name
    // would be made)
    const QString home = home_folder();
    if (!home.isEmpty() && file_name_bytes(home) != home.toUtf8())
        return home + QStringLiteral("/Documents/");
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath() + QStringLiteral("/Documents");
    return folder + QLatin1Char('/');
#endif
}

} // namespace bl
