// The texts of trace recording, exactly as shown.
#pragma once

#include <QString>

namespace bl::texts::trace {

inline const QString kTraceStart = QStringLiteral("Verlauf speichern");
inline const QString kTraceStop = QStringLiteral("Speichern aus");
inline const QString kRecordingTo = QStringLiteral("Speichern: ");
inline const QString kSavedAt = QStringLiteral("Gespeichert unter: ");
inline const QString kTraceNotCreated =
    QStringLiteral("Die Verlaufsdatei kann nicht angelegt werden:\n%1\n\n%2");
inline const QString kTraceTitle = QStringLiteral("Verlauf speichern");
inline const QString kTraceVanished =
    QStringLiteral("Die Verlaufsdatei ist verschwunden (Ordner gelöscht?):\n%1\n\nDie Aufzeichnung "
                   "wurde beendet.");
inline const QString kTraceWriteFailed =
    QStringLiteral("Die Verlaufsdatei kann nicht geschrieben werden: %1");
inline const QString kBadFileNumber = QStringLiteral("Dateinummer falsch");
inline const QString kProgramSource = QStringLiteral("Bus-Lauscher");

} // namespace bl::texts::trace
