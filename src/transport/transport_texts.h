// Why a port cannot be used, in the words the boxes show.
#pragma once

#include <QString>

namespace bl::texts::transport {

inline const QString kPortMissing = QStringLiteral("Anschluss %1 ist nicht vorhanden");
inline const QString kNoPermission = QStringLiteral("Keine Berechtigung für %1");
inline const QString kInUse = QStringLiteral("Anschluss %1 wird schon benutzt");
inline const QString kCannotOpen = QStringLiteral("Anschluss %1 lässt sich nicht öffnen (%2)");
inline const QString kConnectionLost =
    QStringLiteral("Die Verbindung zu %1 ist abgebrochen (Gerät entfernt?)");

} // namespace bl::texts::transport
