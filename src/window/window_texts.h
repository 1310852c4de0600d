// The window's own texts, exactly as shown.
#pragma once

#include "shared/latin1.h"

#include <QString>

namespace bl::texts::window {

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
inline const QString kYes = QStringLiteral("Ja");
inline const QString kNo = QStringLiteral("Nein");
inline const QString kUnreadableCapture = QStringLiteral("Datei nicht lesbar: %1 (%2)");

} // namespace bl::texts::window
