// The window's own texts, exactly as shown.
#pragma once

#include "shared/latin1.h"

#include <QString>

namespace bl::texts {

inline const QString kWindowCaption = QStringLiteral(" Bus-Lauscher");
inline const QString kStart = QStringLiteral("Start");
inline const QString kStop = QStringLiteral("Stop");
inline constexpr Latin1Lit kStartLine{" START: Monitor läuft!"};
inline constexpr Latin1Lit kStopLine{" STOP: Monitor angehalten!"};
inline const QString kClear = QStringLiteral("Monitor Löschen?");
inline const QString kCancel = QStringLiteral("Abbruch");
inline const QString kHexOutput = QStringLiteral("HEX Ausgabe");
inline const QString kAsciiHex = QStringLiteral("ASCII+HEX");
inline const QString kSendMsg = QStringLiteral("Sende Msg");
inline const QString kAddressLabel = QStringLiteral("Adr.:");
inline const QString kCategoryLabel = QStringLiteral("Kat:");
inline const QString kSetCategory = QStringLiteral("Zugkat. setzen");

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
inline const QString kTraceWriteFailed = QStringLiteral("Die Verlaufsdatei kann nicht "
                                                        "geschrieben werden: %1");

inline const QString kErrorNumber = QStringLiteral("Fehler Nr. ");
inline const QString kRaisedBy = QStringLiteral(" wurde ausgelöst von ");
inline const QString kDetails = QStringLiteral("Details: ");
inline const QString kErrorTitle = QStringLiteral("Bus-Lauscher FEHLER: ");

} // namespace bl::texts
