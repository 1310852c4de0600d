// Every text the user reads, exactly as shown, one namespace per subsystem.
// Kept together so that they are read, checked and one day translated in one
// place; a name defined twice is a compile error here, never a silent merge.
// Monitor lines are Latin-1 literals (see latin1.h), box texts QStrings.
#pragma once

#include "loconet/latin1.h"

#include <QByteArray>
#include <QString>

// Why the operating system refused.
namespace bl::texts::system {

inline const QString kMissing = QStringLiteral("nicht vorhanden");
inline const QString kNoPermission = QStringLiteral("keine Berechtigung");
inline const QString kInUse = QStringLiteral("wird schon benutzt");
inline const QString kReadOnly = QStringLiteral("der Datenträger ist schreibgeschützt");
inline const QString kDiskFull = QStringLiteral("der Datenträger ist voll");
inline const QString kNotSerial = QStringLiteral("kein serielles Gerät");
inline const QString kDeviceGone = QStringLiteral("das Gerät ist nicht mehr da");
inline const QString kIoError = QStringLiteral("Ein-/Ausgabefehler");
inline const QString kIsFolder = QStringLiteral("ist ein Ordner");
inline const QString kTooBig = QStringLiteral("die Datei darf nicht größer werden");
inline const QString kClosed = QStringLiteral("sie ist geschlossen");
inline const QString kNobodyReads = QStringLiteral("niemand liest sie mehr");
inline const QString kBusyLine = QStringLiteral("die Leitung nimmt gerade nichts an");

} // namespace bl::texts::system

// The LocoNet over TCP server.
namespace bl::texts::server {

inline const QString kListening = QStringLiteral("LocoNet über TCP auf %1:%2");
inline const QString kConnected = QStringLiteral("Client %1 verbunden (%2 Clients)");
inline const QString kDisconnected = QStringLiteral("Client %1 getrennt (%2 Clients)");
inline const QString kDropped = QStringLiteral("Client %1 getrennt: %2");
inline const QString kTooMany = QStringLiteral("Client %1 abgewiesen: zu viele Verbindungen");
inline const QString kReadsNothing = QStringLiteral("er liest nichts mehr");
inline const QString kCannotListen = QStringLiteral("Auf %1 kann nicht gelauscht werden: %2");
inline const QString kBadServeAddress =
    QStringLiteral("--serve braucht [ADRESSE:]PORT, nicht \"%1\".");

} // namespace bl::texts::server

// The message renderings.
namespace bl::texts::reception {

inline constexpr Latin1Lit kChecksumWrong{" !! Prüfsumme falsch: "};

// the bus's health
// short enough to stand whole in the smallest window
inline const QString kSummary =
    QStringLiteral("%1 Meldungen · %2/s · Last %3 % (max %4 %) · Prüfsumme falsch %5 · "
                   "verworfen %6 · ohne Echo %7");
inline const QString kBadChecksum = QStringLiteral("Prüfsummenfehler");
inline const QString kBadDiscarded = QStringLiteral("Verworfen");
inline const QString kBadNoEcho = QStringLiteral("Kein Echo");
inline const QString kBadMessage = QStringLiteral("%1 um %2: %3");
inline const QString kReportMessages = QStringLiteral("Meldungen: %1");
inline const QString kReportChecksumErrors = QStringLiteral("Prüfsummenfehler: %1");
inline const QString kReportDiscarded = QStringLiteral("Verworfene Bytes: %1");
inline const QString kReportOpcode = QStringLiteral("Opcode %1%2: %3");

} // namespace bl::texts::reception

// Why a port cannot be used.
namespace bl::texts::transport {

inline const QString kPortMissing = QStringLiteral("Anschluss %1 ist nicht vorhanden");
inline const QString kNoPermission = QStringLiteral("Keine Berechtigung für %1");
inline const QString kInUse = QStringLiteral("Anschluss %1 wird schon benutzt");
inline const QString kCannotOpen = QStringLiteral("Anschluss %1 lässt sich nicht öffnen (%2)");
inline const QString kConnectionLost =
    QStringLiteral("Die Verbindung zu %1 ist abgebrochen (Gerät entfernt?)");
inline const QString kRefused = QStringLiteral("abgelehnt");
inline const QString kUnknownHost = QStringLiteral("Rechner unbekannt");
inline const QString kNoAnswer = QStringLiteral("keine Antwort");
inline const QString kNoNetwork = QStringLiteral("Netz nicht erreichbar");
inline const QString kPeerClosed = QStringLiteral("die Gegenstelle hat die Verbindung beendet");
inline const QString kAddressInUse = QStringLiteral("die Adresse wird schon benutzt");
inline const QString kAddressNotHere = QStringLiteral("diese Adresse hat der Rechner nicht");
inline const QString kNoResources = QStringLiteral("zu wenige Mittel des Systems");
inline const QString kBadAddress = QStringLiteral(
    "%1 ist keine gültige Netzadresse (lbserver://RECHNER[:PORT] oder tcp://RECHNER:PORT)");
inline const QString kCannotConnect = QStringLiteral("Verbindung zu %1, Port %2 nicht möglich: %3");
inline const QString kConnectingTo = QStringLiteral("Verbinde mit %1 …");
inline const QString kConnectedTo = QStringLiteral("Verbunden mit %1");
inline const QString kNetworkLost = QStringLiteral("Die Verbindung zu %1 ist abgebrochen");
inline const QString kNetworkLostSaying =
    QStringLiteral("Die Verbindung zu %1 ist abgebrochen: %2");
inline const QString kConnectedToVersion = QStringLiteral("Verbunden mit %1 (%2)");
inline const QString kPeerTakesNothing = QStringLiteral("%1 nimmt keine Daten mehr an");
inline const QString kNoSentAnswer = QStringLiteral("keine Antwort innerhalb von 5 s");
inline const QString kPeerRefused =
    QStringLiteral("Die Gegenstelle hat die Nachricht %1 nicht auf den Bus gelegt: %2");
inline const QString kNoReason = QStringLiteral("ohne Angabe eines Grundes");
inline const QString kLineStuck = QStringLiteral(
    "Die Leitung zu %1 nimmt seit %2 s nichts an; die Nachricht wurde nicht gesendet.");

} // namespace bl::texts::transport

// The serial control, the start-up dialogue and the port opening.
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

// a connection lost and found again
inline const QString kConnectionLostNote =
    QStringLiteral("Verbindung zu %1 verloren – warte, bis das Gerät wieder da ist …");
inline const QString kReconnectingNote =
    QStringLiteral("Verbindung zu %1 verloren – verbinde neu …");
inline const QString kConnectionBackNote = QStringLiteral("Verbindung zu %1 wieder da");
inline const QString kNetworkLostNote =
    QStringLiteral("Verbindung zu %1 unterbrochen – verbinde neu …");

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

// the interface kinds, as a recording describes its interface
inline const QString kUsbInterfaceKind = QStringLiteral("LocoNet-USB-Interface, 115200 bit/s");
inline const QString kComInterfaceKind = QStringLiteral("LocoNet-COM-Port-Interface, 16457 bit/s");
inline const QString kSerialInterfaceKind =
    QStringLiteral("serielles Interface im LocoNet-Modus, 19200 bit/s");

} // namespace bl::texts::connection

// The sending side.
namespace bl::texts::sending {

inline constexpr Latin1Lit kSetCategoryLine{" -- Setze Zugkategorie --"};
inline constexpr Latin1Lit kNoAnswerLine{" -- Keine Antwort der Zentrale --"};
// the send rows' buttons, and the title of every box about sending
inline const QString kSendMsg = QStringLiteral("Sende Msg");
inline const QString kPortClosed =
    QStringLiteral("Der Anschluss ist nicht geöffnet: die Nachricht wurde nicht gesendet.");
inline const QString kSendFailed =
    QStringLiteral("Die Nachricht konnte nicht gesendet werden:\n%1");
inline const QString kTokenTooLarge = QStringLiteral(
    "\"%1\" ist kein Byte: jeder Wert muss zwischen 00 und FF liegen. Nichts wurde gesendet.");
inline const QString kQueuedSendTimedOut =
    QStringLiteral("Eine wartende Nachricht wurde nicht gesendet: die Sendefreigabe (CTS) kam "
                   "nicht innerhalb von 5 Sekunden.");
inline const QString kNotANumber = QStringLiteral(
    "\"%1\" ist keine Hexadezimalzahl (00 bis FF, auch mit nachgestelltem h wie 10h). "
    "Nichts wurde gesendet.");
inline const QString kEmptyRow =
    QStringLiteral("Die Zeile enthält keine Bytes: nichts wurde gesendet.");
inline const QString kBadAddress = QStringLiteral(
    "\"%1\" ist keine Lokadresse für die Zugkategorie: erlaubt sind 1 bis 127. Nichts wurde "
    "gesendet.");
inline const QString kBadCategory =
    QStringLiteral("\"%1\" ist keine Zugkategorie: erlaubt sind 0 bis 15. Nichts wurde gesendet.");
inline const QString kCategoryNotWritten =
    QStringLiteral("Die Zugkategorie wurde nicht geschrieben: die Sendefreigabe (CTS) kam nicht "
                   "innerhalb von 5 Sekunden.");
inline const QString kTooManyTokens = QStringLiteral(
    "Die Nachricht hat %1 Bytes; höchstens 65 passen in den Sendepuffer. Nichts wurde gesendet.");

} // namespace bl::texts::sending

// Trace recording.
namespace bl::texts::trace {

inline const QString kTraceStart = QStringLiteral("Verlauf speichern");
inline const QString kTraceStop = QStringLiteral("Speichern aus");
inline const QString kRecordingTo = QStringLiteral("Speichern: ");
inline const QString kSavedAt = QStringLiteral("Gespeichert unter: ");
inline const QString kTraceNotCreated =
    QStringLiteral("Die Verlaufsdatei kann nicht angelegt werden:\n%1\n\n%2");
inline const QString kTraceVanished =
    QStringLiteral("Die Verlaufsdatei ist verschwunden (Ordner gelöscht?):\n%1\n\nDie Aufzeichnung "
                   "wurde beendet.");
inline const QString kTraceWriteFailed = QStringLiteral(
    "Die Verlaufsdatei kann nicht geschrieben werden: %1\n%2\n\nDie Aufzeichnung wurde beendet.");
inline const QString kBadFileNumber = QStringLiteral("Dateinummer falsch");
inline const QString kExists = QStringLiteral("eine Datei dieses Namens gibt es schon");

} // namespace bl::texts::trace

// The window.
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
inline const QString kDetail = QStringLiteral("Ausführlich");
inline const QString kHistory = QStringLiteral("Verlauf…");
inline const QString kHistoryTip =
    QStringLiteral("Das Fenster \"Bus-Lauscher – Verlauf\": alle Meldungen seit dem Start, mit "
                   "Filter, Suche und Feldansicht (Strg+H).");
inline const QString kStopTip = QStringLiteral(
    "Hält nur die Anzeige im Monitorbereich an (oder lässt sie weiterlaufen). Der Verlauf "
    "(Schaltfläche \"Verlauf…\") und eine laufende Aufzeichnung nehmen weiter jede Meldung auf.");
inline const QString kAddressLabel = QStringLiteral("Adr.:");
inline const QString kCategoryLabel = QStringLiteral("Kat:");
inline const QString kSetCategory = QStringLiteral("Zugkat. setzen");
inline const QString kCopy = QStringLiteral("&Kopieren");
inline const QString kSelectAll = QStringLiteral("Alles &auswählen");
inline const QString kYes = QStringLiteral("Ja");
inline const QString kNo = QStringLiteral("Nein");
inline const QString kNoDisplay = QStringLiteral(
    "Keine Anzeige gefunden: das Monitorfenster kann nicht geöffnet werden. Ohne Fenster "
    "läuft der Konsolenmonitor: bus-lauscher --console (mit --demo auf dem simulierten Bus).");

} // namespace bl::texts::window

// pcapng recordings and captures read.
namespace bl::texts::capture {

// %1: path, %2: reason
inline const QString kNotCreated =
    QStringLiteral("Der Mitschnitt %1 kann nicht angelegt werden: %2");
inline const QString kWriteFailed = QStringLiteral(
    "Der Mitschnitt %1 endet hier: %2. Er enthält jede Meldung bis dahin und lässt sich öffnen.");
inline const QString kDecodedFile = QStringLiteral("LocoNet-Bytes aus einer Datei");
inline const QString kReplayed = QStringLiteral("Wiedergabe eines Mitschnitts");
inline const QString kSimulated = QStringLiteral("simulierter LocoNet-Bus");
// %1: the link type
inline const QString kOtherLinkType = QStringLiteral(
    "Der Mitschnitt enthält Pakete der Verbindungsart %1, nicht LocoNet (147): er kann nicht "
    "gezeigt werden.");
// %1: how many packets
inline const QString kPassedOver = QStringLiteral(
    "%1 Pakete anderer Schnittstellen (nicht LocoNet) im Mitschnitt sind übergangen.");
inline const QString kTruncated = QStringLiteral(
    "Der Mitschnitt endet mitten in einem Paket (abgeschnitten); jedes ganze Paket davor ist "
    "gezeigt.");
inline const QString kMalformed = QStringLiteral(
    "Die Datei ist kein lesbarer pcap- oder pcapng-Mitschnitt; gezeigt ist, was davor lesbar war.");
inline const QString kButton = QStringLiteral("pcap");
inline const QString kTitle = QStringLiteral("Mitschnitt für Wireshark");
inline const QString kButtonTip = QStringLiteral(
    "Einen Mitschnitt für Wireshark (pcapng) beginnen oder beenden: jede Meldung mit ihrer Zeit, "
    "Richtung und Klartextzeile, neben den Verlaufsdateien im Dokumente-Ordner.");
inline const QString kRecordingTo = QStringLiteral("Mitschnitt für Wireshark: %1");
inline const QString kSavedAt = QStringLiteral("Mitschnitt gespeichert: %1");
inline const QString kPcapOption = QStringLiteral(
    "Jede Meldung zusätzlich als pcapng-Mitschnitt für Wireshark in DATEI schreiben (Zeit, "
    "Richtung, Prüfsummenfehler, Klartextzeile als Kommentar); DATEI darf noch nicht "
    "existieren.");

} // namespace bl::texts::capture

// bus-lauscher-extcap, as Wireshark shows it.
namespace bl::texts::extcap {

inline const QString kHelpUrl = QStringLiteral("file://" BUSLAUSCHER_README);
inline const QString kDemoDisplay = QStringLiteral("LocoNet: simulierter Bus (Bus-Lauscher)");
inline const QString kSerialDisplay = QStringLiteral("LocoNet: %1 (Bus-Lauscher)");
inline const QString kTcpDisplay = QStringLiteral("LocoNet über TCP (Bus-Lauscher)");
inline const QString kTcpDescription = QStringLiteral("LocoNet über TCP");
inline const QString kDeviceDisplay =
    QStringLiteral("LocoNet: Gerät nach Pfad, etwa ein Pseudo-Terminal (Bus-Lauscher)");
inline const QString kDevice = QStringLiteral("Gerät");
inline const QString kDeviceTip =
    QStringLiteral("Der Pfad des Geräts: ein serielles Interface, ein Pseudo-Terminal von "
                   "bus-lauscher-sim --pty oder eine socat-Verbindung.");
inline const QString kNoDevice = QStringLiteral("Kein Gerät angegeben: --device PFAD.");
inline const QString kDetailed = QStringLiteral("Ausführlich");
inline const QString kDetailedTip = QStringLiteral(
    "Jede Meldung mit ihrer ausführlichen Zeile als Paketkommentar statt der kurzen.");
inline const QString kRate = QStringLiteral("Meldungen je Sekunde");
inline const QString kRateTip =
    QStringLiteral("Wie viele Meldungen der simulierte Bus je Sekunde bringt.");
inline const QString kHost = QStringLiteral("Rechner");
inline const QString kHostTip =
    QStringLiteral("Der Rechner, der den Bus teilt (ein LbServer oder ser2net).");
inline const QString kProtocol = QStringLiteral("Protokoll");
inline const QString kLbServer = QStringLiteral("LocoNet over TCP (LbServer)");
inline const QString kRawTcp = QStringLiteral("rohe LocoNet-Bytes (ser2net)");
inline const QString kKind = QStringLiteral("Interface-Art");
// %1: the interface
inline const QString kUnknownInterface =
    QStringLiteral("Unbekannte Schnittstelle %1 (ist das Interface noch angeschlossen?)");
inline const QString kUnknownKind =
    QStringLiteral("Unbekannte Interface-Art %1: usb, com oder serial.");
// %1: the value given
inline const QString kBadRate =
    QStringLiteral("--rate %1 ist keine Zahl von Meldungen je Sekunde zwischen 1 und 400.");
inline const QString kBadPort = QStringLiteral("--port %1 ist kein TCP-Port (1 bis 65535).");
inline const QString kBadProtocol = QStringLiteral("--protocol %1: lbserver oder tcp.");
// %1: the path
inline const QString kNotAFifo = QStringLiteral(
    "%1 ist keine FIFO, sondern eine vorhandene Datei: sie wird nicht überschrieben.");
// %1: the port's box text (port and reason)
inline const QString kCannotCapture = QStringLiteral("Kein Mitschnitt: %1");
inline const QString kUsage = QStringLiteral(
    "Wireshark ruft dieses Programm auf (extcap): --extcap-interfaces, --extcap-dlts, "
    "--extcap-config oder --capture mit --extcap-interface und --fifo.");
inline const QString kValue = QStringLiteral("WERT");
inline const QString kOptInterfaces = QStringLiteral("Die LocoNet-Quellen auflisten.");
inline const QString kOptDlts = QStringLiteral("Den Link-Typ der Quelle nennen (147).");
inline const QString kOptConfig = QStringLiteral("Die Einstellungen der Quelle beschreiben.");
inline const QString kOptCapture =
    QStringLiteral("Mitschneiden, bis Wireshark aufhört (nie wird gesendet).");
inline const QString kOptInterface =
    QStringLiteral("Die Quelle, wie --extcap-interfaces sie nennt.");
inline const QString kOptFifo = QStringLiteral("Wohin der pcapng-Mitschnitt geht.");
inline const QString kOptWireshark = QStringLiteral("Von Wireshark übergeben; ohne Wirkung.");
inline const QString kOptKind = QStringLiteral("Die Interface-Art: usb, com oder serial.");
inline const QString kOptPort = QStringLiteral("Der TCP-Port des Rechners (Vorgabe 1234).");
inline const QString kOptProtocol = QStringLiteral("lbserver (Vorgabe) oder tcp.");
inline const QString kOptDevice = QStringLiteral("Der Pfad des Geräts (bus-lauscher-device).");

} // namespace bl::texts::extcap

// The Anlage window.
namespace bl::texts::layout {

inline const QString kTitle = QStringLiteral("Bus-Lauscher – Anlage");
inline const QString kButton = QStringLiteral("Anlage…");
inline const QString kButtonTip = QStringLiteral(
    "Der Stand der Anlage: Gleisspannung, Modelluhr, Slots, Loks, Weichen, Rückmelder, "
    "Transponder und Abschnitte, live oder so, wie er bei einer Zeile des Verlaufs war.");
inline const QString kLive = QStringLiteral("Live");
inline const QString kLiveTip = QStringLiteral("Wieder den Stand jetzt zeigen, der dem Bus folgt.");
inline const QString kLiveNow = QStringLiteral("Stand: live");
// %1: message number, %2: its time
inline const QString kMoment = QStringLiteral("Stand: Nr. %1, %2");
inline const QString kFilterLabel = QStringLiteral("Filter:");
inline const QString kFilterPlaceholder =
    QStringLiteral("z. B. lok=57, weiche=10-20, rm=5, belegt");
inline const QString kFilterTip = QStringLiteral(
    "Nur passende Zeilen zeigen: lok, slot, weiche, rm wie im Verlauf, ein Wort sucht in der "
    "Zeile.");
inline const QString kDoubleClickTip =
    QStringLiteral("Doppelklick: die Meldungen dieser Zeile im Verlauf zeigen.");

} // namespace bl::texts::layout

// The long recordings in the window: the ring of files and the triggers.
namespace bl::texts::long_recording {

inline const QString kTitle = QStringLiteral("Bus-Lauscher – Langzeitaufzeichnung");
inline const QString kButton = QStringLiteral("Langzeit…");
inline const QString kButtonTip = QStringLiteral(
    "Ringaufzeichnung (die letzten Dateien bleiben, die ältesten gehen) und Auslöser (die "
    "Sekunden um jedes Ereignis in eine Datei), für Wireshark.");
inline const QString kRingGroup = QStringLiteral("Ringaufzeichnung");
inline const QString kRingFolder = QStringLiteral("Ordner (leer: keine):");
inline const QString kRingSize = QStringLiteral("Höchstens je Datei (KB):");
inline const QString kRingFiles = QStringLiteral("Höchstens Dateien:");
inline const QString kTriggerGroup = QStringLiteral("Auslöser");
inline const QString kTrigger = QStringLiteral("Ausdruck (leer: keiner):");
inline const QString kTriggerPlaceholder = QStringLiteral("z. B. befund=kurzschluss oder rm=5");
inline const QString kBefore = QStringLiteral("Sekunden davor:");
inline const QString kAfter = QStringLiteral("Sekunden danach:");
inline const QString kTriggerFolder = QStringLiteral("Ordner (leer: Dokumente):");
inline const QString kChoose = QStringLiteral("Wählen…");
inline const QString kChooseTitle = QStringLiteral("Ordner wählen");
inline const QString kApply = QStringLiteral("Übernehmen");
inline const QString kClose = QStringLiteral("Schließen");
inline const QString kSaved = QStringLiteral("Gespeicherte Ereignisse:");
inline const QString kSavedTip = QStringLiteral("Doppelklick: die Datei öffnen (Wireshark).");
inline const QString kNothingRunning = QStringLiteral("Keine Langzeitaufzeichnung läuft.");
// %1: the folder
inline const QString kRingRunning = QStringLiteral("Ring: %1");
// %1: the expression, %2: the folder
inline const QString kTriggerRunning = QStringLiteral("Auslöser: %1, Dateien in %2");
// %1: the parser's reason
inline const QString kBadTrigger = QStringLiteral("Der Ausdruck des Auslösers geht nicht: %1");
// %1: how many
inline const QString kEventsSaved = QStringLiteral("Gespeicherte Ereignisse: %1");

} // namespace bl::texts::long_recording

// The findings: their list, their counts in the status bar.
namespace bl::texts::findings_list {

inline const QString kTitle = QStringLiteral("Bus-Lauscher – Befunde");
inline const QString kStatusTip =
    QStringLiteral("Befunde auf dem Bus – ein Klick öffnet die Liste.");
inline const QString kOneError = QStringLiteral("1 Fehler");
inline const QString kErrors = QStringLiteral("%1 Fehler");
inline const QString kOneWarning = QStringLiteral("1 Warnung");
inline const QString kWarnings = QStringLiteral("%1 Warnungen");
inline const QString kOneNote = QStringLiteral("1 Hinweis");
inline const QString kNotes = QStringLiteral("%1 Hinweise");
inline const QString kNone = QStringLiteral("Keine Befunde.");
// %1: how many were dropped
inline const QString kDropped =
    QStringLiteral("Die ältesten %1 Befunde sind nicht mehr in der Liste (sie hält 10.000).");
inline const QString kTime = QStringLiteral("Zeit");
inline const QString kSeverity = QStringLiteral("Schwere");
inline const QString kKind = QStringLiteral("Art");
inline const QString kNr = QStringLiteral("Nr.");
inline const QString kText = QStringLiteral("Befund");
inline const QString kChooseTip = QStringLiteral(
    "Einen Befund wählen: seine Meldung im Verlauf und den Stand der Anlage in diesem Moment "
    "zeigen.");

} // namespace bl::texts::findings_list

// The history window.
namespace bl::texts::history {

inline const QString kTitle = QStringLiteral("Bus-Lauscher – Verlauf");
inline const QString kFilterLabel = QStringLiteral("Filter:");
inline const QString kFilterPlaceholder =
    QStringLiteral("z. B. rm=5 oder weiche=11, lok=57 und nicht opcode=A0, fehler, \"Slot 5\"");
inline const QString kFilterTip = QStringLiteral(
    "Nur passende Meldungen zeigen. Felder: lok, slot, weiche, rm (Zahlen, Listen 1,3, "
    "Bereiche 3-7), opcode (hexadezimal, z. B. B2 oder 80-8F); fehler, gesendet; ein Wort oder "
    "\"Text in Anführungszeichen\" sucht in der Klartextzeile; und, oder, nicht, Klammern.");
inline const QString kHighlightLabel = QStringLiteral("Hervorheben:");
inline const QString kHighlightPlaceholder = QStringLiteral("gleiche Sprache, z. B. lok=3");
inline const QString kHighlightTip =
    QStringLiteral("Passende Zeilen gelb und mit * vor der Nummer (Sprache wie im Filter).");
// %1: place (1-based), %2: hint
inline const QString kHint = QStringLiteral("Zeichen %1: %2");
inline const QString kTimeAbsolute = QStringLiteral("Zeit: Uhrzeit");
inline const QString kTimeFromFirst = QStringLiteral("Zeit: seit erster Zeile");
inline const QString kTimeFromSelected = QStringLiteral("Zeit: seit gewählter Zeile");
inline const QString kTimeGap = QStringLiteral("Zeit: Abstand zur vorigen");
inline const QString kPause = QStringLiteral("Anhalten");
inline const QString kResume = QStringLiteral("Weiter");
inline const QString kPauseTip = QStringLiteral(
    "Die Ansicht steht still, der Verlauf nimmt weiter auf; \"Weiter\" springt zur neuesten.");
inline const QString kNextError = QStringLiteral("Nächster Fehler");
inline const QString kExport = QStringLiteral("Exportieren…");
inline const QString kClear = QStringLiteral("Verlauf leeren");
inline const QString kClearTip = QStringLiteral(
    "Alle bisher aufgenommenen Meldungen vergessen (der Monitorbereich bleibt, wie er ist).");
inline const QString kSearchPlaceholder =
    QStringLiteral("Suchen (Eingabe oder F3: weiter, Umschalt+F3: zurück, Esc: schließen)");
inline const QString kFieldPlaceholder = QStringLiteral(
    "Eine Zeile wählen: ihre Bytes, Felder und die zugehörige Anfrage oder Antwort.");
// %1: shown rows, %2: kept messages
inline const QString kCount = QStringLiteral("%1 von %2 Meldungen");
inline const QString kPausedNote = QStringLiteral(" (angehalten)");
inline const QString kNotFound = QStringLiteral("\"%1\" nicht gefunden");
inline const QString kNoMoreErrors = QStringLiteral("Kein weiterer Fehler");
// %1: rows
inline const QString kRowsGone = QStringLiteral(
    "%1 ältere Zeilen sind aus dem Verlauf gefallen (er hält die neuesten Meldungen).");
// %1: per cent of the kept messages looked at
inline const QString kFiltering = QStringLiteral("Filtere … %1 %");
inline const QString kLegend = QStringLiteral(
    "Rot und fett: Prüfsumme falsch · Blau und kursiv: gesendet · Hellblau und kursiv: Echo · "
    "Gelb und * vor der Nummer: hervorgehoben");
inline const QString kExportTitle = QStringLiteral("Verlauf exportieren");
inline const QString kExportText = QStringLiteral("Text wie eine Verlaufsdatei (*.txt)");
inline const QString kExportCsv = QStringLiteral("CSV für Tabellen (*.csv)");
inline const QString kExportRaw = QStringLiteral("Rohe LocoNet-Bytes (*.bin)");
inline const QString kDialogLookIn = QStringLiteral("Ordner:");
inline const QString kDialogFileName = QStringLiteral("Dateiname:");
inline const QString kDialogFileType = QStringLiteral("Dateityp:");
inline const QString kDialogSave = QStringLiteral("Speichern");
inline const QString kDialogCancel = QStringLiteral("Abbrechen");
// %1: path, %2: reason
inline const QString kExportFailed = QStringLiteral("%1 kann nicht geschrieben werden: %2");

} // namespace bl::texts::history

// The command line, the console monitor and the headless decoder.
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
inline const QString kDetailOption =
    QStringLiteral("Jede Meldung ausführlich in Klartext (wie \"Ausführlich\" angehakt), statt der "
                   "gewohnten Zeilen.");
inline const QString kFilterOption = QStringLiteral(
    "Nur Meldungen zeigen, auf die AUSDRUCK passt, jede mit genau einer Zeile, z. B. "
    "'rm=5 oder weiche=11', 'lok=57 und nicht opcode=A0', 'fehler', 'gesendet', "
    "'\"Slot 5\"'. Felder: lok, slot, weiche, rm (Zahlen, Listen 1,3, Bereiche 3-7), "
    "opcode (hexadezimal, z. B. B2 oder 80-8F); und, oder, nicht, Klammern.");
inline const QString kFilterValue = QStringLiteral("AUSDRUCK");
inline const QString kHistoryOption =
    QStringLiteral("Der Verlauf im Fenster behält die letzten N Meldungen (Vorgabe 1000000).");
inline const QString kAnalyseOption =
    QStringLiteral("Das Fenster \"Bus-Lauscher – Verlauf\" gleich beim Start öffnen.");
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
    "Die Anschluss-Frage beantworten: eine COM-Nummer, ein Gerätepfad wie /dev/ttyACM0, oder ein "
    "Bus im Netz: lbserver://RECHNER[:PORT] (LocoNet over TCP, Vorgabe Port 1234) oder "
    "tcp://RECHNER:PORT (rohe LocoNet-Bytes, wie ser2net sie liefert).");
inline const QString kDemoOption =
    QStringLiteral("Auf dem eingebauten simulierten LocoNet-Bus, ohne Hardware und ohne Fragen.");
inline const QString kRateOption =
    QStringLiteral("Mit --demo: Nachrichten je Sekunde (Vorgabe 4).");
inline const QString kCorruptOption = QStringLiteral(
    "Mit --demo: dieser Anteil (in Prozent) der Nachrichten kommt mit falscher Prüfsumme an.");
inline const QString kStatsOption = QStringLiteral(
    "Mit --decode oder --console: am Ende Meldungen, Prüfsummenfehler, verworfene Bytes und die "
    "Meldungen je Opcode auf die Standardfehlerausgabe.");
inline const QString kMarkErrorsOption = QStringLiteral(
    "Nach jeder Meldung mit falscher Prüfsumme eine Zeile \" !! Prüfsumme falsch: …\".");
inline const QString kPercentValue = QStringLiteral("PROZENT");
inline const QString kServeOption = QStringLiteral(
    "Den Bus über TCP teilen (LocoNet over TCP, wie ein LbServer); ohne ADRESSE nur auf diesem "
    "Rechner (127.0.0.1), mit 0.0.0.0 im ganzen Netz.");
inline const QString kServeValue = QStringLiteral("[ADRESSE:]PORT");
inline const QString kServeReadOnlyOption =
    QStringLiteral("Mit --serve: kein Client darf Nachrichten auf den Bus legen.");
inline const QString kRecordOption = QStringLiteral(
    "Den Verlauf von Anfang an speichern, wie nach einem Klick auf \"Verlauf speichern\".");
inline const QString kFirstPaintOption = QStringLiteral(
    "Das Programm endet, sobald das Fenster gezeichnet ist (zum Messen der Startzeit).");
inline const QString kFileArgument = QStringLiteral("Rohe LocoNet-Bytes (mit --decode).");
inline const QString kFileValue = QStringLiteral("DATEI");
inline const QString kKindValue = QStringLiteral("ART");
inline const QString kPortValue = QStringLiteral("N|GERÄT");
inline const QString kNumberValue = QStringLiteral("N");

inline const QString kUsageHeading = QStringLiteral("Aufruf: ");
inline const QString kOptionsPlaceholder = QStringLiteral(" [Optionen]");
inline const QString kOptionsHeading = QStringLiteral("\nOptionen:\n");
inline const QString kArgumentsHeading = QStringLiteral("\nArgumente:\n");
inline const QString kUnknownOption = QStringLiteral("Unbekannte Option: %1");
inline const QString kMissingValue = QStringLiteral("Nach %1 fehlt ein Wert.");
inline const QString kUnexpectedValue = QStringLiteral("%1 nimmt keinen Wert.");
inline const QString kNoEffect = QStringLiteral("%1 hat %2 keine Wirkung.");
inline const QString kWith = QStringLiteral("mit %1");
inline const QString kWithDecode = QStringLiteral("mit --decode");
inline const QString kWithConsole = QStringLiteral("mit --console");
inline const QString kWithReplay = QStringLiteral("mit --replay");
inline const QString kInTheWindow = QStringLiteral("im Fenster");
inline const QString kNeedsOption = QStringLiteral("%1 gehört zu %2.");
inline const QString kOneFileOnly = QStringLiteral("Nur eine DATEI kann dekodiert werden.");
inline const QString kUnexpectedArgument = QStringLiteral("Unerwartetes Argument: %1");
inline const QString kUnknownInterface =
    QStringLiteral("--interface kennt nur com, usb und serial, nicht \"%1\".");
inline const QString kBadRate = QStringLiteral("--rate braucht eine Zahl von 0 bis 5000.");
inline const QString kBadCorrupt = QStringLiteral("--corrupt braucht eine Zahl von 0 bis 100.");
// %1: the place (1-based), %2: the hint
inline const QString kBadFilter = QStringLiteral("Der Filter ist bei Zeichen %1 nicht lesbar: %2");
inline const QString kBadHistory =
    QStringLiteral("--history braucht eine Anzahl Meldungen von 1 bis 100000000.");
inline const QString kDemoOrReplay = QStringLiteral("--demo und --replay schließen sich aus.");
inline const QString kJsonOption = QStringLiteral(
    "Statt der Zeilen jede Meldung als ein JSON-Objekt je Zeile (JSON Lines): nr, zeit, "
    "richtung, bytes, pruefsumme_ok, zeile, klartext, antwort_auf, felder.");
inline const QString kStateOption = QStringLiteral(
    "Statt der Zeilen den Stand der Anlage nach der letzten Meldung: Zentrale, Slots, "
    "Lokomotiven, Weichen, Rückmelder, Transponder, Abschnitte (mit --json als ein JSON-Objekt).");
inline const QString kStateAtOption =
    QStringLiteral("Den Stand der Anlage nach Meldung Nr. N (gezählt wie im Verlauf, ab 1).");
inline const QString kBadStateAt =
    QStringLiteral("--state-at braucht die Nummer einer Meldung (1, 2, …).");
// %1: the number asked for; %2: how many messages there were
inline const QString kNoSuchMessage =
    QStringLiteral("Meldung Nr. %1 gibt es nicht; gelesen wurden %2 Meldungen.");
// %1: the number asked for
inline const QString kMessageGone =
    QStringLiteral("Meldung Nr. %1 ist nicht (mehr) im Verlauf; --history N hält mehr.");
inline const QString kFindingsOption = QStringLiteral(
    "Statt der Zeilen die Befunde, je einer als deutsche Zeile, sobald er gefunden ist (mit "
    "--json ein JSON-Objekt je Befund): unbeantwortete und abgelehnte Anfragen, "
    "Prüfsummenfehler, verworfene Bytes, flatternde Rückmelder, Gleisspannung aus, Kurzschluss, "
    "Überlast, eine Lok in zwei Slots, fehlende Echos, gehäufte Weichenbefehle.");
inline const QString kUntimed = QStringLiteral(
    "Die Eingabe trägt keine Zeiten (rohe Bytes): Befunde, die Zeit brauchen (unbeantwortet, "
    "flattern, ueberlast, weiche_gehaeuft), sind übergangen.");
inline const QString kRingOption = QStringLiteral(
    "Ringaufzeichnung in den Ordner DIR: pcapng-Dateien von höchstens --ring-size KB, "
    "höchstens --ring-files davon, die älteste wird zuerst gelöscht.");
inline const QString kRingSizeOption =
    QStringLiteral("Größe einer Datei der Ringaufzeichnung in KB (Vorgabe 10240).");
inline const QString kRingFilesOption =
    QStringLiteral("Anzahl der Dateien der Ringaufzeichnung (Vorgabe 10).");
inline const QString kKbValue = QStringLiteral("KB");
inline const QString kDirValue = QStringLiteral("DIR");
inline const QString kSecondsValue = QStringLiteral("S");
inline const QString kExpressionValue = QStringLiteral("AUSDRUCK");
inline const QString kBadRingSize =
    QStringLiteral("--ring-size braucht eine Größe in KB (1 bis 4194304).");
inline const QString kBadRingFiles =
    QStringLiteral("--ring-files braucht eine Anzahl von Dateien (1 bis 100000).");
inline const QString kTriggerOption = QStringLiteral(
    "Jedes Ereignis, auf das der Ausdruck passt (die Sprache von --filter, auch befund=ART), "
    "in eine eigene pcapng-Datei: von --trigger-before Sekunden vor der ersten passenden "
    "Meldung bis --trigger-after Sekunden nach der letzten.");
inline const QString kTriggerBeforeOption =
    QStringLiteral("Sekunden vor einem Ereignis, die seine Datei enthält (Vorgabe 10).");
inline const QString kTriggerAfterOption =
    QStringLiteral("Sekunden nach einem Ereignis, die seine Datei enthält (Vorgabe 10).");
inline const QString kTriggerDirOption =
    QStringLiteral("Der Ordner der Ereignisdateien (Vorgabe: der Dokumente-Ordner).");
inline const QString kBadTriggerSeconds =
    QStringLiteral("--trigger-before und --trigger-after brauchen Sekunden (0 bis 3600).");
// %1: the option, %2: the hint of the filter
inline const QString kBadTrigger =
    QStringLiteral("Der Auslöser ist bei Zeichen %1 nicht lesbar: %2");
inline const QString kOnlyWithRing = QStringLiteral("%1 gilt nur mit --ring.");
inline const QString kOnlyWithTrigger = QStringLiteral("%1 gilt nur mit --trigger.");
// %1: the folder, %2: the reason
inline const QString kRingNotStarted =
    QStringLiteral("Die Ringaufzeichnung in %1 kann nicht beginnen: %2");
inline const QString kRingEnded =
    QStringLiteral("Die Ringaufzeichnung in %1 ist beendet: %2 (die Anzeige läuft weiter)");
inline const QString kRingRunning = QStringLiteral("Ringaufzeichnung in %1");
// %1: the file
inline const QString kEventSaved = QStringLiteral("Ereignis gespeichert: %1");
// %1: the reason
inline const QString kEventFailed = QStringLiteral("Eine Ereignisdatei ging nicht: %1");
inline const QString kBefundeOption =
    QStringLiteral("Das Fenster \"Bus-Lauscher – Befunde\" gleich beim Start öffnen.");
inline const QString kAnlageOption =
    QStringLiteral("Das Fenster \"Bus-Lauscher – Anlage\" gleich beim Start öffnen.");
// %1, %2: the two options
inline const QString kExclusive = QStringLiteral("%1 und %2 schließen sich aus.");
// %1: the option
inline const QString kGivenTwice = QStringLiteral("%1 ist mehrmals angegeben; es gilt nur einmal.");
inline const QString kReplayNeedsWindow =
    QStringLiteral("--replay gehört zum Fenster, nicht zu --console.");

inline const QString kUnreadableFile = QStringLiteral("Datei nicht lesbar: %1 (%2)");
inline const QString kUnreadableInput = QStringLiteral("Eingabe nicht lesbar: %1");
inline const QString kUnwritableOutput = QStringLiteral("Ausgabe nicht schreibbar: %1");
inline const QString kInputEnded = QStringLiteral("keine Eingabe mehr, Programmende");
// %1: how many lines
inline const QString kTypedLinesDropped =
    QStringLiteral("%1 eingegebene Zeilen nicht gesendet: der Anschluss ist nicht offen.");
inline const QString kYesNo = QStringLiteral("(j/n) ");
inline const QString kAnswerTooLong =
    QStringLiteral("Die Antwort ist länger als %1 Zeichen; sie gilt nicht.");
inline const QString kLineTooLong =
    QStringLiteral("Eine eingegebene Zeile ist länger als %1 Zeichen; sie wird nicht gesendet.");

} // namespace bl::texts::cli

// The simulated bus.
namespace bl::texts::simulation {

inline const QString kDemoStatus =
    QStringLiteral("Simulierter LocoNet-Bus (Demo) – keine Hardware angeschlossen");
inline const QString kDemoStatusShort = QStringLiteral("Simulierter Bus");
inline const QString kDescription = QStringLiteral(
    "Simulierter LocoNet-Bus mit Zentrale auf einem Pseudo-Terminal (wie ein USB-Interface).");
inline const QString kPtyOption =
    QStringLiteral("Ein Pseudo-Terminal bedienen; sein Gerätepfad wird ausgegeben.");
inline const QString kRateOption = QStringLiteral("Nachrichten je Sekunde (Vorgabe 4).");
inline const QString kCorruptOption =
    QStringLiteral("Dieser Anteil (in Prozent) der Nachrichten kommt mit falscher Prüfsumme an.");
inline const QString kLbServerOption = QStringLiteral(
    "Den simulierten Bus über TCP teilen (LocoNet over TCP, wie ein LbServer); ohne ADRESSE nur "
    "auf diesem Rechner (127.0.0.1).");
inline const QString kNeedsPtyOrServer = QStringLiteral("--pty oder --lbserver fehlt");
inline const QString kPtyMissing = QStringLiteral("--pty fehlt");
inline const QString kLinkOption = QStringLiteral(
    "Mit --pty: PFAD als Verweis auf das Pseudo-Terminal anlegen (ein Name, der bleibt, wenn der "
    "Simulator neu startet).");
inline const QString kPathValue = QStringLiteral("PFAD");
inline const QString kNoLink = QStringLiteral("Der Verweis %1 lässt sich nicht anlegen");
inline const QString kLinkTaken = QStringLiteral(
    "%1 gibt es schon und ist kein Verweis auf ein Pseudo-Terminal; es bleibt unberührt.");
inline const QString kNoPty = QStringLiteral("kein Pseudo-Terminal verfügbar");

} // namespace bl::texts::simulation
