// The words of the detailed rendering ("Ausführlich") and its value tables
// (what a code means), apart from the code that walks the messages, as a
// dissector keeps its value strings. Latin-1, as every monitor text.
#pragma once

#include "loconet/latin1_literal.h"

#include <array>
#include <string_view>

namespace bl::texts::detail {

using std::string_view;

struct Named {
    int code;
    string_view text;
};

// The text for a code, or "" where the table has none.
template <std::size_t N> constexpr string_view find(const std::array<Named, N> &table, int code) {
    for (const Named &n : table)
        if (n.code == code)
            return n.text;
    return {};
}

// common words
inline constexpr string_view kFunctions = "Funktionen"_de;
inline constexpr string_view kSlot = "Slot "_de;
inline constexpr string_view kLoco = "Lok "_de;
inline constexpr string_view kOn = "an"_de;
inline constexpr string_view kOff = "aus"_de;
inline constexpr string_view kForward = "vorwärts"_de;
inline constexpr string_view kBackward = "rückwärts"_de;
inline constexpr string_view kStop = "Halt"_de;
inline constexpr string_view kEmergencyStop = "Nothalt"_de;
inline constexpr string_view kSpeedStep = "Fahrstufe "_de;
inline constexpr string_view kSpeedValue = "Fahrwert "_de;
inline constexpr string_view kOf = " von "_de;
inline constexpr string_view kValueOpen = " (Wert "_de;
inline constexpr string_view kClosed = "gerade (grün)"_de;
inline constexpr string_view kThrown = "abzweigend (rot)"_de;
inline constexpr string_view kOutputOn = "Ausgang ein"_de;
inline constexpr string_view kOutputOff = "Ausgang aus"_de;
inline constexpr string_view kOccupied = "belegt"_de;
inline constexpr string_view kFree = "frei"_de;
inline constexpr string_view kThrottleId = "Regler-ID "_de;
inline constexpr string_view kAnswerTo = " - Antwort auf: "_de;
inline constexpr string_view kUnknown = "Unbekannte Meldung (Opcode "_de;
inline constexpr string_view kReserved = "Unbekannte Meldung (reservierter Opcode "_de;
inline constexpr string_view kUnknownForm = " in unbekannter Form (Länge "_de;
// what the messages of an opcode are, for those whose form is not one known
inline constexpr std::array kFamilies{
    Named{0xB4, "Quittung"_de},
    Named{0xD0, "Melder- oder Gerätemeldung"_de},
    Named{0xD3, "Betriebsart einer Schnittstelle"_de},
    Named{0xD4, "Erweiterter Lokbefehl"_de},
    Named{0xD7, "Empfängermeldung"_de},
    Named{0xDF, "Empfängerabfrage"_de},
    Named{0xE0, "Transpondermeldung"_de},
    Named{0xE4, "Zugnummern- oder Sicherheitsmeldung"_de},
    Named{0xE5, "Peer-Übertragung"_de},
    Named{0xE6, "Tabelle oder erweiterter Slot"_de},
    Named{0xE7, "Slotdaten"_de},
    Named{0xED, "Sofortbefehl (DCC-Paket)"_de},
    Named{0xEE, "Tabelle oder erweiterter Slot schreiben"_de},
    Named{0xEF, "Slotdaten schreiben"_de},
};
inline constexpr string_view kStationOwn = "Zentralen-eigene Meldung"_de;
inline constexpr string_view kBytes = ": "_de;
inline constexpr string_view kOpswClosed = "geschlossen"_de;
inline constexpr string_view kOpswThrown = "offen"_de;

// two-byte messages
inline constexpr std::array kTwoByte{
    Named{0x81, "Zentrale beschäftigt (Füllmeldung)"_de},
    Named{0x82, "Gleisspannung aus"_de},
    Named{0x83, "Gleisspannung ein"_de},
    Named{0x85, "Nothalt für alle Loks (Gleisspannung bleibt an)"_de},
    Named{0x8A, "Lok-Reset an der Zentrale ausgelöst"_de},
};

// slot status 1: activity, consist, speed-step mode
inline constexpr std::array kActivity{
    Named{0x30, "in Benutzung"_de},
    Named{0x20, "ruhend (nicht aufgefrischt)"_de},
    Named{0x10, "frei verfügbar, wird aufgefrischt"_de},
    Named{0x00, "frei"_de},
};
inline constexpr std::array kConsist{
    Named{0x00, "keine Traktion"_de},
    Named{0x08, "Traktionsspitze"_de},
    Named{0x40, "Traktionsmitglied (Ende)"_de},
    Named{0x48, "Traktionsmitglied (Mitte)"_de},
};
inline constexpr std::array kStepModes{
    Named{0, "28 Fahrstufen"_de},
    Named{1, "28 Fahrstufen (Zusatzformat)"_de},
    Named{2, "14 Fahrstufen"_de},
    Named{3, "128 Fahrstufen"_de},
    Named{4, "28 Fahrstufen, Decoder-Traktion erlaubt"_de},
    Named{7, "128 Fahrstufen, Decoder-Traktion erlaubt"_de},
};
inline constexpr string_view kStepModeUnknown = "Fahrstufenmodus unbekannt "_de;

// track status (TRK)
inline constexpr string_view kPowerOn = "Gleisspannung ein"_de;
inline constexpr string_view kPowerOff = "Gleisspannung aus"_de;
inline constexpr string_view kRunning = "Betrieb läuft"_de;
inline constexpr string_view kPaused = "Nothalt aktiv"_de;
inline constexpr string_view kProgBusy = "Programmiergleis belegt"_de;
inline constexpr string_view kProgFree = "Programmiergleis frei"_de;
inline constexpr string_view kProtocol11 = "Protokoll 1.1"_de;
inline constexpr string_view kLimitedProtocol = "eingeschränkte Zentrale (Protokoll 1.0)"_de;

// loco and slot commands
inline constexpr string_view kSetStatus = ": Status setzen - "_de;
inline constexpr string_view kConsistFunctions = "Traktionsmitglied "_de;
inline constexpr string_view kUnlink = "Traktion: Slot "_de;
inline constexpr string_view kUnlinkFrom = " aus dem Verbund mit Slot "_de;
inline constexpr string_view kUnlinkEnd = " lösen"_de;
inline constexpr string_view kUnlinkAlone = " aus seiner Traktion lösen"_de;
inline constexpr string_view kLinkTo = " an Slot "_de;
inline constexpr string_view kLinkEnd = " anhängen"_de;
inline constexpr string_view kLinkToTop = " an Traktionsspitze Slot "_de;
inline constexpr string_view kFollowsTop = "folgt Slot "_de;
inline constexpr string_view kNullMove = " in Benutzung nehmen (Null-Move)"_de;
inline constexpr string_view kDispatchPut = " zur Übergabe (Dispatch) freigeben"_de;
inline constexpr string_view kDispatchGet = "Übergabe-Slot (Dispatch) abholen"_de;
inline constexpr string_view kMoveData = "Slotdaten von Slot "_de;
inline constexpr string_view kMoveTo = " nach Slot "_de;
inline constexpr string_view kMoveEnd = " verschieben"_de;
inline constexpr string_view kExpandedFormat = " (erweitertes Format)"_de;
inline constexpr string_view kRequestSlot = "Slotdaten für Slot "_de;
inline constexpr string_view kRequestEnd = " anfordern"_de;
inline constexpr std::array kSystemSlotRequests{
    Named{0x7B, "Modelluhr abfragen"_de},
    Named{0x7C, "Status des Programmiergleises abfragen"_de},
    Named{0x7E, "Erweiterte Optionsschalter der Zentrale (65-128) abfragen"_de},
    Named{0x7F, "Optionsschalter der Zentrale (1-64) abfragen"_de},
};
inline constexpr string_view kSystemSlot = "Systemslot "_de;
inline constexpr string_view kRequestLoco = " anfordern"_de;
inline constexpr string_view kShortAddress = " (kurze Adresse)"_de;
inline constexpr string_view kLongAddress = " (lange Adresse)"_de;
inline constexpr string_view kAnalogue = " (Analoglok)"_de;
inline constexpr string_view kExpandedRequest = " anfordern (erweitertes Slotformat)"_de;
inline constexpr string_view kFunctionsOfF0 = "F0 (unsicher)="_de;

// slot data
inline constexpr string_view kWriteSlot = " schreiben"_de;
inline constexpr string_view kAliasOf = " (Kurzadresse für Lok "_de;
inline constexpr string_view kShortAlias = " (Kurzadresse als Alias)"_de;
inline constexpr string_view kTrainCategory = "Zugkategorie "_de;
// the bits of status 2 the protocol names
inline constexpr std::array kStatus2Bits{
    Named{0x08, "Regler-ID ist ein Erweiterungswert"_de},
    Named{0x04, "keine Regler-ID"_de},
    Named{0x01, "Decoder-Traktion unterdrückt"_de},
};
inline constexpr string_view kUndescribed = " (Inhalt nicht öffentlich beschrieben): "_de;
inline constexpr string_view kUndescribedShort = " (Inhalt nicht öffentlich beschrieben)"_de;
inline constexpr string_view kClockReport = "Modelluhr: "_de;
inline constexpr string_view kClockWrite = "Modelluhr stellen: "_de;
inline constexpr string_view kClockTime = " Uhr, Tag "_de;
inline constexpr string_view kClockStopped = ", angehalten"_de;
inline constexpr string_view kClockRate = ", Faktor "_de;
inline constexpr string_view kClockRealTime = " (Echtzeit)"_de;
inline constexpr string_view kClockValid = ", gültig"_de;
inline constexpr string_view kClockInvalid = ", ungültig (nicht übernehmen)"_de;
inline constexpr string_view kClockSetBy = "; zuletzt gestellt von ID "_de;
inline constexpr string_view kClockNeverSet = "; noch nie gestellt"_de;
inline constexpr string_view kClockByComputer = "; zuletzt gestellt von einem Computer"_de;
inline constexpr string_view kOpswOfStation = "Optionsschalter der Zentrale (1-64)"_de;
inline constexpr string_view kOpswOfStationHigh = "Optionsschalter der Zentrale (65-128)"_de;
inline constexpr string_view kOpswWrite = " schreiben"_de;
inline constexpr string_view kOpswClosedList = ": geschlossen "_de;
inline constexpr string_view kOpswOthersOpen = "; alle anderen offen"_de;
inline constexpr string_view kOpswAllOpen = ": alle offen"_de;
inline constexpr string_view kOpsw = "OpSw "_de;
inline constexpr string_view kSystemSlotData = "Daten des Systemslots "_de;

// the programmer
inline constexpr string_view kServiceTrack = "Programmiergleis"_de;
inline constexpr string_view kOpsMode = "Hauptgleisprogrammierung Lok "_de;
inline constexpr string_view kCv = "CV "_de;
inline constexpr string_view kRead = " lesen"_de;
inline constexpr string_view kWrite = " schreiben"_de;
inline constexpr string_view kBitOfCv = " (Bit "_de;
inline constexpr string_view kProgTask = " (Auftrag: "_de;
inline constexpr string_view kProgFailed = " - "_de;
inline constexpr string_view kProgModeUnknown = "unbekannter Modus, PCMD "_de;
inline constexpr std::array kProgModes{
    Named{0x20, "Page-Modus"_de},
    Named{0x28, "Direktmodus Byte"_de},
    Named{0x08, "Direktmodus Bit"_de},
    Named{0x10, "Registermodus"_de},
    Named{0x30, "Registermodus"_de},
    Named{0x18, "reservierter Modus"_de},
    Named{0x38, "reservierter Modus"_de},
    Named{0x24, "Byte, ohne Rückmeldung"_de},
    Named{0x2C, "Byte, mit Rückmeldung"_de},
    Named{0x04, "Bit, ohne Rückmeldung"_de},
    Named{0x0C, "Bit, mit Rückmeldung"_de},
    Named{0x00, "Standardmodus der Zentrale oder Abbruch"_de},
};
inline constexpr std::array kProgStatus{
    Named{0x08, "abgebrochen durch Benutzer"_de},
    Named{0x04, "Fehler: keine Lesequittung vom Decoder"_de},
    Named{0x02, "Fehler: keine Schreibquittung vom Decoder"_de},
    Named{0x01, "Fehler: keine Lok auf dem Programmiergleis"_de},
};
inline constexpr string_view kProgSuccess = "erfolgreich"_de;
inline constexpr string_view kProgSuccessByDetector =
    "erfolgreich (Rückmeldung über Transponder-Melder)"_de;
inline constexpr string_view kWritten = " geschrieben"_de;

// switches and sensors
inline constexpr string_view kSwitch = "Weiche "_de;
inline constexpr string_view kWithAck = " - mit Quittung angefordert"_de;
inline constexpr string_view kSwitchQuery = "Zustand von Weiche "_de;
inline constexpr string_view kQueryEnd = " abfragen"_de;
inline constexpr string_view kInterrogate =
    "Abfrage aller Rückmeldungen der Zubehördecoder (Gruppe a/c/b = "_de;
inline constexpr string_view kBroadcast = "Rundruf an alle Zubehördecoder (Ausgang "_de;
inline constexpr string_view kActive = ", aktiv)"_de;
inline constexpr string_view kInactive = ", inaktiv)"_de;
inline constexpr string_view kSwitchReport = "Weichenrückmeldung "_de;
inline constexpr string_view kInputSwitch = ": Eingang »Weiche« "_de;
inline constexpr string_view kInputAux = ": Eingang »Zusatz« "_de;
inline constexpr string_view kHigh = "Pegel hoch"_de;
inline constexpr string_view kLow = "Pegel niedrig"_de;
inline constexpr string_view kReportsClosed = " (gerade gemeldet)"_de;
inline constexpr string_view kReportsThrown = " (abzweigend gemeldet)"_de;
inline constexpr string_view kOutputClosed = ": Ausgang gerade "_de;
inline constexpr string_view kOutputThrown = ", Ausgang abzweigend "_de;
inline constexpr string_view kActiveWord = "aktiv"_de;
inline constexpr string_view kInactiveWord = "inaktiv"_de;
inline constexpr string_view kSensor = "Rückmelder "_de;
inline constexpr string_view kDetector = " (Melder "_de;
inline constexpr string_view kInput = ", Eingang "_de;
inline constexpr string_view kReservedX = " (reserviert: Steuerbit X = 0)"_de;
inline constexpr string_view kReservedBits = " (reserviert: Bits "_de;

// long acknowledgements: the request answered, then the meaning of its code
inline constexpr string_view kAck = "Quittung auf "_de;
inline constexpr string_view kAckCode = ": Code "_de;
inline constexpr std::array kAckRequests{
    Named{0x3F, "Lok-Anforderung"_de},
    Named{0x3E, "Lok-Anforderung (erweitert)"_de},
    Named{0x3D, "Weichenbefehl mit Quittung"_de},
    Named{0x3C, "Weichenzustand-Abfrage"_de},
    Named{0x3B, "Slotdaten-Anforderung"_de},
    Named{0x3A, "Slot verschieben"_de},
    Named{0x39, "Traktion bilden"_de},
    Named{0x38, "Traktion lösen"_de},
    Named{0x30, "Weichenbefehl"_de},
    Named{0x50, "Optionsschalter-Zugriff"_de},
    Named{0x66, "Zugriff auf erweiterten Slot"_de},
    Named{0x6D, "DCC-Paket / CV-Zugriff"_de},
    Named{0x6E, "Tabellen-Schreiben"_de},
    Named{0x6F, "Slot schreiben"_de},
    Named{0x00, "einen Befehl (Fehlercode)"_de},
};
// code meanings by request: (LOPC << 8) | ACK1
inline constexpr std::array kAckMeanings{
    Named{0x3F00, "keine freien Slots - Lok nicht angemeldet"_de},
    Named{0x3E00, "keine freien Slots"_de},
    Named{0x3D7F, "angenommen"_de},
    Named{0x3D00, "abgelehnt, Puffer voll"_de},
    Named{0x3B00, "Slot nicht verfügbar"_de},
    Named{0x3A00, "abgelehnt"_de},
    Named{0x3A7F, "angenommen"_de},
    Named{0x3900, "ungültig, abgelehnt"_de},
    Named{0x3000, "fehlgeschlagen"_de},
    Named{0x6600, "Slot im erweiterten Format nicht unterstützt"_de},
    Named{0x6D7F, "angenommen"_de},
    Named{0x6D00, "abgelehnt, Puffer voll"_de},
    Named{0x6F00, "abgelehnt, Programmiergleis belegt"_de},
    Named{0x6F01, "angenommen"_de},
    Named{0x6F40, "angenommen, keine Rückmeldung folgt"_de},
    Named{0x6F7F, "Funktion nicht verfügbar"_de},
    Named{0x6F23, "angenommen (herstellerspezifischer Code)"_de},
    Named{0x6F2B, "angenommen (herstellerspezifischer Code)"_de},
    Named{0x6F6B, "angenommen (herstellerspezifischer Code)"_de},
};
// after a write of a CV by article number
inline constexpr std::array kArticleAckMeanings{
    Named{0x7F, "Schreiben erfolgreich"_de},
    Named{0x00, "CV-Schreiben fehlgeschlagen"_de},
    Named{0x01, "CV nicht vorhanden"_de},
    Named{0x02, "CV ist schreibgeschützt"_de},
    Named{0x03, "Wert außerhalb des gültigen Bereichs"_de},
};
inline constexpr string_view kStationCommandAccepted = "Befehl angenommen"_de;
inline constexpr string_view kAmbiguousAck =
    "CV nicht vorhanden oder Befehl der Zentrale angenommen (keine Anfrage gesehen, die es "
    "entscheidet)"_de;
inline constexpr string_view kOpswWritten = "Optionsschalter geschrieben"_de;
inline constexpr string_view kSwitchStateClosed = "Weichenzustand gerade"_de;
inline constexpr string_view kSwitchStateThrown = "Weichenzustand abzweigend"_de;
inline constexpr string_view kOpswReadClosed = "Optionsschalter geschlossen (1)"_de;
inline constexpr string_view kOpswReadThrown = "Optionsschalter offen (0)"_de;
inline constexpr string_view kLimitedMaster = "Antwort eines eingeschränkten Masters: "_de;

// multi-sense reports (0xD0), receivers, interface mode
inline constexpr string_view kTransponder = "Transponder: Lok "_de;
inline constexpr string_view kEntered = " erkannt in Meldeabschnitt "_de;
inline constexpr string_view kLeft = " hat Meldeabschnitt "_de;
inline constexpr string_view kLeftEnd = " verlassen"_de;
inline constexpr string_view kZone = ", Zone "_de;
inline constexpr string_view kOrEightSection = "; als 8er-Melder: Melder "_de;
inline constexpr string_view kSectionWord = ", Abschnitt "_de;
inline constexpr string_view kReports = " meldet: "_de;
inline constexpr std::array kDynamicVariables{
    Named{0, "Istgeschwindigkeit"_de},
    Named{7, "Empfangsqualität"_de},
};
inline constexpr string_view kDynamicVariable = "Variable "_de;
inline constexpr string_view kPowerManager = "Abschnittsmanager "_de;
inline constexpr string_view kSectionNo = "Abschnitt "_de;
inline constexpr string_view kAutoReverse = " Kehrschleife "_de;
inline constexpr string_view kBreaker = " Kurzschlussabschaltung "_de;
inline constexpr string_view kReversed = "umgepolt"_de;
inline constexpr string_view kNormal = "normal"_de;
inline constexpr string_view kShort = "KURZSCHLUSS"_de;
inline constexpr string_view kNoShort = "kein Kurzschluss"_de;
inline constexpr string_view kBoosterUnit = "Booster/Melder "_de;
inline constexpr string_view kShortIn = ": Kurzschluss in Abschnitt "_de;
inline constexpr string_view kNoShortAnywhere = ": kein Kurzschluss"_de;
inline constexpr string_view kReverserUnit = "Kehrschleifenmodul "_de;
inline constexpr string_view kReverserReversed = ": umgepolt"_de;
inline constexpr string_view kReverserNormal = ": normal gepolt"_de;
inline constexpr string_view kBreakerShort = ": Kurzschluss"_de;
inline constexpr string_view kBreakerOk = ": kein Kurzschluss"_de;
inline constexpr std::array kDeviceTypes{
    Named{0, "Abschnittsmanager"_de},
    Named{1, "Besetztmelder"_de},
    Named{2, "Signal- und Weichensteuerung"_de},
    Named{3, "Zubehördecoder"_de},
};
inline constexpr string_view kDevice = "Gerät"_de;
inline constexpr string_view kOpswSet = ": Optionsschalter "_de;
inline constexpr string_view kOpswSetTo = " auf "_de;
inline constexpr string_view kOpswSetEnd = " setzen"_de;
inline constexpr string_view kDeviceReport = "Geräte-Meldung: "_de;
inline constexpr string_view kDeviceAddress = ", Adresse "_de;
inline constexpr string_view kDeviceVersion = ", Version "_de;
inline constexpr string_view kPresent = " vorhanden"_de;
inline constexpr std::array kInterfaceModes{
    Named{0, "LocoNet-Interface an einer Zentrale"_de},
    Named{1, "eigenständiges Programmiergleis"_de},
    Named{2, "eigenständiges Programmiergleis"_de},
    Named{3, "LocoNet-Interface mit eigener Busversorgung"_de},
};
inline constexpr string_view kInterfaceMode = "Schnittstelle: Betriebsart "_de;
inline constexpr string_view kReceiverQuery = "Abfrage aller Funk- und Infrarotempfänger"_de;
inline constexpr string_view kReceiverSetId = "Empfänger: LocoNet-ID auf "_de;
inline constexpr string_view kSetEnd = " setzen"_de;
inline constexpr std::array kReceiverTypes{
    Named{0x12, "Funkempfänger (bidirektional)"_de},
    Named{0x17, "Infrarotempfänger"_de},
    Named{0x1F, "Funkempfänger (einfach)"_de},
};
inline constexpr string_view kReceiverReport = " meldet sich mit LocoNet-ID "_de;
inline constexpr string_view kSomeReceiver = "Empfänger (Typ "_de;

// long transponder, train identification, security elements
inline constexpr string_view kDirectionFlag = ", Richtungskennung "_de;
inline constexpr string_view kTrainId = "Zugnummernempfänger "_de;
inline constexpr string_view kTrainIdSpeed = ": Geschwindigkeit "_de;
inline constexpr string_view kKmh = " km/h"_de;
inline constexpr string_view kTrainIdPoll = ": Abfrage"_de;
inline constexpr string_view kTrainIdBlockFree = ": Block frei"_de;
inline constexpr string_view kTrainIdBlockOccupied = ": Block belegt"_de;
inline constexpr string_view kTrainIdStatus = ": Meldung "_de;
inline constexpr string_view kCategoryOpen = " (Kategorie "_de;
inline constexpr string_view kS2ToS1 = ", von S2 nach S1"_de;
inline constexpr string_view kS1ToS2 = ", von S1 nach S2"_de;
inline constexpr string_view kSecurityElement = "Sicherheitselement "_de;
inline constexpr std::array kReservations{
    Named{0x00, "nicht reserviert"_de},
    Named{0x10, "reserviert A->X"_de},
    Named{0x20, "reserviert X->A"_de},
    Named{0x30, "reserviert in beide Richtungen"_de},
};

// peer transfers
inline constexpr string_view kPeer = "Peer-Übertragung von "_de;
inline constexpr string_view kPeerTo = " an "_de;
inline constexpr string_view kPeerData = ": Daten "_de;
inline constexpr string_view kSv1 = "Systemvariablen (Format 1): "_de;
inline constexpr string_view kSv2 = "Systemvariablen (Format 2): "_de;
inline constexpr string_view kSvComputer = "Computer"_de;
inline constexpr string_view kSvModule = "Modul "_de;
inline constexpr string_view kSvSource = "Quelle "_de;
inline constexpr string_view kSvDevice = "Gerät "_de;
inline constexpr string_view kSvReads = " liest SV "_de;
inline constexpr string_view kSvWrites = " schreibt SV "_de;
inline constexpr string_view kSvFrom = " von "_de;
inline constexpr string_view kSvInto = " in "_de;
inline constexpr string_view kSvAnswer = "Antwort von Gerät "_de;
inline constexpr std::array kSv2Commands{
    Named{0x01, " schreibt SV "_de},          Named{0x02, " liest SV "_de},
    Named{0x03, " schreibt maskiert SV "_de}, Named{0x05, " schreibt vier SVs ab "_de},
    Named{0x06, " liest vier SVs ab "_de},
};
inline constexpr std::array kSv2Identity{
    Named{0x07, "Suche nach allen Geräten"_de},
    Named{0x08, "Gerät identifizieren"_de},
    Named{0x09, "Geräteadresse ändern"_de},
    Named{0x0F, "Gerät neu konfigurieren"_de},
};
inline constexpr string_view kSvMask = ", Maske "_de;
inline constexpr string_view kSvUnknownCommand = " auf den nicht definierten Befehl "_de;
inline constexpr string_view kSvIdentity = ": Hersteller "_de;
inline constexpr string_view kSvDeveloper = ", Entwickler "_de;
inline constexpr string_view kSvProduct = ", Produkt "_de;
inline constexpr string_view kSvSerial = ", Seriennummer "_de;
inline constexpr string_view kSvAt = " an Adresse "_de;
inline constexpr string_view kTextMessage = "Textnachricht an "_de;
inline constexpr string_view kAllThrottles = "alle Handregler"_de;
inline constexpr string_view kThrottleNo = "Handregler "_de;
inline constexpr string_view kSymbol = "Handregler-Signalsymbol für Lok "_de;
inline constexpr std::array kSymbolParts{
    Named{0x10, "Mast"_de},
    Named{0x08, "senkrecht"_de},
    Named{0x04, "schräg"_de},
    Named{0x02, "waagerecht"_de},
};
inline constexpr string_view kBlinking = ", blinkend"_de;
inline constexpr string_view kFirmware = "Firmware-Download: "_de;
inline constexpr string_view kFirmwareSetup = "Start - Hersteller "_de;
inline constexpr string_view kFirmwareProduct = ", Produkt "_de;
inline constexpr string_view kFirmwareHardware = ", Hardware "_de;
inline constexpr string_view kFirmwareSoftware = ", Software "_de;
inline constexpr string_view kFirmwareOptions = ", Optionen "_de;
inline constexpr string_view kFirmwareAddress = "Adresse "_de;
inline constexpr string_view kFirmwareData = "Daten "_de;
inline constexpr string_view kFirmwareVerify = "Prüfen "_de;
inline constexpr string_view kFirmwareEnd = "Ende"_de;
inline constexpr string_view kFirmwareUnknownStep = "unbekannter Schritt "_de;
inline constexpr string_view kRadio = "Funkgruppe: "_de;
inline constexpr std::array kRadioOperations{
    Named{0x00, "setzen"_de},
    Named{0x08, "abfragen"_de},
    Named{0x10, "gemeldet"_de},
};
inline constexpr std::array kRadioSubjects{
    Named{0x01, "Funkempfänger vorhanden"_de},
    Named{0x02, "Funkkanal"_de},
    Named{0x03, "Name der Funkgruppe"_de},
    Named{0x04, "Gruppen-ID"_de},
    Named{0x07, "Passwort"_de},
};
inline constexpr string_view kRadioSubject = "Unterfunktion "_de;
inline constexpr string_view kRadioOperationUnknown = " (unbekannte Operation "_de;
inline constexpr string_view kRadioPassword = ", Passwort "_de;
inline constexpr string_view kRadioChannel = ", Funkkanal "_de;
inline constexpr string_view kRadioGroupId = ", Gruppen-ID "_de;
inline constexpr string_view kNoise = "Funk: Rauschpegel auf Kanal "_de;
inline constexpr string_view kNoiseLevel = " beträgt "_de;
inline constexpr string_view kPing = "Geräte-Ping: Seriennummer "_de;
inline constexpr string_view kPingAnswer = ", Empfangsstärke beim Gerät "_de;
inline constexpr string_view kPingRemote = ", bei der Gegenstelle "_de;
inline constexpr string_view kIdentityQuery =
    "Geräteerkennung: alle identifizierbaren Geräte sollen sich melden"_de;
inline constexpr string_view kIdentityQueryType = "Geräteerkennung: Geräte des Typs "_de;
inline constexpr string_view kIdentityReport = "Geräteerkennung: Hersteller "_de;
inline constexpr string_view kIdentityType = ", Gerätetyp "_de;
inline constexpr string_view kIdentityAddOn = " (Zusatzgerät "_de;
inline constexpr string_view kIdentityAddOnMaker = " von Hersteller "_de;
inline constexpr string_view kIdentitySoftware = ", Software "_de;
inline constexpr string_view kIdentitySerial = ", Seriennummer "_de;
inline constexpr std::array kHostTypes{
    Named{0x01, "Netzwerk-Verstärker"_de},
    Named{0x04, "einfacher Handregler"_de},
    Named{0x0C, "Lizenzgerät eines anderen Herstellers"_de},
    Named{0x14, "Booster"_de},
    Named{0x15, "Booster"_de},
    Named{0x16, "Booster"_de},
    Named{0x1B, "Zentrale"_de},
    Named{0x1C, "Zentrale"_de},
    Named{0x23, "Computer-Schnittstelle mit Programmiergleis"_de},
    Named{0x24, "Computer-Schnittstelle mit Programmiergleis"_de},
    Named{0x2A, "Funkhandregler"_de},
    Named{0x32, "Handregler"_de},
    Named{0x33, "Kompaktzentrale"_de},
    Named{0x34, "Kompaktzentrale"_de},
    Named{0x51, "Kehrschleifen- und Meldemodul"_de},
    Named{0x58, "Besetzt- und Transpondermelder mit Kurzschlussmanagement"_de},
    Named{0x5C, "Funkempfänger"_de},
    Named{0x63, "Funk-Netzwerkschnittstelle"_de},
};
inline constexpr string_view kArticleCv = "CV-Programmierung per Artikelnummer: "_de;
inline constexpr string_view kArticle = "Artikel "_de;
inline constexpr string_view kAllArticles = "alle Artikel"_de;
inline constexpr string_view kModuleWord = ", Modul "_de;
inline constexpr string_view kAllModules = ", alle Module"_de;
inline constexpr string_view kStartFor = "Start für "_de;
inline constexpr string_view kEndFor = "Ende für "_de;
inline constexpr string_view kArticleRead = ": CV "_de;
inline constexpr string_view kModuleAnswer = " (Antwort des Moduls)"_de;
inline constexpr string_view kDirectOutputs = ": Ausgänge setzen "_de;
inline constexpr string_view kDirectInputs = ": Eingänge "_de;
inline constexpr string_view kFind = "Transponder-Suche: "_de;
inline constexpr string_view kWhereIs = "wo ist Lok "_de;
inline constexpr string_view kIsIn = " ist in Meldeabschnitt "_de;
inline constexpr string_view kIsNowhere = " ist nirgends gemeldet"_de;
inline constexpr std::array kThrottleStates{
    Named{0x40, "OK"_de},
    Named{0x41, "Stopp-Taste gedrückt (Abbruch)"_de},
    Named{0x42, "Minus-Taste gedrückt"_de},
    Named{0x43, "Plus-Taste gedrückt"_de},
    Named{0x4E, "Antwort auf einen Symbolbefehl"_de},
    Named{0x7F, "keine Taste"_de},
};
inline constexpr string_view kThrottleStatus = "Handregler-Status: "_de;

// tables and expanded slots (0xE6 / 0xEE)
inline constexpr string_view kRoute = "Fahrstraße "_de;
inline constexpr string_view kRouteEntries = " (Einträge "_de;
inline constexpr string_view kRouteRead = ") gelesen: "_de;
inline constexpr string_view kRouteWrite = ") schreiben: "_de;
inline constexpr string_view kRouteUnused = "frei"_de;
inline constexpr string_view kAlias = "Alias-Tabelle Block "_de;
inline constexpr string_view kTable = "Tabelle "_de;
inline constexpr string_view kBlock = ", Block "_de;
inline constexpr string_view kTask = ", Aufgabe "_de;
inline constexpr string_view kExpanded = " (erweitert)"_de;
inline constexpr string_view kStatusSlot = "Statusslot "_de;

// immediate DCC packets
inline constexpr string_view kDccPacket = "DCC-Paket"_de;
inline constexpr string_view kRepeat = " ("_de;
inline constexpr string_view kRepeatEnd = "× wiederholen): "_de;
inline constexpr string_view kDccBroadcast = "alle Loks"_de;
inline constexpr string_view kDccIdle = "Leerlaufpaket"_de;
inline constexpr string_view kDccReserved = "reservierte Adresse"_de;
inline constexpr std::array kDccControl{
    Named{0x00, "Decoder-Reset"_de},
    Named{0x01, "Decoder-Hard-Reset"_de},
    Named{0x02, "Werkstest"_de},
    Named{0x03, "Werkstest"_de},
    Named{0x0A, "lange Adresse verwenden: nein"_de},
    Named{0x0B, "lange Adresse verwenden: ja"_de},
    Named{0x0F, "Quittungsanforderung"_de},
};
inline constexpr string_view kDccConsist = "Decoder-Traktion: Adresse "_de;
inline constexpr string_view kDccNormal = ", normale Richtung"_de;
inline constexpr string_view kDccReversed = ", umgekehrte Richtung"_de;
inline constexpr string_view kDccRestricted = "eingeschränkte Fahrstufe "_de;
inline constexpr string_view kDccAnalogue = "Analogausgang "_de;
inline constexpr string_view kDccBinary = "Binärzustand "_de;
inline constexpr string_view kDccAllBinary = "alle Binärzustände"_de;
inline constexpr string_view kDccIs = " = "_de;
inline constexpr string_view kDccWriteCv = ": CV "_de;
inline constexpr string_view kDccBitCv = ": Bit "_de;
inline constexpr string_view kDccOfCv = " von CV "_de;
inline constexpr string_view kDccWriteEnd = " schreiben"_de;
inline constexpr string_view kDccVerifyEnd = " prüfen"_de;
// the short form of CV access on the main: its four bits name what it sets
inline constexpr std::array kDccShortForms{
    Named{0x2, ": CV 23 (Beschleunigung, Kurzform) = "_de},
    Named{0x3, ": CV 24 (Bremsen, Kurzform) = "_de},
    Named{0x9, ": Decodersperre (Kurzform) = "_de},
};
inline constexpr string_view kDccShortForm = ": Kurzform-Befehl "_de;
inline constexpr string_view kDccAccessory = "Zubehör: Weiche "_de;
inline constexpr string_view kDccDecoder = " (Decoder "_de;
inline constexpr string_view kDccPair = ", Paar "_de;
inline constexpr string_view kDccSignal = "Signal: Signaladresse "_de;
inline constexpr string_view kDccOtherReading = " (andere Lesart "_de;
inline constexpr string_view kDccAspect = "), Begriff "_de;
inline constexpr string_view kDccAccessoryCv = "Zubehör-Programmierung Hauptgleis: Decoder "_de;
inline constexpr string_view kDccWholeDecoder = " (ganzer Decoder)"_de;
inline constexpr string_view kDccOutput = ", Ausgang "_de;
inline constexpr string_view kDccTooShort = " (Paket zu kurz für diesen Befehl)"_de;
inline constexpr string_view kDccCheckByte = " (und sein Prüfbyte)"_de;
inline constexpr string_view kDccSignalAddress = " (Ausgangsadresse "_de;
inline constexpr string_view kDccUndecoded = "nicht entschlüsselt "_de;
inline constexpr string_view kDccAccessoryBroadcast = "Zubehör: Rundruf an alle Decoder"_de;
inline constexpr string_view k28Steps = " (28er-Modus)"_de;
inline constexpr string_view k14StepsToo = ", als 14er-Modus: "_de;
inline constexpr string_view kLight = ", Licht "_de;

} // namespace bl::texts::detail
