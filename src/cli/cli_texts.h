// The texts of the command line, the console monitor and the headless
// decoder, exactly as shown.
#pragma once

#include <QString>

namespace bl::texts::cli {

inline const QString kDescription =
    QStringLiteral("Bus-Lauscher: Diagnose-Monitor für den LocoNet-Bus.\n"
                   "Ohne Optionen öffnet sich das Monitorfenster und fragt nach Interface und "
                   "Anschluss.");
inline const QString kHelpOption = QStringLiteral("Diese Hilfe anzeigen.");
inline const QString kVersionOption = QStringLiteral("Die Version anzeigen.");
inline const QString kDecodeOption = QStringLiteral(
    "LocoNet-Bytes aus DATEI (oder der Standardeingabe) dekodieren und jede angezeigte Zeile "
    "ausgeben.");
inline const QString kHexOutputOption = QStringLiteral("Wie \"HEX Ausgabe\" angehakt.");
inline const QString kNoAsciiHexOption = QStringLiteral("Wie \"ASCII+HEX\" nicht angehakt.");
inline const QString kAreaOption =
    QStringLiteral("Mit --decode: statt der Zeilen den Text des Monitorbereichs am Ende ausgeben.");
inline const QString kReplayOption =
    QStringLiteral("Das Fenster zeigt die LocoNet-Bytes aus DATEI, ohne Anschluss.");
inline const QString kExitAfterReplayOption =
    QStringLiteral("Mit --replay: das Programm endet, sobald die Datei gezeigt ist.");
inline const QString kConsoleOption =
    QStringLiteral("Ohne Fenster: jede Zeile mit Zeitstempel auf die Standardausgabe; "
                   "eingegebene Hex-Zeilen werden gesendet.");
inline const QString kInterfaceOption = QStringLiteral(
    "Die Interface-Frage beantworten: com (58204 COM-Port-Interface), usb oder serial.");
inline const QString kPortOption = QStringLiteral(
    "Die Anschluss-Frage beantworten: eine COM-Nummer oder ein Gerätepfad wie /dev/ttyACM0.");
inline const QString kDemoOption =
    QStringLiteral("Auf dem eingebauten simulierten LocoNet-Bus, ohne Hardware und ohne Fragen.");
inline const QString kRateOption =
    QStringLiteral("Mit --demo: Nachrichten je Sekunde (Vorgabe 4).");
inline const QString kRecordOption = QStringLiteral(
    "Den Verlauf von Anfang an speichern, wie nach einem Klick auf \"Verlauf speichern\".");
inline const QString kFirstPaintOption = QStringLiteral(
    "Das Programm endet, sobald das Fenster gezeichnet ist (zum Messen der Startzeit).");
inline const QString kFileArgument = QStringLiteral("Rohe LocoNet-Bytes (mit --decode).");

inline const QString kOneFileOnly = QStringLiteral("Nur eine DATEI kann dekodiert werden.");
inline const QString kUnexpectedArgument = QStringLiteral("Unerwartetes Argument: %1");
inline const QString kAreaNeedsDecode = QStringLiteral("--area gehört zu --decode.");
inline const QString kUnknownInterface =
    QStringLiteral("--interface kennt nur com, usb und serial, nicht \"%1\".");
inline const QString kBadRate =
    QStringLiteral("--rate braucht eine Zahl ab 0 und gehört zu --demo.");
inline const QString kDemoOrReplay = QStringLiteral("--demo und --replay schließen sich aus.");
inline const QString kReplayNeedsWindow =
    QStringLiteral("--replay gehört zum Fenster, nicht zu --console.");
inline const QString kExitNeedsReplay = QStringLiteral("--exit-after-replay gehört zu --replay.");

inline const QString kUnreadableFile = QStringLiteral("Datei nicht lesbar: %1 (%2)");
inline const QString kUnreadableInput = QStringLiteral("Eingabe nicht lesbar");
inline const QString kInputEnded = QStringLiteral("keine Eingabe mehr, Programmende");
inline const QString kYesNo = QStringLiteral("(j/n) ");

} // namespace bl::texts::cli
