// The texts of the start-up dialogue and the port opening, exactly as shown.
#pragma once

#include <QString>

namespace bl::texts {

inline const QString kInterfaceTitle = QStringLiteral("INTERFACE?");
inline const QString kAskComPortInterface =
    QStringLiteral("IST EIN 58204 COMPORT-INTERFACE ANGESCHLOSSEN?");
inline const QString kAskUsb = QStringLiteral("WIRD EIN USB-ANSCHLUSS BENUTZT?");
inline const QString kPortTitle = QStringLiteral("MONITOR");
inline const QString kPortPrompt = QStringLiteral("Comport Nummer:");
inline const QString kPortDefault = QStringLiteral("3");
inline const QString kErrorTitle = QStringLiteral("Fehler");
inline const QString kWrongPortNumber = QStringLiteral("Comport Nummer falsch!");
inline const QString kBuslinkTitle = QStringLiteral("BUSLINK-UNIT");
inline const QString kOnlyCom1Or2 =
    QStringLiteral("Sie können das LocoNet-Interface nur mit Comport 1 oder Comport 2 benutzen!");
inline const QString kPortFailed =
    QStringLiteral("Der Anschluss %1 kann nicht benutzt werden:\n%2");
inline const QString kRateFailed =
    QStringLiteral("Die Übertragungsrate 16457 Bit/s lässt sich am Anschluss %1 nicht einstellen "
                   "(kein Portzugriff und vom Treiber abgelehnt).");

inline const QByteArray kBaudCommand = QByteArrayLiteral("xB19200\r");
inline const QByteArray kModeCommand = QByteArrayLiteral("x&LN$3C96\r");

} // namespace bl::texts
