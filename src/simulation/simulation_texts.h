// The simulator's own texts.
#pragma once

#include <QString>

namespace bl::texts::simulation {

inline const QString kDemoStatus =
    QStringLiteral("Simulierter LocoNet-Bus (Demo) – keine Hardware angeschlossen");
inline const QString kDescription = QStringLiteral(
    "Simulierter LocoNet-Bus mit Zentrale auf einem Pseudo-Terminal (wie ein USB-Interface).");
inline const QString kPtyOption =
    QStringLiteral("Ein Pseudo-Terminal bedienen; sein Gerätepfad wird ausgegeben.");
inline const QString kRateOption = QStringLiteral("Nachrichten je Sekunde (Vorgabe 4).");
inline const QString kPtyMissing = QStringLiteral("--pty fehlt");
inline const QString kBadRate = QStringLiteral("--rate braucht eine Zahl ab 0");
inline const QString kNoPty = QStringLiteral("kein Pseudo-Terminal verfügbar");

} // namespace bl::texts::simulation
