// The texts of the sending side, exactly as shown.
#pragma once

#include "shared/latin1.h"

#include <QString>

namespace bl::texts::sending {

inline constexpr Latin1Lit kSetCategoryLine{" -- Setze Zugkategorie --"};
inline constexpr Latin1Lit kNoAnswerLine{" -- Keine Antwort der Zentrale --"};
inline const QString kSendTitle = QStringLiteral("Sende Msg");
inline const QString kPortClosed =
    QStringLiteral("Der Anschluss ist nicht geöffnet: die Nachricht wurde nicht gesendet.");
inline const QString kSendFailed =
    QStringLiteral("Die Nachricht konnte nicht gesendet werden:\n%1");
inline const QString kTokenTooLarge = QStringLiteral(
    "\"%1\" ist kein Byte: jeder Wert muss zwischen 00 und FF liegen. Nichts wurde gesendet.");
inline const QString kTooManyTokens = QStringLiteral(
    "Die Nachricht hat %1 Bytes; höchstens 65 passen in den Sendepuffer. Nichts wurde gesendet.");

} // namespace bl::texts::sending
