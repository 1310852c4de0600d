// The texts of the serial control, the start-up dialogue and the port
// opening, exactly as shown.
#pragma once

#include <QByteArray>
#include <QString>

namespace bl::texts::connection {

inline const QString kInterfaceTitle = QStringLiteral("INTERFACE?");
inline const QString kAskComPortInterface =
    QStringLiteral("IST EIN 58204 COMPORT-INTERFACE ANGESCHLOSSEN?");
inline const QString kAskUsb = QStringLiteral("WIRD EIN USB-ANSCHLUSS BENUTZT?");
inline const QString kPortTitle = QStringLiteral("MONITOR");
inline const QString kPortPrompt = QStringLiteral("Comport Nummer:");
inline const QString kPortDefault = QStringLiteral("3");
inline const QString kWrongPortTitle = QStringLiteral("Fehler");
inline const QString kWrongPortNumber = QStringLiteral("Comport Nummer falsch!");
inline const QString kBuslinkTitle = QStringLiteral("BUSLINK-UNIT");
inline const QString kOnlyCom1Or2 =
    QStringLiteral("Sie können das LocoNet-Interface nur mit Comport 1 oder Comport 2 benutzen!");
inline const QString kPortFailed =
    QStringLiteral("Der Anschluss %1 kann nicht benutzt werden:\n%2");
inline const QString kRateFailed =
    QStringLiteral("Die Übertragungsrate 16457 Bit/s lässt sich am Anschluss %1 nicht einstellen "
                   "(kein Portzugriff und vom Treiber abgelehnt).");

// the serial control's own errors
inline const QString kInvalidPortNumber = QStringLiteral("Ungültige Portnummer");
inline const QString kNotWhileOpen = QStringLiteral("Bei geöffnetem Anschluss nicht möglich");
inline const QString kInvalidProperty = QStringLiteral("Ungültiger Eigenschaftswert: %1");
inline const QString kAlreadyOpen = QStringLiteral("Anschluss ist bereits geöffnet");
inline const QString kNotOpen = QStringLiteral("Anschluss nicht geöffnet");
inline const QString kOverflow = QStringLiteral("Überlauf");
inline const QString kProgramSource = QStringLiteral("Bus-Lauscher");

// the error report of the polling path
inline const QString kErrorNumber = QStringLiteral("Fehler Nr. ");
inline const QString kRaisedBy = QStringLiteral(" wurde ausgelöst von ");
inline const QString kDetails = QStringLiteral("Details: ");
inline const QString kErrorReportTitle = QStringLiteral("Bus-Lauscher FEHLER: ");

// the text commands of the other serial interface
inline const QByteArray kBaudCommand = QByteArrayLiteral("xB19200\r");
inline const QByteArray kModeCommand = QByteArrayLiteral("x&LN$3C96\r");

} // namespace bl::texts::connection
